#include "entry/entry_warnings.h"
#include "entry/fill_plan.h"

#include <gtest/gtest.h>

namespace gradecast {
namespace {

// A column of seat and name rows, each with fields text fields from the
// clicked column on.
PageColumn columnOf(std::size_t rows, int fields, std::size_t clicked = 0)
{
    const std::u16string names[] = {u"王小明", u"林大同", u"陳美玲", u"何芷若", u"吳佳穎"};
    PageColumn column{{}, clicked, {u"第一次小考", u"第二次小考"}};
    for (std::size_t r = 0; r < rows; ++r) {
        const std::u16string seat(1, char16_t(u'1' + r));
        column.rows.push_back({{seat, names[r % 5]}, {}, fields});
    }
    return column;
}

const FillOptions Tab{u"缺", u"", 0, true, false};

// Each entry as "typed@row.column", or "typed@" where the page's Tab order
// takes it.
std::vector<std::u16string> shown(const FillPlan &plan)
{
    std::vector<std::u16string> entries;
    for (const PlannedEntry &entry : plan.entries) {
        std::u16string at = entry.typed + u"@";
        if (entry.target)
            at += std::u16string(1, char16_t(u'0' + entry.target->row)) + u"."
                + std::u16string(1, char16_t(u'0' + entry.target->column));
        entries.push_back(at);
    }
    return entries;
}

TEST(FillPlan, EachEntryGoesWhereTheTeacherMeans)
{
    using Kind = FillPlan::Kind;
    const struct {
        const char *name;
        std::u16string text;
        PageColumn column;
        Kind kind;
        std::vector<std::u16string> entries;
    } cases[] = {
        {"no column: the Tab order", u"85\r\n\r\n90", {}, Kind::TabOrder,
         {u" 85@", u"缺@", u" 90@"}},
        {"down the column from a middle row", u"85\r\n90", columnOf(5, 1, 2), Kind::Column,
         {u" 85@2.0", u" 90@3.0"}},
        {"longer than the column: the rest waits", u"85\r\n90\r\n70", columnOf(3, 1, 1),
         Kind::Column, {u" 85@1.0", u" 90@2.0"}},
        {"cells of one-field rows go down the column", u"85\t90\r\n70", columnOf(4, 1),
         Kind::Column, {u" 85@0.0", u" 90@1.0", u" 70@2.0"}},
        {"a block into a block, a cell with no field left", u"85\t70\r\n\t60\t1", columnOf(3, 2, 1),
         Kind::Block, {u" 85@1.0", u" 70@1.1", u"缺@2.0", u" 60@2.1"}},
    };
    for (const auto &c : cases) {
        const FillPlan plan = PlanInOrder(c.text, Tab, c.column);
        EXPECT_EQ(plan.kind, c.kind) << c.name;
        EXPECT_EQ(shown(plan), c.entries) << c.name;
        for (const PlannedEntry &entry : plan.entries)
            EXPECT_EQ(entry.keys, EntryKeystrokes(entry.typed, Tab)) << c.name;
    }

    // Without separators everything goes into the clicked field, as one entry.
    const FillPlan one = PlanInOrder(u"85\r\n90", {}, columnOf(3, 1));
    EXPECT_EQ(shown(one), std::vector<std::u16string>{u" 85 90@"});
    EXPECT_EQ(one.entries.front().separators, 0);
}

TEST(FillPlan, StudentsWithOneOrTwoScoreCells)
{
    const PageColumn two = columnOf(5, 2);
    const struct {
        const char *name;
        std::u16string text;
        PageColumn column;
        std::vector<std::u16string> entries;
        std::u16string warnings;
    } cases[] = {
        {"seat and score, shuffled", u"3\t70\r\n1\t80", columnOf(5, 1),
         {u" 80@0.0", u" 70@2.0"}, u""},
        {"seat, name and score", u"2\t林大同\t60\r\n1\t王小明\t", columnOf(5, 1),
         {u"缺@0.0", u" 60@1.0"}, u""},
        {"seat and two scores", u"4\t85\t90\r\n2\t70\t", two,
         {u" 70@1.0", u"缺@1.1", u" 85@3.0", u" 90@3.1"},
         u"每列有 2 格成績：從游標這一欄起填入 2 欄（第一次小考、第二次小考）。\n"},
        {"name and two scores, one field a row", u"何芷若\t85\t90\r\n王小明\t70\t60", columnOf(5, 1),
         {u" 70@0.0", u" 85@3.0"},
         u"每列有 2 格成績：從游標這一欄起填入 1 欄（第一次小考）。\n"
         u"這些格在頁面上沒有欄位，不會填入：第 2 列「60」、第 1 列「90」。\n"},
    };
    for (const auto &c : cases) {
        const StudentMatch match = MatchStudents(c.text, c.column.rows);
        const FillPlan plan = PlanByStudent(match, Tab, c.column);
        EXPECT_EQ(plan.kind, FillPlan::Kind::Students) << c.name;
        EXPECT_EQ(shown(plan), c.entries) << c.name;
        EXPECT_EQ(StudentFillWarnings(match, Tab, plan, c.column), c.warnings) << c.name;
    }
}

TEST(FillPlan, TheGuardSaysHowThePasteFitsTheColumn)
{
    const struct {
        const char *name;
        std::u16string text;
        PageColumn column;
        std::u16string warnings;
    } cases[] = {
        {"fits", u"85\r\n90", columnOf(3, 1, 1), u""},
        {"shorter by one", u"85\r\n90", columnOf(3, 1),
         u"貼上 2 筆，這一欄從游標起有 3 位學生：最後一筆 90 填給 2 林大同，3 陳美玲 沒有成績。\n"},
        {"shorter by three", u"55", columnOf(4, 1),
         u"貼上 1 筆，這一欄從游標起有 4 位學生：最後一筆 55 填給 1 王小明，2 林大同 等 3 位沒有成績。\n"},
        {"longer", u"85\r\n90\r\n70\r\n60", columnOf(4, 1, 2),
         u"這一欄從游標起只有 2 位學生，後面 2 筆不會填入：第 3 筆「70」、第 4 筆「60」。\n"},
        {"a block, shorter", u"85\t70", columnOf(2, 2),
         u"每列有 2 格：從游標這一欄起填入 2 欄（第一次小考、第二次小考）。\n"
         u"貼上 1 列，這一欄從游標起有 2 位學生：最後一列 填給 1 王小明，2 林大同 沒有成績。\n"},
        {"a block, longer, with a word", u"85\t70\r\nx\t1\r\n3\t4", columnOf(2, 2),
         u"每列有 2 格：從游標這一欄起填入 2 欄（第一次小考、第二次小考）。\n"
         u"第 3 筆「x」不是數字，會輸入 0。\n"
         u"這一欄從游標起只有 2 位學生，後面 1 列不會填入：第 3 列「3 4」。\n"},
        {"no column: as before", u"85\t90", {},
         u"每列有 2 格（例如座號與成績），會一格一格依序填入。\n"},
    };
    for (const auto &c : cases) {
        const FillPlan plan = PlanInOrder(c.text, Tab, c.column);
        EXPECT_EQ(OrderFillWarnings(c.text, plan, c.column, Tab), c.warnings) << c.name;
    }

    // The limit of a run counts what has a field to go into.
    std::u16string seventy;
    for (int i = 0; i < 70; ++i)
        seventy += u"85\r\n";
    seventy.resize(seventy.size() - 2);
    const PageColumn many = columnOf(70, 1);
    const FillPlan plan = PlanInOrder(seventy, Tab, many);
    EXPECT_EQ(plan.entries.size(), std::size_t(MaxEntriesPerRun));
    EXPECT_EQ(OrderFillWarnings(seventy, plan, many, Tab),
              u"只會填入前 60 筆，另有 10 筆這次不會填入。\n");
}

TEST(FillPlan, DecimalsKeptForOneRunAsWritten)
{
    FillOptions keep = Tab;
    keep.KeepDecimals = true;
    EXPECT_TRUE(DecimalsToChoose(PlanInOrder(u"87.5\r\n59", Tab, {}), Tab));
    const FillPlan kept = PlanInOrder(u"87.5\r\n59\r\n0.125", keep, {});
    EXPECT_EQ(shown(kept), (std::vector<std::u16string>{u" 87.5@", u" 59@", u" .125@"}));
    EXPECT_FALSE(DecimalsToChoose(kept, keep));
    // The text for 100 asks for whole numbers: no choice.
    FillOptions score100 = Tab;
    score100.Score100Text = u"100";
    EXPECT_FALSE(DecimalsToChoose(PlanInOrder(u"87.5", score100, {}), score100));
}

} // namespace
} // namespace gradecast
