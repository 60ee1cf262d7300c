// Scores typed into real pages by the fill button, as a teacher runs it.

#include "app/clickable_label.h"
#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
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
    void startsInTheClickedField_data();
    void startsInTheClickedField();
    void stopsAtSixtyEntries();
    void sendsRealKeyCodes();
    void holdsTheWindowWhileTyping();
    void asksBeforeTyping_data();
    void asksBeforeTyping();
    void tellsWhatTheFieldsHold_data();
    void tellsWhatTheFieldsHold();
    void fillsEachStudentsField_data();
    void fillsEachStudentsField();
    void keepsWhatRedrawingPagesLose_data();
    void keepsWhatRedrawingPagesLose();

private:
    // A window on a page of tests/pages ("fields.html?n=3"), once its document
    // has loaded, the teacher's click in score field number field, then
    // script run in the page.
    Form1 *openPage(const QString &page, int field = 1, const QString &script = {});
    QStringList fieldValues();
    int keysInPage();

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

Form1 *FillRunTest::openPage(const QString &page, int field, const QString &script)
{
    m_window = new Form1;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        return nullptr;
    const qsizetype query = page.indexOf(QLatin1Char('?'));
    QUrl url = testPage(page.left(query));
    url.setQuery(query < 0 ? QString() : page.mid(query + 1));
    m_window->WB1->load(url);
    if (!waitForPage(m_window->WB1, url))
        return nullptr;
    m_window->activateWindow();
    if (!clickScoreField(m_window->WB1, field))
        return nullptr;
    if (!script.isEmpty())
        evaluate(m_window->WB1, script);
    return m_window;
}

QStringList FillRunTest::fieldValues()
{
    return evaluate(m_window->WB1, QStringLiteral("values()")).toStringList();
}

int FillRunTest::keysInPage()
{
    return evaluate(m_window->WB1, QStringLiteral("window.keyCodes.length")).toInt();
}

void FillRunTest::typesEveryScoreIntoItsField_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QString>("score100");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QStringList>("expected");

    const QString column = QStringLiteral("85\n\n100\n92.5\n7\n");
    QTest::newRow("Tab") << "fields.html?n=6" << column << "-1" << "" << true << false
                         << QStringList{" 85", "-1", " 100", " 93", " 7", ""};
    QTest::newRow("Enter moves on") << "fields.html?n=6&enter" << column << "-1" << "A+" << false
                                    << true << QStringList{"85", "-1", "A+", "93", "07", ""};
    QTest::newRow("no separator") << "fields.html?n=2" << column << "-1" << "" << false << false
                                  << QStringList{" 85-1 100 93 7", ""};
    QTest::newRow("digits-only fields drop the blank")
        << "fields.html?n=6&digits" << column << "-1" << "" << true << false
        << QStringList{"85", "-1", "100", "93", "7", ""};
    QTest::newRow("spreadsheet row, Chinese and wide characters")
        << "fields.html?n=5" << QStringLiteral("85\t\t90\t") << QStringLiteral("缺𠀀") << ""
        << true << false
        << QStringList{" 85", QStringLiteral("缺𠀀"), " 90", QStringLiteral("缺𠀀"), ""};
    QTest::newRow("key names typed as themselves")
        << "fields.html?n=3" << QStringLiteral("\n100") << "{+^%~}" << "(A)" << true << false
        << QStringList{"{+^%~}", "(A)", ""};
    QTest::newRow("a late redraw dropped 90: typed again")
        << "fields.html?n=3&rerender" << "85\n90" << "" << "" << true << false
        << QStringList{" 85", " 90", ""};
    QTest::newRow("fields in an iframe") << "frames.html?kind=iframe" << "85\n90" << "" << ""
                                         << true << false << QStringList{" 85", " 90", ""};
    QTest::newRow("fields in a frameset") << "frames.html?kind=frameset" << "85\n90" << "" << ""
                                          << true << false << QStringList{" 85", " 90", ""};
    QTest::newRow("field in a frame of another origin")
        << "frames.html?kind=cross" << "85" << "" << "" << false << false << QStringList{" 85"};
}

