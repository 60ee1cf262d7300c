#include "support/page_helpers.h"

#include "app/form1.h"
#include "app/windows.h"
#include "platform/page_script.h"
#include "platform/web_browser.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace gradecast {

bool pollUntil(const std::function<bool(int leftMs)> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const int left = int(deadline.remainingTime());
        if (done(left))
            return true;
        QEventLoop pause;
        QTimer::singleShot(qMin(left, 20), &pause, &QEventLoop::quit);
        pause.exec();
    }
    return false;
}

QUrl testPage(const QString &name)
{
    QUrl url = QUrl::fromLocalFile(QStringLiteral(TEST_PAGES_DIR "/") + name.section('?', 0, 0));
    if (name.contains('?'))
        url.setQuery(name.section('?', 1));
    return url;
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
    return pollUntil(
        [&](int left) {
            return view->url() == url
                && evaluate(view, QStringLiteral("location.href + ' ' + document.readyState"),
                            qMin(left, 2000))
                           .toString()
                == expected;
        },
        timeoutMs);
}

Form1 *openWindow(const QUrl &url)
{
    auto *window = new Form1;
    window->show();
    window->WB1->load(url);
    return waitForPage(window->WB1, url) ? window : nullptr;
}

Form1 *popupOf(Form1 *opener, const QString &script)
{
    const QList<Form1 *> before = OpenWindows();
    if (!evaluate(opener->WB1, script + QStringLiteral(";\ntrue")).toBool())
        return nullptr;
    QPointer<Form1> opened;
    const auto popupOpen = [&](int) {
        for (Form1 *window : OpenWindows()) {
            if (!before.contains(window))
                opened = window;
        }
        return !opened.isNull();
    };
    return pollUntil(popupOpen) ? opened.data() : nullptr;
}

bool clickScoreField(QWebEngineView *view, int number, int timeoutMs)
{
    // The field's middle in the view, through the frames it sits in.
    const QString middle =
        QStringLiteral("(() => { const field = scoreField(%1);"
                       "  field.scrollIntoView({block: 'center'});"
                       "  const r = field.getBoundingClientRect();"
                       "  let x = r.left + r.width / 2, y = r.top + r.height / 2;"
                       "  for (let w = field.ownerDocument.defaultView; w.frameElement;"
                       "       w = w.parent) {"
                       "    const f = w.frameElement.getBoundingClientRect();"
                       "    x += f.left + w.frameElement.clientLeft;"
                       "    y += f.top + w.frameElement.clientTop;"
                       "  }"
                       "  return [x, y]; })()")
            .arg(number);
    // The page hears of the click a moment later; a field in a frame of
    // another origin cannot be asked, and the frame having the focus will do.
    const QString focused =
        QStringLiteral("(() => { const field = scoreField(%1);"
                       "  let active = document.activeElement;"
                       "  while (active && active !== field && active.contentDocument)"
                       "    active = active.contentDocument.activeElement;"
                       "  return active === field; })()")
            .arg(number);
    // A page just shown may not take a click yet: the click is tried again.
    return pollUntil(
        [&](int left) {
            const QVariantList point = evaluate(view, middle, qMin(left, 2000)).toList();
            if (point.size() != 2 || !view->focusProxy())
                return false;
            const double zoom = view->zoomFactor();
            QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {},
                              QPoint(qRound(point[0].toDouble() * zoom),
                                     qRound(point[1].toDouble() * zoom)));
            return pollUntil(
                [&](int rest) { return evaluate(view, focused, qMin(rest, 2000)).toBool(); },
                qMin(left, 2000));
        },
        timeoutMs);
}

} // namespace gradecast
