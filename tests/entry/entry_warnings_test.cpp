#include "entry/entry_warnings.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

std::u16string lines(const std::u16string &text, const FillOptions &options = {})
{
    return WarningLines(EntryWarnings(text, options), options);
}

const std::u16string Rounded = u"筆含小數，會四捨五入：";
const std::u16string ByDecimal = u"。（設定檔 DECIMAL 可保留小數）\n";

TEST(EntryWarnings, NameEntriesNotTypedAsTheyStand)
{
    FillOptions oneDecimal;
    oneDecimal.DecimalPlaces = 1;
    FillOptions score100;
    score100.Score100Text = u"A+";
    const struct {
        std::u16string text;
        FillOptions options;
        std::u16string expected;
    } cases[] = {
        // Words, blanks, a lone sign; then numbers followed by more; then decimals rounded away.
        {u"國文\r\n8O\r\n\r\n90分\r\nabc\r\n   \r\n-\r\n.5\r\n1OO\r\n65(補考)\r\n1E", {},
         u"第 1 筆「國文」不是數字，會輸入 0。\n第 5 筆「abc」不是數字，會輸入 0。\n"
         u"第 6 筆「   」不是數字，會輸入 0。\n第 7 筆「-」不是數字，會輸入 0。\n"
         u"第 2 筆「8O」會輸入 8\n另有 4 筆數字後還有其他文字。\n有 1 " + Rounded + u".5 → 1"
             + ByDecimal},
        // Absent, a decimal that loses nothing, signs, blanks around and &H numbers are fine.
        {u"85\t\t90\r\n 85 \r\n-1\r\n87.0\r\n+3\r\n1e2\r\n&H1F\r\n8 5", {}, u""},
        {u"缺\r\n100分", score100, u"第 1 筆「缺」不是數字，會輸入 00。\n第 2 筆「100分」會輸入 A+\n"},
        {u"87.0\r\n-2.5\r\n\r\n 3.25 ", {}, u"有 2 " + Rounded + u"-2.5 → -2、3.25 → 3" + ByDecimal},
        {u"87.5\r\n92.25\r\n-2.5", oneDecimal, u"有 1 " + Rounded + u"92.25 → 92.3" + ByDecimal},
        {u"87.5\r\n99.5\r\n100", score100,
         u"有 2 " + Rounded + u"87.5 → 88、99.5 → A+。（有設定「100分使用」時，成績只輸入整數）\n"},
        {u"87.5\r\n1.5\r\n2.5\r\n3.5\r\n4.5\r\n5.5", {},
         u"有 6 " + Rounded + u"87.5 → 88、1.5 → 2、2.5 → 3、3.5 → 4、4.5 → 5 等" + ByDecimal},
        // Said once: an entry with text after its number is named for that.
        {u"87.5分\r\n87.5", {}, u"第 1 筆「87.5分」會輸入 88\n有 1 " + Rounded + u"87.5 → 88" + ByDecimal},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lines(c.text, c.options), c.expected) << testing::PrintToString(c.text);
}

TEST(EntryWarnings, NameFiveOfEachKindAndCountTheRest)
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
    EXPECT_TRUE(EntryWarnings(column + u"header", {}).empty());
    const auto warnings = EntryWarnings(column.substr(4) + u"word", {});
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].place, MaxEntriesPerRun);
    // 60 entries, the last line end trimmed: nothing left out. 35 x 3 cells: 105 entries.
    EXPECT_EQ(EntriesLeftOutLine(column.substr(0, column.size() - 2)), u"");
    std::u16string block;
    for (int row = 0; row < 35; ++row)
        block += u"85\t90\t70\r\n";
    EXPECT_EQ(ColumnWarnings(TrimTrailingLineEnds(block), {}),
              u"每列有 3 格（例如座號與成績），會一格一格依序填入。\n"
              u"只會填入前 60 筆，另有 45 筆這次不會填入。\n");
}

TEST(EntryWarnings, SayFirstThatEveryCellOfALineIsTyped)
{
    EXPECT_EQ(SeveralCellsLine(u"85\r\n\r\n90"), u"");
    EXPECT_EQ(SeveralCellsLine(u"1\t85\r\n90\r\n3\t王\t70"),
              u"有 2 列不只一格（例如座號與成績），會一格一格依序填入。\n");
    // Before the words typed as 0: a seat number column is the likelier mistake.
    EXPECT_EQ(ColumnWarnings(u"座號\t成績\r\n1\t85", {}),
              u"每列有 2 格（例如座號與成績），會一格一格依序填入。\n"
              u"第 1 筆「座號」不是數字，會輸入 0。\n第 2 筆「成績」不是數字，會輸入 0。\n");
}

TEST(EntryWarnings, LongCellsAreShownByTheirStartWithoutHalfACharacter)
{
    // The 20th unit starts a surrogate pair: the pair goes, not half of it.
    const std::u16string start = u"這是一段很長很長很長很長的說明文字，不";
    const std::u16string line = WarningLine(EntryWarnings(start + u"\U0001F600是成績", {}).at(0));
    EXPECT_NE(line.find(u"「" + start + u"…」"), std::u16string::npos);
}

} // namespace
} // namespace gradecast
