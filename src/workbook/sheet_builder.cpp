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
    const std::size_t top = std::size_t(firstRow);
    const std::size_t left = std::size_t(firstColumn);
    // Only the cells there are get visited: a merge over whole columns costs
    // the rows the sheet has.
    const std::size_t rowEnd = std::min(rows.size(), std::size_t(lastRow) + 1);
    for (std::size_t row = top; row < rowEnd; ++row) {
        auto &cells = rows[row];
        const std::size_t columnEnd = std::min(cells.size(), std::size_t(lastColumn) + 1);
        m_mergedVisits += 1 + (columnEnd > left ? columnEnd - left : 0);
        if (m_mergedVisits > kMaxCellSlots)
            Refuse(kTooLargeSentence);
        for (std::size_t column = left; column < columnEnd; ++column) {
            if (row != top || column != left)
                cells[column].clear();
        }
    }
}

Sheet SheetBuilder::take()
{
    TrimBlankEnds(m_sheet);
    return std::move(m_sheet);
}

} // namespace gradecast
