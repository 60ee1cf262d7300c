#include "platform/renderer_process.h"

#include <csignal>

namespace gradecast {

bool EndRendererProcess(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), SIGKILL) == 0;
}

} // namespace gradecast
