#include "workbook/sheet_builder.h"

#include "workbook/refusal.h"
#include "workbook/workbook_limits.h"

#include <algorithm>
#include <utility>

namespace gradecast {

SheetBuilder::SheetBuilder(std::u16string name, CellBudget &budget) : m_budget(budget)
{
    m_sheet.name = std::move(name);
}

void SheetBuilder::setCell(int row, int column, std::u16string text)
{
    if (text.empty())
        return;
    if (row < 0 || column < 0 || row >= kMaxRows || column >= kMaxColumns
        || ++m_budget.values > kMaxCells)
        Refuse(kTooLargeSentence);
    auto &rows = m_sheet.rows;
    if (std::size_t(row) >= rows.size())
        rows.resize(std::size_t(row) + 1);
    auto &cells = rows[std::size_t(row)];
    if (std::size_t(column) >= cells.size()) {
        m_budget.places += std::size_t(column) + 1 - cells.size();
        if (m_budget.places > kMaxCellSlots)
            Refuse(kTooLargeSentence);
        cells.resize(std::size_t(column) + 1);
    }
    cells[std::size_t(column)] = std::move(text);
}

void SheetBuilder::blankMerged(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    auto &rows = m_sheet.rows;
    firstRow = std::max(firstRow, 0);
    firstColumn = std::max(firstColumn, 0);
    // Only the cells that exist are visited: a merge over whole columns
    // costs the rows there are.
    for (std::size_t row = std::size_t(firstRow); row <= std::size_t(std::max(lastRow, 0))
         && row < rows.size(); ++row) {
        auto &cells = rows[row];
        for (std::size_t column = std::size_t(firstColumn);
             column <= std::size_t(std::max(lastColumn, 0)) && column < cells.size(); ++column) {
            if (++m_mergedVisits > kMaxCellSlots)
                Refuse(kTooLargeSentence);
            if (row != std::size_t(firstRow) || column != std::size_t(firstColumn))
                cells[column].clear();
        }
        if (++m_mergedVisits > kMaxCellSlots)
            Refuse(kTooLargeSentence);
    }
}

Sheet SheetBuilder::take()
{
    TrimBlankEnds(m_sheet);
    return std::move(m_sheet);
}

} // namespace gradecast
