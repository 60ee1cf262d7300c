#include "platform/failures.h"

namespace gradecast {

Q_LOGGING_CATEGORY(lcFailures, "gradecast.failures")

} // namespace gradecast
