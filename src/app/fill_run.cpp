#include "app/fill_run.h"

#include "app/form1.h"
#include "platform/input_lock.h"
#include "entry/entry_warnings.h"
#include "entry/keystroke_script.h"
#include "entry/pasted_lines.h"
#include "entry/run_options.h"
#include "entry/student_match.h"
#include "platform/key_delivery.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <array>

namespace gradecast {

namespace {

// How many entries each round of a fill typed again.
Q_LOGGING_CATEGORY(lcFill, "gradecast.fill")

// How long the run waits for the page to learn that it has the focus; a page
// too busy to answer in this time gets the keys anyway.
constexpr int PageFocusTimeoutMs = 2000;

FillOptions fillOptionsOf(const Form1 &window)
{
    return RunFillOptions(window.settings(), {window.Check1->checkState() == Qt::Checked,
                                              window.Check4->checkState() == Qt::Checked});
}

// The fifteen controls a run holds, in the order it takes them and in the
// order it lets them go. The orders differ only in Text3 and Text4 coming back
// before the two boxes; that is how the program has always done it, and no
// handler runs on either, so the orders are kept, not relied on.
QList<QWidget *> heldControls(const Form1 &window, bool lettingGo)
{
    const Form1 &w = window;
    if (lettingGo)
        return {w.Command1, w.Command2, w.Command3, w.Command4, w.Command5,
                w.Command6, w.Command7, w.Command8, w.Command9, w.Text1,
                w.Text2,    w.Text3,    w.Text4,    w.Check1,   w.Check4};
    return {w.Command1, w.Command2, w.Command3, w.Command4, w.Command5,
            w.Command6, w.Command7, w.Command8, w.Command9, w.Text1,
            w.Text2,    w.Check1,   w.Check4,   w.Text3,    w.Text4};
}

bool askYesNoWarning(Form1 &window, const QString &text)
{
    return AskYesNo(&window, text + QStringLiteral("仍要填入成績嗎?"), QMessageBox::Warning,
                    QMessageBox::No);
}

// A question whose three buttons say what each answer does; the first of
// answers is the default.
QMessageBox::StandardButton askThreeWays(
    Form1 &window, const QString &text, QMessageBox::Icon icon,
    const std::array<std::pair<QMessageBox::StandardButton, QString>, 3> &answers)
{
    PromptRequest request;
    request.parent = &window;
    request.title = window.windowTitle();
    request.text = text;
    request.icon = icon;
    request.defaultButton = answers.front().first;
    request.buttons = {};
    for (const auto &[button, words] : answers) {
        request.buttons |= button;
        request.buttonTexts[button] = words;
    }
    return Prompt(request);
}

enum class Decimals { Keep, Round, Cancel };

Decimals askDecimals(Form1 &window, const QString &text)
{
    const QMessageBox::StandardButton answer = askThreeWays(
        window, text + QStringLiteral("「保留小數」照貼上的小數填入，「四捨五入」依設定進位。"),
        QMessageBox::Warning,
        {{{QMessageBox::No, QStringLiteral("取消")},
          {QMessageBox::Apply, QStringLiteral("保留小數")},
          {QMessageBox::Yes, QStringLiteral("四捨五入")}}});
    return answer == QMessageBox::Apply ? Decimals::Keep
         : answer == QMessageBox::Yes   ? Decimals::Round
                                        : Decimals::Cancel;
}

enum class Choice { ByStudent, InOrder, Cancel };

Choice askChoice(Form1 &window, const StudentMatch &match)
{
    const QMessageBox::StandardButton answer =
        askThreeWays(window, QString::fromStdU16String(StudentMatchMessage(match)),
                     QMessageBox::Question,
                     {{{QMessageBox::Yes, QStringLiteral("依學生填入")},
                       {QMessageBox::No, QStringLiteral("依序填入")},
                       {QMessageBox::Cancel, QStringLiteral("取消")}}});
    return answer == QMessageBox::Yes ? Choice::ByStudent
         : answer == QMessageBox::No  ? Choice::InOrder
                                      : Choice::Cancel;
}

} // namespace

FillRun::FillRun(Form1 *window)
    : QObject(window)
    , m_window(window)
{
}

FillRun::~FillRun() = default;

void FillRun::exec()
{
    using Step = Next (FillRun::*)();
    static constexpr Step steps[] = {
        &FillRun::askCursor, &FillRun::lookAtPage,   &FillRun::askHowToFill, &FillRun::askGuard,
        &FillRun::hold,      &FillRun::putBackFocus, &FillRun::type,         &FillRun::mend,
    };
    // Events run in any step may end the program and take the window, and
    // this run, with it: nothing of either is touched after that.
    const QPointer<FillRun> alive(this);
    for (const Step step : steps) {
        Next next = Next::Again;
        while (next == Next::Again) {
            next = (this->*step)();
            if (!alive)
                return;
        }
        if (next == Next::Stop)
            break;
    }
    letGo();
}

bool FillRun::askTypeWithoutField()
{
    return askYesNoWarning(*m_window, QStringLiteral("頁面上目前沒有選取可以輸入的欄位，"
                                                     "請先用滑鼠點一下第一個成績欄位。\n"));
}

// The questions come before anything is held, each asked at most once: is
// the cursor in the field, is there a field where the page's focus is, does
// the pasted block carry the students (then: fill each student's own
// field?), and is the plan what the teacher means (words typed as 0, text
// after a number, decimals rounded away, a paste longer or shorter than the
// column, more than one run takes). A page that cannot be looked into is not
// asked about, nor checked afterwards: a run is never stopped on what cannot
// be seen.
FillRun::Next FillRun::askCursor()
{
    // The box cannot change from here on: the questions are modal, then the
    // box is held.
    m_pasted = m_window->scoreText();
    m_text = TrimTrailingLineEnds(m_pasted);
    return AskYesNo(m_window, QStringLiteral("是否已經將游標移至要輸入的欄位上?"),
                    QMessageBox::NoIcon)
        ? Next::Step
        : Next::Stop;
}

FillRun::Next FillRun::lookAtPage()
{
    m_focus = FocusedPageElement(m_window->WB1->page());
    if (m_focus == PageFocus::NoField)
        return askTypeWithoutField() ? Next::Step : Next::Stop;
    if (m_focus == PageFocus::Field)
        m_column = FocusedColumn(m_window->WB1->page());
    return Next::Step;
}

FillRun::Next FillRun::askHowToFill()
{
    if (m_column.rows.empty() || !HoldsSeveralCells(m_text))
        return Next::Step;
    m_match = MatchStudents(m_text, m_column.rows);
    if (!m_match || !StudentFillOffered(*m_match)) {
        m_match.reset();
        return Next::Step;
    }
    const Choice choice = askChoice(*m_window, *m_match);
    if (choice == Choice::InOrder)
        m_match.reset();
    return choice == Choice::Cancel ? Next::Stop : Next::Step;
}

FillRun::Next FillRun::askGuard()
{
    FillOptions options = fillOptionsOf(*m_window);
    const auto plan = [&] {
        m_plan = m_match ? PlanByStudent(*m_match, options, m_column)
                         : PlanInOrder(m_text, options, m_column);
    };
    plan();
    const std::u16string warnings =
        m_match ? StudentFillWarnings(*m_match, options, m_plan, m_column)
                : OrderFillWarnings(m_text, m_plan, m_column, options);
    if (warnings.empty())
        return Next::Step;
    const QString text = QString::fromStdU16String(warnings) + u'\n';
    if (!DecimalsToChoose(m_plan, options))
        return askYesNoWarning(*m_window, text) ? Next::Step : Next::Stop;
    // Decimals the settings would round away: this run may keep them.
    switch (askDecimals(*m_window, text)) {
    case Decimals::Keep:
        options.KeepDecimals = true;
        plan();
        return Next::Step;
    case Decimals::Round:
        return Next::Step;
    case Decimals::Cancel:
        break;
    }
    return Next::Stop;
}

FillRun::Next FillRun::hold()
{
    m_window->holdForFill(true);
    m_held = true;
    m_window->removeTrailingLineBreaks((m_pasted.size() - m_text.size()) / 2);
    m_window->WB1->setFocus(Qt::OtherFocusReason);
    PumpMessages();
    return Next::Step;
}

// The keys go where the teacher left the page's focus, whatever has moved it
// since; when that field is gone, the teacher says where.
FillRun::Next FillRun::putBackFocus()
{
    m_window->WB1->waitForPageFocus(PageFocusTimeoutMs);
    if (m_focus == PageFocus::NoField)
        return Next::Step;
    bool kept = true;
    kept = RestorePageFocus(m_window->WB1->page());
    return kept || askTypeWithoutField() ? Next::Step : Next::Stop;
}

void FillRun::send(const KeystrokeScript &keys)
{
    QObject *receiver =
        m_window->WB1->focusProxy() ? m_window->WB1->focusProxy() : m_window->WB1;
    for (const std::u16string &one : keys)
        SendKeyString(receiver, one);
}

// Every keystroke of the plan handed to the page back to back, with no pause
// and no events between two keys; where an entry has a field of its own, the
// recorder puts it under the keys as the entry before ends.
FillRun::Next FillRun::type()
{
    bool recording = false;
    if (m_focus != PageFocus::Unknown && !m_plan.entries.empty()) {
        m_recorder = std::make_unique<PageRecorder>(m_window->WB1->page());
        recording = m_recorder->start(m_plan.entries);
    }
    for (const PlannedEntry &entry : m_plan.entries)
        send(entry.keys);
    if (!recording)
        return Next::Stop;
    std::vector<std::u16string> students;
    for (const PageRow &row : m_column.rows)
        students.push_back(RowShown(row));
    m_mending.emplace(m_plan.entries, std::move(students));
    return Next::Step;
}

// Once the page has settled, what a redraw of the page lost is typed again
// into its field, in rounds, as long as rounds bring entries back; then what
// still differs is what the teacher is told.
FillRun::Next FillRun::mend()
{
    std::optional<PageReport> report;
    report = m_recorder->finish();
    if (!report)
        return Next::Stop;
    const std::vector<std::size_t> again = m_mending->takeReport(*report);
    if (again.empty()) {
        m_differences = m_mending->message();
        return Next::Stop;
    }
    qCInfo(lcFill) << "types" << again.size() << "entries again";
    bool typing = false;
    typing = m_recorder->again(again);
    if (!typing)
        return Next::Stop;
    for (std::size_t i : again)
        send(m_plan.entries[i].keys);
    return Next::Again;
}

void FillRun::letGo()
{
    m_recorder.reset();
    PumpMessages();
    if (!m_held)
        return;
    m_window->holdForFill(false);
    const QPointer<FillRun> alive(this);
    if (!m_differences.empty())
        Tell(m_window, QString::fromStdU16String(m_differences).chopped(1), QMessageBox::Warning);
    // A page that let its window go during the run closes it now; a quit
    // that came meanwhile asks the page now.
    if (alive)
        m_window->closing(CloseEvent::FillLetGo);
}

void Form1::holdForFill(bool held)
{
    // The fill button has the focus after the teacher's click. Disabled with
    // it, it would hand the focus on as Tab does, and a browser that gets the
    // focus by Tab moves the page's focus to its first Tab stop (a header
    // link), away from the field the teacher clicked. So the browser takes
    // the focus first, as a click would give it, and the page keeps its own.
    if (held) {
        // The question box has just closed: without a window manager to hand
        // the activation back, the browser only gets the focus in an active
        // window.
        activateWindow();
        WB1->setFocus(Qt::OtherFocusReason);
    }
    for (QWidget *control : heldControls(*this, !held))
        control->setEnabled(!held);
    m_inputLock->setLocked(held);
}

// Types the pasted column into the page field the teacher has put the cursor
// in: ask, hold the window, type, let go, and speak only when the page holds
// something else than was typed.
void Form1::Command3_Click()
{
    const QPointer<FillRun> run = new FillRun(this);
    run->exec();
    delete run;
}

} // namespace gradecast
