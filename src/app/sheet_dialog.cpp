#include "app/sheet_dialog.h"

#include "app/sheet_model.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace gradecast {

namespace {

// Columns sized to what the first rows hold: measuring every row of a long
// sheet would hold the dialog up.
constexpr int MeasuredRows = 100;

} // namespace

SheetDialog::SheetDialog(Workbook workbook, const QString &fileName, QWidget *parent)
    : QDialog(parent)
    , m_workbook(std::move(workbook))
    , m_model(new SheetModel(this))
    , m_summary(new QLabel(this))
{
    setWindowTitle(QStringLiteral("開啟試算表"));
    setWindowModality(Qt::WindowModal);
    resize(720, 520);

    auto *top = new QHBoxLayout;
    auto *file = new QLabel(fileName, this);
    file->setTextFormat(Qt::PlainText);
    top->addWidget(file, 1);
    if (m_workbook.sheets.size() > 1) {
        auto *sheets = new QComboBox(this);
        for (const Sheet &sheet : m_workbook.sheets)
            sheets->addItem(QString::fromStdU16String(sheet.name));
        top->addWidget(new QLabel(QStringLiteral("工作表："), this));
        top->addWidget(sheets);
        connect(sheets, &QComboBox::currentIndexChanged, this, &SheetDialog::showSheet);
    }

    auto *table = new QTableView(this);
    table->setModel(m_model);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionsClickable(true);
    table->horizontalHeader()->setResizeContentsPrecision(MeasuredRows);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &SheetDialog::toggleColumn);
    connect(table, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (m_choice.headerRow == index.row())
            toggleColumn(index.column());
    });
    connect(m_model, &QAbstractItemModel::modelReset, table, &QTableView::resizeColumnsToContents);

    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(table, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    showSheet(0);
}

void SheetDialog::showSheet(int index)
{
    const Sheet &sheet = m_workbook.sheets.at(static_cast<std::size_t>(index));
    const std::optional<int> header = GuessHeaderRow(sheet);
    m_choice = {&sheet, header, RowsUnderHeader(sheet, header), {}};
    m_model->showSheet(&sheet, header, m_choice.rows);
    showChoice();
}

void SheetDialog::toggleColumn(int column)
{
    std::vector<int> &columns = m_choice.columns;
    const auto found = std::find(columns.begin(), columns.end(), column);
    if (found != columns.end())
        columns.erase(found);
    else
        columns.insert(std::upper_bound(columns.begin(), columns.end(), column), column);
    showChoice();
}

void SheetDialog::showChoice()
{
    const std::vector<int> &columns = m_choice.columns;
    m_model->setChosenColumns(columns);
    m_summary->setText(ChoiceSummary(
        m_choice, LinesOfColumns(*m_choice.sheet, m_choice.rows, columns)));
    m_ok->setEnabled(!columns.empty());
}

} // namespace gradecast
