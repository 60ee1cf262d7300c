#include "app/form1.h"

#include "app/prompt.h"
#include "app/twips.h"
#include "platform/web_browser.h"

#include <QApplication>
#include <QTimer>

namespace gradecast {

namespace {

int openWindowCount()
{
    int count = 0;
    for (QWidget *window : QApplication::topLevelWidgets())
        count += qobject_cast<Form1 *>(window) && window->isVisible();
    return count;
}

// Said once per run of the program: a page that opens windows in a loop
// must not bury the teacher in messages either.
void reportWindowLimit(Form1 *window)
{
    static bool reported = false;
    if (std::exchange(reported, true))
        return;
    // Not from inside the engine's request: the box waits for the user.
    QTimer::singleShot(0, window, [window] {
        Tell(window,
             QStringLiteral("已經開啟 %1 個視窗，網頁要求開啟的新視窗將不再開啟。\n"
                            "請先關閉用不到的視窗。")
                 .arg(MaxOpenWindows),
             QMessageBox::Warning);
    });
}

} // namespace

// A page that opens a window gets a complete window of its own. Its start-up
// has begun loading its home address; the engine loads the page that asked
// for the window in its place. A page that opens windows without end is
// stopped at MaxOpenWindows, so the desktop stays usable.
void Form1::WB1_NewWindow2(WebBrowser **ppDisp, bool *Cancel)
{
    if (openWindowCount() >= MaxOpenWindows) {
        *Cancel = true;
        reportWindowLimit(this);
        return;
    }
    auto *window = new Form1;
    window->WB1->setRegisterAsBrowser(true);
    *ppDisp = window->WB1;
    window->show();
}

// Pages and the engine may move the browser; every completed load puts it
// back where the last layout left it.
void Form1::WB1_NavigateComplete2()
{
    WB1->setGeometry(pixelsFromTwips(m_browserPlacement.left),
                     pixelsFromTwips(m_browserPlacement.top),
                     pixelsFromTwips(m_browserPlacement.width),
                     pixelsFromTwips(m_browserPlacement.height));
}

// A page that closes its window closes that window alone: the scores and
// settings in the other windows stay.
void Form1::WB1_WindowClosing()
{
    // While a fill runs, the window closes when the run has let it go.
    if (isLocked())
        m_closeAfterFill = true;
    else
        close();
}

} // namespace gradecast
