#include "layout/layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <sstream>
#include <tuple>

namespace gradecast {
namespace {

// One line per control, "name left top width height", so that a difference
// names the control.
std::string placements(const LayoutControls &c)
{
    std::ostringstream out;
    const auto put = [&out](const char *name, const TwipsRect &r) {
        out << name << " " << r.left << " " << r.top << " " << r.width << " " << r.height << "\n";
    };
    put("Label2", c.Label2), put("Label3", c.Label3), put("Label4", c.Label4);
    put("Text2", c.Text2), put("Command3", c.Command3), put("Check1", c.Check1);
    put("Check4", c.Check4), put("Text3", c.Text3), put("Text4", c.Text4), put("WB1", c.WB1);
    return out.str();
}

TEST(FormLayout, NewWindowSizeMovesTheColumnAndStretchesTheBrowser)
{
    // The layout a new window gets at its own inner size of 11880 x 8490.
    LayoutControls c = DefinitionControls();
    c.Label2.left = 10505, c.Label3.left = 10315, c.Label4.left = 10375;
    c.Text2.left = 10355, c.Text2.height = 6295;
    c.Command3.left = 10325, c.Command3.top = 7955;
    c.Check1.left = c.Check4.left = 10445;
    c.Text3.left = c.Text4.left = 11225;
    c.WB1.width = 10195, c.WB1.height = 7430;

    const LayoutControls laidOut = FormLayout(DefinitionControls(), 11880, 8490);
    EXPECT_EQ(placements(laidOut), placements(c));
    EXPECT_EQ(placements(FormLayout(laidOut, 11880, 8490)), placements(c));
    const BrowserPlacement p = RecordedPlacement(laidOut.WB1);
    EXPECT_EQ(std::tuple(p.top, p.left, p.width, p.height), std::tuple(960, 60, 10195, 7430));
}

TEST(FormLayout, PositionsAreWrittenFromZeroUpSizesOnlyAboveZero)
{
    // Text3's left comes to exactly 0 at an inner width of 655 and WB1's width at 1685: half
    // a twip short, the position stays where it was and the size becomes 100; half a twip
    // over, each is written unrounded.
    const LayoutControls d = DefinitionControls();
    const auto at = [&](double width) { return FormLayout(d, width, 8490); };
    EXPECT_EQ(std::tuple(at(654.5).Text3.left, at(655).Text3.left, at(655.5).Text3.left),
              std::tuple(d.Text3.left, 0.0f, 0.5f));
    EXPECT_EQ(std::tuple(at(1684.5).WB1.width, at(1685).WB1.width, at(1685.5).WB1.width),
              std::tuple(100.0f, 100.0f, 0.5f));
}

TEST(RecordedPlacement, RoundsHalvesToEvenAndHoldsAtTheLimitsOfInt)
{
    const std::pair<float, int> cases[] = {
        {7430.5f, 7430}, {7431.5f, 7432}, {-1.5f, -2},
        {3e9f, INT_MAX}, {-3e9f, INT_MIN}, {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto &[value, whole] : cases)
        EXPECT_EQ(RecordedPlacement({0, 0, value, 0}).width, whole) << value;
}

} // namespace
} // namespace gradecast
