#include "app/form1.h"

#include "app/windows.h"

namespace gradecast {

// Every window closes at once; nothing is saved.
void Form1::Command9_Click()
{
    CloseAllWindows();
}

} // namespace gradecast
