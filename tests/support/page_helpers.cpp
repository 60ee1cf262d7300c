#include "support/page_helpers.h"

#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace gradecast {

QUrl testPage(const QString &name)
{
    return QUrl::fromLocalFile(QStringLiteral(TEST_PAGES_DIR "/") + name);
}

QVariant evaluate(QWebEngineView *view, const QString &script, int timeoutMs)
{
    // The answer may come after the view has gone; share the slot with it.
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view->page()->runJavaScript(script, [result](const QVariant &value) {
        *result = {true, value};
    });
    if (!QTest::qWaitFor([&] { return result->first; }, timeoutMs))
        return {};
    return result->second;
}

bool waitForPage(QWebEngineView *view, const QUrl &url, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            // A new window reports its address while it still holds an
            // empty document: ask the document itself.
            return view->url() == url
                && evaluate(view, QStringLiteral("location.href + ' ' + document.readyState"),
                            2000)
                       .toString()
                == url.toString(QUrl::FullyEncoded) + QStringLiteral(" complete");
        },
        timeoutMs);
}

} // namespace gradecast
