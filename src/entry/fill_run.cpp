#include "app/form1.h"

#include "app/failures.h"
#include "app/input_lock.h"
#include "app/prompt.h"
#include "entry/keystroke_script.h"
#include "platform/key_delivery.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace gradecast {

// Types the pasted column into the page field the teacher has put the cursor
// in. The window is held against the user meanwhile; every step that fails is
// skipped, so the window is always released at the end.
void Form1::Command3_Click()
{
    if (!AskYesNo(this, QStringLiteral("是否已經將游標移至要輸入的欄位上?"), QMessageBox::NoIcon))
        return;

    const QList<QWidget *> lockOrder = {Command1, Command2, Command3, Command4, Command5,
                                        Command6, Command7, Command8, Command9, Text1,
                                        Text2,    Check1,   Check4,   Text3,    Text4};
    for (QWidget *control : lockOrder)
        SkipFailure([&] { control->setEnabled(false); });

    std::u16string text;
    SkipFailure([&] { text = TrimTrailingLineEnds(scoreText()); });
    SkipFailure([&] { setScoreText(text); });
    SkipFailure([&] { WB1->setFocus(Qt::OtherFocusReason); });
    SkipFailure([&] { m_inputLock->setLocked(true); });

    // The page may close this window while events run; nothing of it is
    // touched after that.
    const QPointer<Form1> self(this);
    SkipFailure([] { PumpMessages(); });
    if (self) {
        SkipFailure([&] {
            FillOptions options;
            options.AbsentText = m_settings.AbsentText;
            options.Score100Text = m_settings.Score100Text;
            options.DecimalPlaces = m_settings.DecimalPlaces;
            options.TabAfterEntry = Check1->checkState() == Qt::Checked;
            options.EnterAfterEntry = Check4->checkState() == Qt::Checked;
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
}

} // namespace gradecast
