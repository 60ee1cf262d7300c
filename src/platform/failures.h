#pragma once

#include <QLoggingCategory>

#include <exception>

namespace gradecast {

// Skipped failures leave a line here ("gradecast.failures"), so a teacher's
// report can be traced without the program saying anything.
Q_DECLARE_LOGGING_CATEGORY(lcFailures)

// Handlers that skip failures run each statement through this: a statement
// that fails is dropped and the handler goes on with the next one. Failures
// in other handlers reach the application, which reports them and ends.
template <typename Statement>
void SkipFailure(Statement &&statement) noexcept
{
    try {
        statement();
    } catch (const std::exception &failure) {
        qCDebug(lcFailures) << "skipped a failed statement:" << failure.what();
    } catch (...) {
        qCDebug(lcFailures) << "skipped a failed statement";
    }
}

} // namespace gradecast
