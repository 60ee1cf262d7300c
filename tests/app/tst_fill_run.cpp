// Scores typed into real pages by the fill button, as a teacher runs it, and
// runs that meet trouble: pages that leave, open or close windows meanwhile,
// boxes full of junk. Nothing may crash, and every window is let go.

#include "app/clickable_label.h"
#include "app/form1.h"
#include "app/windows.h"
#include "platform/web_browser.h"
#include "support/gui_test_main.h"
#include "support/local_server.h"
#include "support/page_helpers.h"
#include "support/scripted_prompt.h"
#include "support/settings_folder.h"

#include <memory>

using namespace gradecast;

namespace {

constexpr int Patience = 30000;
using Answers = std::initializer_list<QMessageBox::StandardButton>;

struct Typed {
    QString page, scores, absent, score100;
    bool tab, enter;
    QStringList values;
    QString keyCodes = {}; // what the page's key handlers saw, where it matters
};
struct Clicked {
    QString page;
    int field;
    QStringList values; // none: the field went, and the run asked and typed nothing
};
struct Asked {
    QString page, focus, column, question; // the second box; none: No to the first
};
struct Told {
    QString page, focus, column, told; // told: a part of the report after the run
};
struct Students {
    QString page;
    int field;
    QString pasted;
    QMessageBox::StandardButton answer; // to the box that offers the student fill
    QStringList values;
    QString told; // a part of that box; none: no such box
};

bool released(Form1 *window)
{
    return !window->isLocked() && window->Command3->isEnabled() && window->Text2->isEnabled()
        && window->cursor().shape() == Qt::ArrowCursor;
}

bool engineAnswers(Form1 *window)
{
    return QTest::qWaitFor([&] { return evaluate(window->WB1, "6 * 7").toInt() == 42; }, Patience);
}

} // namespace

Q_DECLARE_METATYPE(Typed)
Q_DECLARE_METATYPE(Clicked)
Q_DECLARE_METATYPE(Asked)
Q_DECLARE_METATYPE(Told)
Q_DECLARE_METATYPE(Students)

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
        qDeleteAll(OpenWindows());
        // Gone before the next test's: each puts back what was there before it.
        m_prompt.reset();
        m_folder.reset();
    }
    void typesEveryScoreIntoItsField_data();
    void typesEveryScoreIntoItsField();
    void startsInTheClickedField_data();
    void startsInTheClickedField();
    void holdsTheWindowWhileTyping();
    void asksBeforeTyping_data();
    void asksBeforeTyping();
    void tellsWhatTheFieldsHold_data();
    void tellsWhatTheFieldsHold();
    void fillsEachStudentsField_data();
    void fillsEachStudentsField();
    void keepsWhatRedrawingPagesLose_data();
    void keepsWhatRedrawingPagesLose();
    void pageActsInTheMiddleOfARun_data();
    void pageActsInTheMiddleOfARun();
    void popupClosesItselfInTheMiddleOfARun();
    void junkInTheScoreBox_data();
    void junkInTheScoreBox();
    void popupFloodStopsAtTheWindowLimit();

private:
    // A window on page ("fields.html?n=3", or an address), the teacher's click
    // in score field number field, then script run in the page.
    Form1 *openPage(const QString &page, int field = 1, const QString &script = {})
    {
        const qsizetype query = page.indexOf(QLatin1Char('?'));
        QUrl url = page.contains(QLatin1String("://")) ? QUrl(page) : testPage(page.left(query));
        if (url.isLocalFile())
            url.setQuery(query < 0 ? QString() : page.mid(query + 1));
        qDeleteAll(OpenWindows());
        m_window = openWindow(url);
        if (!m_window)
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
    void fill(const QString &scores, Answers answers, Form1 *window = nullptr)
    {
        window = window ? window : m_window;
        window->Text2->setPlainText(scores);
        for (QMessageBox::StandardButton answer : answers)
            m_prompt->answer(answer);
        QTest::mouseClick(window->Command3, Qt::LeftButton);
    }
    QStringList fieldValues(Form1 *window = nullptr)
    {
        return evaluate((window ? window : m_window)->WB1, "values()").toStringList();
    }
    int keysInPage() { return evaluate(m_window->WB1, "window.keyCodes.length").toInt(); }
    const PromptRequest &lastBox() const { return m_prompt->shown().last(); }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    Form1 *m_window = nullptr;
};

