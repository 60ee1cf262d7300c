#include "app/form1.h"

#include "app/stuck_pages.h"
#include "app/windows.h"
#include "browser/downloads.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QCloseEvent>
#include <QTimer>

namespace gradecast {

// Every window closes, each after its page has been asked; nothing is saved.
void Form1::Command9_Click()
{
    QuitProgram(this);
}

void Form1::askToQuit()
{
    if (isLocked()) {
        if (m_afterFill == AfterFill::Stay)
            m_afterFill = AfterFill::AskToQuit;
        return;
    }
    m_quitting = true;
    if (m_pageLetGo)
        emit pageLetGo();
    else
        close();
}

void Form1::closeLetGo()
{
    if (isLocked())
        m_afterFill = AfterFill::Close;
    else
        close();
}

// Whatever closes the window, a dialog of its own open on the stack ends
// first; the teacher is asked before a running download is cut off with the
// last window, and the page before it is left.
void Form1::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (PostponeCloseForDialogs(this, m_pageLetGo ? CloseBy::Page : CloseBy::Teacher))
        return;
    if (!m_quitting && !m_downloadsAsked && IsLastWindow(this) && DownloadRunning()) {
        if (!AskYesNo(this, QStringLiteral("下載尚未完成，仍要結束嗎?"), QMessageBox::Warning,
                      QMessageBox::No))
            return;
        m_downloadsAsked = true;
    }
    if (!m_pageLetGo) {
        const int asking = ++m_closeAsks;
        WB1->askPageToClose();
        // A page that does not answer (a script that never yields) is not
        // waited for longer than a page's answer takes.
        QTimer::singleShot(PageAnswerMs(), this, [this, asking] {
            if (asking == m_closeAsks && !HasOpenDialog(this))
                WB1_WindowClosing();
        });
        return;
    }
    // The teacher has agreed to cut off what the program's end would.
    if (IsLastWindow(this))
        CancelDownloads();
    else if (!m_quitting)
        CheckPagesStuckWith(WB1->page()->renderProcessPid(), this);
    event->accept();
}

} // namespace gradecast
