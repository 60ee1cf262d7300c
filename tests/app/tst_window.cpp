// What a window starts with from real settings files, how its boxes change its
// settings and the save button writes them. Reading and writing each value is
// the settings record's and the store's, tested with them.

#include "app/form1.h"
#include "entry/keystroke_script.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <cerrno>
#include <cstring>

using namespace gradecast;

class WindowTest : public QObject
{
    Q_OBJECT
private slots:
    void startsFromTheSettingsFile_data();
    void startsFromTheSettingsFile();
    void boxesChangeTheRecord();
    void saveAsksThenWrites_data();
    void saveAsksThenWrites();
    void typesWhatTheToolPrints();
};

void WindowTest::startsFromTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("shown"); // the boxes, then the record
    QTest::addColumn<QString>("address");
    const QString plain = testPage("plain.html").toString();
    QTest::newRow("no file") << QByteArray() << "00[] | 00[][]" << QString();
    // Big5: 缺 is AF CA. Both flags set: the Tab box wins.
    QTest::newRow("the box keeps a quoted blank, the record does not")
        << QByteArray("[gradecast]\r\nSCORE100=\"A+ \"\r\nABSENT=  \xAF\xCA\r\nUSETAB=1\r\n"
                      "USEENTER=1\r\nURL=" + plain.toUtf8() + "\r\n")
        << "10[A+ ] | 01[缺][A+]" << plain;
}

void WindowTest::startsFromTheSettingsFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, shown);
    QFETCH(QString, address);
    SettingsFolder folder;
    if (!ini.isNull())
        folder.write(ini);
    Form1 window;
    const SettingsRecord &r = window.settings();
    QCOMPARE(QString("%1%2[%3] | %4%5[%6][%7]")
                 .arg(int(window.Check1->isChecked())).arg(int(window.Check4->isChecked()))
                 .arg(window.Text3->text()).arg(r.UseEnter).arg(r.UseTab)
                 .arg(QString::fromStdU16String(r.AbsentText))
                 .arg(QString::fromStdU16String(r.Score100Text)),
             shown);
    QCOMPARE(window.Text1->text(), address);
    window.show();
    QVERIFY(waitForPage(window.WB1, address.isEmpty() ? WebBrowser::homeUrl() : QUrl(address)));
    QCOMPARE(folder.read(), ini); // starting writes nothing
}

void WindowTest::boxesChangeTheRecord()
{
    SettingsFolder folder;
    Form1 window;
    const auto boxesAndFlags = [&] {
        return QString("%1%2 %3%4").arg(int(window.Check1->isChecked()))
            .arg(int(window.Check4->isChecked())).arg(window.settings().UseTab)
            .arg(window.settings().UseEnter);
    };
    // Check1, Check4 ticked; USETAB, USEENTER.
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), "10 10");
    window.Check4->click();
    QCOMPARE(boxesAndFlags(), "01 01");
    // Clearing a box by hand records nothing and ticks nothing.
    window.Check1->click();
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), "00 10");

    // The replacement texts lose their blanks, but not a tab or a full-width
    // space; the boxes go on showing what was typed.
    const QString typed = " \tA\u3000 ";
    window.Text3->setText(typed);
    window.Text4->setText(typed);
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), typed.mid(1, 3));
    QCOMPARE(QString::fromStdU16String(window.settings().AbsentText), typed.mid(1, 3));
    QCOMPARE(window.Text3->text() + window.Text4->text(), typed + typed);
}

void WindowTest::saveAsksThenWrites_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("enter"); // Check4 clicked
    QTest::addColumn<QByteArray>("saved");
    // A folder where the file should be: nothing can replace it, and a second box says so.
    QTest::addColumn<bool>("fileIsAFolder");

    QTest::newRow("new file, every box in its key")
        << QMessageBox::Yes << QByteArray() << true
        << QByteArray("[GRADECAST]\r\nURL=http://school.example/score?x=1 \r\nUSEENTER=1\r\n"
                      "USETAB=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("flag of -1 untouched is written back")
        << QMessageBox::Yes << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\n") << false
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\nURL=http://school.example/score?x=1 \r\n"
                      "USEENTER=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("No writes nothing") << QMessageBox::No << QByteArray() << true << QByteArray()
                                       << false;
    QTest::newRow("failed save is reported") << QMessageBox::Yes << QByteArray() << true
                                             << QByteArray() << true;
}

void WindowTest::saveAsksThenWrites()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QByteArray, ini);
    QFETCH(bool, enter);
    QFETCH(QByteArray, saved);
    QFETCH(bool, fileIsAFolder);
    SettingsFolder folder;
    const QString file = QString::fromStdString(folder.file().string());
    if (!ini.isNull())
        folder.write(ini);
    if (fileIsAFolder)
        QVERIFY(QDir().mkdir(file));
    ScriptedPrompt prompt;
    prompt.answer(answer);
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString address = "http://school.example/score?x=1 ";
    window.Text1->setText(address);
    if (enter)
        window.Check4->click();
    window.Text3->setText(" A ");
    window.Text4->setText("缺");

    QTest::mouseClick(window.Command2, Qt::LeftButton);

    // One question; after a failed save one report, and nothing more.
    QCOMPARE(prompt.shown().size(), fileIsAFolder ? 2 : 1);
    const PromptRequest &question = prompt.shown().first();
    QCOMPARE(question.text, "確定要將目前設定的校務行政網址,使用Tab,使用Enter,"
                            "100分使用,缺考使用...等參數儲存?");
    QVERIFY(question.icon == QMessageBox::Critical && question.parent == &window
            && question.buttons == (QMessageBox::Yes | QMessageBox::No)
            && question.defaultButton == QMessageBox::Yes);
    if (fileIsAFolder) {
        const QString report = prompt.shown().at(1).text;
        QVERIFY2(report.contains(file) && report.contains(QString::fromLocal8Bit(
                                                 std::strerror(EISDIR))),
                 qPrintable(report));
    }
    QCOMPARE(folder.read(), saved);
    QCOMPARE(QDir(file.section('/', 0, -2)).entryList(QDir::AllEntries | QDir::Hidden
                                                      | QDir::NoDotAndDotDot),
             saved.isNull() && !fileIsAFolder ? QStringList() : QStringList{"GRADECAST.INI"});
    // The window keeps its settings, saved or not.
    QCOMPARE(QString::fromStdU16String(window.settings().SchoolUrl), address);
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), "A");
}

// The window and gradecast-keys read a pasted column the same way, whatever
// its line ends: LF, CR LF, a lone CR, and cells apart by Tab.
void WindowTest::typesWhatTheToolPrints()
{
    const QString pasted = "85\r\n\r\n90\n7\r100\t\t60\r\n\n";
    Form1 window;
    window.Text2->setPlainText(pasted);
    FillOptions options;
    options.TabAfterEntry = true;
    QStringList typed;
    for (const std::u16string &keys :
         BuildKeystrokeScript(TrimTrailingLineEnds(window.scoreText()), options))
        typed << QString::fromStdU16String(keys);

    QProcess tool;
    tool.start(GRADECAST_KEYS_EXE, {"--tab", "--absent", "", "--score100", "", "--decimal", "0"});
    tool.write(pasted.toUtf8());
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             typed);
}

GRADECAST_GUI_TEST_MAIN(WindowTest)
#include "tst_window.moc"
