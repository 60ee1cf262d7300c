// Fill runs that meet trouble: pages that leave, open or close windows in the
// middle of the typing, and score boxes full of junk. Nothing may crash, every
// window must be let go, and no other window may lose anything.

#include "app/form1.h"
#include "app/windows.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace gradecast;

class FillFaultsTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void pageActsInTheMiddleOfARun_data();
    void pageActsInTheMiddleOfARun();
    void popupClosesItselfInTheMiddleOfARun();
    void junkInTheScoreBox_data();
    void junkInTheScoreBox();
    void popupFloodStopsAtTheWindowLimit();

private:
    Form1 *openWindow(const QUrl &url);
    static bool released(Form1 *window);

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
};

void FillFaultsTest::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    m_folder->write("[GRADECAST]\r\nUSETAB=1\r\n");
    m_prompt = std::make_unique<ScriptedPrompt>();
}

void FillFaultsTest::cleanup()
{
    qDeleteAll(OpenWindows());
    m_prompt.reset();
    m_folder.reset();
}

Form1 *FillFaultsTest::openWindow(const QUrl &url)
{
    auto *window = new Form1;
    window->show();
    window->WB1->load(url);
    return waitForPage(window->WB1, url) ? window : nullptr;
}

bool FillFaultsTest::released(Form1 *window)
{
    return !window->isLocked() && window->Command3->isEnabled() && window->Text2->isEnabled()
        && window->cursor().shape() == Qt::ArrowCursor;
}

void FillFaultsTest::pageActsInTheMiddleOfARun_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("windowsAfter");
    QTest::newRow("navigates away") << "leave" << 1;
    QTest::newRow("opens a window") << "open" << 2;
}

void FillFaultsTest::pageActsInTheMiddleOfARun()
{
    QFETCH(QString, action);
    QFETCH(int, windowsAfter);
    QUrl url = testPage(QStringLiteral("fields.html"));
    url.setQuery(QStringLiteral("n=3&onkey=") + action);
    Form1 *window = openWindow(url);
    QVERIFY(window);
    QVERIFY(clickScoreField(window->WB1, 1));
    window->Text2->setPlainText(QStringLiteral("85\n90\n70\n"));

    m_prompt->answer(QMessageBox::Yes);
    window->Command3->click();

    QVERIFY(released(window));
    QCOMPARE(window->Text2->toPlainText(), QStringLiteral("85\n90\n70"));
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), windowsAfter, 30000);
    // The engine is still there and answers.
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(window->WB1, QStringLiteral("1 + 1")).toInt() == 2, 30000);
}

void FillFaultsTest::popupClosesItselfInTheMiddleOfARun()
{
    Form1 *first = openWindow(testPage(QStringLiteral("opener.html")));
    QVERIFY(first);
    first->Text2->setPlainText(QStringLiteral("60\n70"));
    evaluate(first->WB1, QStringLiteral("document.getElementById('openClosingFields').click()"));
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), 2, 30000);
    QPointer<Form1> popup = OpenWindows().at(OpenWindows().at(0) == first ? 1 : 0);
    QUrl fields = testPage(QStringLiteral("fields.html"));
    fields.setQuery(QStringLiteral("n=3&onkey=close"));
    QVERIFY(waitForPage(popup->WB1, fields));
    QVERIFY(clickScoreField(popup->WB1, 2));
    popup->Text2->setPlainText(QStringLiteral("85\n90"));

    m_prompt->answer(QMessageBox::Yes);
    popup->Command3->click();

    // The run ends and lets go; then the window goes as the page asked.
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), 30000);
    QCOMPARE(OpenWindows(), QList<Form1 *>{first});
    QCOMPARE(first->Text2->toPlainText(), QStringLiteral("60\n70"));
    QVERIFY(released(first));
}

void FillFaultsTest::junkInTheScoreBox_data()
{
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QStringList>("typed");

    QString big;
    big.reserve(10 * 1024 * 1024);
    while (big.size() < 10 * 1024 * 1024)
        big += QStringLiteral("85\n");
    QTest::newRow("10 MB pasted") << big + QStringLiteral("\n\n")
                                  << QStringList{" 85", " 85", " 85"};
    QTest::newRow("only line ends") << QString(5000, QLatin1Char('\n')) << QStringList{"", "", ""};

    // Control characters, lone surrogates, private use: typed as 0 where the
    // rules say so, and no key for what no key types. Characters the text box
    // itself takes as line or frame breaks are left out.
    const QList<char16_t> breaks = {u'\n', u'\r', u'\t', 0x0B, 0x0C, 0x2028, 0x2029, 0xFDD0, 0xFDD1};
    QString junk;
    QRandomGenerator random(7);
    for (int i = 0; i < 200000; ++i) {
        const char16_t c = static_cast<char16_t>(random.bounded(1, 0x10000));
        if (!breaks.contains(c))
            junk += QChar(c);
    }
    QTest::newRow("binary junk") << QStringLiteral("x") + junk + QStringLiteral("\n5")
                                 << QStringList{" 0", " 5", ""};
}

void FillFaultsTest::junkInTheScoreBox()
{
    QFETCH(QString, scores);
    QFETCH(QStringList, typed);
    QUrl url = testPage(QStringLiteral("fields.html"));
    url.setQuery(QStringLiteral("n=3"));
    Form1 *window = openWindow(url);
    QVERIFY(window);
    QVERIFY(clickScoreField(window->WB1, 1));
    QElapsedTimer paste;
    paste.start();
    window->Text2->setPlainText(scores);
    const qint64 pasted = paste.elapsed();
    QString left = window->Text2->toPlainText();
    while (left.endsWith(QLatin1Char('\n')))
        left.chop(1);

    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    QElapsedTimer run;
    run.start();
    window->Command3->click();
    // Measured against the paste on the same machine at the same moment (a
    // loaded machine is slow at both): writing the whole text into the box
    // once more would take about as long as pasting it.
    const qint64 limit = std::max<qint64>(2000, pasted / 2);
    QVERIFY2(run.elapsed() < limit,
             qPrintable(QStringLiteral("%1 ms, paste %2 ms").arg(run.elapsed()).arg(pasted)));

    QVERIFY(released(window));
    QVERIFY(window->Text2->toPlainText() == left);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(window->WB1, QStringLiteral("values()")).toStringList(),
                              typed, 30000);
}

void FillFaultsTest::popupFloodStopsAtTheWindowLimit()
{
    Form1 *first = openWindow(testPage(QStringLiteral("popup-loop.html")));
    QVERIFY(first);
    first->Text2->setPlainText(QStringLiteral("85"));

    evaluate(first->WB1, QStringLiteral("document.getElementById('flood').click()"));
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), MaxOpenWindows, 120000);
    // Told once, however many more the page asked for.
    QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), 1, 30000);
    QVERIFY(m_prompt->shown().first().text.contains(QString::number(MaxOpenWindows)));
    QCOMPARE(OpenWindows().size(), MaxOpenWindows);

    // The first window is still usable and keeps its scores.
    QCOMPARE(first->Text2->toPlainText(), QStringLiteral("85"));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(first->WB1, QStringLiteral("1 + 1")).toInt() == 2, 30000);
}

GRADECAST_GUI_TEST_MAIN(FillFaultsTest)
#include "tst_fill_faults.moc"
