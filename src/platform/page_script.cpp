#include "platform/page_script.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

#include <memory>

namespace gradecast {

std::optional<QVariant> RunScriptAndWait(QWebEnginePage *page, const QString &script,
                                         quint32 worldId, int timeoutMs)
{
    // The answer may come after this wait has given up; it then goes nowhere.
    auto answer = std::make_shared<std::optional<QVariant>>();
    QEventLoop loop;
    const QPointer<QEventLoop> waiting(&loop);
    page->runJavaScript(script, worldId, [answer, waiting](const QVariant &value) {
        *answer = value;
        if (waiting)
            waiting->quit();
    });
    if (!answer->has_value()) {
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        QObject::connect(page, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return *answer;
}

} // namespace gradecast
