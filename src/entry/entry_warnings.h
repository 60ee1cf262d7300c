#pragma once

#include "entry/fill_plan.h"
#include "entry/keystroke_script.h"
#include "entry/student_match.h"

#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// An entry a run would not type as it stands. Either no number stands at its
// start (a header cell copied with the column, a word, a cell of blanks) and
// it is typed as 0, pushing every later score one field down; or something
// follows its number ("8O" with a letter O, "65(補考)") and only the number is
// typed, so a typo passes unseen; or its decimals are rounded away (87.5 is
// typed 88, a fail turned into a pass).
struct EntryWarning {
    enum class Kind { NoNumber, TextAfterNumber, Rounded }; // the order they are told in
    Kind kind = Kind::NoNumber;
    int place = 0;          // 1 for the first entry of the column
    bool onLine = false;    // place is the pasted line (a student fill), not the entry
    std::u16string entry;   // as it stands in the column
    std::u16string typed;   // what the run types for it
};

// The warnings for the entries a run over text (normalised) would type: those
// with no number first, then those with text after their number, then the
// rounded ones, each in column order. Empty entries are absent students, not
// warnings.
std::vector<EntryWarning> EntryWarnings(std::u16string_view text, const FillOptions &options);

// Whether the plan types some score with fewer decimals than pasted, so that
// the teacher may choose to keep them for the run (not while the text for
// 100 asks for whole numbers).
bool DecimalsToChoose(const FillPlan &plan, const FillOptions &options);

// "第 1 筆「國文」不是數字，會輸入 0。" or "第 5 筆「8O」會輸入 8"; a student
// fill names the pasted line: "第 5 列「8O」會輸入 8".
std::u16string WarningLine(const EntryWarning &warning);

// The named lines, then a count of the rest of each kind when there are more,
// then one line on the rounded entries naming up to five of them.
std::u16string WarningLines(const std::vector<EntryWarning> &warnings, const FillOptions &options);

// "只會填入前 60 筆，另有 N 筆這次不會填入。" when the text holds more entries
// than a run types; empty otherwise.
std::u16string EntriesLeftOutLine(std::u16string_view text);

// When lines hold more than one cell, an order fill types every cell: "每列有 2
// 格（例如座號與成績），會一格一格依序填入。" Empty for a single column.
std::u16string SeveralCellsLine(std::u16string_view text);

// Everything the teacher is shown before an order fill over text: the line on
// cells, the warning lines, then the line on entries left out. Empty when
// there is nothing to say.
std::u16string ColumnWarnings(std::u16string_view text, const FillOptions &options);

// The same before an order fill that follows plan: a column fill or a block
// fill says so, judges the entries it types and tells how the paste's
// length differs from the column's; a fill in Tab order is ColumnWarnings.
std::u16string OrderFillWarnings(std::u16string_view text, const FillPlan &plan,
                                 const PageColumn &column, const FillOptions &options);

// The same before a student fill, over the score cells it types, each named
// by its pasted line; the limit counts students. With the plan, the columns
// several score cells go into, and the cells with no field.
std::u16string StudentFillWarnings(const StudentMatch &match, const FillOptions &options,
                                   const FillPlan &plan = {}, const PageColumn &column = {});

} // namespace gradecast
