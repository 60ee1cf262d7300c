#pragma once

#include <QStringView>

#include <optional>

namespace gradecast {

// A cell of an .xlsx sheet by its reference: "B3" is row 2, column 1.
struct CellPosition {
    int row = 0;
    int column = 0;
};
std::optional<CellPosition> ParseCellReference(QStringView reference);

// "A1:E1" -> its first and last cell; a single cell is both.
struct CellRange {
    CellPosition first;
    CellPosition last;
};
std::optional<CellRange> ParseCellRange(QStringView range);

} // namespace gradecast
