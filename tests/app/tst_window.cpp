// A window: what it starts with from real settings files, how its boxes change
// its settings and the save button writes them, its browser's buttons and
// address box, its layout, and pages that open windows. Reading and writing
// each value is the settings record's and the store's, tested with them.

#include "app/form1.h"
#include "app/windows.h"
#include "entry/keystroke_script.h"
#include "app/twips.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QWebEngineHistory>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace gradecast;

namespace {

// Types the address box's text as the user does; it must reach SchoolUrl at once.
bool typeAddress(Form1 &window, const QString &address)
{
    window.Text1->selectAll();
    QTest::keyClick(window.Text1, Qt::Key_Backspace);
    QTest::keyClicks(window.Text1, address);
    return window.settings().SchoolUrl == address.toStdU16String();
}

// A mark in the page's script state: gone when the page is loaded again.
bool markPage(Form1 &window) { return evaluate(window.WB1, "window.gradecastMark = 7") == 7; }
bool pageMarked(Form1 &window)
{
    return evaluate(window.WB1, "window.gradecastMark === 7").toBool();
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        m_folder->write(m_ini);
        m_prompt = std::make_unique<ScriptedPrompt>();
    }
    void cleanup()
    {
        qDeleteAll(OpenWindows());
        const bool quiet = m_prompt->shown().isEmpty();
        const QByteArray ini = m_folder->read();
        // Gone before the next test's: each puts back what was there before it.
        m_prompt.reset();
        m_folder.reset();
        QVERIFY(quiet);
        QCOMPARE(ini, m_ini);
    }
    // With settings and a prompt of their own.
    void startsFromTheSettingsFile_data();
    void startsFromTheSettingsFile();
    void boxesChangeTheRecord();
    void saveAsksThenWrites_data();
    void saveAsksThenWrites();
    void typesWhatTheToolPrints();
    void buttonsOpenTheTypedAddress_data();
    void buttonsOpenTheTypedAddress();
    void addressBoxNeverFollowsThePage();
    void layoutFollowsTheSizeAndLoadsPutTheBrowserBack();
    void pageOpensACompleteWindow_data();
    void pageOpensACompleteWindow();
    void popupFloodStopsAtTheWindowLimit();

private:
    // The school address is the plain page; no test may show a box or write the file.
    const QByteArray m_ini =
        "[GRADECAST]\r\nURL=" + testPage("plain.html").toEncoded() + "\r\nABSENT=X\r\n";
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
};

void WindowTest::buttonsOpenTheTypedAddress_data()
{
    QTest::addColumn<QString>("how"); // the button, or Return in the address box
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QUrl>("opened");
    const QUrl second = testPage("second.html");
    for (const char *how : {"校務行政", "Go", "Return"})
        QTest::newRow(how) << how << second.toString() << second;
    QTest::newRow("校務行政, no address") << "校務行政" << QString() << testPage("plain.html");
}

void WindowTest::buttonsOpenTheTypedAddress()
{
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(QUrl, opened);

    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));
    QVERIFY(markPage(window));
    QVERIFY(typeAddress(window, typed));
    if (how == "Return")
        QTest::keyClick(window.Text1, Qt::Key_Return);
    else
        QTest::mouseClick(how == "Go" ? window.Command8 : window.Command1, Qt::LeftButton);

    QVERIFY(waitForPage(window.WB1, opened));
    // Typing went nowhere: the only step in the history is the button's.
    QCOMPARE(window.WB1->history()->count(), typed.isEmpty() ? 1 : 2);
    QCOMPARE(pageMarked(window), typed.isEmpty());
    QCOMPARE(window.Text1->text(), typed);
}

void WindowTest::addressBoxNeverFollowsThePage()
{
    Form1 window;
    window.show();
    const QString address = testPage("plain.html").toString();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));

    // Nothing before the first page, nothing after the last: the page stays.
    QVERIFY(markPage(window));
    window.Command4->click();
    window.Command5->click();
    QVERIFY(pageMarked(window));

    // A page the browser goes to by itself, as when a link is followed.
    window.WB1->load(testPage("second.html"));
    QVERIFY(waitForPage(window.WB1, testPage("second.html")));
    window.Command4->click();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));
    window.Command5->click();
    QVERIFY(waitForPage(window.WB1, testPage("second.html")));

    window.Command6->click();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QVERIFY(markPage(window));
    window.Command7->click();
    QTRY_VERIFY_WITH_TIMEOUT(!pageMarked(window), PatienceMs);
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QCOMPARE(window.Text1->text(), address);
    QCOMPARE(QString::fromStdU16String(window.settings().SchoolUrl), address);
}

