#include "browser/zoom.h"

#include "platform/web_browser.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QWheelEvent>

#include <array>

namespace gradecast {

namespace {

// The steps every common browser offers.
constexpr std::array ZoomSteps = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9,  1.0, 1.1,
                                  1.25, 1.5,  1.75, 2.0,  2.5,  3.0, 4.0, 5.0};
constexpr double Tolerance = 0.005;

// The zoom factor one step up (direction > 0) or down from current; a factor
// between two steps goes to the next one.
double NextZoomFactor(double current, int direction)
{
    if (direction > 0) {
        for (double step : ZoomSteps) {
            if (step > current + Tolerance)
                return step;
        }
        return ZoomSteps.back();
    }
    for (auto step = ZoomSteps.rbegin(); step != ZoomSteps.rend(); ++step) {
        if (*step < current - Tolerance)
            return *step;
    }
    return ZoomSteps.front();
}

// The zoom keys of one browser. The engine keeps a page's zoom while it
// navigates, per page, so the zoom belongs to the window.
class PageZoom : public QObject
{
    Q_OBJECT
public:
    explicit PageZoom(WebBrowser *browser)
        : QObject(browser)
        , m_browser(browser)
    {
        const auto key = [this](QKeySequence keys, auto step) {
            auto *shortcut = new QShortcut(keys, m_browser);
            shortcut->setContext(Qt::WidgetWithChildrenShortcut);
            connect(shortcut, &QShortcut::activated, this, step);
        };
        key(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { step(1); });
        key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { step(1); });
        key(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { step(-1); });
        key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { set(1.0); });
    }

    void step(int direction) { set(NextZoomFactor(m_browser->zoomFactor(), direction)); }

private:
    void set(double factor) { m_browser->setZoomFactor(factor); }

    WebBrowser *m_browser;
};

// Ctrl + wheel reaches the page's own widget inside the browser, which would
// only scroll; one filter for the program turns it into a zoom step of the
// browser it is over.
class WheelZoom : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel || !watched->isWidgetType())
            return false;
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier) || wheel->angleDelta().y() == 0)
            return false;
        for (auto *widget = static_cast<QWidget *>(watched); widget;
             widget = widget->parentWidget()) {
            if (auto *browser = qobject_cast<WebBrowser *>(widget)) {
                auto *zoom = browser->findChild<PageZoom *>(QString(), Qt::FindDirectChildrenOnly);
                if (zoom)
                    zoom->step(wheel->angleDelta().y() > 0 ? 1 : -1);
                return true;
            }
        }
        return false;
    }
};

} // namespace

void EnableWheelZoom(QCoreApplication *application)
{
    // Once the program's loop runs: a filter put in while the application is
    // still being made comes before the platform's own, and the first key
    // typed after a keyboard-map change got lost (seen with xdotool's
    // Chinese characters).
    QTimer::singleShot(0, application, [application] {
        auto *wheel = new WheelZoom;
        wheel->setParent(application);
        application->installEventFilter(wheel);
    });
}

void EnableZoom(WebBrowser *browser)
{
    new PageZoom(browser);
}

} // namespace gradecast

#include "zoom.moc"
