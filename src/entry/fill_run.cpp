#include "app/form1.h"

#include "app/failures.h"
#include "app/input_lock.h"
#include "app/prompt.h"
#include "entry/entry_warnings.h"
#include "entry/fill_check.h"
#include "entry/keystroke_script.h"
#include "platform/key_delivery.h"
#include "platform/page_recorder.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace gradecast {

namespace {

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

// The questions before anything is held, each asked at most once: is the
// cursor in the field, is there a field where the page's focus is, and is
// the column what the teacher means (words typed as 0, text after a number,
// more than one run takes). What has the focus is returned when the run is to
// go on. A page that cannot be looked into is not asked about, nor checked
// afterwards: a run is never stopped on what cannot be seen.
std::optional<PageFocus> askToFill(Form1 &window, std::u16string_view text)
{
    if (!AskYesNo(&window, QStringLiteral("是否已經將游標移至要輸入的欄位上?"), QMessageBox::NoIcon))
        return std::nullopt;
    PageFocus focus = PageFocus::Unknown;
    const QPointer<Form1> self(&window);
    SkipFailure([&] { focus = FocusedPageElement(window.WB1->page()); });
    if (!self)
        return std::nullopt;
    if (focus == PageFocus::NoField && !askTypeWithoutField(window))
        return std::nullopt;
    std::u16string warnings;
    SkipFailure([&] { warnings = ColumnWarnings(text, fillOptionsOf(window)); });
    if (!warnings.empty() && !askYesNoWarning(window, QString::fromStdU16String(warnings) + u'\n'))
        return std::nullopt;
    return focus;
}

// Hands every keystroke of the run to the page's focus, back to back: no
// pause, no events between two keys. With check, a recorder goes into the
// page first; then the run waits for the page to take the keys and returns
// what each entry's field holds.
std::optional<PageReport> typeScores(Form1 &window, std::u16string_view text, bool check)
{
    const FillOptions options = fillOptionsOf(window);
    const KeystrokeScript script = BuildKeystrokeScript(text, options);
    PageRecorder recorder(window.WB1->page());
    const QPointer<Form1> self(&window);
    const bool recording =
        check && !script.empty() && recorder.start(script, TypedEntries(text, options));
    if (!self)
        return std::nullopt;

    QObject *receiver = window.WB1->focusProxy() ? window.WB1->focusProxy() : window.WB1;
    for (const std::u16string &keys : script)
        SkipFailure([&] { SendKeyString(receiver, keys); });
    if (!recording)
        return std::nullopt;
    return recorder.finish();
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
        SkipFailure([&] { activateWindow(); });
        SkipFailure([&] { WB1->setFocus(Qt::OtherFocusReason); });
    }
    for (QWidget *control : heldControls(*this, !held))
        SkipFailure([&] { control->setEnabled(!held); });
    SkipFailure([&] { m_inputLock->setLocked(held); });
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
    const std::optional<PageFocus> focus = askToFill(*this, text);
    if (!focus || !self)
        return;

    holdForFill(true);
    SkipFailure([&] { removeTrailingLineBreaks((pasted.size() - text.size()) / 2); });
    SkipFailure([&] { WB1->setFocus(Qt::OtherFocusReason); });

    // Events run here may end the program and take this window with them;
    // nothing of it is touched after that.
    SkipFailure([] { PumpMessages(); });
    if (self)
        SkipFailure([&] { WB1->waitForPageFocus(PageFocusTimeoutMs); });
    // The keys go where the teacher left the page's focus, whatever has
    // moved it since; when that field is gone, the teacher says where.
    bool typing = true;
    if (self && *focus != PageFocus::NoField) {
        SkipFailure([&] { typing = RestorePageFocus(WB1->page()); });
        typing = typing || (self && askTypeWithoutField(*this));
    }
    std::optional<PageReport> landed;
    if (self && typing)
        SkipFailure([&] { landed = typeScores(*this, text, focus != PageFocus::Unknown); });
    SkipFailure([] { PumpMessages(); });
    if (!self)
        return;

    holdForFill(false);
    std::u16string differences;
    SkipFailure([&] {
        if (landed)
            differences = FillCheckMessage(TypedEntries(text, fillOptionsOf(*this)), *landed);
    });
    if (!differences.empty())
        Tell(this, QString::fromStdU16String(differences).chopped(1), QMessageBox::Warning);
    if (self && m_closeAfterFill)
        close();
}

} // namespace gradecast
