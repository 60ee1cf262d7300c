#pragma once

#include "sheet/sheet_columns.h"
#include "sheet/sheet_table.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

namespace gradecast {

// A sheet as a table for the view: its cells as they are, columns headed by
// their letters and rows by their numbers, the header row in bold, the rows
// outside those taken in grey and the chosen columns highlighted. Cells are
// read as the view asks for them, so a sheet of 10,000 rows costs nothing up
// front.
class SheetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The sheet lives as long as the model shows it.
    void showSheet(const Sheet *sheet, std::optional<int> headerRow, TakenRows rows);
    void setChosenColumns(std::vector<int> columns);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool chosen(int column) const;

    const Sheet *m_sheet = nullptr;
    int m_columns = 0;
    std::optional<int> m_headerRow;
    TakenRows m_rows;
    std::vector<int> m_chosen;
};

} // namespace gradecast
