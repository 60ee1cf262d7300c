// The browser buttons, the address box and the simple commands of a window,
// on local pages in the real browser engine.

#include "app/clickable_label.h"
#include "app/form1.h"
#include "app/twips.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineHistory>

using namespace gradecast;

namespace {

constexpr int Patience = 30000;

QUrl page(const char *name)
{
    return testPage(QString::fromLatin1(name));
}

// A settings file whose school address is a local page.
QByteArray settingsOpening(const QUrl &address)
{
    return "[GRADECAST]\r\nURL=" + address.toEncoded() + "\r\n";
}

QString schoolUrl(const Form1 &window)
{
    return QString::fromStdU16String(window.settings().SchoolUrl);
}

// Replaces the address box's text key by key, as the user types it; every
// keystroke must reach SchoolUrl at once.
void typeAddress(Form1 &window, const QString &address)
{
    window.Text1->selectAll();
    for (qsizetype i = 0; i < address.size(); ++i) {
        QTest::keyClicks(window.Text1, address.mid(i, 1));
        QCOMPARE(schoolUrl(window), address.left(i + 1));
    }
}

// Clicks a link of the page with the mouse, as the user follows it. (A click
// from the page's own script is no user action, and the engine's back button
// skips the page that made it.)
void followLink(Form1 &window, const QString &id)
{
    const QVariantList box =
        evaluate(window.WB1,
                 QStringLiteral("(function () { var r = document.getElementById('%1')"
                                ".getBoundingClientRect();"
                                " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                     .arg(id))
            .toList();
    QCOMPARE(box.size(), 2);
    const QPoint centre(qRound(box[0].toDouble()), qRound(box[1].toDouble()));
    QTest::mouseClick(window.WB1->focusProxy(), Qt::LeftButton, {}, centre);
}

QRect inPixels(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

QRect pixelsOf(const BrowserPlacement &placed)
{
    return inPixels(placed.left, placed.top, placed.width, placed.height);
}

bool samePlacement(const BrowserPlacement &a, const BrowserPlacement &b)
{
    return a.top == b.top && a.left == b.left && a.width == b.width && a.height == b.height;
}

// A mark in the page's script state: gone when the page is loaded again.
void markPage(Form1 &window)
{
    evaluate(window.WB1, QStringLiteral("window.gradecastMark = 7"));
}

bool pageMarked(Form1 &window)
{
    return evaluate(window.WB1, QStringLiteral("window.gradecastMark === 7")).toBool();
}

} // namespace

class NavigationTest : public QObject
{
    Q_OBJECT
private slots:
    void buttonsOpenTheTypedAddress_data();
    void buttonsOpenTheTypedAddress();
    void addressBoxNeverFollowsThePage();
    void backAndForwardAtTheEndsOfHistory();
    void emptyAddressIsQuiet();
    void clearLabelEmptiesTheScoreBox();
    void quitClosesEveryWindowAndSavesNothing();
    void completedLoadPutsTheBrowserBack();
    void resizeMovesTheRightColumn();
};

void NavigationTest::buttonsOpenTheTypedAddress_data()
{
    QTest::addColumn<bool>("go");
    QTest::newRow("校務行政") << false;
    QTest::newRow("Go") << true;
}

void NavigationTest::buttonsOpenTheTypedAddress()
{
    QFETCH(bool, go);

    SettingsFolder folder;
    const QByteArray ini = settingsOpening(page("plain.html"));
    folder.write(ini);
    ScriptedPrompt prompt;
    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, page("plain.html")));

    const QString typed = page("second.html").toString();
    typeAddress(window, typed);
    if (QTest::currentTestFailed())
        return;
    QTest::mouseClick(go ? window.Command8 : window.Command1, Qt::LeftButton);

    QVERIFY(waitForPage(window.WB1, page("second.html")));
    // Typing went nowhere: the only step in the history is the button's.
    QCOMPARE(window.WB1->history()->count(), 2);
    QCOMPARE(window.Text1->text(), typed);
    QCOMPARE(folder.read(), ini);
    QVERIFY(prompt.shown().isEmpty());
}

void NavigationTest::addressBoxNeverFollowsThePage()
{
    SettingsFolder folder;
    folder.write(settingsOpening(page("plain.html")));
    ScriptedPrompt prompt;
    Form1 window;
    window.show();
    const QString address = page("plain.html").toString();
    QVERIFY(waitForPage(window.WB1, page("plain.html")));
    QCOMPARE(window.Text1->text(), address);

    followLink(window, QStringLiteral("next"));
    QVERIFY(waitForPage(window.WB1, page("second.html")));
    QCOMPARE(window.Text1->text(), address);

    window.Command4->click();
    QVERIFY(waitForPage(window.WB1, page("plain.html")));
    QCOMPARE(window.Text1->text(), address);

    window.Command5->click();
    QVERIFY(waitForPage(window.WB1, page("second.html")));
    QCOMPARE(window.Text1->text(), address);

    // The home page is the practice sheet: one field for each of 60 students.
    window.Command6->click();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QCOMPARE(WebBrowser::homeUrl(), QUrl(QStringLiteral("qrc:/home.html")));
    const QString fields = QStringLiteral(
        "(function () {"
        "  for (var i = 1; i <= 60; i++)"
        "    if (!document.getElementById('score' + i)) return false;"
        "  return !document.getElementById('score61')"
        "      && document.querySelectorAll('input.score').length === 60;"
        "})()");
    QVERIFY(evaluate(window.WB1, fields).toBool());
    QCOMPARE(evaluate(window.WB1, QStringLiteral("document.title + '|' "
                                                 "+ document.querySelector('h1').textContent"))
                 .toString(),
             QStringLiteral("成績輸入練習|成績輸入練習"));

    markPage(window);
    window.Command7->click();
    QTRY_VERIFY_WITH_TIMEOUT(!pageMarked(window), Patience);
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));

    QCOMPARE(window.Text1->text(), address);
    QCOMPARE(schoolUrl(window), address);
    QVERIFY(prompt.shown().isEmpty());
}

