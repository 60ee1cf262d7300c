#pragma once

#include "sheet/sheet_table.h"

#include <cstddef>
#include <string>

namespace gradecast {

// What the sheets of one workbook have taken so far, against the caps of
// workbook_limits.h.
struct CellBudget {
    std::size_t values = 0;
    std::size_t places = 0;
};

// A sheet filled cell by cell in any order, as the readers find them. Blank
// cells are never stored, so the rows end at their last value; a cell beyond
// the caps refuses the whole file as too large.
class SheetBuilder {
public:
    SheetBuilder(std::u16string name, CellBudget &budget);

    void setCell(int row, int column, std::u16string text);
    // Merged cells hold their value in the first cell only, as a paste gives
    // them: the others are blanked, whatever the file kept in them. Rows and
    // columns from 0, first <= last.
    void blankMerged(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // The sheet, rows and cells blanked at their ends trimmed away.
    Sheet take();

private:
    Sheet m_sheet;
    CellBudget &m_budget;
    // Cells looked at by blankMerged: overlapping ranges cost no more than
    // the cells there are.
    std::size_t m_mergedVisits = 0;
};

} // namespace gradecast
