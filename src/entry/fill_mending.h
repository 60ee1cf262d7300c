#pragma once

#include "entry/fill_check.h"

#include <cstddef>
#include <string>
#include <vector>

namespace gradecast {

// Pages that post each change to their server and redraw the table with its
// answer lose scores that had landed when answers come back out of order.
// After the run, each entry lost that way is typed again into its field, in
// rounds, each read once the page has settled again.
inline constexpr int MaxMendingRounds = 3;

// The bookkeeping of those rounds over the page's reports. The loop that
// types: take the run's report; while it returns entries, type them again
// and take the next report; then tell message().
class FillMending
{
public:
    // rows: the students of the rows the entries' targets count, for the message.
    FillMending(std::vector<PlannedEntry> typed, std::vector<std::u16string> rows = {});

    // Takes the report read after the run or after the round just typed (on
    // every entry, each as last typed) and returns the entries to type again
    // now, as positions in typed. Empty once nothing is lost, the page was
    // left or is still busy, or MaxMendingRounds rounds were typed: a page
    // that drops an entry on every answer is told after the last round.
    std::vector<std::size_t> takeReport(PageReport report);

    // What the teacher is told about the last report taken: empty when every
    // entry is as typed, also when rounds were needed to get there.
    std::u16string message() const;

private:
    std::vector<PlannedEntry> m_typed;
    std::vector<std::u16string> m_rows;
    PageReport m_report;
    std::vector<int> m_typedAgain;       // per entry: how often it was typed again
    int m_rounds = 0;
};

} // namespace gradecast
