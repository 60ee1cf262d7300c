#include "app/windows.h"

#include "app/form1.h"
#include "browser/downloads.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

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

namespace {

// Closes the windows open when the teacher quit, one at a time, so that a
// window whose page keeps the teacher stops the rest.
class Quitting : public QObject
{
public:
    Quitting()
        : QObject(qApp)
    {
        for (Form1 *window : OpenWindows())
            m_windows.append(window);
        closeNext();
    }

private:
    void closeNext()
    {
        m_windows.removeAll(nullptr);
        // The program ends with its last window.
        if (m_windows.isEmpty()) {
            deleteLater();
            return;
        }
        Form1 *window = m_windows.takeFirst();
        connect(window, &QObject::destroyed, this, &Quitting::closeNext, Qt::QueuedConnection);
        connect(window->WB1, &WebBrowser::CloseRefused, this, &QObject::deleteLater);
        window->closeForQuit();
    }

    QList<QPointer<Form1>> m_windows;
};

} // namespace

void QuitProgram(QWidget *asking)
{
    if (DownloadRunning()
        && !AskYesNo(asking, QStringLiteral("下載尚未完成，仍要結束嗎?"), QMessageBox::Warning,
                     QMessageBox::No))
        return;
    new Quitting;
}

} // namespace gradecast
