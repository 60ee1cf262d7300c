// Scores typed into real pages by the fill button, as a teacher runs it.

#include "app/clickable_label.h"
#include "app/form1.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <memory>

using namespace gradecast;

class FillRunTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_folder = std::make_unique<SettingsFolder>();
        m_prompt = std::make_unique<ScriptedPrompt>();
    }
    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_prompt.reset();
        m_folder.reset();
    }
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
    // A window on page ("fields.html?n=3", or an address), the teacher's click
    // in score field number field, then script run in the page.
    Form1 *openPage(const QString &page, int field = 1, const QString &script = {})
    {
        delete m_window;
        m_window = new Form1;
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window))
            return nullptr;
        const qsizetype query = page.indexOf(QLatin1Char('?'));
        QUrl url = page.contains(QLatin1String("://")) ? QUrl(page) : testPage(page.left(query));
        if (url.isLocalFile())
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
    // The fill button clicked as a teacher clicks it (it takes the focus from
    // the page), the boxes answered in order.
    void fill(const QString &scores, std::initializer_list<QMessageBox::StandardButton> answers)
    {
        m_window->Text2->setPlainText(scores);
        for (QMessageBox::StandardButton answer : answers)
            m_prompt->answer(answer);
        QTest::mouseClick(m_window->Command3, Qt::LeftButton);
    }
    QStringList fieldValues() { return evaluate(m_window->WB1, "values()").toStringList(); }
    int keysInPage() { return evaluate(m_window->WB1, "window.keyCodes.length").toInt(); }
    const PromptRequest &lastBox() const { return m_prompt->shown().last(); }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    Form1 *m_window = nullptr;
};

void FillRunTest::typesEveryScoreIntoItsField_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QString>("absent");
    QTest::addColumn<QString>("score100");
    QTest::addColumn<bool>("tab");
    QTest::addColumn<bool>("enter");
    QTest::addColumn<QStringList>("expected");

    const QString column = "85\n\n100\n92.5\n7\n";
    const QStringList two{" 85", " 90", ""};
    QTest::newRow("Tab") << "fields.html?n=6" << column << "-1" << "" << true << false
                         << QStringList{" 85", "-1", " 100", " 93", " 7", ""};
    QTest::newRow("Enter moves on") << "fields.html?n=6&enter" << column << "-1" << "A+" << false
                                    << true << QStringList{"85", "-1", "A+", "93", "07", ""};
    QTest::newRow("no separator") << "fields.html?n=2" << column << "-1" << "" << false << false
                                  << QStringList{" 85-1 100 93 7", ""};
    QTest::newRow("digits-only fields drop the blank")
        << "fields.html?n=6&digits" << column << "-1" << "" << true << false
        << QStringList{"85", "-1", "100", "93", "7", ""};
    QTest::newRow("spreadsheet row, wide characters")
        << "fields.html?n=5" << "85\t\t90\t" << "缺𠀀" << "" << true << false
        << QStringList{" 85", "缺𠀀", " 90", "缺𠀀", ""};
    QTest::newRow("key names typed as themselves") << "fields.html?n=3" << "\n100" << "{+^%~}"
                                                   << "(A)" << true << false
                                                   << QStringList{"{+^%~}", "(A)", ""};
    QTest::newRow("a late redraw dropped 90: typed again")
        << "fields.html?n=3&rerender" << "85\n90" << "" << "" << true << false << two;
    QTest::newRow("iframe") << "frames.html?kind=iframe" << "85\n90" << "" << "" << true << false
                            << two;
    QTest::newRow("frameset") << "frames.html?kind=frameset" << "85\n90" << "" << "" << true
                              << false << two;
    QTest::newRow("frame of another origin") << "frames.html?kind=cross" << "85" << "" << ""
                                             << false << false << QStringList{" 85"};
}

