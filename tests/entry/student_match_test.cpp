#include "entry/cell_key.h"
#include "entry/entry_warnings.h"
#include "entry/student_match.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

TEST(StudentMatch, CellsCompareAsNumbersOrAsTextWithoutBlanks)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"01", u"1"}, {u"００７", u"7"}, {u"00", u"0"}, {u" 1 7 ", u"17"}, {u"王 小明", u"王小明"},
        {u"王\u3000小明\u00A0", u"王小明"}, {u"Ａ０１", u"A01"}, {u" \u3000", u""},
    };
    for (const auto &[cell, key] : cases)
        EXPECT_EQ(CellKey(cell), key) << testing::PrintToString(cell);
}

// A seat number twice in one row, two students of one name, a name with a
// blank, a row with no text.
const std::vector<PageRow> Rows = {
    {{u"1", u"王小明", u"男"}}, {{u"2", u"林大同", u"02"}}, {{u"3", u"王明"}}, {{u"4", u"王明"}},
    {{u"5", u"陳 一"}}, {{u"", u""}}, {{u"17", u"張三"}},
};

TEST(StudentMatch, EachLineFindsItsOwnRowOrIsNamed)
{
    // A lone CR ends a line too; the empty line keeps its place.
    const StudentMatch match = MatchStudents(u"座號\t成績\r\n05\t陳一\t88\r\n２\t90\r\n王明\t70\r\n"
                                             u"1\t王小明\t\r17\t王小名\t60\r\n\r\n3\t80\r\n03\t81",
                                             Rows);
    std::vector<std::tuple<int, std::size_t, std::vector<std::u16string>>> matched;
    for (const MatchedLine &m : match.matched)
        matched.emplace_back(m.line, m.row, m.scores);
    EXPECT_EQ(matched, (decltype(matched){{5, 0, {u""}}, {3, 1, {u"90"}}, {2, 4, {u"88"}}}));
    EXPECT_FALSE(StudentFillOffered(match)); // 3 of 8 lines
    EXPECT_EQ(StudentMatchMessage(match),
              u"貼上的 8 列中，有 3 列在頁面上找到學生。\n"
              u"第 1 列「座號」在頁面上找不到\n"
              u"第 6 列「17 王小名」在頁面上找不到\n"
              u"第 4 列「王明」對得上頁面上不只一位學生\n"
              u"第 8、9 列是同一位學生：3 王明\n"
              u"依學生填入時，上面這些列不會填入。\n"
              u"頁面上沒有成績：4 王明\n"
              u"頁面上沒有成績：17 張三\n"
              u"\n「依學生填入」把每個成績填進該學生的欄位；「依序填入」把每一格依序填入。");
}

TEST(StudentMatch, ANameMatchesOnePieceOfADecoratedCell)
{
    // Avatar initials before the name, an actions label after it; a link to
    // the next student elsewhere in the row names nobody.
    const std::vector<PageRow> rows = {
        {{u"1", u"何芷若"}, {u"1", u"芷何", u"何芷若", u"Cell actions"}},
        {{u"2", u"吳佳穎"}, {u"2", u"佳吳", u"吳佳穎", u"Cell actions"}},
        {{u"3", u"高偉倫"}, {u"3", u"偉高", u"高偉倫", u"下一位：何芷若"}},
    };
    const StudentMatch match = MatchStudents(u"高偉倫\t70\r\n何芷若\t85\r\n芷何 何芷若\t1", rows);
    ASSERT_EQ(match.matched.size(), 2u);
    EXPECT_EQ(match.matched[0].row, 0u);
    EXPECT_EQ(match.matched[1].row, 2u);
    EXPECT_EQ(match.notFound.size(), 1u); // a whole decorated cell is no piece
    EXPECT_EQ(match.withoutScore, std::vector<std::u16string>{u"2 吳佳穎"});
}

TEST(StudentMatch, OfferedWhenHalfTheLinesAndAtLeastTwoMatch)
{
    const std::pair<std::u16string, bool> cases[] = {
        {u"1\t85", false}, {u"1\t85\r\n2\t90", true}, {u"1\t85\r\n2\t90\r\nx\t1\r\ny\t2", true},
        {u"1\t85\r\n2\t90\r\nx\t1\r\ny\t2\r\nz\t3", false}, {u"1\r\n2", false},
    };
    for (const auto &[text, offered] : cases)
        EXPECT_EQ(StudentFillOffered(MatchStudents(text, Rows)), offered)
            << testing::PrintToString(text);
}

TEST(StudentMatch, TheGuardAndTheLimitCountMatchedStudentsInPageOrder)
{
    // The pasted lines in the reverse of the page's order.
    std::vector<PageRow> rows;
    std::u16string text;
    for (int seat = 1; seat <= 62; ++seat) {
        const std::u16string name = u"生" + std::u16string(1, char16_t(0x4E00 + seat));
        rows.push_back({{name}});
        text.insert(0, name + (seat == 1 ? u"\t8O\r\n" : seat == 62 ? u"\tx\r\n" : u"\t85\r\n"));
    }
    const StudentMatch match = MatchStudents(TrimTrailingLineEnds(text), rows);
    ASSERT_EQ(match.matched.size(), 62u);
    EXPECT_EQ(match.matched.front().scores, std::vector<std::u16string>{u"8O"});
    EXPECT_EQ(StudentFillWarnings(match, {}),
              u"第 62 列「8O」會輸入 8\n"
              u"只會填入頁面上前 60 位學生的成績，另有 2 位這次不會填入。\n");
}

} // namespace
} // namespace gradecast
