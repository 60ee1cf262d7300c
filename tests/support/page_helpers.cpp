#include "support/page_helpers.h"

#include "platform/page_script.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace gradecast {

// Waiting here runs a real event loop: QTest's waits sleep between rounds of
// events, which starves the browser engine's work on this thread and makes a
// page that has just received many keys take seconds to answer.

QUrl testPage(const QString &name)
{
    return QUrl::fromLocalFile(QStringLiteral(TEST_PAGES_DIR "/") + name);
}

QVariant evaluate(QWebEngineView *view, const QString &script, int timeoutMs)
{
    return RunScriptAndWait(view->page(), script, QWebEngineScript::MainWorld, timeoutMs)
        .value_or(QVariant());
}

bool waitForPage(QWebEngineView *view, const QUrl &url, int timeoutMs)
{
    // A new window reports its address while it still holds an empty
    // document: ask the document itself.
    const QString expected = url.toString(QUrl::FullyEncoded) + QStringLiteral(" complete");
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const int left = int(deadline.remainingTime());
        if (view->url() == url
            && evaluate(view, QStringLiteral("location.href + ' ' + document.readyState"),
                        qMin(left, 2000))
                       .toString()
                == expected)
            return true;
        QEventLoop pause;
        QTimer::singleShot(qMin(left, 20), &pause, &QEventLoop::quit);
        pause.exec();
    }
    return false;
}

} // namespace gradecast
