#include "entry/entry_warnings.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

std::u16string lines(const std::u16string &text, const FillOptions &options = {})
{
    return WarningLines(NonNumericEntries(text, options));
}

TEST(EntryWarnings, NameEveryEntryTypedAsZeroThatHoldsNoNumber)
{
    // A header cell on top, a stray word, a cell of blanks; absent students
    // and numbers with text after them are fine.
    EXPECT_EQ(lines(u"國文\r\n85\r\n\r\n90分\r\nabc\r\n   \r\n-\r\n.5"),
              u"第 1 筆「國文」不是數字，會輸入 0。\n"
              u"第 5 筆「abc」不是數字，會輸入 0。\n"
              u"第 6 筆「   」不是數字，會輸入 0。\n"
              u"第 7 筆「-」不是數字，會輸入 0。\n");
    EXPECT_EQ(lines(u"85\t\t90\r\n100\r\n-3\r\n&H1F"), u"");
    EXPECT_EQ(lines(u""), u"");

    // What is typed follows the options.
    FillOptions twoDigits;
    twoDigits.Score100Text = u"A+";
    EXPECT_EQ(lines(u"缺", twoDigits), u"第 1 筆「缺」不是數字，會輸入 00。\n");
}

TEST(EntryWarnings, NameFiveAndCountTheRest)
{
    std::u16string column;
    for (int i = 0; i < 8; ++i)
        column += u"x\r\n";
    const std::u16string text = lines(column + u"85");
    EXPECT_NE(text.find(u"第 5 筆「x」"), std::u16string::npos);
    EXPECT_EQ(text.find(u"第 6 筆"), std::u16string::npos);
    EXPECT_NE(text.find(u"另有 3 筆不是數字。"), std::u16string::npos);
}

TEST(EntryWarnings, OnlyTheEntriesARunTypes)
{
    std::u16string column;
    for (int i = 0; i < MaxEntriesPerRun; ++i)
        column += u"85\r\n";
    EXPECT_TRUE(NonNumericEntries(column + u"header", {}).empty());

    const auto warnings = NonNumericEntries(column.substr(4) + u"word", {});
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].place, MaxEntriesPerRun);
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
