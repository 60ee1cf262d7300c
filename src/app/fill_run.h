#pragma once

#include "entry/fill_mending.h"
#include "entry/fill_plan.h"
#include "entry/student_match.h"
#include "platform/page_recorder.h"

#include <QObject>

#include <memory>
#include <optional>
#include <string>

namespace gradecast {

class Form1;

// One press of the fill button, from its first question to letting the
// window go: the steps in order and what they decided. A child of its
// window, so a window that goes while a step waits (a question, the page's
// answer) takes its run along; only exec() looks whether the run is still
// there, between two steps.
class FillRun : public QObject
{
public:
    explicit FillRun(Form1 *window);
    ~FillRun() override;

    // Runs the steps until one ends the run; a window that was held is let go.
    void exec();

private:
    // What a step leaves the run to do: the next step, the same again, or
    // no more steps.
    enum class Next { Step, Again, Stop };

    Next askCursor();
    Next lookAtPage();
    Next askHowToFill();
    Next askGuard();
    Next hold();
    Next putBackFocus();
    Next type();
    Next mend();
    void letGo();

    void send(const KeystrokeScript &keys);
    bool askTypeWithoutField();

    Form1 *m_window;
    std::u16string m_pasted; // the score box as it was
    std::u16string m_text;   // without its trailing line ends
    PageFocus m_focus = PageFocus::Unknown;
    PageColumn m_column;
    std::optional<StudentMatch> m_match;
    FillPlan m_plan;
    bool m_held = false;
    std::unique_ptr<PageRecorder> m_recorder; // while the run is checked
    std::optional<FillMending> m_mending;
    std::u16string m_differences; // what the teacher is told at the end
};

} // namespace gradecast
