// A spreadsheet dropped on the score box as a teacher drops it: its columns
// chosen in the dialog, the lines put into the box and typed into the
// practice sheet; files that cannot be opened and a cancel change nothing.

#include "app/form1.h"
#include "app/sheet_dialog.h"
#include "app/windows.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <memory>

using namespace gradecast;

namespace {

const QString Files = QStringLiteral(TEST_PAGES_DIR "/../app/files/");

// A file opened from the box: the column headers clicked in the dialog, and
// what comes of it. The box holds "70" before.
struct Open {
    QString file = Files + "scores.xlsx";
    QList<int> columns = {};
    bool ok = true;
    QMessageBox::StandardButton answer = QMessageBox::No;
    QString box = {};
    QString told = {}; // a part of the one box shown; none: no box
    QStringList typed = {}; // the practice sheet's first fields after a fill; none: no fill
};

void drop(QWidget *target, QMimeData *data)
{
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
}

} // namespace

Q_DECLARE_METATYPE(Open)

class SheetOpenTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        m_prompt = std::make_unique<ScriptedPrompt>();
        m_window = openWindow(WebBrowser::homeUrl());
        QVERIFY(m_window);
        m_window->Text2->setPlainText("70");
    }
    void cleanup()
    {
        qDeleteAll(OpenWindows());
        m_prompt.reset();
        m_folder.reset();
    }
    void droppedFileOpensIntoTheBox_data();
    void droppedFileOpensIntoTheBox();
    void droppedTextIsPastedAsBefore();

private:
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    Form1 *m_window = nullptr;
};

void SheetOpenTest::droppedFileOpensIntoTheBox_data()
{
    QTest::addColumn<Open>("row");
    const auto row = [](const char *name, const Open &open) { QTest::newRow(name) << open; };
    const QString absent = "最後 1 位學生（第 6 列）沒有成績，貼上時這一行會被略去。"
                           "要一併放入「座號」欄，讓他們填入缺考文字嗎？";
    row("the score column, a blank kept, typed",
        {.columns = {2}, .box = "85\n\n92", .told = absent, .typed = {"85", "", "92", ""}});
    row("the seat numbers taken along for the absent",
        {.columns = {2}, .answer = QMessageBox::Yes, .box = "1\t85\n2\t\n3\t92\n4\t",
         .told = absent});
    row("two columns in the sheet's order, one of them the students'",
        {.columns = {3, 0, 1, 1}, .box = "1\t90\n2\t88\n3\t70\n4\t60"});
    row("cancel", {.columns = {2}, .ok = false, .box = "70"});
    row("not a spreadsheet", {.file = TEST_PAGES_DIR "/../../resources/gradecast.png",
                              .box = "70", .told = "無法開啟 gradecast.png："});
}

void SheetOpenTest::droppedFileOpensIntoTheBox()
{
    QFETCH(Open, row);
    m_prompt->answer(row.answer);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(row.file)});
    drop(m_window->Text2->viewport(), &data);
    if (!row.columns.isEmpty()) {
        SheetDialog *dialog = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((dialog = m_window->findChild<SheetDialog *>()), PatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), PatienceMs);
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(!buttons->button(QDialogButtonBox::Ok)->isEnabled());
        QHeaderView *header = dialog->findChild<QTableView *>()->horizontalHeader();
        for (int column : row.columns)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              {header->sectionViewportPosition(column) + 5, header->height() / 2});
        QTest::mouseClick(buttons->button(row.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                          Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->findChild<SheetDialog *>(), PatienceMs);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!m_prompt->shown().isEmpty(), PatienceMs);
        QVERIFY(!m_window->findChild<SheetDialog *>());
    }
    QCOMPARE(m_window->Text2->toPlainText(), row.box);
    QCOMPARE(m_prompt->shown().size(), row.told.isEmpty() ? 0 : 1);
    if (!row.told.isEmpty())
        QVERIFY2(m_prompt->shown().first().text.contains(row.told),
                 qPrintable(m_prompt->shown().first().text));
    if (row.typed.isEmpty())
        return;

    const QString scoreField = "window.scoreField = n => document.getElementById('score' + n)";
    QVERIFY(evaluate(m_window->WB1, scoreField + ", true").toBool());
    QVERIFY(clickScoreField(m_window->WB1, 1));
    m_window->Check1->setChecked(true);
    // Yes to the cursor's question, and to the note that the column is longer.
    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);
    const QString fields = "[1, 2, 3, 4].map(n => scoreField(n).value)";
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(m_window->WB1, fields).toStringList(), row.typed,
                              PatienceMs);
}

void SheetOpenTest::droppedTextIsPastedAsBefore()
{
    QMimeData data;
    data.setText("85\n90");
    drop(m_window->Text2->viewport(), &data);
    QCOMPARE(m_window->Text2->toPlainText(), "85\n9070");
    QVERIFY(m_prompt->shown().isEmpty() && !m_window->findChild<SheetDialog *>());
}

GRADECAST_GUI_TEST_MAIN(SheetOpenTest)
#include "tst_sheet_open.moc"
