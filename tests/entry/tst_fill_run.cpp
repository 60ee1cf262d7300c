// Scores typed into real pages by the fill button, as a teacher runs it.

#include "app/clickable_label.h"
#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace gradecast;

class FillRunTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typesEveryScoreIntoItsField_data();
    void typesEveryScoreIntoItsField();
    void stopsAtSixtyEntries();
    void sendsRealKeyCodes();
    void answerNoChangesNothing();
    void holdsTheWindowWhileTyping();

private:
    // A window on fields.html with the given query, the first field focused.
    Form1 *openFields(const QString &query);
    QStringList fieldValues();

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    Form1 *m_window = nullptr;
};

void FillRunTest::init()
{
    m_folder = std::make_unique<SettingsFolder>();
    m_prompt = std::make_unique<ScriptedPrompt>();
}

void FillRunTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_prompt.reset();
    m_folder.reset();
}

Form1 *FillRunTest::openFields(const QString &query)
{
    m_window = new Form1;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        return nullptr;
    QUrl url = testPage(QStringLiteral("fields.html"));
    url.setQuery(query);
    m_window->WB1->load(url);
    if (!waitForPage(m_window->WB1, url))
        return nullptr;
    evaluate(m_window->WB1, QStringLiteral("document.getElementById('f1').focus()"));
    return m_window;
}

QStringList FillRunTest::fieldValues()
{
    return evaluate(m_window->WB1, QStringLiteral("values()")).toStringList();
}

void FillRunTest::typesEveryScoreIntoItsField_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QString>("score100");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QStringList>("expected");

    const QString column = QStringLiteral("85\n\n100\n92.5\n7\n");
    QTest::newRow("Tab") << "n=6" << column << "-1" << "" << true << false
                         << QStringList{" 85", "-1", " 100", " 93", " 7", ""};
    QTest::newRow("Enter moves on") << "n=6&enter" << column << "-1" << "A+" << false << true
                                    << QStringList{"85", "-1", "A+", "93", "07", ""};
    QTest::newRow("Tab then Enter") << "n=6" << column << "-1" << "" << true << true
                                    << QStringList{" 85", "-1", " 100", " 93", " 7", ""};
    QTest::newRow("no separator") << "n=2" << column << "-1" << "" << false << false
                                  << QStringList{" 85-1 100 93 7", ""};
    QTest::newRow("digits-only fields drop the blank")
        << "n=6&digits" << column << "-1" << "" << true << false
        << QStringList{"85", "-1", "100", "93", "7", ""};
    QTest::newRow("spreadsheet row, Chinese and wide characters")
        << "n=5" << QStringLiteral("85\t\t90\t") << QStringLiteral("缺𠀀") << "" << true
        << false << QStringList{" 85", QStringLiteral("缺𠀀"), " 90", QStringLiteral("缺𠀀"), ""};
    QTest::newRow("key names typed as themselves")
        << "n=3" << QStringLiteral("\n100") << "{+^%~}" << "(A)" << true << false
        << QStringList{"{+^%~}", "(A)", ""};
}

void FillRunTest::typesEveryScoreIntoItsField()
{
    QFETCH(QString, query);
    QFETCH(QString, scores);
    QFETCH(QString, absent);
    QFETCH(QString, score100);
    QFETCH(bool, tab);
    QFETCH(bool, enter);
    QFETCH(QStringList, expected);

    QVERIFY(openFields(query));
    m_window->Text4->setText(absent);
    m_window->Text3->setText(score100);
    m_window->Check1->setChecked(tab);
    m_window->Check4->setChecked(enter);
    m_window->Check1->setChecked(tab);
    m_window->Text2->setPlainText(scores);

    // Clicked as a teacher clicks it: the button takes the focus from the page.
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    QCOMPARE(m_prompt->shown().size(), 1);
    const PromptRequest &question = m_prompt->shown().first();
    QCOMPARE(question.text, QStringLiteral("是否已經將游標移至要輸入的欄位上?"));
    QCOMPARE(question.title, m_window->windowTitle());
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.icon, QMessageBox::NoIcon);
    // The trailing line ends are gone from the box too.
    QVERIFY(!m_window->Text2->toPlainText().endsWith(QLatin1Char('\n')));
}

