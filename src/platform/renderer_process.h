#pragma once

#include <QtGlobal>

namespace gradecast {

// Ends a renderer process of the browser engine at once, with every page it
// runs. The engine has no call for it: a renderer whose script never yields
// does not hear any request. False when the process could not be ended.
bool EndRendererProcess(qint64 pid);

} // namespace gradecast
