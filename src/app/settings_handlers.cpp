#include "app/form1.h"

#include "platform/prompt.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gradecast {

namespace {

// Ticking one separator box clears the other and records the choice; clearing
// a box records nothing.
void recordSeparator(SettingsRecord &settings, QCheckBox *ticked, QCheckBox *other, bool tab)
{
    if (ticked->checkState() != Qt::Checked)
        return;
    if (other->checkState() == Qt::Checked)
        other->setCheckState(Qt::Unchecked);
    settings.UseTab = tab ? 1 : 0;
    settings.UseEnter = tab ? 0 : 1;
}

} // namespace

void Form1::Check1_Click()
{
    recordSeparator(m_settings, Check1, Check4, true);
}

void Form1::Check4_Click()
{
    recordSeparator(m_settings, Check4, Check1, false);
}

// The address box is the school system's address, saved or not.
void Form1::Text1_Change()
{
    m_settings.SchoolUrl = Text1->text().toStdU16String();
}

void Form1::Text3_Change()
{
    m_settings.Score100Text = TrimSpaces(Text3->text().toStdU16String());
}

void Form1::Text4_Change()
{
    m_settings.AbsentText = TrimSpaces(Text4->text().toStdU16String());
}

void Form1::Command2_Click()
{
    if (!AskYesNo(this,
                  QStringLiteral("確定要將目前設定的校務行政網址,使用Tab,使用Enter,100分使用,"
                                 "缺考使用...等參數儲存?"),
                  QMessageBox::Critical))
        return;

    const std::filesystem::path file = SettingsFilePath();
    const ProfileWriteResult result = SaveSettings(m_settings, file);
    if (result.ok)
        return;
    // The settings stay as they are in this window; the teacher must know
    // that they did not reach the file.
    Tell(this,
         QStringLiteral("無法儲存設定參數到 %1\n\n%2")
             .arg(QString::fromStdString(file.string()), QString::fromStdString(result.error)),
         QMessageBox::Critical);
}

} // namespace gradecast
