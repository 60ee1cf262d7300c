#pragma once

namespace gradecast {

class WebBrowser;

// The page's zoom factor one browser step up (direction > 0) or down from
// current, within 25 % to 500 %.
double NextZoomFactor(double current, int direction);

// Ctrl + wheel, Ctrl + plus (or =), Ctrl + minus and Ctrl + 0 zoom this
// browser's page. The zoom belongs to the window and stays while it navigates;
// it is never saved.
void EnableZoom(WebBrowser *browser);

} // namespace gradecast
