#include "sheet/sheet_columns.h"

#include <gtest/gtest.h>

namespace gradecast {

// As teachers keep it: a title, a blank row, the headers, the students; a
// blank score in the middle and at the end.
const Sheet ClassSheet{u"成績",
                       {{u"一年三班 數學成績"}, {}, {u"座號", u"姓名", u" 第一次段考 ", u"第二次段考", u"A"},
                        {u"1", u"王小明", u"87.5", u"90"}, {u"2", u"李\r\n大華", u"", u"85"},
                        {u"3", u"陳美玲", u"92", u"\t"}, {u"4", u"林志豪", u"60"}, {}}};

TEST(SheetColumns, HeaderGuess)
{
    const std::pair<Sheet, std::optional<int>> rows[] = {
        {ClassSheet, 2}, {{u"", {{u"成績"}, {u"姓名", u"分數"}, {u"王", u"-3"}}}, 1},
        {{u"", {{u"座號", u"第1次"}, {u"1", u"90分"}}}, 0},
        {{u"", {{u"姓名"}, {u"王小明"}, {u"李大華"}}}, std::nullopt},
        {{u"", {{u"姓名", u"期中考"}, {u"王小明"}, {u"李大華", u"85"}}}, 0},
        {{u"", {{u"1", u"王小明", u"87"}}}, std::nullopt}};
    for (const auto &[sheet, header] : rows)
        EXPECT_EQ(GuessHeaderRow(sheet), header);
}

TEST(SheetColumns, ColumnByHeaderOrLetters)
{
    const std::tuple<std::optional<int>, std::u16string_view, std::optional<int>> rows[] = {
        {2, u"第二次段考", 3}, {2, u"第一次段考", 2}, {2, u"A", 4}, {2, u"b", 1}, {2, u"E", 4},
        {2, u"F", std::nullopt}, {2, u"期末考", std::nullopt}, {2, u" ", std::nullopt},
        {std::nullopt, u"第二次段考", std::nullopt}, {std::nullopt, u"c", 2}};
    for (const auto &[header, name, column] : rows)
        EXPECT_EQ(FindColumn(ClassSheet, header, name), column);
    for (const auto &[column, letters] : {std::pair{0, u"A"}, {25, u"Z"}, {26, u"AA"}, {16383, u"XFD"}})
        EXPECT_EQ(ColumnLetters(column), letters);
}

TEST(SheetColumns, StudentHeaders)
{
    for (std::u16string_view header : {u"座號", u" 學號 ", u"班級座號", u"學生姓名", u"No.", u"Student ID"})
        EXPECT_TRUE(IsStudentHeader(header)) << header.size();
    for (std::u16string_view header : {u"第一次段考", u"Midterm", u"Notes", u""})
        EXPECT_FALSE(IsStudentHeader(header)) << header.size();
}

TEST(SheetColumns, LinesKeepBlanksInTheMiddleAndDropThemAtTheEnd)
{
    const std::tuple<std::vector<int>, std::u16string_view, std::vector<int>> rows[] = {
        {{2}, u"87.5\r\n\r\n92\r\n60", {7}}, {{3}, u"90\r\n85", {5, 6, 7}},
        {{3, 2, 2}, u"87.5\t90\r\n\t85\r\n92\t \r\n60\t", {7}},
        {{1}, u"王小明\r\n李  大華\r\n陳美玲\r\n林志豪", {7}}, {std::vector<int>{}, u"", {}}};
    for (const auto &[columns, text, dropped] : rows) {
        const ChosenLines lines = LinesOfColumns(ClassSheet, RowsUnderHeader(ClassSheet, 2), columns);
        EXPECT_EQ(lines.text, text);
        EXPECT_EQ(lines.droppedRows, dropped);
    }
}

} // namespace gradecast
