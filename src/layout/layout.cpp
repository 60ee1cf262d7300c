#include "layout/layout.h"

#include <climits>
#include <cmath>

namespace gradecast {

namespace {

constexpr double EdgeMargin = 100;  // between the column, the fill button and the window's edges
constexpr double LabelMargin = 650; // the caption labels sit left of their replacement boxes
constexpr float FallbackSize = 100;

// Each value is worked out in double and kept, and tested, as the single
// precision number the toolkit stores. The tests keep every written position
// at zero or more and every size above zero, so the toolkit never refuses one.
void placeEdge(float &edge, double value)
{
    const auto single = static_cast<float>(value);
    if (single >= 0)
        edge = single;
}

void placeSize(float &size, double value)
{
    const auto single = static_cast<float>(value);
    size = single > 0 ? single : FallbackSize;
}

int wholeTwips(float value)
{
    // Under the default rounding mode, which nothing here changes, halves go to even.
    const double rounded = std::nearbyint(static_cast<double>(value));
    if (std::isnan(rounded))
        return 0;
    if (rounded <= INT_MIN)
        return INT_MIN;
    if (rounded >= INT_MAX)
        return INT_MAX;
    return static_cast<int>(rounded);
}

} // namespace

LayoutControls FormLayout(LayoutControls c, double innerWidth, double innerHeight)
{
    const double w = innerWidth;
    const double h = innerHeight;
    placeEdge(c.Label2.left, w - c.Label2.width - EdgeMargin);
    placeEdge(c.Label3.left, w - c.Label3.width - LabelMargin);
    placeEdge(c.Label4.left, w - c.Label4.width - LabelMargin);
    placeEdge(c.Text2.left, w - c.Text2.width - EdgeMargin);
    placeSize(c.Text2.height, h - c.Command3.height - EdgeMargin - c.Text2.top - EdgeMargin);
    placeEdge(c.Command3.left, w - c.Command3.width - EdgeMargin);
    placeEdge(c.Command3.top, h - c.Command3.height - EdgeMargin);
    placeEdge(c.Check1.left, w - c.Check1.width - EdgeMargin);
    placeEdge(c.Check4.left, w - c.Check4.width - EdgeMargin);
    placeEdge(c.Text3.left, w - c.Text3.width - EdgeMargin);
    placeEdge(c.Text4.left, w - c.Text4.width - EdgeMargin);
    placeSize(c.WB1.width, w - c.Text2.width - EdgeMargin - c.WB1.left - EdgeMargin);
    placeSize(c.WB1.height, h - c.WB1.top - EdgeMargin);
    return c;
}

BrowserPlacement RecordedPlacement(const TwipsRect &browser)
{
    BrowserPlacement placement;
    placement.top = wholeTwips(browser.top);
    placement.left = wholeTwips(browser.left);
    placement.width = wholeTwips(browser.width);
    placement.height = wholeTwips(browser.height);
    return placement;
}

LayoutControls DefinitionControls()
{
    return {
        .Label2 = {10440, 1140, 1275, 435},
        .Label3 = {10320, 600, 915, 195},
        .Label4 = {10320, 900, 855, 195},
        .Text2 = {10380, 1560, 1425, 6375},
        .Command3 = {10380, 7980, 1455, 435},
        .Check1 = {10440, 60, 1335, 195},
        .Check4 = {10440, 300, 1335, 195},
        .Text3 = {11280, 540, 555, 285},
        .Text4 = {11280, 840, 555, 270},
        .WB1 = {60, 960, 10185, 7455},
    };
}

} // namespace gradecast
