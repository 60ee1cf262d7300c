// A window as designed; what it starts with from real settings files; how its
// boxes change its settings and the save button writes them. How each value is
// read and written is the settings record's and the store's, tested with them.

#include "app/form1.h"
#include "entry/keystroke_script.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace gradecast;

namespace {

QStringList folderEntries(const std::filesystem::path &folder)
{
    return QDir(QString::fromStdString(folder.string()))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT
private slots:
    void startsFromTheSettingsFile_data();
    void startsFromTheSettingsFile();
    void windowAsDesigned();
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

    const QString plain = testPage(QStringLiteral("plain.html")).toString();
    const QString none = QStringLiteral("Check1=0 Check4=0 Text3=[] | USEENTER=0 USETAB=0 "
                                        "ABSENT=[] SCORE100=[] DECIMAL=0");
    QTest::newRow("no file") << QByteArray() << none << QString();
    QTest::newRow("both flags: Tab wins")
        << QByteArray("[GRADECAST]\r\nUSETAB=1\r\nUSEENTER=1\r\n")
        << "Check1=1 Check4=0 Text3=[] | USEENTER=0 USETAB=1 ABSENT=[] SCORE100=[] DECIMAL=0"
        << QString();
    // Big5: 缺 is AF CA.
    QTest::newRow("quoted text keeps its blank in the box")
        << QByteArray("[gradecast]\r\nSCORE100=\"A+ \"\r\nABSENT=  \xAF\xCA\r\nDECIMAL=2.5\r\n")
        << "Check1=0 Check4=0 Text3=[A+ ] | USEENTER=0 USETAB=0 ABSENT=[缺] SCORE100=[A+] DECIMAL=2"
        << QString();
    QTest::newRow("school address")
        << ("[GRADECAST]\r\nURL=" + plain.toUtf8() + "\r\n") << none << plain;
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
    QCOMPARE(QStringLiteral("Check1=%1 Check4=%2 Text3=[%3] | USEENTER=%4 USETAB=%5 ABSENT=[%6] "
                            "SCORE100=[%7] DECIMAL=%8")
                 .arg(int(window.Check1->isChecked())).arg(int(window.Check4->isChecked()))
                 .arg(window.Text3->text()).arg(r.UseEnter).arg(r.UseTab)
                 .arg(QString::fromStdU16String(r.AbsentText))
                 .arg(QString::fromStdU16String(r.Score100Text)).arg(r.DecimalPlaces),
             shown);
    QCOMPARE(QString::fromStdU16String(r.SchoolUrl), address);
    QCOMPARE(window.Text1->text(), address);
    QVERIFY(window.windowTitle().endsWith(QStringLiteral("ver1.7")));

    window.show();
    QVERIFY(waitForPage(window.WB1, address.isEmpty() ? WebBrowser::homeUrl() : QUrl(address)));
    // Starting writes nothing.
    QCOMPARE(folder.read(), ini.isNull() ? QByteArray() : ini);
}

void WindowTest::windowAsDesigned()
{
    SettingsFolder folder;
    Form1 window;
    // A load completed before the first layout must leave the browser where
    // the window was designed to hold it.
    QSignalSpy loads(window.WB1, &WebBrowser::NavigateComplete2);
    QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), 30000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.size(), QSize(792, 566));

    // Tab order: the browser, then the order the window was designed with.
    const QList<QWidget *> order = {window.WB1,      window.Command1, window.Text2,
                                    window.Command3, window.Command4, window.Command5,
                                    window.Command6, window.Command7, window.Text1,
                                    window.Command8, window.Command9, window.Check1,
                                    window.Check4,   window.Text3,    window.Text4,
                                    window.Command2};
    const QStringList names = QStringLiteral("WB1 Command1 Text2 Command3 Command4 Command5 "
                                             "Command6 Command7 Text1 Command8 Command9 Check1 "
                                             "Check4 Text3 Text4 Command2").split(u' ');
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget *next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus || !next->isVisible()
               || next->isAncestorOf(order[i]) || order[i]->isAncestorOf(next))
            next = next->nextInFocusChain();
        QVERIFY2(next == order[i + 1],
                 qPrintable(names[i] + " is followed by "
                            + names.value(order.indexOf(next), next->metaObject()->className())));
    }

    QCOMPARE(window.WB1->geometry(), QRect(4, 64, 680, 495));
}