void FillRunTest::typesEveryScoreIntoItsField()
{
    QFETCH(QString, page);
    QFETCH(QString, scores);
    QFETCH(QString, absent);
    QFETCH(QString, score100);
    QFETCH(bool, tab);
    QFETCH(bool, enter);
    QFETCH(QStringList, expected);

    QVERIFY(openPage(page));
    m_window->Text4->setText(absent);
    m_window->Text3->setText(score100);
    m_window->Check1->setChecked(tab);
    m_window->Check4->setChecked(enter);
    m_window->Check1->setChecked(tab);
    m_window->Text2->setPlainText(scores);

    // Clicked as a teacher clicks it: the button takes the focus from the page.
    // Yes to the question, and to the note on 92.5 rounded.
    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    // No report after the run: every score landed as typed.
    QCOMPARE(m_prompt->shown().last().buttons & QMessageBox::Ok, QMessageBox::NoButton);
    const PromptRequest &question = m_prompt->shown().first();
    QCOMPARE(question.text, QStringLiteral("是否已經將游標移至要輸入的欄位上?"));
    QCOMPARE(question.title, m_window->windowTitle());
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.icon, QMessageBox::NoIcon);
    // The trailing line ends are gone from the box too.
    QVERIFY(!m_window->Text2->toPlainText().endsWith(QLatin1Char('\n')));
    // The recorder lives apart from the page's own scripts.
    QCOMPARE(evaluate(m_window->WB1, QStringLiteral("typeof gradecastRecorder")).toString(),
             QStringLiteral("undefined"));
}

void FillRunTest::startsInTheClickedField_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("questions"); // the last one answered No

    const QStringList fromFirst{" 85", " 90", " 75", "", "", "", "", ""};
    const QStringList fromFifth{"", "", "", "", " 85", " 90", " 75", ""};
    QTest::newRow("30 Tab stops before the first field")
        << "fields.html?n=8&stops=30" << 1 << fromFirst << 1;
    QTest::newRow("the fifth field") << "fields.html?n=8&stops=30" << 5 << fromFifth << 1;
    QTest::newRow("the fifth field of an iframe")
        << "frames.html?kind=iframe&fields=n%3D8%26stops%3D30" << 5 << fromFifth << 1;
    QTest::newRow("the page redrew the field meanwhile")
        << "fields.html?n=8&refocus=redraw" << 5 << fromFifth << 1;
    QTest::newRow("the page removed the field meanwhile")
        << "fields.html?n=8&refocus=remove" << 5 << QStringList() << 2;
}

void FillRunTest::startsInTheClickedField()
{
    QFETCH(QString, page);
    QFETCH(int, clicked);
    QFETCH(QStringList, expected);
    QFETCH(int, questions);
    QVERIFY(openPage(page, clicked));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(QStringLiteral("85\n90\n75"));

    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    QCOMPARE(m_prompt->shown().size(), questions);
    QVERIFY(m_prompt->shown().last().text.startsWith(
        questions == 1 ? QStringLiteral("是否") : QStringLiteral("頁面上目前沒有選取")));
    QVERIFY(!m_window->isLocked());
    if (questions > 1)
        QCOMPARE(keysInPage(), 0);
}

void FillRunTest::stopsAtSixtyEntries()
{
    QVERIFY(openPage(QStringLiteral("fields.html?n=62")));
    QStringList column;
    for (int i = 1; i <= 61; ++i)
        column << QString::number(i);
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(column.join(QLatin1Char('\n')) + QStringLiteral("\n\n\n"));

    // Told before typing that the 61st stays out; Yes types the first 60.
    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QStringList expected;
    for (int i = 1; i <= 60; ++i)
        expected << QLatin1Char(' ') + QString::number(i);
    expected << QString() << QString();
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    // Nothing but the trailing empty lines left the box.
    QCOMPARE(m_window->Text2->toPlainText(), column.join(QLatin1Char('\n')));
    // Every key of the 60 entries and their Tabs (1 to 9 take a blank and a
    // digit, 10 to 60 a blank and two), and not one key more.
    QTRY_COMPARE_WITH_TIMEOUT(keysInPage(), 9 * 2 + 51 * 3 + 60, 30000);
    QCOMPARE(m_prompt->shown().size(), 2);
}

