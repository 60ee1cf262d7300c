// The window's layout for an inner size, on plain placements in twips.

#include "app/layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace gradecast {
namespace {

using Control = TwipsRect LayoutControls::*;
using Field = float TwipsRect::*;

struct NamedControl {
    const char *name;
    Control member;
};

constexpr NamedControl AllControls[] = {
    {"Label2", &LayoutControls::Label2}, {"Label3", &LayoutControls::Label3},
    {"Label4", &LayoutControls::Label4}, {"Text2", &LayoutControls::Text2},
    {"Command3", &LayoutControls::Command3}, {"Check1", &LayoutControls::Check1},
    {"Check4", &LayoutControls::Check4}, {"Text3", &LayoutControls::Text3},
    {"Text4", &LayoutControls::Text4}, {"WB1", &LayoutControls::WB1},
};

void expectSame(const LayoutControls &actual, const LayoutControls &expected)
{
    for (const auto &[name, member] : AllControls) {
        SCOPED_TRACE(name);
        EXPECT_EQ((actual.*member).left, (expected.*member).left);
        EXPECT_EQ((actual.*member).top, (expected.*member).top);
        EXPECT_EQ((actual.*member).width, (expected.*member).width);
        EXPECT_EQ((actual.*member).height, (expected.*member).height);
    }
}

void expectRecorded(const TwipsRect &browser, BrowserPlacement expected)
{
    const BrowserPlacement recorded = RecordedPlacement(browser);
    EXPECT_EQ(recorded.top, expected.top);
    EXPECT_EQ(recorded.left, expected.left);
    EXPECT_EQ(recorded.width, expected.width);
    EXPECT_EQ(recorded.height, expected.height);
}

// The layout a new window gets at its own inner size of 11880 x 8490.
LayoutControls fullLayout()
{
    LayoutControls c = DefinitionControls();
    c.Label2.left = 10505;
    c.Label3.left = 10315;
    c.Label4.left = 10375;
    c.Text2.left = 10355;
    c.Text2.height = 6295;
    c.Command3.left = 10325;
    c.Command3.top = 7955;
    c.Check1.left = c.Check4.left = 10445;
    c.Text3.left = c.Text4.left = 11225;
    c.WB1.width = 10195;
    c.WB1.height = 7430;
    return c;
}

// The definition laid out with one side of the inner area changed.
LayoutControls layoutAt(bool byHeight, double size)
{
    return byHeight ? FormLayout(DefinitionControls(), 11880, size)
                    : FormLayout(DefinitionControls(), size, 8490);
}

TEST(FormLayout, NewWindowSizeMovesTheColumnAndStretchesTheBrowser)
{
    const LayoutControls laidOut = FormLayout(DefinitionControls(), 11880, 8490);
    expectSame(laidOut, fullLayout());
    expectRecorded(laidOut.WB1, {960, 60, 10195, 7430});
    expectSame(FormLayout(laidOut, 11880, 8490), fullLayout());
}

TEST(FormLayout, NarrowerThanTheColumnLeavesMostOfItWhereTheLastLayoutPutIt)
{
    LayoutControls expected = fullLayout();
    expected.Text3.left = expected.Text4.left = 345;
    expected.WB1.width = 100;
    expectSame(FormLayout(fullLayout(), 1000, 8490), expected);
}

TEST(FormLayout, MinimizedKeepsPositionsAndShrinksSizesThenRestores)
{
    // Both sides just short of where the first position would reach zero, and nothing.
    const double minimizedSizes[][2] = {{0, 0}, {654, 534}};
    for (const auto &[w, h] : minimizedSizes) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        LayoutControls expected = fullLayout();
        expected.Text2.height = 100;
        expected.WB1.width = expected.WB1.height = 100;
        const LayoutControls minimized = FormLayout(fullLayout(), w, h);
        expectSame(minimized, expected);
        expectRecorded(minimized.WB1, {960, 60, 100, 100});

        const LayoutControls restored = FormLayout(minimized, 11880, 8490);
        expectSame(restored, fullLayout());
        expectRecorded(restored.WB1, {960, 60, 10195, 7430});
    }
}

// One value of the layout and the inner size (width, or height) at which it
// comes to exactly 0.
struct Threshold {
    const char *name;
    Control control;
    Field field;
    bool byHeight;
    double size;
};

float valueAt(const Threshold &c, double size)
{
    return layoutAt(c.byHeight, size).*c.control.*c.field;
}

TEST(FormLayout, PositionsAreWrittenFromZeroUpSizesOnlyAboveZero)
{
    const Threshold positions[] = {
        {"Text3", &LayoutControls::Text3, &TwipsRect::left, false, 655},
        {"Label3", &LayoutControls::Label3, &TwipsRect::left, false, 1565},
        {"Command3 top", &LayoutControls::Command3, &TwipsRect::top, true, 535},
    };
    for (const Threshold &c : positions) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(valueAt(c, c.size - 0.5), DefinitionControls().*c.control.*c.field);
        EXPECT_EQ(valueAt(c, c.size), 0.0f);
        EXPECT_EQ(valueAt(c, c.size + 1), 1.0f);
    }
    const Threshold sizes[] = {
        {"WB1 width", &LayoutControls::WB1, &TwipsRect::width, false, 1685},
        {"Text2 height", &LayoutControls::Text2, &TwipsRect::height, true, 2195},
    };
    for (const Threshold &c : sizes) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(valueAt(c, c.size - 1), 100.0f);
        EXPECT_EQ(valueAt(c, c.size), 100.0f);
        EXPECT_EQ(valueAt(c, c.size + 0.5), 0.5f);
    }
}

TEST(FormLayout, VeryLargeWindowIsRecordedExactly)
{
    const LayoutControls laidOut = FormLayout(DefinitionControls(), 600000, 400000);
    EXPECT_EQ(laidOut.Text3.left, 599345.0f);
    EXPECT_EQ(laidOut.Command3.top, 399465.0f);
    expectRecorded(laidOut.WB1, {960, 60, 598315, 398940});
}

TEST(RecordedPlacement, RoundsHalvesToEvenAndHoldsAtTheLimitsOfInt)
{
    const struct {
        float value;
        int recorded;
    } cases[] = {
        {7430.5f, 7430}, {7431.5f, 7432}, {-1.5f, -2},
        {3e9f, INT_MAX}, {-3e9f, INT_MIN}, {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(RecordedPlacement({0, 0, c.value, 0}).width, c.recorded);
    }
}

} // namespace
} // namespace gradecast