void WindowTest::boxesChangeTheRecord()
{
    SettingsFolder folder;
    Form1 window;
    const auto boxesAndFlags = [&] {
        return QStringLiteral("Check1=%1 Check4=%2 UseTab=%3 UseEnter=%4")
            .arg(int(window.Check1->isChecked())).arg(int(window.Check4->isChecked()))
            .arg(window.settings().UseTab).arg(window.settings().UseEnter);
    };
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), "Check1=1 Check4=0 UseTab=1 UseEnter=0");
    window.Check4->click();
    QCOMPARE(boxesAndFlags(), "Check1=0 Check4=1 UseTab=0 UseEnter=1");
    // Clearing a box by hand records nothing and ticks nothing.
    window.Check1->click();
    window.Check1->click();
    QCOMPARE(boxesAndFlags(), "Check1=0 Check4=0 UseTab=1 UseEnter=0");

    // The replacement texts lose their blanks, but not a tab or a full-width
    // space; the boxes go on showing what was typed.
    const QString typed = QStringLiteral(" \tA\u3000 ");
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
    // The separator box clicked, if any: "1" is Check1, "4" is Check4.
    QTest::addColumn<QString>("click");
    QTest::addColumn<QByteArray>("saved");
    // A folder where the file should be: nothing can replace it, and a second
    // box says so.
    QTest::addColumn<bool>("fileIsAFolder");

    // Big5: 缺 is AF CA.
    QTest::newRow("new file, every box in its key")
        << QMessageBox::Yes << QByteArray() << "4"
        << QByteArray("[GRADECAST]\r\nURL=http://school.example/score?x=1 \r\nUSEENTER=1\r\n"
                      "USETAB=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("flag of -1 untouched is written back")
        << QMessageBox::Yes << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\n") << ""
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\nURL=http://school.example/score?x=1 \r\n"
                      "USEENTER=0\r\nABSENT=\xAF\xCA\r\nSCORE100=A\r\n")
        << false;
    QTest::newRow("No writes nothing")
        << QMessageBox::No << QByteArray() << "4" << QByteArray() << false;
    QTest::newRow("failed save is reported")
        << QMessageBox::Yes << QByteArray() << "4" << QByteArray() << true;
}

void WindowTest::saveAsksThenWrites()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QByteArray, ini);
    QFETCH(QString, click);
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
    prompt.answer(QMessageBox::Ok);
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString address = QStringLiteral("http://school.example/score?x=1 ");
    window.Text1->setText(address);
    if (!click.isEmpty())
        (click == u"1" ? window.Check1 : window.Check4)->click();
    window.Text3->setText(QStringLiteral(" A "));
    window.Text4->setText(QStringLiteral("缺"));

    QTest::mouseClick(window.Command2, Qt::LeftButton);

    // One question; after a failed save one report, and nothing more.
    QCOMPARE(prompt.shown().size(), fileIsAFolder ? 2 : 1);
    const PromptRequest &question = prompt.shown().first();
    QCOMPARE(question.text, QStringLiteral("確定要將目前設定的校務行政網址,使用Tab,使用Enter,"
                                           "100分使用,缺考使用...等參數儲存?"));
    QCOMPARE(question.icon, QMessageBox::Critical);
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.title, window.windowTitle());
    QCOMPARE(question.parent, &window);
    if (fileIsAFolder) {
        const PromptRequest &report = prompt.shown().at(1);
        QCOMPARE(report.icon, QMessageBox::Critical);
        QCOMPARE(report.title, window.windowTitle());
        QVERIFY2(report.text.contains(file), qPrintable(report.text));
        QVERIFY2(report.text.contains(QString::fromLocal8Bit(std::strerror(EISDIR))),
                 qPrintable(report.text));
    }
    QCOMPARE(folder.read(), saved);
    QCOMPARE(folderEntries(folder.folder()), saved.isNull() && !fileIsAFolder
                                                 ? QStringList()
                                                 : QStringList{QStringLiteral("GRADECAST.INI")});
    // The window keeps its settings, saved or not.
    QCOMPARE(QString::fromStdU16String(window.settings().SchoolUrl), address);
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), QStringLiteral("A"));
}

// The window and gradecast-keys read a pasted column the same way, whatever
// its line ends: LF, CR LF, a lone CR, and cells apart by Tab.
void WindowTest::typesWhatTheToolPrints()
{
    const QString pasted = QStringLiteral("85\r\n\r\n90\n7\r100\t\t60\r\n\n");
    Form1 window;
    window.Text2->setPlainText(pasted);
    FillOptions options;
    options.TabAfterEntry = true;
    QStringList typed;
    for (const std::u16string &keys :
         BuildKeystrokeScript(TrimTrailingLineEnds(window.scoreText()), options))
        typed << QString::fromStdU16String(keys);

    QProcess tool;
    tool.start(QStringLiteral(GRADECAST_KEYS_EXE),
               {"--tab", "--absent", "", "--score100", "", "--decimal", "0"});
    tool.write(pasted.toUtf8());
    tool.closeWriteChannel();
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             typed);
}

GRADECAST_GUI_TEST_MAIN(WindowTest)
#include "tst_window.moc"