void FillRunTest::sendsRealKeyCodes()
{
    // Pages check keyCode in their key handlers; every key must carry its own.
    QVERIFY(openPage(QStringLiteral("fields.html?n=3&enter")));
    m_window->Check4->setChecked(true);
    m_window->Text3->setText(QStringLiteral("A+"));
    m_window->Text2->setPlainText(QStringLiteral("-8.\n100"));

    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{"-08", "A+", ""}), 30000);
    const QVariantList codes =
        evaluate(m_window->WB1, QStringLiteral("window.keyCodes")).toList();
    QVariantList expected;
    for (int code : {189, 48, 56, 13, 65, 187, 13})
        expected << code;
    QCOMPARE(codes, expected);
}

void FillRunTest::holdsTheWindowWhileTyping()
{
    QVERIFY(openPage(QStringLiteral("fields.html?n=3")));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(QStringLiteral("85\n90"));
    m_window->Command2->setEnabled(false);

    // Observed from inside the run, while it lets pending events through.
    bool seen = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, m_window, [&] {
        if (!m_window->isLocked())
            return;
        watch.stop();
        seen = true;
        QVERIFY(m_window->isLocked());
        QCOMPARE(m_window->cursor().shape(), Qt::WaitCursor);
        QVERIFY(!m_window->Command9->isEnabled());
        QVERIFY(!m_window->Text2->isEnabled());
        // A click of the user's own goes nowhere: the box keeps its scores.
        QTest::mouseClick(m_window->Label2, Qt::LeftButton);
        QCOMPARE(m_window->Text2->toPlainText(), QStringLiteral("85\n90"));
    });
    watch.start(0);
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QVERIFY(seen);
    QVERIFY(!m_window->isLocked());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    const QList<QWidget *> controls = {
        m_window->Command1, m_window->Command2, m_window->Command3, m_window->Command4,
        m_window->Command5, m_window->Command6, m_window->Command7, m_window->Command8,
        m_window->Command9, m_window->Text1,    m_window->Text2,    m_window->Text3,
        m_window->Text4,    m_window->Check1,   m_window->Check4};
    for (int i = 0; i < controls.size(); ++i)
        QVERIFY2(controls[i]->isEnabled(),
                 qPrintable(QStringLiteral("control %1 of the list").arg(i + 1)));
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{" 85", " 90", ""}), 30000);
    // And the user's clicks work again.
    QTest::mouseClick(m_window->Label2, Qt::LeftButton);
    QCOMPARE(m_window->Text2->toPlainText(), QString());
}

void FillRunTest::asksBeforeTyping_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("question"); // the second box; empty: No to the first

    const QString noField = QStringLiteral("頁面上目前沒有選取可以輸入的欄位，"
                                           "請先用滑鼠點一下第一個成績欄位。\n");
    const QString blurFrame =
        QStringLiteral("inner().contentDocument.activeElement.blur()");
    QString seventy;
    for (int i = 0; i < 70; ++i)
        seventy += QStringLiteral("85\n");
    QTest::newRow("No to the first question")
        << "fields.html?n=3" << "" << "85\n\n" << "";
    QTest::newRow("a word in the column") << "fields.html?n=3" << "" << "國文\n85"
                                          << "第 1 筆「國文」不是數字，會輸入 0。\n\n";
    QTest::newRow("decimals rounded away")
        << "fields.html?n=3" << "" << "87.5\n59.5"
        << "有 2 筆含小數，會四捨五入：87.5 → 88、59.5 → 60。（設定檔 DECIMAL 可保留小數）\n\n";
    QTest::newRow("70 entries") << "fields.html?n=3" << "" << seventy
                                << "只會填入前 60 筆，另有 10 筆這次不會填入。\n\n";
    QTest::newRow("focus on the page") << "fields.html?n=3" << "document.activeElement.blur()"
                                       << "85" << noField;
    QTest::newRow("focus on a button") << "fields.html?n=3&button"
                                       << "document.getElementById('b').focus()" << "85" << noField;
    QTest::newRow("focus on an iframe's page") << "frames.html?kind=iframe" << blurFrame << "85"
                                               << noField;
    QTest::newRow("focus on a frame's page") << "frames.html?kind=frameset" << blurFrame << "85"
                                             << noField;
}

