// Words in the score column are shown to the teacher before anything is typed.

#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace gradecast;

class FillGuardTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void asksBeforeTypingWords_data();
    void asksBeforeTypingWords();

private:
    QStringList fieldValues();

    SettingsFolder *m_folder = nullptr;
    Form1 *m_window = nullptr;
};

void FillGuardTest::initTestCase()
{
    m_folder = new SettingsFolder;
    m_folder->write("[GRADECAST]\r\nUSETAB=1\r\n");
    m_window = new Form1;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QUrl page = testPage(QStringLiteral("fields.html"));
    page.setQuery(QStringLiteral("n=8"));
    m_window->WB1->load(page);
    QVERIFY(waitForPage(m_window->WB1, page));
}

void FillGuardTest::cleanupTestCase()
{
    delete m_window;
    delete m_folder;
}

QStringList FillGuardTest::fieldValues()
{
    return evaluate(m_window->WB1, QStringLiteral("values()")).toStringList();
}

void FillGuardTest::asksBeforeTypingWords_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("warning"); // empty: no second question
    QTest::addColumn<QStringList>("typed");

    QTest::newRow("header cell on top")
        << "國文\n85\n90\n" << "第 1 筆「國文」不是數字，會輸入 0。\n"
        << QStringList{" 0", " 85", " 90", "", "", "", "", ""};
    QTest::newRow("stray word and blanks in the middle")
        << "85\nabc\n   \n\n70"
        << "第 2 筆「abc」不是數字，會輸入 0。\n第 3 筆「   」不是數字，會輸入 0。\n"
        << QStringList{" 85", " 0", " 0", "", " 70", "", "", ""};
    QTest::newRow("more than five")
        << "a\nb\nc\nd\ne\nf\ng"
        << "第 1 筆「a」不是數字，會輸入 0。\n第 2 筆「b」不是數字，會輸入 0。\n"
           "第 3 筆「c」不是數字，會輸入 0。\n第 4 筆「d」不是數字，會輸入 0。\n"
           "第 5 筆「e」不是數字，會輸入 0。\n另有 2 筆不是數字。\n"
        << QStringList{" 0", " 0", " 0", " 0", " 0", " 0", " 0", ""};
    QTest::newRow("clean column") << "85\n\n90\n" << ""
                                  << QStringList{" 85", "", " 90", "", "", "", "", ""};
}

void FillGuardTest::asksBeforeTypingWords()
{
    QFETCH(QString, column);
    QFETCH(QString, warning);
    QFETCH(QStringList, typed);

    for (const auto answer : {QMessageBox::No, QMessageBox::Yes}) {
        evaluate(m_window->WB1, QStringLiteral("document.querySelectorAll('input').forEach("
                                               "i => i.value = ''); window.keyCodes = [];"
                                               "document.getElementById('f1').focus()"));
        m_window->Text2->setPlainText(column);

        ScriptedPrompt prompt;
        prompt.answer(QMessageBox::Yes);
        prompt.answer(answer);
        m_window->Command3->click();

        if (warning.isEmpty()) {
            QCOMPARE(prompt.shown().size(), 1);
        } else {
            QCOMPARE(prompt.shown().size(), 2);
            const PromptRequest &second = prompt.shown().at(1);
            QCOMPARE(second.text, warning + QStringLiteral("\n仍要填入成績嗎?"));
            QCOMPARE(second.icon, QMessageBox::Warning);
            QCOMPARE(second.defaultButton, QMessageBox::No);
            QCOMPARE(second.title, m_window->windowTitle());
        }
        QVERIFY(!m_window->isLocked());
        QVERIFY(m_window->Command3->isEnabled());

        if (answer == QMessageBox::No && !warning.isEmpty()) {
            // Nothing happened: the box as pasted, no key in the page.
            QCOMPARE(m_window->Text2->toPlainText(), column);
            QCOMPARE(fieldValues(), QStringList(typed.size(), QString()));
            QCOMPARE(evaluate(m_window->WB1, QStringLiteral("window.keyCodes.length")).toInt(), 0);
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), typed, 30000);
        }
    }
}

GRADECAST_GUI_TEST_MAIN(FillGuardTest)
#include "tst_fill_guard.moc"
