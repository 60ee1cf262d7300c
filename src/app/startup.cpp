#include "app/form1.h"

#include "app/failures.h"
#include "platform/web_browser.h"
#include "version.h"

#include <QCheckBox>
#include <QLineEdit>

namespace gradecast {

// Runs once per window, before it is first shown: the saved settings into the
// boxes, the browser off to the school system (or the home page), the version
// onto the title. A step that fails is skipped.
void Form1::Form_Load()
{
    SkipFailure([&] { LoadSettings(m_settings, SettingsFilePath()); });
    // Ticking a box runs its handler at once, which sets both flags; the Enter
    // test therefore sees what the Tab box left, and Tab wins when both are set.
    SkipFailure([&] {
        if (m_settings.UseTab > 0)
            Check1->setChecked(true);
    });
    SkipFailure([&] {
        if (m_settings.UseEnter > 0)
            Check4->setChecked(true);
    });
    SkipFailure([&] { Text3->setText(QString::fromStdU16String(m_settings.Score100Text)); });
    SkipFailure([&] { Text4->setText(QString::fromStdU16String(m_settings.AbsentText)); });
    SkipFailure([&] { WB1->setStatusBar(true); });
    SkipFailure([&] {
        if (!m_settings.SchoolUrl.empty()) {
            Text1->setText(QString::fromStdU16String(m_settings.SchoolUrl));
            WB1->Navigate(QString::fromStdU16String(m_settings.SchoolUrl));
        } else {
            Text1->setText(QString());
            WB1->GoHome();
        }
    });
    SkipFailure([&] { WB1->setSilent(true); });
    SkipFailure([&] {
        setWindowTitle(windowTitle() + QStringLiteral("ver%1.%2").arg(VersionMajor).arg(VersionMinor));
    });
}

} // namespace gradecast