void FillRunTest::typesEveryScoreIntoItsField_data()
{
    QTest::addColumn<Typed>("row");
    const QString column = "85\n\n100\n92.5\n7\n";
    const QStringList two{" 85", " 90", ""};
    QTest::newRow("Tab") << Typed{"fields.html?n=6", column, "-1", "", true, false,
                                  {" 85", "-1", " 100", " 93", " 7", ""}};
    QTest::newRow("Enter, real key codes")
        << Typed{"fields.html?n=6&enter", column, "-1", "A+", false, true,
                 {"85", "-1", "A+", "93", "07", ""},
                 "56,53,13,189,49,13,65,187,13,57,51,13,48,55,13"};
    QTest::newRow("no separator") << Typed{"fields.html?n=2", column, "-1", "", false, false,
                                           {" 85-1 100 93 7", ""}};
    QTest::newRow("digits-only fields drop the blank")
        << Typed{"fields.html?n=6&digits", column, "-1", "", true, false,
                 {"85", "-1", "100", "93", "7", ""}};
    QTest::newRow("spreadsheet row, wide characters")
        << Typed{"fields.html?n=5", "85\t\t90\t", "缺𠀀", "", true, false,
                 {" 85", "缺𠀀", " 90", "缺𠀀", ""}};
    QTest::newRow("a late redraw dropped 90: typed again")
        << Typed{"fields.html?n=3&rerender", "85\n90", "", "", true, false, two};
    QTest::newRow("iframe") << Typed{"frames.html?kind=iframe", "85\n90", "", "", true, false, two};
    QTest::newRow("frameset")
        << Typed{"frames.html?kind=frameset", "85\n90", "", "", true, false, two};
    QTest::newRow("frame of another origin")
        << Typed{"frames.html?kind=cross", "85", "", "", false, false, {" 85"}};
}

void FillRunTest::typesEveryScoreIntoItsField()
{
    QFETCH(Typed, row);
    QVERIFY(openPage(row.page));
    m_window->Text4->setText(row.absent);
    m_window->Text3->setText(row.score100);
    m_window->Check4->setChecked(row.enter);
    m_window->Check1->setChecked(row.tab);
    fill(row.scores, {QMessageBox::Yes, QMessageBox::Yes}); // the second: the note on 92.5

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), row.values, Patience);
    if (!row.keyCodes.isEmpty())
        QCOMPARE(evaluate(m_window->WB1, "keyCodes.join()").toString(), row.keyCodes);
    QVERIFY(!(lastBox().buttons & QMessageBox::Ok)); // nothing to report
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
    QTest::addColumn<Clicked>("row");
    const QStringList fromFirst{" 85", " 90", " 75", "", "", "", "", ""};
    const QStringList fromFifth{"", "", "", "", " 85", " 90", " 75", ""};
    QTest::newRow("30 Tab stops before the first field")
        << Clicked{"fields.html?n=8&stops=30", 1, fromFirst};
    QTest::newRow("the fifth field") << Clicked{"fields.html?n=8&stops=30", 5, fromFifth};
    QTest::newRow("the fifth field of an iframe")
        << Clicked{"frames.html?kind=iframe&fields=n%3D8%26stops%3D30", 5, fromFifth};
    QTest::newRow("the page redrew the field meanwhile")
        << Clicked{"fields.html?n=8&refocus=redraw", 5, fromFifth};
    QTest::newRow("the page removed the field meanwhile")
        << Clicked{"fields.html?n=8&refocus=remove", 5, {}};
}

void FillRunTest::startsInTheClickedField()
{
    QFETCH(Clicked, row);
    QVERIFY(openPage(row.page, row.field));
    m_window->Check1->setChecked(true);
    fill("85\n90\n75", {QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), row.values, Patience);
    const bool asked = row.values.isEmpty(); // then the last question was answered No
    QCOMPARE(m_prompt->shown().size(), asked ? 2 : 1);
    QVERIFY(lastBox().text.startsWith(asked ? "頁面上目前沒有選取" : "是否"));
    QVERIFY(!m_window->isLocked());
    if (asked)
        QCOMPARE(keysInPage(), 0);
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
    // Every control comes back, even one that was off before the run.
    QVERIFY(released(m_window) && m_window->Command2->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), (QStringList{" 85", " 90", ""}), Patience);
    QTest::mouseClick(m_window->Label2, Qt::LeftButton);
    QCOMPARE(m_window->Text2->toPlainText(), QString());
}

