#pragma once

namespace gradecast {

// Placement of a control in twips, single precision as the toolkit stores it.
struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
};

// The controls the layout reads or moves.
struct LayoutControls {
    TwipsRect Label2, Label3, Label4, Text2, Command3, Check1, Check4, Text3, Text4, WB1;
};

// The new placement for an inner size W x H in twips: the right-hand column
// keeps to the right edge, the fill button to the bottom right corner, and the
// paste box and the browser stretch. A position that would go below zero stays
// where it was; a size that would not be positive becomes 100 twips.
LayoutControls FormLayout(LayoutControls controls, double innerWidth, double innerHeight);

// The browser's placement as the window records it, in whole twips.
struct BrowserPlacement {
    int top = 0, left = 0, width = 0, height = 0;
};

// Each value rounded to the nearest integer, halves to even; a value beyond
// the range of int is held at its limit.
BrowserPlacement RecordedPlacement(const TwipsRect &browser);

// The controls as a new window places them.
LayoutControls DefinitionControls();

} // namespace gradecast
