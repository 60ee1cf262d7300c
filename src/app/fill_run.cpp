#include "app/form1.h"

#include "app/input_lock.h"
#include "entry/entry_warnings.h"
#include "entry/fill_check.h"
#include "entry/fill_mending.h"
#include "entry/fill_plan.h"
#include "entry/keystroke_script.h"
#include "entry/pasted_lines.h"
#include "entry/run_options.h"
#include "entry/student_match.h"
#include "platform/failures.h"
#include "platform/key_delivery.h"
#include "platform/page_recorder.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

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

bool askTypeWithoutField(Form1 &window)
{
    return askYesNoWarning(window, QStringLiteral("頁面上目前沒有選取可以輸入的欄位，"
                                                  "請先用滑鼠點一下第一個成績欄位。\n"));
}

// What the questions decided: where the page's focus was, and what goes
// where (the column, a block, each student's own field, or the page's Tab
// order when no column holds the clicked field), with the students of the
// column's rows for the check.
struct Decided {
    PageFocus focus = PageFocus::Unknown;
    FillPlan plan;
    std::vector<std::u16string> students;
};

enum class Choice { ByStudent, InOrder, Cancel };

Choice askHowToFill(Form1 &window, const StudentMatch &match)
{
    PromptRequest request;
    request.parent = &window;
    request.title = window.windowTitle();
    request.text = QString::fromStdU16String(StudentMatchMessage(match));
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Yes;
    request.buttonTexts = {{QMessageBox::Yes, QStringLiteral("依學生填入")},
                           {QMessageBox::No, QStringLiteral("依序填入")},
                           {QMessageBox::Cancel, QStringLiteral("取消")}};
    const QMessageBox::StandardButton answer = Prompt(request);
    return answer == QMessageBox::Yes ? Choice::ByStudent
         : answer == QMessageBox::No  ? Choice::InOrder
                                      : Choice::Cancel;
}

// The questions before anything is held, each asked at most once: is the
// cursor in the field, is there a field where the page's focus is, does the
// pasted block carry the students (then: fill each student's own field?),
// and is the plan what the teacher means (words typed as 0, text after a
// number, decimals rounded away, a paste longer or shorter than the column,
// more than one run takes). A page that cannot be looked into is not asked
// about, nor checked afterwards: a run is never stopped on what cannot be seen.
std::optional<Decided> askToFill(Form1 &window, std::u16string_view text)
{
    if (!AskYesNo(&window, QStringLiteral("是否已經將游標移至要輸入的欄位上?"), QMessageBox::NoIcon))
        return std::nullopt;
    Decided decided;
    const QPointer<Form1> self(&window);
    SkipFailure([&] { decided.focus = FocusedPageElement(window.WB1->page()); });
    if (!self)
        return std::nullopt;
    if (decided.focus == PageFocus::NoField && !askTypeWithoutField(window))
        return std::nullopt;

    PageColumn column;
    if (decided.focus == PageFocus::Field)
        SkipFailure([&] { column = FocusedColumn(window.WB1->page()); });
    if (!self)
        return std::nullopt;
    for (const PageRow &row : column.rows)
        decided.students.push_back(RowShown(row));

    std::optional<StudentMatch> match;
    if (!column.rows.empty() && HoldsSeveralCells(text)) {
        SkipFailure([&] { match = MatchStudents(text, column.rows); });
        if (match && !StudentFillOffered(*match))
            match.reset();
    }
    if (match) {
        const Choice choice = askHowToFill(window, *match);
        if (choice == Choice::Cancel || !self)
            return std::nullopt;
        if (choice == Choice::InOrder)
            match.reset();
    }

    const FillOptions options = fillOptionsOf(window);
    std::u16string warnings;
    SkipFailure([&] {
        decided.plan = match ? PlanByStudent(*match, options, column)
                             : PlanInOrder(text, options, column);
        warnings = match ? StudentFillWarnings(*match, options, decided.plan, column)
                         : OrderFillWarnings(text, decided.plan, column, options);
    });
    if (!warnings.empty() && !askYesNoWarning(window, QString::fromStdU16String(warnings) + u'\n'))
        return std::nullopt;
    return decided;
}

// Types the plan: every keystroke handed to the page back to back, with no
// pause and no events between two keys; where an entry has a field of its
// own, the recorder puts it under the keys as the entry before ends.
// Checked runs then wait for the page to settle, type again what a redraw
// of the page lost (in rounds, as long as rounds bring entries back), and
// return what the teacher is to be told.
std::u16string typeScores(Form1 &window, const Decided &decided)
{
    const std::vector<PlannedEntry> &entries = decided.plan.entries;
    PageRecorder recorder(window.WB1->page());
    const QPointer<Form1> self(&window);
    const bool check = decided.focus != PageFocus::Unknown;
    const bool recording = check && !entries.empty() && recorder.start(entries);
    if (!self)
        return {};

    QObject *receiver = window.WB1->focusProxy() ? window.WB1->focusProxy() : window.WB1;
    const auto send = [&](const KeystrokeScript &keys) {
        for (const std::u16string &one : keys)
            SkipFailure([&] { SendKeyString(receiver, one); });
    };
    for (const PlannedEntry &entry : entries)
        send(entry.keys);
    if (!recording)
        return {};

    FillMending mending(entries, decided.students);
    std::optional<PageReport> report = recorder.finish();
    for (int round = 1; report && self; ++round) {
        const std::vector<std::size_t> again = mending.takeReport(*report);
        if (again.empty())
            return mending.message();
        qCInfo(lcFill) << "round" << round << "types" << again.size() << "entries again";
        if (!recorder.again(again) || !self)
            return {};
        for (std::size_t i : again)
            send(entries[i].keys);
        report = recorder.finish();
    }
    return {};
}

} // namespace

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
// something else than was typed. Every step that fails is skipped, so the
// window is always let go at the end.
void Form1::Command3_Click()
{
    // The box cannot change from here on: the questions are modal, then the
    // box is held.
    std::u16string pasted;
    std::u16string text;
    SkipFailure([&] {
        pasted = scoreText();
        text = TrimTrailingLineEnds(pasted);
    });
    const QPointer<Form1> self(this);
    const std::optional<Decided> decided = askToFill(*this, text);
    if (!decided || !self)
        return;

    holdForFill(true);
    SkipFailure([&] { removeTrailingLineBreaks((pasted.size() - text.size()) / 2); });
    WB1->setFocus(Qt::OtherFocusReason);

    // Events run here may end the program and take this window with them;
    // nothing of it is touched after that.
    SkipFailure([] { PumpMessages(); });
    if (self)
        SkipFailure([&] { WB1->waitForPageFocus(PageFocusTimeoutMs); });
    // The keys go where the teacher left the page's focus, whatever has
    // moved it since; when that field is gone, the teacher says where.
    bool typing = true;
    if (self && decided->focus != PageFocus::NoField) {
        SkipFailure([&] { typing = RestorePageFocus(WB1->page()); });
        typing = typing || (self && askTypeWithoutField(*this));
    }
    std::u16string differences;
    if (self && typing)
        SkipFailure([&] { differences = typeScores(*this, *decided); });
    SkipFailure([] { PumpMessages(); });
    if (!self)
        return;

    holdForFill(false);
    if (!differences.empty())
        Tell(this, QString::fromStdU16String(differences).chopped(1), QMessageBox::Warning);
    if (self && m_closeAfterFill)
        close();
}

} // namespace gradecast
