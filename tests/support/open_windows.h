#pragma once

#include "app/form1.h"

#include <QList>

namespace gradecast {

// The program's windows that are open (shown) now.
QList<Form1 *> openWindows();

} // namespace gradecast
