#include "app/sheet_model.h"

#include <QBrush>
#include <QFont>

#include <algorithm>

namespace gradecast {

namespace {

const QColor ChosenBackground(255, 236, 160);
const QColor HeaderBackground(221, 229, 240);
const QColor OutsideText(160, 160, 160);

QFont boldFont()
{
    QFont font;
    font.setBold(true);
    return font;
}

} // namespace

void SheetModel::showSheet(const Sheet *sheet, std::optional<int> headerRow, TakenRows rows)
{
    beginResetModel();
    m_sheet = sheet;
    m_headerRow = headerRow;
    m_rows = rows;
    m_chosen.clear();
    m_columns = 0;
    for (const auto &row : sheet->rows)
        m_columns = std::max(m_columns, static_cast<int>(row.size()));
    endResetModel();
}

void SheetModel::setChosenColumns(std::vector<int> columns)
{
    m_chosen = std::move(columns);
    if (rowCount() > 0 && m_columns > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, m_columns - 1),
                         {Qt::BackgroundRole});
    if (m_columns > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_columns - 1);
}

bool SheetModel::chosen(int column) const
{
    return std::find(m_chosen.begin(), m_chosen.end(), column) != m_chosen.end();
}

int SheetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_sheet ? 0 : static_cast<int>(m_sheet->rows.size());
}

int SheetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant SheetModel::data(const QModelIndex &index, int role) const
{
    if (!m_sheet || !index.isValid())
        return {};
    const int row = index.row();
    const bool header = m_headerRow == row;
    switch (role) {
    case Qt::DisplayRole: {
        const auto &cells = m_sheet->rows[static_cast<std::size_t>(row)];
        const auto column = static_cast<std::size_t>(index.column());
        return column < cells.size() ? QString::fromStdU16String(cells[column]) : QString();
    }
    case Qt::FontRole:
        return header ? QVariant(boldFont()) : QVariant();
    case Qt::ForegroundRole:
        return header || (row >= m_rows.first && row <= m_rows.last) ? QVariant()
                                                                      : QBrush(OutsideText);
    case Qt::BackgroundRole:
        if (chosen(index.column()))
            return QBrush(ChosenBackground);
        return header ? QBrush(HeaderBackground) : QVariant();
    default:
        return {};
    }
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const bool horizontal = orientation == Qt::Horizontal;
    if (role == Qt::DisplayRole)
        return horizontal ? QString::fromStdU16String(ColumnLetters(section))
                          : QString::number(section + 1);
    if (horizontal && chosen(section)) {
        if (role == Qt::FontRole)
            return boldFont();
        if (role == Qt::BackgroundRole)
            return QBrush(ChosenBackground);
    }
    return {};
}

} // namespace gradecast