void FillRunTest::asksBeforeTyping_data()
{
    QTest::addColumn<Asked>("row");
    const QString noField = "頁面上目前沒有選取可以輸入的欄位，請先用滑鼠點一下第一個成績欄位。\n";
    QTest::newRow("No to the first question") << Asked{"fields.html?n=3", "", "85\n\n", ""};
    QTest::newRow("a word in the column")
        << Asked{"fields.html?n=3", "", "國文\n85", "第 1 筆「國文」不是數字，會輸入 0。\n\n"};
    QTest::newRow("decimals rounded away")
        << Asked{"fields.html?n=3", "", "87.5\n59.5",
                 "有 2 筆含小數，會四捨五入：87.5 → 88、59.5 → 60。（設定檔 DECIMAL 可保留小數）\n\n"};
    QTest::newRow("70 entries") << Asked{"fields.html?n=3", "", QString("85\n").repeated(70),
                                         "只會填入前 60 筆，另有 10 筆這次不會填入。\n\n"};
    QTest::newRow("focus on the page")
        << Asked{"fields.html?n=3", "document.activeElement.blur()", "85", noField};
    QTest::newRow("focus on a button")
        << Asked{"fields.html?n=3&button", "document.getElementById('b').focus()", "85", noField};
    QTest::newRow("focus on a frame's page")
        << Asked{"frames.html?kind=frameset", "inner().contentDocument.activeElement.blur()", "85",
                 noField};
}

void FillRunTest::asksBeforeTyping()
{
    QFETCH(Asked, row);
    QVERIFY(openPage(row.page, 1, row.focus));
    m_window->Check1->setChecked(true);
    fill(row.column, {row.question.isEmpty() ? QMessageBox::No : QMessageBox::Yes});

    QCOMPARE(m_prompt->shown().size(), row.question.isEmpty() ? 1 : 2);
    if (!row.question.isEmpty()) {
        QCOMPARE(lastBox().text, row.question + "仍要填入成績嗎?");
        QCOMPARE(lastBox().icon, QMessageBox::Warning);
        QCOMPARE(lastBox().defaultButton, QMessageBox::No);
    }
    // No is the end: the box as pasted, nothing held, no key in the page
    // (read after a page round trip, so a stray key would have arrived).
    QCOMPARE(m_window->Text2->toPlainText(), row.column);
    QVERIFY(released(m_window));
    QCOMPARE(keysInPage(), 0);
}

void FillRunTest::tellsWhatTheFieldsHold_data()
{
    QTest::addColumn<Told>("row");
    const QString cut = "第 1 筆「 100」在欄位中成為「 1」。";
    const QString nowhere = "第 1 筆「 85」沒有進入任何輸入欄位。";
    QTest::newRow("maxlength cuts") << Told{"fields.html?n=3&maxlength=2", "", "100", cut};
    QTest::newRow("a key filter eats the absent text")
        << Told{"fields.html?n=3&digits", "", "85\n\n90", "第 2 筆「缺」在欄位中成為「」。"};
    // Clicked into after its text, as a teacher clicks.
    QTest::newRow("the first field held text")
        << Told{"fields.html?n=3&prefill=80", "f1.setSelectionRange(2, 2)", "85",
                "第 1 筆「 85」在欄位中成為「80 85」。"};
    QTest::newRow("maxlength in an iframe")
        << Told{"frames.html?kind=iframe&fields=n%3D3%26maxlength%3D2", "", "100", cut};
    QTest::newRow("focus on a button, typed anyway")
        << Told{"fields.html?n=3&button", "document.getElementById('b').focus()", "85", nowhere};
    QTest::newRow("Enter submits the page")
        << Told{"fields.html?n=3&form", "", "85\n90\n70", "填入時頁面換頁了，無法核對後面的成績。"};
    QTest::newRow("the page swallows every key")
        << Told{"fields.html?n=3&swallow", "", "85\n90", nowhere};
    QTest::newRow("the page removes its fields")
        << Told{"fields.html?n=3&removeafter", "", "85\n90", "第 1 筆的欄位已不在頁面上。"};
    QTest::newRow("the page empties a field after each change")
        << Told{"fields.html?n=3&clear=2", "", "85\n90\n70",
                "第 2 筆「 90」填入後被頁面清除，重新填入 3 次仍未保留。"};
    QTest::newRow("digits pattern")
        << Told{"fields.html?n=3&pattern", "", "85\n90", "第 1 筆「 85」頁面標示為錯誤："};
    QTest::newRow("marked by a validation script")
        << Told{"fields.html?n=3&aria", "", "85", "第 1 筆「 85」頁面標示為錯誤：請輸入數字"};
}

