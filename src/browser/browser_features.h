#pragma once

class QCoreApplication;

namespace gradecast {

class WebBrowser;

// The parts that serve every window at once (the pages' scripts, downloads,
// the wheel zoom), set up once when the program starts.
void EquipProgram(QCoreApplication *application);

// What a teacher's browser does beside the score page: certificate questions,
// downloads, printing, sign-in and zoom. Every window's browser gets them,
// pop-ups included.
void EquipBrowser(WebBrowser *browser);

} // namespace gradecast
