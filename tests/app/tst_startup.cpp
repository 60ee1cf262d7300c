// A window starting from real settings files: what its boxes show, what it
// keeps, where its browser goes. How each value is read is the settings
// record's, tested with it.

#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace gradecast;

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void startsFromTheSettingsFile_data();
    void startsFromTheSettingsFile();
    void windowAsDesigned();
};

void StartupTest::startsFromTheSettingsFile_data()
{
    QTest::addColumn<QByteArray>("ini");
    // The ticked boxes, the score-100 box, then the record in file order.
    QTest::addColumn<QStringList>("shown");

    const QString plain = testPage(QStringLiteral("plain.html")).toString();
    QTest::newRow("no file") << QByteArray() << QStringList{"", "", "", "", "0", "0", "", "", "0"};
    QTest::newRow("both flags: Tab wins")
        << QByteArray("[GRADECAST]\r\nUSETAB=1\r\nUSEENTER=1\r\n")
        << QStringList{"Tab", "", "", "", "0", "1", "", "", "0"};
    // Big5: 缺 is AF CA.
    QTest::newRow("quoted text keeps its blank in the box")
        << QByteArray("[gradecast]\r\nSCORE100=\"A+ \"\r\nABSENT=  \xAF\xCA\r\nDECIMAL=2.5\r\n")
        << QStringList{"", "", "A+ ", "", "0", "0", "缺", "A+", "2"};
    QTest::newRow("school address") << ("[GRADECAST]\r\nURL=" + plain.toUtf8() + "\r\n")
                                    << QStringList{"", "", "", plain, "0", "0", "", "", "0"};
}

void StartupTest::startsFromTheSettingsFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, shown);

    SettingsFolder folder;
    if (!ini.isNull())
        folder.write(ini);
    Form1 window;
    const SettingsRecord &record = window.settings();
    QCOMPARE((QStringList{window.Check1->isChecked() ? "Tab" : "",
                          window.Check4->isChecked() ? "Enter" : "", window.Text3->text(),
                          QString::fromStdU16String(record.SchoolUrl),
                          QString::number(record.UseEnter), QString::number(record.UseTab),
                          QString::fromStdU16String(record.AbsentText),
                          QString::fromStdU16String(record.Score100Text),
                          QString::number(record.DecimalPlaces)}),
             shown);
    QCOMPARE(window.Text1->text(), shown[3]);
    QVERIFY(window.windowTitle().endsWith(QStringLiteral("ver1.7")));

    window.show();
    QVERIFY(waitForPage(window.WB1, shown[3].isEmpty() ? WebBrowser::homeUrl() : QUrl(shown[3])));
    // Starting writes nothing.
    QCOMPARE(folder.read(), ini.isNull() ? QByteArray() : ini);
}

void StartupTest::windowAsDesigned()
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
    QCOMPARE(window.Command3->text(), QStringLiteral("填入成績"));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(255, 255, 192));

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

    // The designed places, in pixels (the layout's numbers are tested with it).
    QCOMPARE(window.Command1->geometry(), QRect(260, 4, 93, 25));
    QCOMPARE(window.WB1->geometry(), QRect(4, 64, 680, 495));
}

GRADECAST_GUI_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
