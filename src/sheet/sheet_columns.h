#pragma once

#include "sheet/sheet_table.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gradecast {

// "A", "Z", "AA": a column's letters, column 0 first.
std::u16string ColumnLetters(int column);

// The header row: the last row above the first row that holds a number with a
// text cell over one of that row's numbers. Nothing when the sheet has no such
// row (no header, or no numbers). A number is a cell whose whole text is a
// decimal number ("87.5", "-3", "1e+20"; not "90分").
std::optional<int> GuessHeaderRow(const Sheet &sheet);

// The rows taken: from the row after the header (the first row when there is
// none) to the sheet's last row. first > last when there are none.
struct TakenRows {
    int first = 0;
    int last = -1;
    int count() const { return last >= first ? last - first + 1 : 0; }
};
TakenRows RowsUnderHeader(const Sheet &sheet, std::optional<int> headerRow);

// The column a name stands for: the header's text (exactly, then ignoring
// blanks around it) or, failing that, column letters ("C", "aa") of a column
// the sheet has.
std::optional<int> FindColumn(const Sheet &sheet, std::optional<int> headerRow,
                              std::u16string_view name);

// Whether a header names students rather than scores (座號, 學號, 姓名...).
bool IsStudentHeader(std::u16string_view header);

// What the score box receives for the chosen columns of the taken rows: a line
// a row, the columns in the sheet's order (each once), cells separated by Tab,
// lines separated by CR LF as a paste from Excel gives them, a line kept for
// every row (a blank cell stays a blank cell) but the blank lines at the end,
// which a paste drops too. A Tab or line end inside a cell becomes a space, so
// that a cell never splits.
struct ChosenLines {
    std::u16string text;
    // The taken rows at the end whose chosen cells are all blank (empty or
    // spaces): they are not in the text. Row numbers as in the sheet, 0 first.
    std::vector<int> droppedRows;
};
ChosenLines LinesOfColumns(const Sheet &sheet, TakenRows rows, std::vector<int> columns);

} // namespace gradecast
