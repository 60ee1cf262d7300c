#include "entry/fill_mending.h"

namespace gradecast {

FillMending::FillMending(std::vector<PlannedEntry> typed, std::vector<std::u16string> rows)
    : m_typed(std::move(typed))
    , m_rows(std::move(rows))
    , m_typedAgain(m_typed.size(), 0)
{
}

std::vector<std::size_t> FillMending::takeReport(PageReport report)
{
    std::vector<std::size_t> lost = EntriesToTypeAgain(m_typed, report);
    m_report = std::move(report);
    if (m_rounds == MaxMendingRounds)
        lost.clear();
    for (std::size_t i : lost)
        ++m_typedAgain[i];
    m_rounds += lost.empty() ? 0 : 1;
    return lost;
}

std::u16string FillMending::message() const
{
    return FillCheckMessage(m_typed, m_report, m_typedAgain, m_rows);
}

} // namespace gradecast
