#include "app/form1.h"

#include "platform/web_browser.h"

namespace gradecast {

// Both buttons open the address box's text as it stands, saved or not. Nothing
// here can fail: the engine reports a page that does not load on the page.
void Form1::Command1_Click()
{
    WB1->Navigate(QString::fromStdU16String(m_settings.SchoolUrl));
}

void Form1::Command8_Click()
{
    WB1->Navigate(QString::fromStdU16String(m_settings.SchoolUrl));
}

void Form1::Command4_Click()
{
    WB1->GoBack();
}

void Form1::Command5_Click()
{
    WB1->GoForward();
}

void Form1::Command6_Click()
{
    WB1->GoHome();
}

void Form1::Command7_Click()
{
    WB1->Refresh();
}

} // namespace gradecast
