#pragma once

namespace gradecast {

// Hands the memory that closed windows freed back to the system, a moment
// after a window has gone (the browser engine frees its part later than the
// window). Without it the allocator keeps it for reuse, and the program stays
// as large as it was with its most windows open.
void ReturnFreedMemorySoon();

} // namespace gradecast
