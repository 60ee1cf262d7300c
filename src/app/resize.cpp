#include "app/form1.h"

#include "app/clickable_label.h"
#include "app/twips.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace gradecast {

namespace {

TwipsRect twipsOf(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return {twipsFromPixels(r.x()), twipsFromPixels(r.y()), twipsFromPixels(r.width()),
            twipsFromPixels(r.height())};
}

} // namespace

// Keeps the score column against the right edge and lets the browser take the
// rest; then records where the browser went, for the navigation handler.
void Form1::Form_Resize()
{
    const std::pair<QWidget *, TwipsRect LayoutControls::*> controls[] = {
        {Label2, &LayoutControls::Label2},   {Label3, &LayoutControls::Label3},
        {Label4, &LayoutControls::Label4},   {Text2, &LayoutControls::Text2},
        {Command3, &LayoutControls::Command3}, {Check1, &LayoutControls::Check1},
        {Check4, &LayoutControls::Check4},   {Text3, &LayoutControls::Text3},
        {Text4, &LayoutControls::Text4},     {WB1, &LayoutControls::WB1},
    };
    LayoutControls current;
    for (const auto &[widget, member] : controls)
        current.*member = twipsOf(widget);

    const LayoutControls laidOut =
        FormLayout(current, twipsFromPixels(width()), twipsFromPixels(height()));
    for (const auto &[widget, member] : controls)
        placeAt(widget, laidOut.*member);

    recordBrowserPlacement();
}

void Form1::recordBrowserPlacement()
{
    m_browserPlacement = RecordedPlacement(twipsOf(WB1));
}

} // namespace gradecast