void FillRunTest::tellsWhatTheFieldsHold()
{
    QFETCH(Told, row);
    QVERIFY(openPage(row.page, 1, row.focus));
    m_window->Text4->setText("缺");
    const bool enter = row.page.contains("form");
    m_window->Check1->setChecked(!enter);
    m_window->Check4->setChecked(enter);
    fill(row.column, {QMessageBox::Yes, QMessageBox::Yes});

    QVERIFY(released(m_window));
    QVERIFY2(lastBox().text.contains(row.told), qPrintable(lastBox().text));
    // Only what a redraw lost is typed again; a cut is told at once.
    if (row.page.contains("maxlength=2"))
        QCOMPARE(keysInPage(), 5);
    if (row.page.contains("clear"))
        QCOMPARE(fieldValues(), (QStringList{" 85", "", " 70"}));
    QCOMPARE(lastBox().icon, QMessageBox::Warning);
    QCOMPARE(lastBox().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(lastBox().title, m_window->windowTitle());
}

void FillRunTest::fillsEachStudentsField_data()
{
    QTest::addColumn<Students>("row");
    const auto yes = QMessageBox::Yes;
    // The page's n fields, those not named empty.
    const auto values = [](int n, const QMap<int, QString> &scores) {
        QStringList all;
        for (int i = 1; i <= n; ++i)
            all << scores.value(i);
        return all;
    };
    QTest::newRow("seat numbers in another order, one extra, students missing")
        << Students{"fields.html?n=30", 7, "5\t85\n2\t90\n1\t70\n31\t60\n", yes,
                    values(30, {{1, " 70"}, {2, " 90"}, {5, " 85"}}), "第 4 列「31」在頁面上找不到"};
    QTest::newRow("names, one with a blank on the page")
        << Students{"fields.html?n=8", 2, "林大同\t88\n王小明\t77\n李雅婷\t66", yes,
                    values(8, {{1, " 77"}, {2, " 88"}, {5, " 66"}}), "頁面上沒有成績"};
    QTest::newRow("seat, name and score; one name differs")
        << Students{"fields.html?n=8", 1, "1\t王小明\t70\n2\t林小同\t80\n3\t陳美玲\t90", yes,
                    values(8, {{1, " 70"}, {3, " 90"}}), "第 2 列「2 林小同」在頁面上找不到"};
    QTest::newRow("two score columns: the order fill")
        << Students{"fields.html?n=8", 1, "85\t90\n70\t60", yes,
                    values(8, {{1, " 85"}, {2, " 90"}, {3, " 70"}, {4, " 60"}}), ""};
    QTest::newRow("in a same-origin iframe")
        << Students{"frames.html?kind=iframe&fields=n%3D8", 4, "2\t85\n1\t90", yes,
                    values(8, {{1, " 90"}, {2, " 85"}}), "找到"};
    QTest::newRow("the order fill chosen")
        << Students{"fields.html?n=8", 1, "2\t85\n1\t90", QMessageBox::No,
                    values(8, {{1, " 2"}, {2, " 85"}, {3, " 1"}, {4, " 90"}}), "找到"};
    QTest::newRow("cancel types nothing")
        << Students{"fields.html?n=8", 1, "2\t85\n1\t90", QMessageBox::Cancel, values(8, {}),
                    "找到"};
}

void FillRunTest::fillsEachStudentsField()
{
    QFETCH(Students, row);
    QVERIFY(openPage(row.page, row.field));
    m_window->Check1->setChecked(true);
    // The last Yes: the guard's note on cells typed one by one.
    fill(row.pasted, {QMessageBox::Yes, row.answer, QMessageBox::Yes});

    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), row.values, Patience);
    const auto offer = std::find_if(m_prompt->shown().begin(), m_prompt->shown().end(),
                                    [](const PromptRequest &r) { return !r.buttonTexts.empty(); });
    QCOMPARE(offer != m_prompt->shown().end(), !row.told.isEmpty());
    if (offer != m_prompt->shown().end()) {
        QVERIFY2(offer->text.contains(row.told), qPrintable(offer->text));
        QCOMPARE(offer->defaultButton, QMessageBox::Yes);
        QCOMPARE(QStringList({offer->buttonTexts.at(QMessageBox::Yes),
                              offer->buttonTexts.at(QMessageBox::No),
                              offer->buttonTexts.at(QMessageBox::Cancel)}),
                 QStringList({"依學生填入", "依序填入", "取消"}));
    }
    QVERIFY(!(lastBox().buttons & QMessageBox::Ok)); // nothing differs: no report
    if (row.answer == QMessageBox::Cancel)
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
    for (int i = 51; i <= 60; ++i)
        scores << QString::number(i), expected << ' ' + scores.last();
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

