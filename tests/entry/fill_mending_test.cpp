#include "entry/fill_mending.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

const std::vector<TypedEntry> Typed = {{1, u" 85", 1}, {2, u" 90", 1}, {3, u" 70", 1}};

// The page after the run or a round: per entry '=' kept, '~' landed and then
// emptied by the page.
PageReport page(std::u16string_view kept, bool navigated = false)
{
    PageReport report;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        LandedEntry landed;
        landed.keysSent = landed.keysSeen = 3;
        landed.field = int(i);
        landed.valueAtSeparator = Typed[i].typed;
        landed.value = kept[i] == u'=' ? Typed[i].typed : u"";
        report.entries.push_back(landed);
    }
    report.followedEntries = int(kept.size());
    report.navigated = navigated;
    return report;
}

TEST(FillMending, RoundsTypeAgainWhatWasLostUntilNothingMore)
{
    struct Row {
        const char *name;
        std::vector<PageReport> reports; // the run's, then each round's
        std::vector<std::vector<std::size_t>> typedAgain; // after each report
        std::u16string message;
    };
    const std::vector<Row> rows = {
        {"mended in round two", {page(u"~~="), page(u"=~="), page(u"===")}, {{0, 1}, {1}, {}},
         u""},
        {"still lost after the last round",
         {page(u"~~~"), page(u"~~="), page(u"~=~"), page(u"~==")},
         {{0, 1, 2}, {0, 1}, {0, 2}, {}},
         u"第 1 筆「 85」填入後被頁面清除，重新填入 3 次仍未保留。\n"},
    };
    for (const Row &row : rows) {
        FillMending mending(Typed);
        for (std::size_t r = 0; r < row.reports.size(); ++r)
            EXPECT_EQ(mending.takeReport(row.reports[r]), row.typedAgain[r]) << row.name << r;
        EXPECT_EQ(mending.message(), row.message) << row.name;
    }
}

} // namespace
} // namespace gradecast
