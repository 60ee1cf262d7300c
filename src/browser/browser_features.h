#pragma once

namespace gradecast {

class WebBrowser;

// What a teacher's browser does beside the score page: certificate questions,
// downloads, printing, sign-in and zoom. Every window's browser gets them,
// pop-ups included.
void EquipBrowser(WebBrowser *browser);

} // namespace gradecast
