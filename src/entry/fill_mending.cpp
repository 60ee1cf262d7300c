#include "entry/fill_mending.h"

#include <algorithm>

namespace gradecast {

FillMending::FillMending(std::vector<TypedEntry> typed)
    : m_typed(std::move(typed))
    , m_typedAgain(m_typed.size(), 0)
{
}

std::vector<std::size_t> FillMending::takeReport(PageReport report)
{
    std::vector<std::size_t> lost = EntriesToTypeAgain(m_typed, report);
    m_report = std::move(report);
    const bool broughtBack =
        m_rounds == 0 || std::any_of(m_lastRound.begin(), m_lastRound.end(), [&](std::size_t i) {
            return std::find(lost.begin(), lost.end(), i) == lost.end();
        });
    if (!broughtBack || m_rounds == MaxMendingRounds)
        lost.clear();
    for (std::size_t i : lost)
        ++m_typedAgain[i];
    m_rounds += lost.empty() ? 0 : 1;
    m_lastRound = lost;
    return lost;
}

std::u16string FillMending::message() const
{
    return FillCheckMessage(m_typed, m_report, m_typedAgain);
}

} // namespace gradecast
