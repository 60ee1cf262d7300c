// A window's browser on local pages in the real engine: its buttons, the
// address box, and pages that open and close windows.

#include "app/form1.h"
#include "app/windows.h"
#include "app/twips.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QWebEngineHistory>

#include <memory>

using namespace gradecast;

namespace {

constexpr int Patience = 30000;

// Types the address box's text as the user does; it must reach SchoolUrl at once.
bool typeAddress(Form1 &window, const QString &address)
{
    window.Text1->selectAll();
    QTest::keyClick(window.Text1, Qt::Key_Backspace);
    QTest::keyClicks(window.Text1, address);
    return window.settings().SchoolUrl == address.toStdU16String();
}

// A mark in the page's script state: gone when the page is loaded again.
void markPage(Form1 &window) { evaluate(window.WB1, "window.gradecastMark = 7"); }
bool pageMarked(Form1 &window)
{
    return evaluate(window.WB1, "window.gradecastMark === 7").toBool();
}

// Clicks the page's element id and returns the window that opens, once it
// shows url; nullptr when none does.
Form1 *popupFrom(Form1 *window, const QString &id, const QUrl &url)
{
    Form1 *popup = popupOf(window, "document.getElementById('" + id + "').click()");
    return popup && waitForPage(popup->WB1, url) ? popup : nullptr;
}

} // namespace

class BrowserTest : public QObject
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
    void buttonsOpenTheTypedAddress_data();
    void buttonsOpenTheTypedAddress();
    void addressBoxNeverFollowsThePage();
    void layoutFollowsTheSizeAndLoadsPutTheBrowserBack();
    void pageOpensACompleteWindow_data();
    void pageOpensACompleteWindow();
    void windowsOpenAndCloseOnTheirOwn();

private:
    // The school address is the plain page; no test may show a box or write the file.
    const QByteArray m_ini =
        "[GRADECAST]\r\nURL=" + testPage("plain.html").toEncoded() + "\r\nABSENT=X\r\n";
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
};

void BrowserTest::buttonsOpenTheTypedAddress_data()
{
    QTest::addColumn<QString>("how"); // the button, or Return in the address box
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QUrl>("opened");
    const QUrl second = testPage("second.html");
    for (const char *how : {"校務行政", "Go", "Return"})
        QTest::newRow(how) << how << second.toString() << second;
    QTest::newRow("校務行政, no address") << "校務行政" << QString() << testPage("plain.html");
    QTest::newRow("Go, no address") << "Go" << QString() << testPage("plain.html");
}

void BrowserTest::buttonsOpenTheTypedAddress()
{
    QFETCH(QString, how);
    QFETCH(QString, typed);
    QFETCH(QUrl, opened);

    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));
    markPage(window);
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

void BrowserTest::addressBoxNeverFollowsThePage()
{
    Form1 window;
    window.show();
    const QString address = testPage("plain.html").toString();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));

    // Nothing before the first page, nothing after the last: the page stays.
    markPage(window);
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

    // The home page is the practice sheet: one field for each of 60 students.
    window.Command6->click();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QCOMPARE(evaluate(window.WB1, "document.querySelectorAll('input.score').length").toInt(), 60);

    markPage(window);
    window.Command7->click();
    QTRY_VERIFY_WITH_TIMEOUT(!pageMarked(window), Patience);
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QCOMPARE(window.Text1->text(), address);
    QCOMPARE(QString::fromStdU16String(window.settings().SchoolUrl), address);
}

void BrowserTest::layoutFollowsTheSizeAndLoadsPutTheBrowserBack()
{
    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, testPage("plain.html")));
    // 1000 x 700 pixels is 15000 x 10500 twips.
    window.resize(1000, 700);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1000, 700), Patience);
    const LayoutControls expected = FormLayout(DefinitionControls(), 15000, 10500);
    QCOMPARE(window.Text3->geometry(), pixelsFromTwips(expected.Text3));
    QCOMPARE(window.WB1->geometry(), pixelsFromTwips(expected.WB1));

    // A page with frames, the browser moved off its place before it loads:
    // after the load, the place the last layout recorded.
    window.WB1->setGeometry(10, 10, 200, 150);
    QSignalSpy loads(window.WB1, &WebBrowser::NavigateComplete2);
    QVERIFY(typeAddress(window, testPage("frameset.html").toString()));
    window.Command8->click();
    QVERIFY(waitForPage(window.WB1, testPage("frameset.html")));
    QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), Patience);
    QTRY_COMPARE_WITH_TIMEOUT(window.WB1->geometry(), pixelsFromTwips(expected.WB1), Patience);
}

void BrowserTest::pageOpensACompleteWindow_data()
{
    QTest::addColumn<QString>("element");
    QTest::newRow("window.open") << "open";
    QTest::newRow("link to _blank") << "blank";
}

void BrowserTest::pageOpensACompleteWindow()
{
    QFETCH(QString, element);
    Form1 *first = openWindow(testPage("opener.html"));
    QVERIFY(first);
    // Unsaved in the first window: the pop-up reads the file for itself.
    first->Text4->setText("Y");

    // The page that asked for the window, not the pop-up's own start address.
    Form1 *popup = popupFrom(first, element, testPage("second.html"));
    QVERIFY(popup);
    QCOMPARE(popup->Text1->text(), testPage("plain.html").toString());
    QCOMPARE(popup->Text4->text(), "X");
    QVERIFY(popup->isVisible() && !popup->isModal());
    // The opener is untouched and still usable.
    QCOMPARE(first->WB1->url(), testPage("opener.html"));
    QCOMPARE(first->Text4->text(), "Y");
    QVERIFY(first->isEnabled() && !first->isLocked());
}

// A pop-up of a pop-up; closing the first window by hand leaves the others.
// (A page closing its own window: the window lifetime tests.)
void BrowserTest::windowsOpenAndCloseOnTheirOwn()
{
    QPointer<Form1> first = openWindow(testPage("opener.html"));
    QVERIFY(first);
    QPointer<Form1> popup = popupFrom(first, "openOpener", testPage("opener.html"));
    QVERIFY(popup);
    QPointer<Form1> third = popupFrom(popup, "open", testPage("second.html"));
    QVERIFY(third);

    first->close();
    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), Patience);
    QVERIFY(popup && popup->isVisible() && third && third->isVisible());
    QCOMPARE(third->WB1->url(), testPage("second.html"));
}

GRADECAST_GUI_TEST_MAIN(BrowserTest)
#include "tst_browser.moc"
