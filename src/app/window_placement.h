#pragma once

class QWidget;

namespace gradecast {

// The program's first window opens where the teacher left it: its size,
// place and maximised state, kept per user in Qt's own settings, not in the
// settings file (which the Windows program shares and which knows nothing
// of it). A place off every screen opens on one that is there. Windows that
// pages open keep the size their page asks for.
void KeepWindowPlacement(QWidget *window);

} // namespace gradecast
