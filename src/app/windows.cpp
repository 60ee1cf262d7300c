#include "app/windows.h"

#include "app/form1.h"
#include "browser/downloads.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace gradecast {

namespace {

struct Registry {
    QList<Form1 *> windows;
    bool limitReported = false;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

void unregister(QObject *window)
{
    Registry &r = registry();
    r.windows.removeIf([window](Form1 *w) { return static_cast<QObject *>(w) == window; });
    if (r.windows.size() < MaxOpenWindows)
        r.limitReported = false;
}

} // namespace

void RegisterWindow(Form1 *window)
{
    registry().windows.append(window);
    QObject::connect(window, &QObject::destroyed, &unregister);
}

QList<Form1 *> OpenWindows()
{
    return registry().windows;
}

bool MayOpenWindow(Form1 *asking)
{
    Registry &r = registry();
    if (r.windows.size() < MaxOpenWindows)
        return true;
    if (!std::exchange(r.limitReported, true)) {
        // Not from inside the engine's request: the box waits for the user.
        QTimer::singleShot(0, asking, [asking] {
            Tell(asking,
                 QStringLiteral("已經開啟 %1 個視窗，網頁要求開啟的新視窗將不再開啟。\n"
                                "請先關閉用不到的視窗。")
                     .arg(MaxOpenWindows),
                 QMessageBox::Warning);
        });
    }
    return false;
}

bool IsLastWindow(const Form1 *window)
{
    return std::ranges::none_of(OpenWindows(), [window](const Form1 *other) {
        return other != window && other->isVisible();
    });
}

namespace {

// The program's end: the teacher is asked about a running download first,
// then the pages of the windows open when the teacher quit, one at a time (a
// question at a time, and none after a No; a window that fills is asked once
// its run is over), and the windows close only when every page has let its
// window go.
class Quitting : public QObject
{
public:
    explicit Quitting(QWidget *asking)
        : QObject(qApp)
    {
        if (!DownloadsMayBeCutOff(asking)) {
            deleteLater();
            return;
        }
        for (Form1 *window : OpenWindows())
            m_windows.append(window);
        ask(0);
    }

private:
    void ask(qsizetype next)
    {
        while (next < m_windows.size() && !m_windows[next])
            ++next;
        m_asking = next;
        if (next == m_windows.size()) {
            for (Form1 *window : m_windows)
                if (window)
                    window->closing(CloseEvent::QuitGoes);
            deleteLater();
            return;
        }
        Form1 *window = m_windows[next];
        // A window closed meanwhile counts as let go.
        const auto answered = [this, next] {
            if (next == m_asking)
                ask(next + 1);
        };
        connect(window, &Form1::pageLetGo, this, answered, Qt::QueuedConnection);
        connect(window, &QObject::destroyed, this, answered, Qt::QueuedConnection);
        connect(window->WB1, &WebBrowser::CloseRefused, this, &Quitting::stay);
        window->closing(CloseEvent::QuitAsks);
    }

    // The teacher stays on a page: every window stays as it was.
    void stay()
    {
        m_asking = -1;
        for (Form1 *window : m_windows)
            if (window)
                window->closing(CloseEvent::QuitStays);
        deleteLater();
    }

    QList<QPointer<Form1>> m_windows;
    qsizetype m_asking = 0;
};

QPointer<Quitting> &quitting()
{
    static QPointer<Quitting> running;
    return running;
}

} // namespace

bool QuitInProgress()
{
    return !quitting().isNull();
}

void QuitProgram(QWidget *asking)
{
    // A second quit while the first is still asking would close windows
    // whose pages have let go before the rest have answered.
    if (!QuitInProgress())
        quitting() = new Quitting(asking);
}

} // namespace gradecast
