#include "app/form1.h"

#include "app/failures.h"
#include "app/input_lock.h"
#include "app/prompt.h"
#include "entry/entry_warnings.h"
#include "entry/keystroke_script.h"
#include "platform/key_delivery.h"
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

// Texts and decimals from the settings, separators from the boxes as they stand.
FillOptions fillOptionsOf(const Form1 &window)
{
    FillOptions options;
    options.AbsentText = window.settings().AbsentText;
    options.Score100Text = window.settings().Score100Text;
    options.DecimalPlaces = window.settings().DecimalPlaces;
    options.TabAfterEntry = window.Check1->checkState() == Qt::Checked;
    options.EnterAfterEntry = window.Check4->checkState() == Qt::Checked;
    return options;
}

// A header cell copied with the column is typed as 0 and pushes every score
// one field down; the teacher sees such entries before anything is typed.
bool confirmNonNumericEntries(Form1 &window, std::u16string_view text)
{
    std::vector<EntryWarning> warnings;
    SkipFailure([&] { warnings = NonNumericEntries(text, fillOptionsOf(window)); });
    if (warnings.empty())
        return true;
    return AskYesNo(&window,
                    QString::fromStdU16String(WarningLines(warnings))
                        + QStringLiteral("\n仍要填入成績嗎?"),
                    QMessageBox::Warning, QMessageBox::No);
}

} // namespace

// Types the pasted column into the page field the teacher has put the cursor
// in. The window is held against the user meanwhile; every step that fails is
// skipped, so the window is always released at the end.
void Form1::Command3_Click()
{
    if (!AskYesNo(this, QStringLiteral("是否已經將游標移至要輸入的欄位上?"), QMessageBox::NoIcon))
        return;
    // The box cannot change from here on: the questions are modal, then the
    // box is locked.
    std::u16string pasted;
    std::u16string text;
    SkipFailure([&] {
        pasted = scoreText();
        text = TrimTrailingLineEnds(pasted);
    });
    if (!confirmNonNumericEntries(*this, text))
        return;

    const QList<QWidget *> lockOrder = {Command1, Command2, Command3, Command4, Command5,
                                        Command6, Command7, Command8, Command9, Text1,
                                        Text2,    Check1,   Check4,   Text3,    Text4};
    for (QWidget *control : lockOrder)
        SkipFailure([&] { control->setEnabled(false); });

    SkipFailure([&] { removeTrailingLineBreaks((pasted.size() - text.size()) / 2); });
    // The question box has just closed: without a window manager to hand the
    // activation back, the browser only gets the focus in an active window.
    SkipFailure([&] { activateWindow(); });
    SkipFailure([&] { WB1->setFocus(Qt::OtherFocusReason); });
    SkipFailure([&] { m_inputLock->setLocked(true); });

    // Events run here may end the program and take this window with them;
    // nothing of it is touched after that.
    const QPointer<Form1> self(this);
    SkipFailure([] { PumpMessages(); });
    if (self)
        SkipFailure([&] { WB1->waitForPageFocus(PageFocusTimeoutMs); });
    if (self) {
        SkipFailure([&] {
            const FillOptions options = fillOptionsOf(*this);
            QObject *receiver = WB1->focusProxy() ? WB1->focusProxy() : WB1;
            for (const std::u16string &keys : BuildKeystrokeScript(text, options))
                SkipFailure([&] { SendKeyString(receiver, keys); });
        });
    }
    SkipFailure([] { PumpMessages(); });
    if (!self)
        return;

    const QList<QWidget *> unlockOrder = {Command1, Command2, Command3, Command4, Command5,
                                          Command6, Command7, Command8, Command9, Text1,
                                          Text2,    Text3,    Text4,    Check1,   Check4};
    for (QWidget *control : unlockOrder)
        SkipFailure([&] { control->setEnabled(true); });
    SkipFailure([&] { m_inputLock->setLocked(false); });
    if (m_closeAfterFill)
        close();
}

} // namespace gradecast
