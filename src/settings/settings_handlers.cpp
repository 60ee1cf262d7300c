#include "app/form1.h"

#include "app/prompt.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gradecast {

// Ticking one separator box clears the other and records the choice; clearing
// a box records nothing.
void Form1::Check1_Click()
{
    if (Check1->checkState() != Qt::Checked)
        return;
    if (Check4->checkState() == Qt::Checked)
        Check4->setCheckState(Qt::Unchecked);
    m_settings.UseTab = 1;
    m_settings.UseEnter = 0;
}

void Form1::Check4_Click()
{
    if (Check4->checkState() != Qt::Checked)
        return;
    if (Check1->checkState() == Qt::Checked)
        Check1->setCheckState(Qt::Unchecked);
    m_settings.UseTab = 0;
    m_settings.UseEnter = 1;
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
