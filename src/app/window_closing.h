#pragma once

#include <optional>

namespace gradecast {

// How far a window's close has come. The window holds one CloseState and
// changes it only through StepClose; what the step asks for, the window does.
// Plain data, so the whole of it is a table of transitions.

enum class ClosePhase {
    Open,         // not closing
    AfterDialogs, // asked to close while dialogs of its own were up: they end first
    AskingPage,   // its page is asked whether it may be left
    PageLeft,     // its page closed the window itself; the teacher may still be asked
    LetGo,        // everyone has agreed: it goes at its next close
    Gone,
};

// Who the close is for: the window alone, or the program's end, which
// closes every window together once each page has let its own go.
enum class CloseFor { Window, Quit };

// What happens to a window.
enum class CloseEvent {
    Close,          // a close reached the window: its X, or a close the program sent
    PageCloses,     // its page closes the window, or lets it go when asked
    PageSilent,     // the page did not answer in the time a page's answer takes
    PageStays,      // the teacher stays on the page
    QuitAsks,       // the program's end asks this window
    QuitGoes,       // every page has let its window go: this one goes
    QuitStays,      // a page kept its window: the program's end is off
    DownloadsMayGo, // the teacher agreed to cut off the running download
    DownloadsStay,
    FillLetGo,      // a fill run has let the window go
};

struct CloseState {
    ClosePhase phase = ClosePhase::Open;
    CloseFor purpose = CloseFor::Window;
    // A window is held against closing while a fill types into it: what
    // came meanwhile happens once the run lets it go.
    std::optional<CloseEvent> afterFill;
};

// What the window knows when something happens.
struct CloseFacts {
    bool dialogsOpen = false;
    bool filling = false;
    bool lastWithDownload = false; // the last window, while a download runs
};

// What the window does next.
enum class CloseAction {
    None,
    AskDownloads,        // 「下載尚未完成，仍要結束嗎?」, answered as DownloadsMayGo or DownloadsStay
    EndDialogs,          // its dialogs end as cancelled, then the close comes again
    EndDialogsForPage,   // its dialogs end, but a print the page asked for is done first
    AskPage,             // answered as PageCloses, PageStays or PageSilent
    StopAskingPage,
    TellQuit,            // the page let the window go for the program's end
    CloseAgain,          // send the window a close
    Go,                  // take the close: the window goes
};

struct CloseStep {
    CloseState next;
    CloseAction action = CloseAction::None;
};

CloseStep StepClose(CloseState state, CloseEvent event, const CloseFacts &facts);

} // namespace gradecast
