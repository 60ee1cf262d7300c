#pragma once

#include "sheet/sheet_columns.h"
#include "sheet/sheet_table.h"

#include <QString>

#include <optional>
#include <vector>

namespace gradecast {

// What the teacher chose in a sheet: the rows under its header and columns
// in the sheet's order.
struct SheetChoice {
    const Sheet *sheet = nullptr;
    std::optional<int> headerRow;
    TakenRows rows;
    std::vector<int> columns;
};

// A column as the teacher sees it: its header's text, else 「C 欄」.
QString ColumnName(const SheetChoice &choice, int column);

// The line under the table: what the box will receive
// (「將放入 30 行：座號、第一次段考（第 4 – 33 列）」), or how to choose.
QString ChoiceSummary(const SheetChoice &choice, const ChosenLines &lines);

// The student column (座號, 姓名...) worth adding when the last students have
// no score, so that their lines are kept: none when no line was dropped, a
// student column is chosen already or the sheet has none.
std::optional<int> StudentColumnToOffer(const SheetChoice &choice, const ChosenLines &lines);

// Whether to add that column: 「最後 2 位學生（第 32、33 列）沒有成績…」.
QString AbsentStudentsQuestion(const std::vector<int> &droppedRows, const QString &studentColumn);

} // namespace gradecast
