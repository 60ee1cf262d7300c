#include "entry/entry_warnings.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

std::u16string lines(const std::u16string &text, const FillOptions &options = {})
{
    return WarningLines(NonNumericEntries(text, options));
}

TEST(EntryWarnings, NameEntriesThatAreNotTypedAsTheyStand)
{
    // A header cell on top, a stray word, a cell of blanks, a lone sign; then
    // the entries whose number is followed by something else. Absent students,
    // plain decimals, signs, blanks around a number and &H numbers are fine.
    EXPECT_EQ(lines(u"國文\r\n8O\r\n\r\n90分\r\nabc\r\n   \r\n-\r\n.5\r\n1OO\r\n65(補考)\r\n1E"),
              u"第 1 筆「國文」不是數字，會輸入 0。\n"
              u"第 5 筆「abc」不是數字，會輸入 0。\n"
              u"第 6 筆「   」不是數字，會輸入 0。\n"
              u"第 7 筆「-」不是數字，會輸入 0。\n"
              u"第 2 筆「8O」會輸入 8\n"
              u"另有 4 筆數字後還有其他文字。\n");
    EXPECT_EQ(lines(u"85\t\t90\r\n 85 \r\n-1\r\n87.5\r\n+3\r\n1e2\r\n&H1F\r\n8 5"), u"");
    EXPECT_EQ(lines(u""), u"");

    // What is typed follows the options.
    FillOptions twoDigits;
    twoDigits.Score100Text = u"A+";
    EXPECT_EQ(lines(u"缺\r\n100分", twoDigits),
              u"第 1 筆「缺」不是數字，會輸入 00。\n第 2 筆「100分」會輸入 A+\n");
}

TEST(EntryWarnings, NameFiveOfBothKindsAndCountTheRestOfEach)
{
    std::u16string column;
    for (int i = 0; i < 7; ++i)
        column += u"x\r\n";
    const std::u16string text = lines(column + u"85\r\n9O\r\n9O");
    EXPECT_NE(text.find(u"第 5 筆「x」"), std::u16string::npos);
    EXPECT_EQ(text.find(u"第 6 筆"), std::u16string::npos);
    EXPECT_NE(text.find(u"另有 2 筆不是數字。\n另有 2 筆數字後還有其他文字。\n"),
              std::u16string::npos);
}

TEST(EntryWarnings, OnlyTheEntriesARunTypesAndTheRestCounted)
{
    std::u16string column;
    for (int i = 0; i < MaxEntriesPerRun; ++i)
        column += u"85\r\n";
    EXPECT_TRUE(NonNumericEntries(column + u"header", {}).empty());

    const auto warnings = NonNumericEntries(column.substr(4) + u"word", {});
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].place, MaxEntriesPerRun);

    // 60 entries, the last with its line end trimmed: nothing left out. A
    // 35 x 3 block from a spreadsheet: 105 entries.
    EXPECT_EQ(EntriesLeftOutLine(column.substr(0, column.size() - 2)), u"");
    std::u16string block;
    for (int row = 0; row < 35; ++row)
        block += u"85\t90\t70\r\n";
    EXPECT_EQ(ColumnWarnings(TrimTrailingLineEnds(block), {}),
              u"只會填入前 60 筆，另有 45 筆這次不會填入。\n");
}

TEST(EntryWarnings, LongCellsAreShownByTheirStartWithoutHalfACharacter)
{
    // The 20th unit starts a surrogate pair: the pair goes, not half of it.
    const std::u16string start = u"這是一段很長很長很長很長的說明文字，不";
    const std::u16string line =
        WarningLine(NonNumericEntries(start + u"\U0001F600是成績", {}).at(0));
    EXPECT_NE(line.find(u"「" + start + u"…」"), std::u16string::npos);
}

} // namespace
} // namespace gradecast
