#include "app/form1.h"

#include "app/sheet_dialog.h"
#include "platform/prompt.h"
#include "workbook/open_workbook.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>

namespace gradecast {

namespace {

// As a paste over the whole box: one step the teacher can undo.
void replaceText(QPlainTextEdit *box, const std::u16string &text)
{
    QTextCursor cursor(box->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(QString::fromStdU16String(text).replace(QStringLiteral("\r\n"),
                                                              QStringLiteral("\n")));
    cursor.endEditBlock();
    box->moveCursor(QTextCursor::Start);
}

// The lines of the chosen columns into the box; when the last students have
// no score their lines would be dropped, so the teacher may take a student
// column along to keep them.
void takeChoice(Form1 *window, SheetChoice choice)
{
    ChosenLines lines = LinesOfColumns(*choice.sheet, choice.rows, choice.columns);
    if (const std::optional<int> student = StudentColumnToOffer(choice, lines);
        student
        && AskYesNo(window,
                    AbsentStudentsQuestion(lines.droppedRows, ColumnName(choice, *student)),
                    QMessageBox::Question)) {
        choice.columns.insert(
            std::upper_bound(choice.columns.begin(), choice.columns.end(), *student), *student);
        lines = LinesOfColumns(*choice.sheet, choice.rows, choice.columns);
    }
    replaceText(window->Text2, lines.text);
}

} // namespace

void Form1::chooseSpreadsheet()
{
    if (isLocked())
        return;
    auto *dialog = new QFileDialog(
        this, QStringLiteral("開啟試算表"), QString(),
        QStringLiteral("試算表 (*.xlsx *.xlsm *.ods *.xls *.csv *.txt);;所有檔案 (*)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setWindowModality(Qt::WindowModal);
    // Once the file dialog is gone: a bad file's message is a box of its own.
    connect(dialog, &QFileDialog::fileSelected, this, &Form1::openSpreadsheet,
            Qt::QueuedConnection);
    dialog->open();
}

void Form1::openSpreadsheet(const QString &file)
{
    if (isLocked())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WorkbookRead read = OpenWorkbook(QFile::encodeName(file).toStdString());
    QApplication::restoreOverrideCursor();
    const QString name = QFileInfo(file).fileName();
    if (!read.error.empty()) {
        Tell(this, QStringLiteral("無法開啟 %1：%2").arg(name, QString::fromStdU16String(read.error)),
             QMessageBox::Warning);
        return;
    }
    auto *dialog = new SheetDialog(std::move(read.workbook), name, this);
    connect(dialog, &QDialog::accepted, this,
            [this, dialog] { takeChoice(this, dialog->choice()); });
    // Not before the choice is taken, its question answered.
    connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    dialog->open();
}

} // namespace gradecast
