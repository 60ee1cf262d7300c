#include "support/page_helpers.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

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
    // The answer may come after this call has given up; it then goes nowhere.
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    view->page()->runJavaScript(script, [result, waiting](const QVariant &value) {
        *result = {true, value};
        if (waiting)
            waiting->quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!result->first)
        loop.exec();
    return result->second;
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
