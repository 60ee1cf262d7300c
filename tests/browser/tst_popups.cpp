// Pages that open and close windows: every pop-up is a complete window of its
// own, and a page that closes its window closes that window alone.

#include "app/form1.h"
#include "app/windows.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/settings_folder.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>

#include <memory>

using namespace gradecast;

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
    // The window that appeared besides those in before.
    static Form1 *newWindow(const QList<Form1 *> &before);
    Form1 *openOpener();
    void click(Form1 *window, const QString &id);

    std::unique_ptr<SettingsFolder> m_folder;
};

Form1 *PopupTest::newWindow(const QList<Form1 *> &before)
{
    Form1 *appeared = nullptr;
    (void)QTest::qWaitFor(
        [&] {
            for (Form1 *form : OpenWindows()) {
                if (!before.contains(form))
                    appeared = form;
            }
            return appeared != nullptr;
        },
        30000);
    return appeared;
}

void PopupTest::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    m_folder->write("[GRADECAST]\r\nURL=" + testPage(QStringLiteral("plain.html")).toEncoded()
                    + "\r\nABSENT=X\r\n");
}

void PopupTest::cleanup()
{
    for (Form1 *window : OpenWindows())
        delete window;
    m_folder.reset();
}

Form1 *PopupTest::openOpener()
{
    auto *window = new Form1;
    window->show();
    const QUrl opener = testPage(QStringLiteral("opener.html"));
    window->WB1->load(opener);
    return waitForPage(window->WB1, opener) ? window : nullptr;
}

void PopupTest::click(Form1 *window, const QString &id)
{
    evaluate(window->WB1, QStringLiteral("document.getElementById('%1').click()").arg(id));
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

    const QList<Form1 *> before = OpenWindows();
    click(first, element);
    Form1 *popup = newWindow(before);
    QVERIFY(popup);

    // The page that asked for the window, not the pop-up's own start address.
    const QUrl second = testPage(QStringLiteral("second.html"));
    QVERIFY(waitForPage(popup->WB1, second));
    QCOMPARE(evaluate(popup->WB1, QStringLiteral("document.getElementById('name').textContent"))
                 .toString(),
             QStringLiteral("second"));
    QCOMPARE(popup->Text1->text(), testPage(QStringLiteral("plain.html")).toString());
    QCOMPARE(popup->Text4->text(), QStringLiteral("X"));
    QVERIFY(popup->windowTitle().endsWith(QStringLiteral("ver1.7")));
    QVERIFY(popup->isVisible() && !popup->isModal());
    // The opener is untouched and still usable.
    QCOMPARE(first->WB1->url(), testPage(QStringLiteral("opener.html")));
    QCOMPARE(first->Text4->text(), QStringLiteral("Y"));
    QVERIFY(first->isEnabled() && !first->isLocked());
}

void PopupTest::popupOfAPopup()
{
    Form1 *first = openOpener();
    QVERIFY(first);
    const QUrl opener = testPage(QStringLiteral("opener.html"));

    QList<Form1 *> before = OpenWindows();
    click(first, QStringLiteral("openOpener"));
    Form1 *popup = newWindow(before);
    QVERIFY(popup);
    QVERIFY(waitForPage(popup->WB1, opener));

    before = OpenWindows();
    click(popup, QStringLiteral("open"));
    Form1 *third = newWindow(before);
    QVERIFY(third);
    QVERIFY(waitForPage(third->WB1, testPage(QStringLiteral("second.html"))));
    QCOMPARE(OpenWindows().size(), 3);
}

void PopupTest::pageClosingItsWindowClosesThatWindowAlone()
{
    Form1 *first = openOpener();
    QVERIFY(first);
    first->Text2->setPlainText(QStringLiteral("85\n90"));

    const QList<Form1 *> before = OpenWindows();
    click(first, QStringLiteral("openCloser"));
    QPointer<Form1> popup = newWindow(before);
    QVERIFY(popup);
    popup->Text2->setPlainText(QStringLiteral("70"));
    QVERIFY(waitForPage(popup->WB1, testPage(QStringLiteral("closer.html"))));

    click(popup, QStringLiteral("close"));
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), 30000);
    QCOMPARE(OpenWindows(), QList<Form1 *>{first});
    QCOMPARE(first->Text2->toPlainText(), QStringLiteral("85\n90"));
    QVERIFY(first->isVisible());
}

void PopupTest::userClosingTheFirstWindowLeavesTheOthers()
{
    QPointer<Form1> first = openOpener();
    QVERIFY(first);
    const QList<Form1 *> before = OpenWindows();
    click(first, QStringLiteral("open"));
    QPointer<Form1> popup = newWindow(before);
    QVERIFY(popup);

    first->close();
    QTRY_VERIFY_WITH_TIMEOUT(first.isNull(), 30000);
    QVERIFY(popup && popup->isVisible());
    QVERIFY(waitForPage(popup->WB1, testPage(QStringLiteral("second.html"))));
}

GRADECAST_GUI_TEST_MAIN(PopupTest)
#include "tst_popups.moc"
