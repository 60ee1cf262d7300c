#pragma once

#include "app/sheet_choice.h"
#include "sheet/sheet_table.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace gradecast {

class SheetModel;

// 「開啟試算表」: a workbook's sheet as a table, its header row in bold and the
// rows outside those taken in grey; the teacher clicks column headers (or the
// header row's cells) to choose the columns the score box receives, and the
// line under the table says what it will receive. Nothing is chosen at first.
// Window-modal, opened with open(): the window acts on accepted().
class SheetDialog : public QDialog
{
    Q_OBJECT
public:
    SheetDialog(Workbook workbook, const QString &fileName, QWidget *parent);

    // What is chosen, in the sheet's order; valid while the dialog lives.
    const SheetChoice &choice() const { return m_choice; }

private:
    void showSheet(int index);
    void toggleColumn(int column);
    void showChoice();

    Workbook m_workbook;
    SheetChoice m_choice;
    SheetModel *m_model;
    QLabel *m_summary;
    QPushButton *m_ok;
};

} // namespace gradecast
