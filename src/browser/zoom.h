#pragma once

namespace gradecast {

class WebBrowser;

// Ctrl + wheel, Ctrl + plus (or =), Ctrl + minus and Ctrl + 0 zoom this
// browser's page. The zoom belongs to the window and stays while it navigates;
// it is never saved.
void EnableZoom(WebBrowser *browser);

} // namespace gradecast
