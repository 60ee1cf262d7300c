#include "entry/fill_check.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

LandedEntry in(int field, std::u16string value, std::u16string rejection = u"-")
{
    return {true, field, std::move(value), rejection != u"-", rejection};
}

const LandedEntry Unseen{};
const LandedEntry NoField{true, -1, u"", false, u""};

TEST(FillCheck, TypedEntriesFollowTheSeparators)
{
    FillOptions tab;
    tab.AbsentText = u"缺";
    tab.TabAfterEntry = true;
    const auto entries = TypedEntries(u"85\r\n\r\n92.5", tab);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].typed, u"缺");
    EXPECT_EQ(entries[2].typed, u" 93");
    EXPECT_EQ(entries[2].place, 3);
    EXPECT_EQ(entries[2].separators, 1);

    // Neither box ticked: the whole run is one stretch into one field.
    tab.TabAfterEntry = false;
    const auto one = TypedEntries(u"85\r\n\r\n92.5", tab);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].typed, u" 85缺 93");
    EXPECT_EQ(one[0].separators, 0);
}

TEST(FillCheck, MessageNamesWhatDiffers)
{
    struct Row {
        const char *name;
        std::vector<std::u16string> typed;
        std::vector<LandedEntry> landed;
        bool navigated;
        std::u16string message;
    };
    const std::vector<Row> rows = {
        {"same text, same number", {u" 85", u" 100", u"07", u"A+", u" .5", u"-1"},
         {in(0, u" 85"), in(1, u"100"), in(2, u"7.0"), in(3, u"A+"), in(4, u"0.5"), in(5, u"-1")},
         false, u""},
        {"cut and filtered", {u" 100", u"缺"}, {in(0, u" 1"), in(1, u"")}, false,
         u"第 1 筆「 100」在欄位中成為「 1」。\n第 2 筆「缺」在欄位中成為「」。\n"},
        {"pre-filled field", {u" 85"}, {in(0, u"80 85")}, false,
         u"第 1 筆「 85」在欄位中成為「80 85」。\n"},
        {"two entries in one field", {u" 85", u" 90"}, {in(4, u" 85 90"), in(4, u" 85 90")},
         false, u"第 1 筆「 85」在欄位中成為「 85 90」。\n第 2 筆與第 1 筆進入同一個欄位。\n"},
        {"in no field", {u" 85"}, {NoField}, false, u"第 1 筆「 85」沒有進入任何輸入欄位。\n"},
        {"rejected by the page", {u" 85", u" 90"}, {in(0, u" 85", u"請輸入數字"), in(1, u" 90", u"")},
         false, u"第 1 筆「 85」頁面標示為錯誤：請輸入數字\n第 2 筆「 90」頁面標示為錯誤。\n"},
        {"empty entries and unseen ones are not judged", {u"", u" 85"}, {NoField, Unseen}, false,
         u""},
        {"navigated", {u" 85", u" 90"}, {in(0, u" 85"), Unseen}, true,
         u"填入時頁面換頁了，無法核對後面的成績。\n"},
        {"more than five", {u"1", u"2", u"3", u"4", u"5", u"6", u"7"},
         {NoField, NoField, NoField, NoField, NoField, NoField, NoField}, true,
         u"第 1 筆「1」沒有進入任何輸入欄位。\n第 2 筆「2」沒有進入任何輸入欄位。\n"
         u"第 3 筆「3」沒有進入任何輸入欄位。\n第 4 筆「4」沒有進入任何輸入欄位。\n"
         u"第 5 筆「5」沒有進入任何輸入欄位。\n另有 2 筆與填入的不符。\n"
         u"填入時頁面換頁了，無法核對後面的成績。\n"},
    };
    for (const Row &row : rows) {
        std::vector<TypedEntry> typed;
        for (const std::u16string &text : row.typed)
            typed.push_back({int(typed.size()) + 1, text, 1});
        EXPECT_EQ(FillCheckMessage(typed, {row.landed, row.navigated}), row.message) << row.name;
    }
}

TEST(FillCheck, OnlyPlainNumbersMatchByValue)
{
    EXPECT_TRUE(SameEntry(u" 85", u"85.00"));
    EXPECT_TRUE(SameEntry(u"-1", u"-1.0"));
    EXPECT_FALSE(SameEntry(u" 85", u"8 5"));
    EXPECT_FALSE(SameEntry(u" 85", u"85分"));
    EXPECT_FALSE(SameEntry(u"A+", u"A"));
    EXPECT_FALSE(SameEntry(u" 1", u"1e0"));
    EXPECT_FALSE(SameEntry(u".", u"0"));
}

} // namespace
} // namespace gradecast
