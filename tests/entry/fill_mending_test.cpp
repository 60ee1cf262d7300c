#include "entry/fill_mending.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

const std::vector<PlannedEntry> Typed = {{1, u" 85", 1}, {2, u" 90", 1}, {3, u" 70", 1}};

// The page after the run or a round: per entry '=' kept, '~' landed and then
// emptied by the page.
PageReport page(std::u16string_view kept)
{
    PageReport report;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        report.entries.push_back({.keysSent = 3, .keysSeen = 3, .field = int(i), .fieldGone = false,
                                  .value = kept[i] == u'=' ? Typed[i].typed : u"",
                                  .valueAtSeparator = Typed[i].typed, .redrawn = false,
                                  .rejected = false, .rejection = {}});
    }
    report.followedEntries = int(kept.size());
    return report;
}

TEST(FillMending, RoundsTypeAgainWhatWasLostAtMostThreeTimes)
{
    // The first entry is still lost after the third round; the teacher hears how often.
    using Again = std::vector<std::size_t>;
    FillMending lost(Typed);
    EXPECT_EQ(lost.takeReport(page(u"~~~")), (Again{0, 1, 2}));
    EXPECT_EQ(lost.takeReport(page(u"~~=")), (Again{0, 1}));
    EXPECT_EQ(lost.takeReport(page(u"~=~")), (Again{0, 2}));
    EXPECT_EQ(lost.takeReport(page(u"~==")), Again{});
    EXPECT_EQ(lost.message(), u"第 1 筆「 85」填入後被頁面清除，重新填入 3 次仍未保留。\n");
}

} // namespace
} // namespace gradecast
