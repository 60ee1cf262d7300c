#include "e2e_wait.h"

#include "e2e_common.h"
#include "support/page_helpers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <algorithm>

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

bool loadPage(QWebEngineView *view, const QUrl &url, int timeoutMs)
{
    view->load(url);
    return waitForPage(view, url, timeoutMs);
}

} // namespace gradecast::bench