void FillRunTest::asksBeforeTyping()
{
    QFETCH(QString, page);
    QFETCH(QString, focus);
    QFETCH(QString, column);
    QFETCH(QString, question);
    QVERIFY(openPage(page, 1, focus));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(column);

    m_prompt->answer(question.isEmpty() ? QMessageBox::No : QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QCOMPARE(m_prompt->shown().size(), question.isEmpty() ? 1 : 2);
    if (!question.isEmpty()) {
        const PromptRequest &second = m_prompt->shown().at(1);
        QCOMPARE(second.text, question + QStringLiteral("仍要填入成績嗎?"));
        QCOMPARE(second.icon, QMessageBox::Warning);
        QCOMPARE(second.defaultButton, QMessageBox::No);
        QCOMPARE(second.title, m_window->windowTitle());
    }
    // No is the end: the box as pasted, nothing held, no key in the page
    // (read after a page round trip, so a stray key would have arrived).
    QCOMPARE(m_window->Text2->toPlainText(), column);
    QVERIFY(!m_window->isLocked());
    QVERIFY(m_window->Command3->isEnabled());
    QCOMPARE(keysInPage(), 0);
    QCOMPARE(fieldValues(), (QStringList{"", "", ""}));
}

void FillRunTest::tellsWhatTheFieldsHold_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("told"); // a part of the message after the run

    QTest::newRow("maxlength cuts") << "fields.html?n=3&maxlength=2" << "" << "100"
                                    << "第 1 筆「 100」在欄位中成為「 1」。";
    QTest::newRow("a key filter eats the absent text")
        << "fields.html?n=3&digits" << "" << "85\n\n90" << "第 2 筆「缺」在欄位中成為「」。";
    // Clicked into after its text, as a teacher clicks.
    QTest::newRow("the first field held text")
        << "fields.html?n=3&prefill=80" << "f1.setSelectionRange(2, 2)" << "85"
        << "第 1 筆「 85」在欄位中成為「80 85」。";
    QTest::newRow("maxlength in an iframe")
        << "frames.html?kind=iframe&fields=n%3D3%26maxlength%3D2" << "" << "100"
        << "第 1 筆「 100」在欄位中成為「 1」。";
    QTest::newRow("focus on a button, typed anyway") << "fields.html?n=3&button"
                                                     << "document.getElementById('b').focus()"
                                                     << "85" << "第 1 筆「 85」沒有進入任何輸入欄位。";
    QTest::newRow("Enter submits the page") << "fields.html?n=3&form" << ""
                                            << "85\n90\n70" << "填入時頁面換頁了，無法核對後面的成績。";
    QTest::newRow("the page swallows every key") << "fields.html?n=3&swallow" << "" << "85\n90"
                                                 << "第 1 筆「 85」沒有進入任何輸入欄位。";
    QTest::newRow("the page removes its fields") << "fields.html?n=3&removeafter" << ""
                                                 << "85\n90" << "第 1 筆的欄位已不在頁面上。";
    QTest::newRow("the page empties a field after each change")
        << "fields.html?n=3&clear=2" << "" << "85\n90\n70"
        << "第 2 筆「 90」填入後被頁面清除，重新填入 3 次仍未保留。";
    QTest::newRow("digits pattern") << "fields.html?n=3&pattern" << "" << "85\n90"
                                    << "第 1 筆「 85」頁面標示為錯誤：";
    QTest::newRow("marked by a validation script") << "fields.html?n=3&aria" << ""
                                                   << "85" << "第 1 筆「 85」頁面標示為錯誤：請輸入數字";
}

