#pragma once

#include <optional>
#include <string_view>

namespace gradecast {

// A cell of an .xlsx sheet by its reference: "B3" is row 2, column 1.
struct CellPosition {
    int row = 0;
    int column = 0;
};
std::optional<CellPosition> ParseCellReference(std::string_view reference);

// "A1:E1" -> its first and last cell; a single cell is both.
struct CellRange {
    CellPosition first;
    CellPosition last;
};
std::optional<CellRange> ParseCellRange(std::string_view range);

} // namespace gradecast