void FillRunTest::stopsAtSixtyEntries()
{
    QVERIFY(openFields(QStringLiteral("n=62")));
    QStringList column;
    for (int i = 1; i <= 61; ++i)
        column << QString::number(i);
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(column.join(QLatin1Char('\n')) + QStringLiteral("\n\n\n"));

    m_prompt->answer(QMessageBox::Yes);
    m_window->Command3->click();

    QStringList expected;
    for (int i = 1; i <= 60; ++i)
        expected << QLatin1Char(' ') + QString::number(i);
    expected << QString() << QString();
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    // Nothing but the trailing empty lines left the box.
    QCOMPARE(m_window->Text2->toPlainText(), column.join(QLatin1Char('\n')));
    // Every key of the 60 entries and their Tabs (1 to 9 take a blank and a
    // digit, 10 to 60 a blank and two), and not one key more.
    QTRY_COMPARE_WITH_TIMEOUT(
        evaluate(m_window->WB1, QStringLiteral("window.keyCodes.length")).toInt(),
        9 * 2 + 51 * 3 + 60, 30000);
}

void FillRunTest::sendsRealKeyCodes()
{
    // Pages check keyCode in their key handlers; every key must carry its own.
    QVERIFY(openFields(QStringLiteral("n=3&enter")));
    m_window->Check4->setChecked(true);
    m_window->Text3->setText(QStringLiteral("A+"));
    m_window->Text2->setPlainText(QStringLiteral("-8.\n100"));

    m_prompt->answer(QMessageBox::Yes);
    m_window->Command3->click();

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{"-08", "A+", ""}), 30000);
    const QVariantList codes =
        evaluate(m_window->WB1, QStringLiteral("window.keyCodes")).toList();
    QVariantList expected;
    for (int code : {189, 48, 56, 13, 65, 187, 13})
        expected << code;
    QCOMPARE(codes, expected);
}

void FillRunTest::answerNoChangesNothing()
{
    QVERIFY(openFields(QStringLiteral("n=2")));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(QStringLiteral("85\n\n"));

    m_prompt->answer(QMessageBox::No);
    m_window->Command3->click();

    QCOMPARE(m_prompt->shown().size(), 1);
    QCOMPARE(m_window->Text2->toPlainText(), QStringLiteral("85\n\n"));
    QVERIFY(!m_window->isLocked());
    QVERIFY(m_window->Command3->isEnabled());
    // Give any stray key time to arrive: a value read after a page round trip.
    QCOMPARE(fieldValues(), (QStringList{"", ""}));
    QCOMPARE(evaluate(m_window->WB1, QStringLiteral("window.keyCodes.length")).toInt(), 0);
}

void FillRunTest::holdsTheWindowWhileTyping()
{
    QVERIFY(openFields(QStringLiteral("n=3")));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(QStringLiteral("85\n90"));
    m_window->Command2->setEnabled(false);

    // Observed from inside the run, while it lets pending events through.
    bool seen = false;
    QTimer::singleShot(0, m_window, [&] {
        seen = true;
        QVERIFY(m_window->isLocked());
        QCOMPARE(m_window->cursor().shape(), Qt::WaitCursor);
        QVERIFY(!m_window->Command9->isEnabled());
        QVERIFY(!m_window->Text2->isEnabled());
        // A click of the user's own goes nowhere: the box keeps its scores.
        QTest::mouseClick(m_window->Label2, Qt::LeftButton);
        QCOMPARE(m_window->Text2->toPlainText(), QStringLiteral("85\n90"));
    });
    m_prompt->answer(QMessageBox::Yes);
    m_window->Command3->click();

    QVERIFY(seen);
    QVERIFY(!m_window->isLocked());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    const QList<QWidget *> controls = {
        m_window->Command1, m_window->Command2, m_window->Command3, m_window->Command4,
        m_window->Command5, m_window->Command6, m_window->Command7, m_window->Command8,
        m_window->Command9, m_window->Text1,    m_window->Text2,    m_window->Text3,
        m_window->Text4,    m_window->Check1,   m_window->Check4};
    for (QWidget *control : controls)
        QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{" 85", " 90", ""}), 30000);
    // And the user's clicks work again.
    QTest::mouseClick(m_window->Label2, Qt::LeftButton);
    QCOMPARE(m_window->Text2->toPlainText(), QString());
}

GRADECAST_GUI_TEST_MAIN(FillRunTest)
#include "tst_fill_run.moc"
