#include "app/form1.h"

#include "platform/web_browser.h"
#include "version.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gradecast {

// Runs once per window, before it is first shown: the saved settings into the
// boxes, the browser off to the school system (or the home page), the version
// onto the title. A settings file that cannot be read leaves the defaults.
void Form1::Form_Load()
{
    LoadSettings(m_settings, SettingsFilePath());
    // Ticking a box runs its handler at once, which records the choice.
    const SeparatorBoxes boxes = StartupSeparatorBoxes(m_settings);
    if (boxes.tab)
        Check1->setChecked(true);
    if (boxes.enter)
        Check4->setChecked(true);
    Text3->setText(QString::fromStdU16String(m_settings.Score100Text));
    Text4->setText(QString::fromStdU16String(m_settings.AbsentText));
    // The engine shows no status bar, so there is none to switch on.
    if (!m_settings.SchoolUrl.empty()) {
        Text1->setText(QString::fromStdU16String(m_settings.SchoolUrl));
        WB1->Navigate(QString::fromStdU16String(m_settings.SchoolUrl));
    } else {
        Text1->setText(QString());
        WB1->GoHome();
    }
    WB1->setSilent(true);
    setWindowTitle(windowTitle() + QStringLiteral("ver%1.%2").arg(VersionMajor).arg(VersionMinor));
}

} // namespace gradecast