void FillRunTest::tellsWhatTheFieldsHold()
{
    QFETCH(QString, page);
    QFETCH(QString, focus);
    QFETCH(QString, column);
    QFETCH(QString, told);
    QVERIFY(openPage(page, 1, focus));
    m_window->Text4->setText(QStringLiteral("缺"));
    const bool enter = page.contains(QLatin1String("form"));
    m_window->Check1->setChecked(!enter);
    m_window->Check4->setChecked(enter);
    m_window->Text2->setPlainText(column);

    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QVERIFY(!m_window->isLocked());
    QVERIFY(!m_prompt->shown().isEmpty());
    const PromptRequest &report = m_prompt->shown().last();
    QVERIFY2(report.text.contains(told), qPrintable(report.text));
    // Only what a redraw lost is typed again; a cut is told at once.
    if (page.contains(QLatin1String("maxlength=2")) && !page.contains(QLatin1String("frames")))
        QCOMPARE(keysInPage(), 5);
    if (page.contains(QLatin1String("clear")))
        QCOMPARE(fieldValues(), (QStringList{" 85", "", " 70"}));
    QCOMPARE(report.icon, QMessageBox::Warning);
    QCOMPARE(report.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(report.title, m_window->windowTitle());
}

void FillRunTest::fillsEachStudentsField_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("answer"); // to the box that offers the student fill
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("told"); // part of that box; empty: no such box

    const auto values = [](int n, const QMap<int, QString> &scores) {
        QStringList all;
        for (int i = 1; i <= n; ++i)
            all << scores.value(i);
        return all;
    };
    QTest::newRow("seat numbers in another order, one extra, students missing")
        << "fields.html?n=30" << 7 << "5\t85\n2\t90\n1\t70\n31\t60\n" << int(QMessageBox::Yes)
        << values(30, {{1, " 70"}, {2, " 90"}, {5, " 85"}}) << "第 4 列「31」在頁面上找不到";
    QTest::newRow("names, one with a blank on the page")
        << "fields.html?n=8" << 2 << "林大同\t88\n王小明\t77\n李雅婷\t66" << int(QMessageBox::Yes)
        << values(8, {{1, " 77"}, {2, " 88"}, {5, " 66"}}) << "頁面上沒有成績";
    QTest::newRow("seat, name and score; one name differs")
        << "fields.html?n=8" << 1 << "1\t王小明\t70\n2\t林小同\t80\n3\t陳美玲\t90"
        << int(QMessageBox::Yes) << values(8, {{1, " 70"}, {3, " 90"}})
        << "第 2 列「2 林小同」在頁面上找不到";
    QTest::newRow("two score columns: the order fill")
        << "fields.html?n=8" << 1 << "85\t90\n70\t60" << int(QMessageBox::Yes)
        << values(8, {{1, " 85"}, {2, " 90"}, {3, " 70"}, {4, " 60"}}) << "";
    QTest::newRow("in a same-origin iframe")
        << "frames.html?kind=iframe&fields=n%3D8" << 4 << "2\t85\n1\t90" << int(QMessageBox::Yes)
        << values(8, {{1, " 90"}, {2, " 85"}}) << "找到";
    QTest::newRow("the order fill chosen") << "fields.html?n=8" << 1 << "2\t85\n1\t90"
                                           << int(QMessageBox::No)
                                           << values(8, {{1, " 2"}, {2, " 85"}, {3, " 1"},
                                                         {4, " 90"}})
                                           << "找到";
    QTest::newRow("cancel types nothing") << "fields.html?n=8" << 1 << "2\t85\n1\t90"
                                          << int(QMessageBox::Cancel) << values(8, {}) << "找到";
}

