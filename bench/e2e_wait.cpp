#include "e2e_wait.h"

#include "e2e_common.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <algorithm>
#include <memory>

namespace gradecast::bench {

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    const double start = epochMs();
    while (!done()) {
        const double left = timeoutMs - (epochMs() - start);
        if (left <= 0)
            return false;
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        check.start(1);
        QTimer::singleShot(static_cast<int>(std::min(left, 10.0)) + 1, &loop, &QEventLoop::quit);
        loop.exec();
        // Windows closed meanwhile are deleted here, at the caller's level,
        // as the program's own loop would delete them.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void spinFor(int ms)
{
    const double end = epochMs() + ms;
    spinUntil([end] { return epochMs() >= end; }, ms + 1);
}

bool waitForDocument(QWebEngineView *view, const QUrl &url, int timeoutMs)
{
    const QString expected = url.toString(QUrl::FullyEncoded) + QStringLiteral(" complete");
    const double start = epochMs();
    while (epochMs() - start < timeoutMs) {
        if (view->url() == url
            && evaluateJs(view, QStringLiteral("location.href + ' ' + document.readyState"), 2000)
                       .toString()
                   == expected)
            return true;
        spinFor(20);
    }
    return false;
}

bool loadPage(QWebEngineView *view, const QUrl &url, int timeoutMs)
{
    view->load(url);
    return waitForDocument(view, url, timeoutMs);
}

QVariant evaluateJs(QWebEngineView *view, const QString &script, int timeoutMs)
{
    // The answer may come after the view has gone; share the slot with it.
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view->page()->runJavaScript(script, [result](const QVariant &value) {
        *result = {true, value};
    });
    if (!spinUntil([&] { return result->first; }, timeoutMs))
        return {};
    return result->second;
}

} // namespace gradecast::bench