void NavigationTest::backAndForwardAtTheEndsOfHistory()
{
    SettingsFolder folder;
    ScriptedPrompt prompt;
    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));

    // Nothing before the first page, nothing after the last: the page stays.
    markPage(window);
    window.Command4->click();
    window.Command5->click();
    QVERIFY(pageMarked(window));
    QCOMPARE(window.WB1->url(), WebBrowser::homeUrl());

    typeAddress(window, page("plain.html").toString());
    if (QTest::currentTestFailed())
        return;
    window.Command8->click();
    QVERIFY(waitForPage(window.WB1, page("plain.html")));
    markPage(window);
    window.Command5->click();
    QVERIFY(pageMarked(window));
    QVERIFY(prompt.shown().isEmpty());
}

void NavigationTest::emptyAddressIsQuiet()
{
    SettingsFolder folder;
    ScriptedPrompt prompt;
    Form1 window;
    window.show();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QVERIFY(window.Text1->text().isEmpty());

    window.Command8->click();
    window.Command1->click();
    QVERIFY(evaluate(window.WB1, QStringLiteral("1 + 1")).isValid());
    QVERIFY(prompt.shown().isEmpty());
}

void NavigationTest::clearLabelEmptiesTheScoreBox()
{
    SettingsFolder folder;
    ScriptedPrompt prompt;
    Form1 window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.Text2->setPlainText(QStringLiteral("90\n85\n\n100"));
    window.Text3->setText(QStringLiteral("A"));

    QTest::mouseClick(window.Label2, Qt::LeftButton);
    QCOMPARE(window.Text2->toPlainText(), QString());
    QTest::mouseClick(window.Label2, Qt::LeftButton);
    QCOMPARE(window.Text2->toPlainText(), QString());

    QCOMPARE(window.Text3->text(), QStringLiteral("A"));
    QCOMPARE(QString::fromStdU16String(window.settings().Score100Text), QStringLiteral("A"));
    QVERIFY(prompt.shown().isEmpty());
    QVERIFY(!folder.exists());
}

