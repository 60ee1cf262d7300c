// Pages that open and close windows: every pop-up is a complete window of its
// own, and a page that closes its window closes that window alone.

#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/open_windows.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace gradecast;

namespace {

// A new window on the page of buttons that open windows.
Form1 *openOpener()
{
    auto *window = new Form1;
    window->show();
    window->WB1->load(testPage("opener.html"));
    return waitForPage(window->WB1, testPage("opener.html")) ? window : nullptr;
}

// Clicks the page's element id and returns the window that opens, once it
// shows url; nullptr when none does.
Form1 *popupFrom(Form1 *window, const QString &id, const QUrl &url)
{
    const QList<Form1 *> before = openWindows();
    evaluate(window->WB1, QStringLiteral("document.getElementById('%1').click()").arg(id));
    Form1 *appeared = nullptr;
    const bool opened = QTest::qWaitFor(
        [&] {
            for (Form1 *form : openWindows())
                appeared = before.contains(form) ? appeared : form;
            return appeared != nullptr;
        },
        30000);
    return opened && waitForPage(appeared->WB1, url) ? appeared : nullptr;
}

} // namespace

class PopupTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pageOpensACompleteWindow_data();
    void pageOpensACompleteWindow();
    void popupOfAPopup();
    void pageClosingItsWindowClosesThatWindowAlone();
    void userClosingTheFirstWindowLeavesTheOthers();

private:
    std::unique_ptr<SettingsFolder> m_folder;
};

void PopupTest::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    m_folder->write("[GRADECAST]\r\nURL=" + testPage("plain.html").toEncoded() + "\r\nABSENT=X\r\n");
}

void PopupTest::cleanup()
{
    qDeleteAll(openWindows());
    m_folder.reset();
}

void PopupTest::pageOpensACompleteWindow_data()
{
    QTest::addColumn<QString>("element");
    QTest::newRow("window.open") << "open";
    QTest::newRow("link to _blank") << "blank";
}

void PopupTest::pageOpensACompleteWindow()
{
    QFETCH(QString, element);
    Form1 *first = openOpener();
    QVERIFY(first);
    // Unsaved in the first window: the pop-up reads the file for itself.
    first->Text4->setText(QStringLiteral("Y"));

    // The page that asked for the window, not the pop-up's own start address.
    Form1 *popup = popupFrom(first, element, testPage("second.html"));
    QVERIFY(popup);
    QCOMPARE(evaluate(popup->WB1, QStringLiteral("document.getElementById('name').textContent"))
                 .toString(),
             QStringLiteral("second"));
    QVERIFY(popup->WB1->RegisterAsBrowser());
    QCOMPARE(popup->Text1->text(), testPage("plain.html").toString());
    QCOMPARE(popup->Text4->text(), QStringLiteral("X"));
    QVERIFY(popup->windowTitle().endsWith(QStringLiteral("ver1.7")));
    QVERIFY(popup->isVisible() && !popup->isModal());
    // The opener is untouched and still usable.
    QCOMPARE(first->WB1->url(), testPage("opener.html"));
    QCOMPARE(first->Text4->text(), QStringLiteral("Y"));
    QVERIFY(first->isEnabled() && !first->isLocked());
}

void PopupTest::popupOfAPopup()
{
    Form1 *first = openOpener();
    QVERIFY(first);
    Form1 *popup = popupFrom(first, QStringLiteral("openOpener"), testPage("opener.html"));
    QVERIFY(popup);
    QVERIFY(popupFrom(popup, QStringLiteral("open"), testPage("second.html")));
    QCOMPARE(openWindows().size(), 3);
}

void PopupTest::pageClosingItsWindowClosesThatWindowAlone()
{
    Form1 *first = openOpener();
    QVERIFY(first);
    first->Text2->setPlainText(QStringLiteral("85\n90"));
    QPointer<Form1> popup = popupFrom(first, QStringLiteral("openCloser"), testPage("closer.html"));
    QVERIFY(popup);

    evaluate(popup->WB1, QStringLiteral("document.getElementById('close').click()"));
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), 30000);
    QCOMPARE(openWindows(), QList<Form1 *>{first});
    QCOMPARE(first->Text2->toPlainText(), QStringLiteral("85\n90"));
}

void PopupTest::userClosingTheFirstWindowLeavesTheOthers()
{
    QPointer<Form1> first = openOpener();
    QVERIFY(first);
    QPointer<Form1> popup = popupFrom(first, QStringLiteral("open"), testPage("second.html"));
    QVERIFY(popup);

    first->close();
    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 30000);
    QVERIFY(popup && popup->isVisible());
    QCOMPARE(popup->WB1->url(), testPage("second.html"));
}

GRADECAST_GUI_TEST_MAIN(PopupTest)
#include "tst_popups.moc"
