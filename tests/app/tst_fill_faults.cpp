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

#include <algorithm>
#include <memory>

using namespace gradecast;

namespace {

QUrl fields(const QString &query)
{
    QUrl url = testPage("fields.html");
    url.setQuery(query);
    return url;
}

bool released(Form1 *window)
{
    return !window->isLocked() && window->Command3->isEnabled() && window->Text2->isEnabled()
        && window->cursor().shape() == Qt::ArrowCursor;
}

bool engineAnswers(Form1 *window)
{
    return QTest::qWaitFor([&] { return evaluate(window->WB1, "1 + 1").toInt() == 2; }, 30000);
}

} // namespace

class FillFaultsTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        m_folder->write("[GRADECAST]\r\nUSETAB=1\r\n");
        m_prompt = std::make_unique<ScriptedPrompt>();
        m_prompt->answer(QMessageBox::Yes);
        m_prompt->answer(QMessageBox::Yes);
    }
    void cleanup()
    {
        qDeleteAll(OpenWindows());
        // Gone before the next test's: each puts back what was there before it.
        m_prompt.reset();
        m_folder.reset();
    }

    void pageActsInTheMiddleOfARun_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("windowsAfter");
        QTest::newRow("navigates away") << "leave" << 1;
        QTest::newRow("opens a window") << "open" << 2;
    }

    void pageActsInTheMiddleOfARun()
    {
        QFETCH(QString, action);
        QFETCH(int, windowsAfter);
        Form1 *window = openWindow(fields("n=3&onkey=" + action));
        QVERIFY(window && clickScoreField(window->WB1, 1));
        window->Text2->setPlainText("85\n90\n70\n");
        window->Command3->click();

        QVERIFY(released(window));
        QCOMPARE(window->Text2->toPlainText(), "85\n90\n70");
        QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), windowsAfter, 30000);
        QVERIFY(engineAnswers(window));
    }

    void popupClosesItselfInTheMiddleOfARun()
    {
        Form1 *first = openWindow(testPage("opener.html"));
        QVERIFY(first);
        first->Text2->setPlainText("60\n70");
        evaluate(first->WB1, "document.getElementById('openClosingFields').click()");
        QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), 2, 30000);
        QPointer<Form1> popup = OpenWindows().at(OpenWindows().at(0) == first ? 1 : 0);
        QVERIFY(waitForPage(popup->WB1, fields("n=3&onkey=close")));
        QVERIFY(clickScoreField(popup->WB1, 2));
        popup->Text2->setPlainText("85\n90");
        popup->Command3->click();

        // The run ends and lets go; then the window goes as the page asked.
        QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), 30000);
        QCOMPARE(OpenWindows(), QList<Form1 *>{first});
        QCOMPARE(first->Text2->toPlainText(), "60\n70");
        QVERIFY(released(first));
    }

    void junkInTheScoreBox_data()
    {
        QTest::addColumn<QString>("scores");
        QTest::addColumn<QStringList>("typed");
        QTest::newRow("10 MB pasted") << QString("85\n").repeated(3500000) + "\n\n"
                                      << QStringList{" 85", " 85", " 85"};
        QTest::newRow("only line ends") << QString(5000, '\n') << QStringList{"", "", ""};
        // Control characters, lone surrogates, private use: 0 where the rules say
        // so, no key for what no key types. Line and frame breaks of the box left out.
        const QList<char16_t> breaks = {u'\n', u'\r', u'\t', 0x0B, 0x0C, 0x2028, 0x2029, 0xFDD0,
                                        0xFDD1};
        QString junk = "x";
        QRandomGenerator random(7);
        for (int i = 0; i < 200000; ++i) {
            const char16_t c = static_cast<char16_t>(random.bounded(1, 0x10000));
            if (!breaks.contains(c))
                junk += QChar(c);
        }
        QTest::newRow("binary junk") << junk + "\n5" << QStringList{" 0", " 5", ""};
    }

    void junkInTheScoreBox()
    {
        QFETCH(QString, scores);
        QFETCH(QStringList, typed);
        Form1 *window = openWindow(fields("n=3"));
        QVERIFY(window && clickScoreField(window->WB1, 1));
        QElapsedTimer clock;
        clock.start();
        window->Text2->setPlainText(scores);
        const qint64 pasted = clock.restart();
        QString left = window->Text2->toPlainText();
        while (left.endsWith('\n'))
            left.chop(1);
        window->Command3->click();
        // Against the paste on the same machine at the same moment: writing the
        // whole text into the box once more would take about as long.
        QVERIFY2(clock.elapsed() < std::max<qint64>(2000, pasted / 2),
                 qPrintable(QString("%1 ms, paste %2 ms").arg(clock.elapsed()).arg(pasted)));
        QVERIFY(released(window));
        QVERIFY(window->Text2->toPlainText() == left);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(window->WB1, "values()").toStringList(), typed, 30000);
    }

    void popupFloodStopsAtTheWindowLimit()
    {
        Form1 *first = openWindow(testPage("popup-loop.html"));
        QVERIFY(first);
        first->Text2->setPlainText("85");
        evaluate(first->WB1, "document.getElementById('flood').click()");
        QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), MaxOpenWindows, 120000);
        // Told once, however many more the page asked for.
        QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), 1, 30000);
        QVERIFY(m_prompt->shown().first().text.contains(QString::number(MaxOpenWindows)));
        QCOMPARE(OpenWindows().size(), MaxOpenWindows);
        QCOMPARE(first->Text2->toPlainText(), "85");
        QVERIFY(engineAnswers(first));
    }

private:
    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
};

GRADECAST_GUI_TEST_MAIN(FillFaultsTest)
#include "tst_fill_faults.moc"
