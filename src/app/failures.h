#pragma once

namespace gradecast {

// Handlers that skip failures run each statement through this: a statement
// that fails is dropped and the handler goes on with the next one. Failures
// in other handlers reach the application, which reports them and ends.
template <typename Statement>
void SkipFailure(Statement &&statement) noexcept
{
    try {
        statement();
    } catch (...) {
    }
}

} // namespace gradecast
