#include "app/window_closing.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace gradecast;

namespace {

using enum CloseEvent;
using enum CloseAction;

// What the window knows at a step.
constexpr CloseFacts Plain{};
constexpr CloseFacts Dialogs{true, false, false};
constexpr CloseFacts Filling{false, true, false};
constexpr CloseFacts LastWithDownload{false, false, true};

struct Step {
    CloseEvent event;
    CloseFacts facts;
    CloseAction expected;
};

struct Flow {
    std::string name;
    std::initializer_list<Step> steps;
    ClosePhase end;
};

} // namespace

// Each row is a window's life from open: what happens, what the window must do
// at each step, and where it ends.
TEST(WindowClosing, Flows)
{
    const Flow flows[] = {
        {"teacher closes, the page lets go",
         {{Close, Plain, AskPage}, {PageCloses, Plain, CloseAgain}, {Close, Plain, Go}},
         ClosePhase::Gone},
        {"teacher closes, the teacher stays on the page",
         {{Close, Plain, AskPage}, {PageStays, Plain, StopAskingPage}},
         ClosePhase::Open},
        {"the page does not answer while its box is up, then does not answer",
         {{Close, Plain, AskPage}, {PageSilent, Dialogs, None}, {PageSilent, Plain, CloseAgain},
          {Close, Plain, Go}},
         ClosePhase::Gone},
        {"a late wait for an earlier asking is nothing",
         {{Close, Plain, AskPage}, {PageStays, Plain, StopAskingPage}, {PageSilent, Plain, None}},
         ClosePhase::Open},
        {"the last window with a download: No keeps everything",
         {{Close, LastWithDownload, AskDownloads}, {DownloadsStay, LastWithDownload, None}},
         ClosePhase::Open},
        {"the last window with a download: asked once, then the page",
         {{Close, LastWithDownload, AskDownloads}, {DownloadsMayGo, LastWithDownload, AskPage},
          {PageCloses, LastWithDownload, CloseAgain}, {Close, LastWithDownload, Go}},
         ClosePhase::Gone},
        {"a page that closes the last window while a file comes: the teacher is asked",
         {{PageCloses, LastWithDownload, CloseAgain}, {Close, LastWithDownload, AskDownloads},
          {DownloadsMayGo, LastWithDownload, Go}},
         ClosePhase::Gone},
        {"closed while a dialog is up: it ends first, then the page is asked",
         {{Close, Dialogs, EndDialogs}, {Close, Plain, AskPage}},
         ClosePhase::AskingPage},
        {"a page that prints, then closes: the print is done first",
         {{PageCloses, Plain, CloseAgain}, {Close, Dialogs, EndDialogsForPage}, {Close, Plain, Go}},
         ClosePhase::Gone},
        {"quit: asked, let go, goes with the others",
         {{QuitAsks, Plain, AskPage}, {PageCloses, Plain, TellQuit}, {Close, Dialogs, EndDialogsForPage},
          {QuitGoes, Plain, CloseAgain}, {Close, Plain, Go}},
         ClosePhase::Gone},
        {"quit while the window fills: asked when the run lets go",
         {{QuitAsks, Filling, None}, {Close, Filling, AskPage}, {PageStays, Filling, StopAskingPage},
          {FillLetGo, Plain, AskPage}, {PageCloses, Plain, TellQuit}},
         ClosePhase::LetGo},
        {"the quit is off before the run lets go: nothing is asked after it",
         {{QuitAsks, Filling, None}, {QuitStays, Filling, None}, {FillLetGo, Plain, None},
          {Close, Plain, AskPage}},
         ClosePhase::AskingPage},
        {"the page lets go during a fill, then the quit asks: it goes after the run",
         {{PageCloses, Filling, None}, {QuitAsks, Filling, None}, {FillLetGo, Plain, CloseAgain},
          {Close, Plain, Go}},
         ClosePhase::Gone},
        {"the quit is off: a page let go is asked anew next time",
         {{QuitAsks, Plain, AskPage}, {PageCloses, Plain, TellQuit}, {QuitStays, Plain, StopAskingPage},
          {Close, Plain, AskPage}},
         ClosePhase::AskingPage},
        {"quit while a dialog is up: no download question, the page asked after it",
         {{QuitAsks, Dialogs, EndDialogs}, {Close, LastWithDownload, AskPage}},
         ClosePhase::AskingPage},
        {"quit while the teacher's close asks the page: the answer goes to the quit",
         {{Close, Plain, AskPage}, {QuitAsks, Plain, None}, {PageCloses, Plain, TellQuit}},
         ClosePhase::LetGo},
        {"quit from a window whose page closed it already",
         {{PageCloses, Dialogs, CloseAgain}, {QuitAsks, Plain, TellQuit}},
         ClosePhase::LetGo},
        {"a gone window hears nothing",
         {{PageCloses, Plain, CloseAgain}, {Close, Plain, Go}, {QuitAsks, Plain, None},
          {Close, Plain, None}, {FillLetGo, Plain, None}},
         ClosePhase::Gone},
    };
    for (const Flow &flow : flows) {
        CloseState state;
        int place = 0;
        for (const Step &step : flow.steps) {
            const CloseStep next = StepClose(state, step.event, step.facts);
            EXPECT_EQ(next.action, step.expected) << flow.name << ", step " << place;
            state = next.next;
            ++place;
        }
        EXPECT_EQ(state.phase, flow.end) << flow.name;
    }
}
