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

bool Form1::closing(CloseEvent event)
{
    const CloseFacts facts{HasOpenDialog(this), isLocked(),
                           IsLastWindow(this) && DownloadRunning()};
    const CloseStep step = StepClose(m_closing, event, facts);
    m_closing = step.next;
    switch (step.action) {
    case CloseAction::None:
        break;
    case CloseAction::AskDownloads:
        return closing(DownloadsMayBeCutOff(this) ? CloseEvent::DownloadsMayGo
                                                  : CloseEvent::DownloadsStay);
    case CloseAction::EndDialogs:
        PostponeCloseForDialogs(this, CloseBy::Teacher);
        break;
    case CloseAction::EndDialogsForPage:
        PostponeCloseForDialogs(this, CloseBy::Page);
        break;
    case CloseAction::AskPage:
        WB1->askPageToClose();
        // A page that does not answer (a script that never yields) is not
        // waited for longer than a page's answer takes.
        m_pageAnswer->start(PageAnswerMs());
        break;
    case CloseAction::StopAskingPage:
        m_pageAnswer->stop();
        WB1->stopClosing();
        break;
    case CloseAction::TellQuit:
        emit pageLetGo();
        break;
    case CloseAction::CloseAgain:
        close();
        break;
    case CloseAction::Go:
        // The teacher has agreed to cut off what the program's end would.
        if (IsLastWindow(this))
            CancelDownloads();
        else if (m_closing.purpose == CloseFor::Window)
            CheckPagesStuckWith(WB1->page()->renderProcessPid(), this);
        return true;
    }
    return false;
}

// Whatever closes the window, a dialog of its own open on the stack ends
// first; the teacher is asked before a running download is cut off with the
// last window, and the page before it is left.
void Form1::closeEvent(QCloseEvent *event)
{
    event->setAccepted(closing(CloseEvent::Close));
}

} // namespace gradecast
