#include "app/window_closing.h"

#include <utility>

namespace gradecast {

namespace {

using enum ClosePhase;
using enum CloseAction;

CloseStep to(ClosePhase phase, CloseFor purpose, CloseAction action)
{
    return {{phase, purpose, std::nullopt}, action};
}

// Starting to close, once nothing stands in the way: its dialogs end first,
// then its page is asked.
CloseStep startClosing(CloseFor purpose, const CloseFacts &facts)
{
    if (facts.dialogsOpen)
        return to(AfterDialogs, purpose, EndDialogs);
    return to(AskingPage, purpose, AskPage);
}

// The page let its window go: for the program's end it waits for the other
// pages; alone it goes now.
CloseStep pageLetGo(CloseFor purpose)
{
    return purpose == CloseFor::Quit ? to(LetGo, purpose, TellQuit)
                                     : to(LetGo, purpose, CloseAgain);
}

// While a fill types, a page's close and the program's end wait for it.
// Going outranks asking: a window that is to go does not need asking.
bool waitsForFill(CloseEvent event)
{
    return event == CloseEvent::PageCloses || event == CloseEvent::QuitAsks
        || event == CloseEvent::QuitGoes;
}

CloseEvent stronger(std::optional<CloseEvent> held, CloseEvent event)
{
    return !held || held == CloseEvent::QuitAsks ? event : *held;
}

// The step of the phase alone; what waits for a fill is StepClose's.
CloseStep stepPhase(CloseState state, CloseEvent event, const CloseFacts &facts)
{
    const CloseStep stay{state, None};
    // A quit that is off takes back what it asked, whatever was answered.
    if (event == CloseEvent::QuitStays)
        return state.purpose == CloseFor::Quit ? to(Open, CloseFor::Window, StopAskingPage) : stay;

    switch (state.phase) {
    case Open:
        switch (event) {
        case CloseEvent::Close:
            if (!facts.dialogsOpen && facts.lastWithDownload)
                return {state, AskDownloads};
            return startClosing(CloseFor::Window, facts);
        case CloseEvent::DownloadsMayGo:
            return startClosing(CloseFor::Window, facts);
        case CloseEvent::QuitAsks:
            return startClosing(CloseFor::Quit, facts);
        case CloseEvent::PageCloses:
            return to(PageLeft, CloseFor::Window, CloseAgain);
        default:
            return stay;
        }
    case AfterDialogs:
        switch (event) {
        case CloseEvent::Close:
            if (state.purpose == CloseFor::Quit || facts.dialogsOpen)
                return startClosing(state.purpose, facts);
            return stepPhase({}, event, facts);
        case CloseEvent::DownloadsMayGo:
            return startClosing(CloseFor::Window, facts);
        case CloseEvent::DownloadsStay:
            return to(Open, CloseFor::Window, None);
        case CloseEvent::QuitAsks:
            return to(AfterDialogs, CloseFor::Quit, None);
        case CloseEvent::PageCloses:
            return state.purpose == CloseFor::Quit ? pageLetGo(CloseFor::Quit)
                                                   : to(PageLeft, CloseFor::Window, CloseAgain);
        default:
            return stay;
        }
    case AskingPage:
        switch (event) {
        // The teacher closes again: the page's own box, if it is up, ends as
        // "stay", and the page is asked anew after it.
        case CloseEvent::Close:
            return facts.dialogsOpen ? CloseStep{state, EndDialogs} : CloseStep{state, AskPage};
        case CloseEvent::PageSilent:
            return facts.dialogsOpen ? stay : pageLetGo(state.purpose);
        case CloseEvent::PageCloses:
            return pageLetGo(state.purpose);
        case CloseEvent::PageStays:
            return to(Open, CloseFor::Window, StopAskingPage);
        // The teacher is on the page's question already: the answer goes to
        // the program's end.
        case CloseEvent::QuitAsks:
            return to(AskingPage, CloseFor::Quit, None);
        default:
            return stay;
        }
    case PageLeft:
        switch (event) {
        case CloseEvent::Close:
            if (facts.dialogsOpen)
                return {state, EndDialogsForPage};
            return facts.lastWithDownload ? CloseStep{state, AskDownloads} : to(Gone, state.purpose, Go);
        case CloseEvent::DownloadsMayGo:
            return to(Gone, state.purpose, Go);
        case CloseEvent::QuitAsks:
            return to(LetGo, CloseFor::Quit, TellQuit);
        default:
            return stay;
        }
    case LetGo:
        switch (event) {
        case CloseEvent::Close:
            return facts.dialogsOpen ? CloseStep{state, EndDialogsForPage} : to(Gone, state.purpose, Go);
        case CloseEvent::QuitGoes:
            return {state, CloseAgain};
        // Going by itself already: the program's end need not wait for it.
        case CloseEvent::QuitAsks:
            return {state, TellQuit};
        default:
            return stay;
        }
    case Gone:
        break;
    }
    return stay;
}

} // namespace

CloseStep StepClose(CloseState state, CloseEvent event, const CloseFacts &facts)
{
    if (state.phase == Gone)
        return {state, None};
    if (facts.filling && waitsForFill(event)) {
        state.afterFill = stronger(state.afterFill, event);
        return {state, None};
    }
    std::optional<CloseEvent> held = state.afterFill;
    if (event == CloseEvent::FillLetGo) {
        if (!held)
            return {state, None};
        event = *std::exchange(held, std::nullopt);
    }
    // A quit that is off asks nothing after the run either.
    if (event == CloseEvent::QuitStays && held != CloseEvent::PageCloses)
        held.reset();
    CloseStep step = stepPhase(state, event, facts);
    step.next.afterFill = step.next.phase == Gone ? std::nullopt : held;
    return step;
}

} // namespace gradecast