void WindowTest::layoutFollowsTheSizeAndLoadsPutTheBrowserBack()
{
    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));
    // 1000 x 700 pixels is 15000 x 10500 twips.
    window.resize(1000, 700);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1000, 700), PatienceMs);
    const LayoutControls expected = FormLayout(DefinitionControls(), 15000, 10500);
    QCOMPARE(window.WB1->geometry(), pixelsFromTwips(expected.WB1));

    // A page with frames, the browser moved off its place before it loads:
    // after the load, the place the last layout recorded.
    window.WB1->setGeometry(10, 10, 200, 150);
    QSignalSpy loads(window.WB1, &WebBrowser::NavigateComplete2);
    QVERIFY(typeAddress(window, testPage("frameset.html").toString()));
    window.Command8->click();
    QVERIFY(waitForPage(window.WB1, testPage("frameset.html")));
    QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), PatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(window.WB1->geometry(), pixelsFromTwips(expected.WB1), PatienceMs);
}

void WindowTest::pageOpensACompleteWindow_data()
{
    QTest::addColumn<QString>("element");
    QTest::newRow("window.open") << "open";
    QTest::newRow("link to _blank") << "blank";
}

void WindowTest::pageOpensACompleteWindow()
{
    QFETCH(QString, element);
    Form1 *first = openWindow(testPage("opener.html"));
    QVERIFY(first);
    // Unsaved in the first window: the pop-up reads the file for itself.
    first->Text4->setText("Y");

    // The page that asked for the window, not the pop-up's own start address.
    Form1 *popup = popupOf(first, "document.getElementById('" + element + "').click()");
    QVERIFY(popup && waitForPage(popup->WB1, testPage("second.html")));
    QCOMPARE(popup->Text1->text(), testPage("plain.html").toString());
    QCOMPARE(popup->Text4->text(), "X");
    QVERIFY(popup->isVisible() && !popup->isModal());
    // The opener is untouched and still usable.
    QCOMPARE(first->WB1->url(), testPage("opener.html"));
    QCOMPARE(first->Text4->text(), "Y");
    QVERIFY(first->isEnabled() && !first->isLocked());
    // Closing the opener by hand leaves the pop-up.
    const QPointer<Form1> opened = popup;
    first->close();
    QTRY_VERIFY_WITH_TIMEOUT(OpenWindows() == QList<Form1 *>{opened}, PatienceMs);
}

void WindowTest::popupFloodStopsAtTheWindowLimit()
{
    ScriptedPrompt told;
    Form1 *first = openWindow(testPage("plain.html"));
    QVERIFY(first);
    // Ten windows more than the limit, asked for one after another: each wait is for the next.
    first->WB1->page()->runJavaScript(
        QString("for (let i = 0; i < %1; ++i) open('second.html?' + i)").arg(MaxOpenWindows + 10));
    while (OpenWindows().size() < MaxOpenWindows) {
        const qsizetype open = OpenWindows().size();
        QTRY_VERIFY_WITH_TIMEOUT(OpenWindows().size() > open, PatienceMs);
    }
    // Told once, however many more the page asked for.
    QTRY_COMPARE_WITH_TIMEOUT(told.shown().size(), 1, PatienceMs);
    QVERIFY(told.shown().first().text.contains(QString::number(MaxOpenWindows)));
    QCOMPARE(OpenWindows().size(), MaxOpenWindows);
    QCOMPARE(evaluate(first->WB1, "6 * 7").toInt(), 42);
}

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

    // The texts lose their blanks in the record; the boxes show what was typed.
    window.Text3->setText(" A ");
    window.Text4->setText(" 缺");
    const SettingsRecord &r = window.settings();
    QCOMPARE(QString::fromStdU16String(r.Score100Text + r.AbsentText), "A缺");
    QCOMPARE(window.Text3->text() + window.Text4->text(), " A  缺");
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
    QVERIFY(tool.waitForFinished(PatienceMs));
    QCOMPARE(QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
             typed);
}

GRADECAST_GUI_TEST_MAIN(WindowTest)
#include "tst_window.moc"