void NavigationTest::quitClosesEveryWindowAndSavesNothing()
{
    SettingsFolder folder;
    const QByteArray ini("[GRADECAST]\r\nSCORE100=B\r\n");
    folder.write(ini);
    ScriptedPrompt prompt;
    QPointer<Form1> first = new Form1;
    QPointer<Form1> second = new Form1;
    first->show();
    second->show();
    QVERIFY(QTest::qWaitForWindowExposed(second));
    // Unsaved changes in both windows.
    first->Text3->setText(QStringLiteral("A"));
    first->Check1->click();
    second->Text4->setText(QStringLiteral("缺"));
    second->Text2->setPlainText(QStringLiteral("90"));

    QTest::mouseClick(first->Command9, Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), Patience);
    QTRY_VERIFY_WITH_TIMEOUT(second.isNull(), Patience);
    QVERIFY(prompt.shown().isEmpty());
    QCOMPARE(folder.read(), ini);
}

void NavigationTest::completedLoadPutsTheBrowserBack()
{
    SettingsFolder folder;
    Form1 window;
    QSignalSpy loads(window.WB1, &WebBrowser::NavigateComplete2);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), Patience);
    const BrowserPlacement designed = window.recordedBrowserPlacement();
    QCOMPARE(pixelsOf(designed), window.WB1->geometry());

    // A page with frames, the browser moved off its place before it loads.
    window.WB1->setGeometry(10, 10, 200, 150);
    typeAddress(window, page("frameset.html").toString());
    if (QTest::currentTestFailed())
        return;
    window.Command8->click();
    QVERIFY(waitForPage(window.WB1, page("frameset.html")));
    QTRY_COMPARE_WITH_TIMEOUT(window.WB1->geometry(), pixelsOf(designed), Patience);

    // After a new layout, the place that layout recorded.
    window.resize(900, 640);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(900, 640), Patience);
    const BrowserPlacement laidOut = window.recordedBrowserPlacement();
    QVERIFY(!samePlacement(laidOut, designed));
    const int loadsBefore = loads.size();
    window.WB1->setGeometry(0, 0, 300, 300);
    window.Command4->click();
    QVERIFY(waitForPage(window.WB1, WebBrowser::homeUrl()));
    QTRY_VERIFY_WITH_TIMEOUT(loads.size() > loadsBefore, Patience);
    QTRY_COMPARE_WITH_TIMEOUT(window.WB1->geometry(), pixelsOf(laidOut), Patience);
    QVERIFY(samePlacement(window.recordedBrowserPlacement(), laidOut));
}

void NavigationTest::resizeMovesTheRightColumn()
{
    SettingsFolder folder;
    Form1 window;
    Form1 other;
    window.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));

    // 1000 x 700 pixels is 15000 x 10500 twips. The fill button keeps 100
    // twips from the bottom right corner, the paste box and the column 100
    // twips from the right edge; the browser takes what is left.
    window.resize(1000, 700);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), QSize(1000, 700), Patience);
    const int w = 15000;
    const int h = 10500;
    const QRect fillButton = inPixels(w - 1455 - 100, h - 435 - 100, 1455, 435);
    QCOMPARE(window.Command3->geometry(), fillButton);
    QCOMPARE(window.Text2->geometry(),
             inPixels(w - 1425 - 100, 1560, 1425, h - 435 - 100 - 1560 - 100));
    QCOMPARE(window.Check1->geometry(), inPixels(w - 1335 - 100, 60, 1335, 195));
    QCOMPARE(window.Text3->geometry(), inPixels(w - 555 - 100, 540, 555, 285));
    const QRect browser = inPixels(60, 960, w - 1425 - 100 - 60 - 100, h - 960 - 100);
    QCOMPARE(window.WB1->geometry(), browser);
    const BrowserPlacement placed = window.recordedBrowserPlacement();
    QCOMPARE(placed.left, 60);
    QCOMPARE(placed.top, 960);
    QCOMPARE(placed.width, browser.width() * 15);
    QCOMPARE(placed.height, browser.height() * 15);

    // The other window keeps the designed layout, and its own resize stays its own.
    QCOMPARE(other.Command3->geometry(), QRect(688, 530, 97, 29));
    other.resize(700, 500);
    QTRY_COMPARE_WITH_TIMEOUT(other.size(), QSize(700, 500), Patience);
    QCOMPARE(other.Command3->geometry(), inPixels(10500 - 1455 - 100, 7500 - 435 - 100, 1455, 435));
    QCOMPARE(window.Command3->geometry(), fillButton);
    QVERIFY(samePlacement(window.recordedBrowserPlacement(), placed));
}

GRADECAST_GUI_TEST_MAIN(NavigationTest)
#include "tst_navigation.moc"
