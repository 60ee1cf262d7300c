// A window starting from real settings files: what its boxes show, what it
// keeps, where its browser goes.

#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
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
    QTest::addColumn<bool>("tab");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<int>("useTab");
    QTest::addColumn<int>("useEnter");
    QTest::addColumn<QString>("text3");
    QTest::addColumn<QString>("score100");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("decimals");

    const QString plain = testPage(QStringLiteral("plain.html")).toString();
    QTest::newRow("no file") << QByteArray() << false << false << 0 << 0 << "" << "" << ""
                             << "" << 0;
    QTest::newRow("both flags: Tab wins")
        << QByteArray("[GRADECAST]\r\nUSETAB=1\r\nUSEENTER=1\r\n") << true << false << 1 << 0
        << "" << "" << "" << "" << 0;
    QTest::newRow("Enter only") << QByteArray("[GRADECAST]\r\nUSEENTER=1\r\n") << false << true
                                << 0 << 1 << "" << "" << "" << "" << 0;
    QTest::newRow("negative flag stays")
        << QByteArray("[GRADECAST]\r\nUSETAB=-1\r\n") << false << false << -1 << 0 << ""
        << "" << "" << "" << 0;
    QTest::newRow("flag of 5 ticks") << QByteArray("[GRADECAST]\r\nUSETAB=5\r\n") << true
                                     << false << 1 << 0 << "" << "" << "" << "" << 0;
    // Big5: 缺 is AF CA.
    QTest::newRow("quoted text keeps its blank in the box")
        << QByteArray("[gradecast]\r\nSCORE100=\"A+ \"\r\nABSENT=  \xAF\xCA\r\nDECIMAL=2.5\r\n")
        << false << false << 0 << 0 << "A+ " << "A+" << "缺" << "" << 2;
    QTest::newRow("address of blanks is none")
        << QByteArray("[GRADECAST]\r\nURL=    \r\n") << false << false << 0 << 0 << "" << ""
        << "" << "" << 0;
    QTest::newRow("number out of range keeps 0")
        << QByteArray("[GRADECAST]\r\nUSETAB=40000\r\nDECIMAL=-40000\r\n") << false << false
        << 0 << 0 << "" << "" << "" << "" << 0;
    QTest::newRow("school address")
        << ("[GRADECAST]\r\nURL=" + plain.toUtf8() + "\r\n") << false << false << 0 << 0 << ""
        << "" << "" << plain << 0;
}

void StartupTest::startsFromTheSettingsFile()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, tab);
    QFETCH(bool, enter);
    QFETCH(int, useTab);
    QFETCH(int, useEnter);
    QFETCH(QString, text3);
    QFETCH(QString, score100);
    QFETCH(QString, absent);
    QFETCH(QString, address);
    QFETCH(int, decimals);

    SettingsFolder folder;
    if (!ini.isNull())
        folder.write(ini);
    QPointer<Form1> window = new Form1;

    QCOMPARE(window->Check1->isChecked(), tab);
    QCOMPARE(window->Check4->isChecked(), enter);
    QCOMPARE(int(window->settings().UseTab), useTab);
    QCOMPARE(int(window->settings().UseEnter), useEnter);
    QCOMPARE(window->Text3->text(), text3);
    QCOMPARE(QString::fromStdU16String(window->settings().Score100Text), score100);
    QCOMPARE(QString::fromStdU16String(window->settings().AbsentText), absent);
    QCOMPARE(int(window->settings().DecimalPlaces), decimals);
    QCOMPARE(window->Text1->text(), address);
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("ver1.7")));

    window->show();
    const QUrl expected = address.isEmpty() ? WebBrowser::homeUrl() : QUrl(address);
    QVERIFY(waitForPage(window->WB1, expected));
    // Starting writes nothing.
    QCOMPARE(folder.read(), ini.isNull() ? QByteArray() : ini);
    delete window;
}

void StartupTest::windowAsDesigned()
{
    SettingsFolder folder;
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(window.size(), QSize(792, 566));
    QCOMPARE(window.Command3->text(), QStringLiteral("填入成績"));
    QCOMPARE(window.Command1->geometry(), QRect(260, 4, 93, 25));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(255, 255, 192));

    // Tab order: the browser, then the order the window was designed with.
    const QList<QWidget *> order = {window.WB1,      window.Command1, window.Text2,
                                    window.Command3, window.Command4, window.Command5,
                                    window.Command6, window.Command7, window.Text1,
                                    window.Command8, window.Command9, window.Check1,
                                    window.Check4,   window.Text3,    window.Text4,
                                    window.Command2};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget *next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus || !next->isVisible()
               || next->isAncestorOf(order[i]) || order[i]->isAncestorOf(next))
            next = next->nextInFocusChain();
        QCOMPARE(next, order[i + 1]);
    }

    // The layout at the designed size and the browser placement it recorded.
    QCOMPARE(window.Text2->geometry(), QRect(690, 104, 95, 420));
    QCOMPARE(window.Command3->geometry(), QRect(688, 530, 97, 29));
    QCOMPARE(window.WB1->geometry(), QRect(4, 64, 680, 495));
    const BrowserPlacement placed = window.recordedBrowserPlacement();
    QCOMPARE(placed.left, 60);
    QCOMPARE(placed.top, 960);
    QCOMPARE(placed.width, 10200);
    QCOMPARE(placed.height, 7425);
}

GRADECAST_GUI_TEST_MAIN(StartupTest)
#include "tst_startup.moc"
