#include "platform/freed_memory.h"

#include <QCoreApplication>
#include <QTimer>

#include <malloc.h>

namespace gradecast {

namespace {

constexpr int SettleMilliseconds = 1000;

} // namespace

void ReturnFreedMemorySoon()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        QTimer::singleShot(SettleMilliseconds, application, [] { malloc_trim(0); });
}

} // namespace gradecast