void FillRunTest::fillsEachStudentsField()
{
    QFETCH(QString, page);
    QFETCH(int, clicked);
    QFETCH(QString, pasted);
    QFETCH(int, answer);
    QFETCH(QStringList, expected);
    QFETCH(QString, told);
    QVERIFY(openPage(page, clicked));
    m_window->Check1->setChecked(true);
    m_window->Text2->setPlainText(pasted);

    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::StandardButton(answer));
    m_prompt->answer(QMessageBox::Yes); // the guard's note on cells typed one by one
    QTest::mouseClick(m_window->Command3, Qt::LeftButton);

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    const auto offer = std::find_if(m_prompt->shown().begin(), m_prompt->shown().end(),
                                    [](const PromptRequest &r) { return !r.buttonTexts.empty(); });
    QCOMPARE(offer != m_prompt->shown().end(), !told.isEmpty());
    if (offer != m_prompt->shown().end()) {
        QVERIFY2(offer->text.contains(told), qPrintable(offer->text));
        QCOMPARE(offer->defaultButton, QMessageBox::Yes);
        QCOMPARE(offer->buttonTexts.at(QMessageBox::Yes), QStringLiteral("依學生填入"));
        QCOMPARE(offer->buttonTexts.at(QMessageBox::No), QStringLiteral("依序填入"));
        QCOMPARE(offer->buttonTexts.at(QMessageBox::Cancel), QStringLiteral("取消"));
    }
    // Nothing differs after the run: no report.
    QVERIFY(!(m_prompt->shown().last().buttons & QMessageBox::Ok));
    if (answer == QMessageBox::Cancel)
        QCOMPARE(keysInPage(), 0);
}

void FillRunTest::keepsWhatRedrawingPagesLose_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("slowestMs");
    QTest::newRow("the last request wins") << "last" << 300;
    QTest::newRow("every answer applied, out of order") << "all" << 300;
    QTest::newRow("a slow server, every answer applied") << "all" << 1000;
}

void FillRunTest::keepsWhatRedrawingPagesLose()
{
    QFETCH(QString, kind);
    QFETCH(int, slowestMs);
    // The school's server: the page and, for /save, the values sent, after a while.
    QRandomGenerator random(17);
    LocalServer server([&](const QByteArray &head) {
        const QByteArray path = head.split(' ').value(1);
        if (path.startsWith("/save?"))
            return HttpReply{"200 OK", "Content-Type: text/plain\r\n", path.mid(6), -1, false,
                             20 + int(random.bounded(slowestMs - 20))};
        QFile file(QStringLiteral(TEST_PAGES_DIR) + QString::fromLatin1(path.split('?').first()));
        file.open(QIODevice::ReadOnly);
        return HttpReply{"200 OK", "Content-Type: text/html; charset=utf-8\r\n", file.readAll()};
    });
    QStringList scores;
    QStringList expected;
    for (int i = 1; i <= 10; ++i) {
        scores << QString::number(50 + i);
        expected << QLatin1Char(' ') + scores.last();
    }
    for (int run = 0; run < 3; ++run) {
        delete m_window;
        m_window = new Form1;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        const QUrl url = server.url(QStringLiteral("redraw.html?n=10&kind=") + kind);
        m_window->WB1->load(url);
        QVERIFY(waitForPage(m_window->WB1, url));
        m_window->activateWindow();
        QVERIFY(clickScoreField(m_window->WB1, 1));
        m_window->Check1->setChecked(true);
        m_window->Text2->setPlainText(scores.join(QLatin1Char('\n')));
        m_prompt->clear();
        m_prompt->answer(QMessageBox::Yes);
        QTest::mouseClick(m_window->Command3, Qt::LeftButton);

        // Every score in its field once the run is over, and nothing told.
        QCOMPARE(fieldValues(), expected);
        QCOMPARE(m_prompt->shown().size(), 1);
    }
}

GRADECAST_GUI_TEST_MAIN(FillRunTest)
#include "tst_fill_run.moc"
