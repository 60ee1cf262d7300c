#pragma once

#include <QtGlobal>

namespace gradecast {

class Form1;

// A window has closed. The pages of other windows may run in the renderer
// process its page ran in (a pop-up and its opener do): when its script never
// yields, even after the window is gone, they stand still with it for good.
// When they do not answer within a moment, the teacher may have that
// renderer ended and their pages loaded again. Pages showing a box of their
// own are busy with the teacher, not stuck.
void CheckPagesStuckWith(qint64 rendererPid, const Form1 *closed);

// How long a page busy for a moment takes at most to answer (3 s); one that
// takes longer is taken as not answering.
int PageAnswerMs();

// Tests shorten the time so as not to wait it out; returns the time it replaces.
int SetPageAnswerMs(int ms);

} // namespace gradecast