void FillRunTest::typesEveryScoreIntoItsField()
{
    QFETCH(QString, page);
    QFETCH(QString, scores);
    QFETCH(QStringList, expected);
    QFETCH(QString, absent);
    QFETCH(QString, score100);
    QFETCH(bool, tab);
    QFETCH(bool, enter);
    QVERIFY(openPage(page));
    m_window->Text4->setText(absent);
    m_window->Text3->setText(score100);
    m_window->Check4->setChecked(enter);
    m_window->Check1->setChecked(tab);
    fill(scores, {QMessageBox::Yes, QMessageBox::Yes}); // the second: the note on 92.5

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    QCOMPARE(lastBox().buttons & QMessageBox::Ok, QMessageBox::NoButton); // nothing to report
    const PromptRequest &question = m_prompt->shown().first();
    QCOMPARE(question.text, "是否已經將游標移至要輸入的欄位上?");
    QCOMPARE(question.title, m_window->windowTitle());
    QCOMPARE(question.defaultButton, QMessageBox::Yes);
    QCOMPARE(question.icon, QMessageBox::NoIcon);
    QVERIFY(!m_window->Text2->toPlainText().endsWith(QLatin1Char('\n')));
    // The recorder lives apart from the page's own scripts.
    QCOMPARE(evaluate(m_window->WB1, "typeof gradecastRecorder").toString(), "undefined");
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
    fill("85\n90\n75", {QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    QCOMPARE(m_prompt->shown().size(), questions);
    QVERIFY(lastBox().text.startsWith(questions == 1 ? "是否" : "頁面上目前沒有選取"));
    QVERIFY(!m_window->isLocked());
    if (questions > 1)
        QCOMPARE(keysInPage(), 0);
}

void FillRunTest::stopsAtSixtyEntries()
{
    QVERIFY(openPage("fields.html?n=62"));
    QStringList column;
    QStringList expected;
    for (int i = 1; i <= 61; ++i)
        column << QString::number(i);
    for (int i = 1; i <= 60; ++i)
        expected << ' ' + column[i - 1];
    expected << "" << "";
    m_window->Check1->setChecked(true);
    // Told before typing that the 61st stays out; Yes types the first 60.
    fill(column.join('\n') + "\n\n\n", {QMessageBox::Yes, QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    QCOMPARE(m_window->Text2->toPlainText(), column.join('\n')); // only the trailing lines went
    // The keys of 60 entries (a blank and one or two digits) and their Tabs, no more.
    QTRY_COMPARE_WITH_TIMEOUT(keysInPage(), 9 * 2 + 51 * 3 + 60, 30000);
    QCOMPARE(m_prompt->shown().size(), 2);
}

void FillRunTest::sendsRealKeyCodes()
{
    // Pages check keyCode in their key handlers; every key must carry its own.
    QVERIFY(openPage("fields.html?n=3&enter"));
    m_window->Check4->setChecked(true);
    m_window->Text3->setText("A+");
    fill("-8.\n100", {QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{"-08", "A+", ""}), 30000);
    QCOMPARE(evaluate(m_window->WB1, "keyCodes.join()").toString(), "189,48,56,13,65,187,13");
}

void FillRunTest::holdsTheWindowWhileTyping()
{
    QVERIFY(openPage("fields.html?n=3"));
    m_window->Check1->setChecked(true);
    m_window->Command2->setEnabled(false);

    // Observed from inside the run, while it lets pending events through.
    bool seen = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, m_window, [&] {
        if (!m_window->isLocked())
            return;
        watch.stop();
        seen = true;
        QCOMPARE(m_window->cursor().shape(), Qt::WaitCursor);
        QVERIFY(!m_window->Command9->isEnabled() && !m_window->Text2->isEnabled());
        // A click of the user's own goes nowhere: the box keeps its scores.
        QTest::mouseClick(m_window->Label2, Qt::LeftButton);
        QCOMPARE(m_window->Text2->toPlainText(), "85\n90");
    });
    watch.start(0);
    fill("85\n90", {QMessageBox::Yes});

    QVERIFY(seen);
    QVERIFY(!m_window->isLocked());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    // Every control comes back, even one that was off before the run.
    QVERIFY(m_window->Command2->isEnabled() && m_window->Text2->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{" 85", " 90", ""}), 30000);
    QTest::mouseClick(m_window->Label2, Qt::LeftButton);
    QCOMPARE(m_window->Text2->toPlainText(), QString());
}

void FillRunTest::asksBeforeTyping_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("question"); // the second box; empty: No to the first

    const QString noField = "頁面上目前沒有選取可以輸入的欄位，請先用滑鼠點一下第一個成績欄位。\n";
    const QString blurFrame = "inner().contentDocument.activeElement.blur()";
    const QString button = "document.getElementById('b').focus()";
    QTest::newRow("No to the first question") << "fields.html?n=3" << "" << "85\n\n" << "";
    QTest::newRow("a word in the column") << "fields.html?n=3" << "" << "國文\n85"
                                          << "第 1 筆「國文」不是數字，會輸入 0。\n\n";
    QTest::newRow("decimals rounded away")
        << "fields.html?n=3" << "" << "87.5\n59.5"
        << "有 2 筆含小數，會四捨五入：87.5 → 88、59.5 → 60。（設定檔 DECIMAL 可保留小數）\n\n";
    QTest::newRow("70 entries") << "fields.html?n=3" << "" << QString("85\n").repeated(70)
                                << "只會填入前 60 筆，另有 10 筆這次不會填入。\n\n";
    QTest::newRow("focus on the page") << "fields.html?n=3" << "document.activeElement.blur()"
                                       << "85" << noField;
    QTest::newRow("focus on a button") << "fields.html?n=3&button" << button << "85" << noField;
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
    fill(column, {question.isEmpty() ? QMessageBox::No : QMessageBox::Yes});

    QCOMPARE(m_prompt->shown().size(), question.isEmpty() ? 1 : 2);
    if (!question.isEmpty()) {
        QCOMPARE(lastBox().text, question + "仍要填入成績嗎?");
        QCOMPARE(lastBox().icon, QMessageBox::Warning);
        QCOMPARE(lastBox().defaultButton, QMessageBox::No);
    }
    // No is the end: the box as pasted, nothing held, no key in the page
    // (read after a page round trip, so a stray key would have arrived).
    QCOMPARE(m_window->Text2->toPlainText(), column);
    QVERIFY(!m_window->isLocked() && m_window->Command3->isEnabled());
    QCOMPARE(keysInPage(), 0);
    QCOMPARE(fieldValues(), (QStringList{"", "", ""}));
}

void FillRunTest::tellsWhatTheFieldsHold_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("told"); // a part of the report after the run

    const QString cut = "第 1 筆「 100」在欄位中成為「 1」。";
    const QString nowhere = "第 1 筆「 85」沒有進入任何輸入欄位。";
    QTest::newRow("maxlength cuts") << "fields.html?n=3&maxlength=2" << "" << "100" << cut;
    QTest::newRow("a key filter eats the absent text")
        << "fields.html?n=3&digits" << "" << "85\n\n90" << "第 2 筆「缺」在欄位中成為「」。";
    // Clicked into after its text, as a teacher clicks.
    QTest::newRow("the first field held text")
        << "fields.html?n=3&prefill=80" << "f1.setSelectionRange(2, 2)" << "85"
        << "第 1 筆「 85」在欄位中成為「80 85」。";
    QTest::newRow("maxlength in an iframe")
        << "frames.html?kind=iframe&fields=n%3D3%26maxlength%3D2" << "" << "100" << cut;
    QTest::newRow("focus on a button, typed anyway")
        << "fields.html?n=3&button" << "document.getElementById('b').focus()" << "85" << nowhere;
    QTest::newRow("Enter submits the page") << "fields.html?n=3&form" << "" << "85\n90\n70"
                                            << "填入時頁面換頁了，無法核對後面的成績。";
    QTest::newRow("the page swallows every key")
        << "fields.html?n=3&swallow" << "" << "85\n90" << nowhere;
    QTest::newRow("the page removes its fields") << "fields.html?n=3&removeafter" << ""
                                                 << "85\n90" << "第 1 筆的欄位已不在頁面上。";
    QTest::newRow("the page empties a field after each change")
        << "fields.html?n=3&clear=2" << "" << "85\n90\n70"
        << "第 2 筆「 90」填入後被頁面清除，重新填入 3 次仍未保留。";
    QTest::newRow("digits pattern") << "fields.html?n=3&pattern" << "" << "85\n90"
                                    << "第 1 筆「 85」頁面標示為錯誤：";
    QTest::newRow("marked by a validation script")
        << "fields.html?n=3&aria" << "" << "85" << "第 1 筆「 85」頁面標示為錯誤：請輸入數字";
}

