#pragma once

namespace gradecast {

// Ends the program at once: every window closes, nothing is saved.
void EndProgram();

} // namespace gradecast
