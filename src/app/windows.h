#pragma once

#include <QList>

class QWidget;

namespace gradecast {

class Form1;

// Windows pages may have open at once; further requests are refused.
inline constexpr int MaxOpenWindows = 30;

// The program's open windows, in the order they opened. A window joins when
// it is created and leaves when it is destroyed or the program ends; whatever
// counts or walks the windows asks here.
void RegisterWindow(Form1 *window);
QList<Form1 *> OpenWindows();

// Whether a page of asking may open one more window. At the limit the teacher
// is told once, not once per refused window; the notice may come again after
// windows have been closed below the limit.
bool MayOpenWindow(Form1 *asking);

// Whether window is the last of the program's windows still shown: the
// program ends with it.
bool IsLastWindow(const Form1 *window);

// Ends the program: the windows open now close together once each page has
// let its window go; nothing is saved. A running download is asked about
// first (asking: the window whose button was pressed). When the teacher stays
// on a page, every window stays open.
void QuitProgram(QWidget *asking);

// Whether the pages are being asked to let the program end.
bool QuitInProgress();

} // namespace gradecast