void FillRunTest::pageActsInTheMiddleOfARun_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("windowsAfter");
    QTest::newRow("navigates away") << "leave" << 1;
    QTest::newRow("opens a window") << "open" << 2;
}

void FillRunTest::pageActsInTheMiddleOfARun()
{
    QFETCH(QString, action);
    QFETCH(int, windowsAfter);
    QVERIFY(openPage("fields.html?n=3&onkey=" + action));
    m_window->Check1->setChecked(true);
    fill("85\n90\n70\n", {QMessageBox::Yes, QMessageBox::Yes});

    QVERIFY(released(m_window));
    QCOMPARE(m_window->Text2->toPlainText(), "85\n90\n70");
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), windowsAfter, Patience);
    QVERIFY(engineAnswers(m_window));
}

void FillRunTest::popupClosesItselfInTheMiddleOfARun()
{
    Form1 *first = openWindow(testPage("opener.html"));
    QVERIFY(first);
    first->Text2->setPlainText("60\n70");
    evaluate(first->WB1, "document.getElementById('openClosingFields').click()");
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), 2, Patience);
    QPointer<Form1> popup = OpenWindows().at(OpenWindows().at(0) == first ? 1 : 0);
    QUrl closing = testPage("fields.html");
    closing.setQuery("n=3&onkey=close");
    QVERIFY(waitForPage(popup->WB1, closing));
    QVERIFY(clickScoreField(popup->WB1, 2));
    popup->Check1->setChecked(true);
    fill("85\n90", {QMessageBox::Yes}, popup);

    // The run ends and lets go; then the window goes as the page asked.
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), Patience);
    QCOMPARE(OpenWindows(), QList<Form1 *>{first});
    QCOMPARE(first->Text2->toPlainText(), "60\n70");
    QVERIFY(released(first));
}

void FillRunTest::junkInTheScoreBox_data()
{
    QTest::addColumn<QString>("scores");
    QTest::addColumn<QStringList>("typed");
    QTest::newRow("10 MB pasted") << QString("85\n").repeated(3500000) + "\n\n"
                                  << QStringList{" 85", " 85", " 85"};
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

void FillRunTest::junkInTheScoreBox()
{
    QFETCH(QString, scores);
    QFETCH(QStringList, typed);
    QVERIFY(openPage("fields.html?n=3"));
    m_window->Check1->setChecked(true);
    QElapsedTimer clock;
    clock.start();
    m_window->Text2->setPlainText(scores);
    const qint64 pasted = clock.restart();
    QString left = m_window->Text2->toPlainText();
    while (left.endsWith('\n'))
        left.chop(1);
    m_prompt->answer(QMessageBox::Yes);
    m_prompt->answer(QMessageBox::Yes);
    m_window->Command3->click();
    // Against the paste on the same machine at the same moment: writing the
    // whole text into the box once more would take about as long.
    QVERIFY2(clock.elapsed() < std::max<qint64>(2000, pasted / 2),
             qPrintable(QString("%1 ms, paste %2 ms").arg(clock.elapsed()).arg(pasted)));
    QVERIFY(released(m_window));
    QVERIFY(m_window->Text2->toPlainText() == left);
    QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), typed, Patience);
}

void FillRunTest::popupFloodStopsAtTheWindowLimit()
{
    Form1 *first = openWindow(testPage("popup-loop.html"));
    QVERIFY(first);
    first->Text2->setPlainText("85");
    evaluate(first->WB1, "document.getElementById('flood').click()");
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), MaxOpenWindows, 120000);
    // Told once, however many more the page asked for.
    QTRY_COMPARE_WITH_TIMEOUT(m_prompt->shown().size(), 1, Patience);
    QVERIFY(m_prompt->shown().first().text.contains(QString::number(MaxOpenWindows)));
    QCOMPARE(OpenWindows().size(), MaxOpenWindows);
    QCOMPARE(first->Text2->toPlainText(), "85");
    QVERIFY(engineAnswers(first));
}

GRADECAST_GUI_TEST_MAIN(FillRunTest)
#include "tst_fill_run.moc"