void FillRunTest::tellsWhatTheFieldsHold()
{
    QFETCH(QString, page);
    QFETCH(QString, focus);
    QFETCH(QString, column);
    QFETCH(QString, told);
    QVERIFY(openPage(page, 1, focus));
    m_window->Text4->setText("缺");
    const bool enter = page.contains("form");
    m_window->Check1->setChecked(!enter);
    m_window->Check4->setChecked(enter);
    fill(column, {QMessageBox::Yes, QMessageBox::Yes});

    QVERIFY(!m_window->isLocked());
    QVERIFY(!m_prompt->shown().isEmpty());
    QVERIFY2(lastBox().text.contains(told), qPrintable(lastBox().text));
    // Only what a redraw lost is typed again; a cut is told at once.
    if (page == "fields.html?n=3&maxlength=2")
        QCOMPARE(keysInPage(), 5);
    if (page.contains("clear"))
        QCOMPARE(fieldValues(), (QStringList{" 85", "", " 70"}));
    QCOMPARE(lastBox().icon, QMessageBox::Warning);
    QCOMPARE(lastBox().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(lastBox().title, m_window->windowTitle());
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
    const int yes = QMessageBox::Yes;
    QTest::newRow("seat numbers in another order, one extra, students missing")
        << "fields.html?n=30" << 7 << "5\t85\n2\t90\n1\t70\n31\t60\n" << yes
        << values(30, {{1, " 70"}, {2, " 90"}, {5, " 85"}}) << "第 4 列「31」在頁面上找不到";
    QTest::newRow("names, one with a blank on the page")
        << "fields.html?n=8" << 2 << "林大同\t88\n王小明\t77\n李雅婷\t66" << yes
        << values(8, {{1, " 77"}, {2, " 88"}, {5, " 66"}}) << "頁面上沒有成績";
    QTest::newRow("seat, name and score; one name differs")
        << "fields.html?n=8" << 1 << "1\t王小明\t70\n2\t林小同\t80\n3\t陳美玲\t90" << yes
        << values(8, {{1, " 70"}, {3, " 90"}}) << "第 2 列「2 林小同」在頁面上找不到";
    QTest::newRow("two score columns: the order fill")
        << "fields.html?n=8" << 1 << "85\t90\n70\t60" << yes
        << values(8, {{1, " 85"}, {2, " 90"}, {3, " 70"}, {4, " 60"}}) << "";
    QTest::newRow("in a same-origin iframe")
        << "frames.html?kind=iframe&fields=n%3D8" << 4 << "2\t85\n1\t90" << yes
        << values(8, {{1, " 90"}, {2, " 85"}}) << "找到";
    QTest::newRow("the order fill chosen")
        << "fields.html?n=8" << 1 << "2\t85\n1\t90" << int(QMessageBox::No)
        << values(8, {{1, " 2"}, {2, " 85"}, {3, " 1"}, {4, " 90"}}) << "找到";
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
    // The last Yes: the guard's note on cells typed one by one.
    fill(pasted, {QMessageBox::Yes, QMessageBox::StandardButton(answer), QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), expected, 30000);
    const auto offer = std::find_if(m_prompt->shown().begin(), m_prompt->shown().end(),
                                    [](const PromptRequest &r) { return !r.buttonTexts.empty(); });
    QCOMPARE(offer != m_prompt->shown().end(), !told.isEmpty());
    if (offer != m_prompt->shown().end()) {
        QVERIFY2(offer->text.contains(told), qPrintable(offer->text));
        QCOMPARE(offer->defaultButton, QMessageBox::Yes);
        QCOMPARE(QStringList({offer->buttonTexts.at(QMessageBox::Yes),
                              offer->buttonTexts.at(QMessageBox::No),
                              offer->buttonTexts.at(QMessageBox::Cancel)}),
                 QStringList({"依學生填入", "依序填入", "取消"}));
    }
    QVERIFY(!(lastBox().buttons & QMessageBox::Ok)); // nothing differs: no report
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
    for (int i = 51; i <= 60; ++i) {
        scores << QString::number(i);
        expected << ' ' + scores.last();
    }
    for (int run = 0; run < 3; ++run) {
        QVERIFY(openPage(server.url("redraw.html?n=10&kind=" + kind).toString()));
        m_window->Check1->setChecked(true);
        m_prompt->clear();
        fill(scores.join('\n'), {QMessageBox::Yes});
        // Every score in its field once the run is over, and nothing told.
        QCOMPARE(fieldValues(), expected);
        QCOMPARE(m_prompt->shown().size(), 1);
    }
}

GRADECAST_GUI_TEST_MAIN(FillRunTest)
#include "tst_fill_run.moc"
