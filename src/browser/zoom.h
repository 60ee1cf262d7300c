#pragma once

class QCoreApplication;

namespace gradecast {

class WebBrowser;

// Ctrl + wheel over any browser zooms its page: one filter for the program,
// put in once at its start (the page's own widget takes the wheel first).
void EnableWheelZoom(QCoreApplication *application);

// Ctrl + wheel, Ctrl + plus (or =), Ctrl + minus and Ctrl + 0 zoom this
// browser's page. The zoom belongs to the window and stays while it navigates;
// it is never saved.
void EnableZoom(WebBrowser *browser);

} // namespace gradecast
