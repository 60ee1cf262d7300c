#include "entry/entry_warnings.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

std::u16string repeated(std::u16string_view line, int times)
{
    std::u16string text;
    for (int i = 0; i < times; ++i)
        text += line;
    return text;
}

TEST(ColumnWarnings, NameWhatARunWouldNotTypeAsItStands)
{
    const std::u16string rounded = u"筆含小數，會四捨五入：";
    const std::u16string byDecimal = u"。（設定檔 DECIMAL 可保留小數）\n";
    const std::u16string sixty = repeated(u"85\r\n", MaxEntriesPerRun);
    const FillOptions oneDecimal{u"", u"", 1, false, false};
    const FillOptions score100{u"", u"A+", 0, false, false};
    const struct {
        std::u16string text;
        FillOptions options;
        std::u16string expected;
    } cases[] = {
        // Words, blanks, a lone sign; then numbers followed by more; then decimals rounded away.
        {u"國文\r\n8O\r\n\r\n90分\r\nabc\r\n   \r\n-\r\n.5\r\n1OO\r\n65(補考)\r\n1E", {},
         u"第 1 筆「國文」不是數字，會輸入 0。\n第 5 筆「abc」不是數字，會輸入 0。\n"
         u"第 6 筆「   」不是數字，會輸入 0。\n第 7 筆「-」不是數字，會輸入 0。\n"
         u"第 2 筆「8O」會輸入 8\n另有 4 筆數字後還有其他文字。\n有 1 " + rounded + u".5 → 1"
             + byDecimal},
        // Absent, a decimal that loses nothing, signs, blanks around and &H numbers are fine.
        {u"85\r\n\r\n 85 \r\n-1\r\n87.0\r\n+3\r\n1e2\r\n&H1F\r\n8 5", {}, u""},
        {u"缺\r\n100分", score100, u"第 1 筆「缺」不是數字，會輸入 00。\n第 2 筆「100分」會輸入 A+\n"},
        {u"87.0\r\n-2.5\r\n\r\n 3.25 ", {}, u"有 2 " + rounded + u"-2.5 → -2、3.25 → 3" + byDecimal},
        {u"87.5\r\n92.25\r\n-2.5", oneDecimal, u"有 1 " + rounded + u"92.25 → 92.3" + byDecimal},
        {u"87.5\r\n99.5\r\n100", score100,
         u"有 2 " + rounded + u"87.5 → 88、99.5 → A+。（有設定「100分使用」時，成績只輸入整數）\n"},
        {u"87.5\r\n1.5\r\n2.5\r\n3.5\r\n4.5\r\n5.5", {},
         u"有 6 " + rounded + u"87.5 → 88、1.5 → 2、2.5 → 3、3.5 → 4、4.5 → 5 等" + byDecimal},
        // Said once: an entry with text after its number is named for that.
        {u"87.5分\r\n87.5", {}, u"第 1 筆「87.5分」會輸入 88\n有 1 " + rounded + u"87.5 → 88" + byDecimal},
        // Only the entries a run types are judged; the rest are counted.
        {sixty.substr(4) + u"word", {}, u"第 60 筆「word」不是數字，會輸入 0。\n"},
        {sixty + u"word", {}, u"只會填入前 60 筆，另有 1 筆這次不會填入。\n"},
        {sixty.substr(0, sixty.size() - 2), {}, u""},
        // Lines of several cells are said first: a seat number column is the likelier mistake.
        {u"座號\t成績\r\n1\t85", {},
         u"每列有 2 格（例如座號與成績），會一格一格依序填入。\n"
         u"第 1 筆「座號」不是數字，會輸入 0。\n第 2 筆「成績」不是數字，會輸入 0。\n"},
        {u"1\t85\r\n90\r\n3\t4\t70", {}, u"有 2 列不只一格（例如座號與成績），會一格一格依序填入。\n"},
        {repeated(u"85\t90\t70\r\n", 35), {},
         u"每列有 3 格（例如座號與成績），會一格一格依序填入。\n"
         u"只會填入前 60 筆，另有 46 筆這次不會填入。\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ColumnWarnings(c.text, c.options), c.expected) << testing::PrintToString(c.text);
}

} // namespace
} // namespace gradecast
