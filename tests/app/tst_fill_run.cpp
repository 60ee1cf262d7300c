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

using Answers = QList<QMessageBox::StandardButton>;

// One press of the fill button: the page, the teacher's click and options, the
// answers to the boxes in order (No when none is left), and what comes of it.
struct Run {
    QString page = "fields.html?n=3"; // or an address
    QString scores;
    QStringList values = {}; // the fields after the run; none: not read
    QStringList second = {}; // a grid's second score column after the run; none: not read
    QString told = {}; // a part of the last box; none: it reports nothing
    QString offer = {}; // a part of the box that offers the student fill; none: no such box
    int field = 1; // the score field clicked
    QString focus = {}; // a script run after the click
    QString absent = {}, score100 = {};
    bool tab = true, enter = false;
    Answers answers = {QMessageBox::Yes, QMessageBox::Yes};
    QString keyCodes = {}; // what the page's key handlers saw
    int keys = -1; // how many keys the page saw; -1: not counted
    int windows = 1; // open once the run is over
    bool quick = false; // checked against the paste: rewriting the box whole takes as long
    int serverMs = 0; // the school's server answers a save within this
};

bool released(Form1 *window)
{
    return !window->isLocked() && window->Command3->isEnabled() && window->Text2->isEnabled()
        && window->cursor().shape() == Qt::ArrowCursor;
}

} // namespace

Q_DECLARE_METATYPE(Run)

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
    void typesEachScoreIntoItsFieldOrTells_data();
    void typesEachScoreIntoItsFieldOrTells();
    void popupClosesItselfInTheMiddleOfARun();
    void quitFromAnotherWindowDuringARun();

private:
    // A window on page ("fields.html?n=3", or an address), the teacher's click
    // in score field number field, then script run in the page.
    Form1 *openPage(const QString &page, int field = 1, const QString &script = {})
    {
        qDeleteAll(OpenWindows());
        m_window = openWindow(page.contains(QLatin1String("://")) ? QUrl(page) : testPage(page));
        if (!m_window)
            return nullptr;
        m_window->activateWindow();
        if (!clickScoreField(m_window->WB1, field))
            return nullptr;
        if (!script.isEmpty() && !evaluate(m_window->WB1, "(" + script + "), true").toBool())
            return nullptr;
        return m_window;
    }
    // The fill button clicked as a teacher clicks it (it takes the focus from
    // the page), the boxes answered in order.
    void fill(Form1 *window, const Answers &answers)
    {
        for (QMessageBox::StandardButton answer : answers)
            m_prompt->answer(answer);
        QTest::mouseClick(window->Command3, Qt::LeftButton);
    }
    QStringList fieldValues() { return evaluate(m_window->WB1, "values()").toStringList(); }
    int keysInPage() { return evaluate(m_window->WB1, "window.keyCodes.length").toInt(); }
    const PromptRequest &lastBox() const { return m_prompt->shown().last(); }

    std::unique_ptr<SettingsFolder> m_folder;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    Form1 *m_window = nullptr;
    // The school's server: the test pages and, for /save, the values sent, after a while.
    int m_serverMs = 0;
    QRandomGenerator m_random{17};
    LocalServer m_server{[this](const QByteArray &head) {
        const QByteArray path = head.split(' ').value(1);
        if (path.startsWith("/save?"))
            return HttpReply{"200 OK", "Content-Type: text/plain\r\n", path.mid(6), -1, false,
                             20 + int(m_random.bounded(m_serverMs - 20))};
        QFile file(QStringLiteral(TEST_PAGES_DIR) + QString::fromLatin1(path.split('?').first()));
        file.open(QIODevice::ReadOnly);
        return HttpReply{"200 OK", "Content-Type: text/html; charset=utf-8\r\n", file.readAll()};
    }};
};

void FillRunTest::typesEachScoreIntoItsFieldOrTells_data()
{
    QTest::addColumn<Run>("row");
    const auto row = [](const char *name, const Run &run) { QTest::newRow(name) << run; };
    const auto Yes = QMessageBox::Yes;
    const QString column = "85\n\n100\n92.5\n7\n"; // the second Yes: the note on 92.5
    const QStringList two{" 85", " 90", ""};
    const QStringList none{"", "", ""};
    row("Tab", {.page = "fields.html?n=6", .scores = column,
                .values = {" 85", "-1", " 100", " 93", " 7", ""}, .absent = "-1"});
    row("Enter, real key codes",
        {.page = "fields.html?n=6&enter", .scores = column,
         .values = {"85", "-1", "A+", "93", "07", ""}, .absent = "-1", .score100 = "A+",
         .tab = false, .enter = true,
         .keyCodes = "56,53,13,189,49,13,65,187,13,57,51,13,48,55,13"});
    row("no separator", {.page = "fields.html?n=2", .scores = column,
                         .values = {" 85-1 100 93 7", ""}, .absent = "-1", .tab = false});
    row("digits-only fields drop the blank",
        {.page = "fields.html?n=6&digits", .scores = column,
         .values = {"85", "-1", "100", "93", "7", ""}, .absent = "-1"});
    row("spreadsheet row, wide characters",
        {.page = "fields.html?n=5", .scores = "85\t\t90\t",
         .values = {" 85", "缺𠀀", " 90", "缺𠀀", ""}, .absent = "缺𠀀"});
    row("a late redraw dropped 90: typed again",
        {.page = "fields.html?n=3&rerender", .scores = "85\n90", .values = two});
    row("iframe", {.page = "frames.html?kind=iframe", .scores = "85\n90", .values = two});
    row("frameset", {.page = "frames.html?kind=frameset", .scores = "85\n90", .values = two});
    row("frame of another origin",
        {.page = "frames.html?kind=cross", .scores = "85", .values = {" 85"}, .tab = false});

    // The run starts in the field the teacher clicked, past the page's links and menus.
    const QString eight = "fields.html?n=8&stops=30";
    const QString three = "85\n90\n75";
    const QStringList fromFifth{"", "", "", "", " 85", " 90", " 75", ""};
    row("30 Tab stops before the first field",
        {.page = eight, .scores = three, .values = {" 85", " 90", " 75", "", "", "", "", ""}});
    row("the fifth field",
        {.page = eight, .scores = three, .values = fromFifth,
         .told = "貼上 3 筆，這一欄從游標起有 4 位學生：最後一筆 75 填給 7 吳佩君，8 劉家豪 沒有成績。",
         .field = 5});
    row("longer than the column: the rest is not typed",
        {.page = "fields.html?n=3&button", .scores = "85\n90\n70\n60", .values = {" 85", " 90", " 70"},
         .told = "這一欄從游標起只有 3 位學生，後面 1 筆不會填入：第 4 筆「60」。", .keys = 12});
    row("the fifth field of an iframe",
        {.page = "frames.html?kind=iframe&fields=n%3D8%26stops%3D30", .scores = three,
         .values = fromFifth, .field = 5});
    row("the page redrew the field meanwhile",
        {.page = "fields.html?n=8&refocus=redraw", .scores = three, .values = fromFifth,
         .field = 5});
    row("the page removed the field meanwhile",
        {.page = "fields.html?n=8&refocus=remove", .scores = three, .told = "頁面上目前沒有選取",
         .field = 5, .keys = 0});

    // Asked before typing; No types nothing.
    const QString noField = "頁面上目前沒有選取可以輸入的欄位，請先用滑鼠點一下第一個成績欄位。\n"
                            "仍要填入成績嗎?";
    const QString button = "document.getElementById('b').focus()";
    row("No to the first question", {.scores = "85\n\n", .answers = {QMessageBox::No}, .keys = 0});
    row("a word in the column",
        {.page = "fields.html?n=2", .scores = "國文\n85",
         .told = "第 1 筆「國文」不是數字，會輸入 0。\n\n仍要填入成績嗎?", .answers = {Yes}, .keys = 0});
    // Decimals the settings round away: kept or rounded for this run, or nothing typed.
    const QString rounding = "有 2 筆含小數，會四捨五入：87.5 → 88、59.5 → 60。";
    row("decimals: cancelled",
        {.page = "fields.html?n=2", .scores = "87.5\n59.5", .told = rounding, .answers = {Yes},
         .keys = 0});
    row("decimals: kept for the run",
        {.page = "fields.html?n=2", .scores = "87.5\n59.5", .values = {" 87.5", " 59.5"},
         .told = rounding, .answers = {Yes, QMessageBox::Apply}});
    row("decimals: rounded", {.page = "fields.html?n=2", .scores = "87.5\n59.5",
                              .values = {" 88", " 60"}, .told = rounding});
    row("70 entries", {.page = "fields.html?n=70", .scores = QString("85\n").repeated(70),
                       .told = "只會填入前 60 筆，另有 10 筆這次不會填入。\n\n仍要填入成績嗎?",
                       .answers = {Yes}, .keys = 0});
    row("focus on the page",
        {.scores = "85", .values = none, .told = noField,
         .focus = "document.activeElement.blur()", .answers = {Yes}, .keys = 0});
    row("focus on a button", {.page = "fields.html?n=3&button", .scores = "85", .told = noField,
                              .focus = button, .answers = {Yes}, .keys = 0});
    row("focus on a frame's page",
        {.page = "frames.html?kind=frameset", .scores = "85", .told = noField,
         .focus = "inner().contentDocument.activeElement.blur()", .answers = {Yes}, .keys = 0});

    // Told after the run: what the fields hold that differs from what was typed.
    const QString cut = "第 1 筆「 100」在欄位中成為「 1」。";
    const QString heldBack = "這個網頁按 Enter 會送出表單，填入時已擋下；填完請按網頁的儲存鈕。";
    const QString nowhere = "第 1 筆「 85」沒有進入任何輸入欄位。";
    row("maxlength cuts: told at once, not typed again",
        {.page = "fields.html?n=3&maxlength=2", .scores = "100", .told = cut, .keys = 5});
    row("a key filter eats the absent text",
        {.page = "fields.html?n=3&digits", .scores = "85\n\n90",
         .told = "第 2 筆「缺」在欄位中成為「」。", .absent = "缺"});
    row("the first field held text, clicked after it",
        {.page = "fields.html?n=3&prefill=80", .scores = "85",
         .told = "第 1 筆「 85」在欄位中成為「80 85」。", .focus = "f1.setSelectionRange(2, 2)"});
    row("maxlength in an iframe",
        {.page = "frames.html?kind=iframe&fields=n%3D3%26maxlength%3D2", .scores = "100",
         .told = cut});
    row("focus on a button, typed anyway: the run stops before it",
        {.page = "fields.html?n=3&button", .scores = "85",
         .told = "第 1 筆前游標停在按鈕，後面 1 筆沒有填入。", .focus = button, .keys = 0});
    row("Enter would submit the page: held back",
        {.page = "fields.html?n=3&form", .scores = "85\n90\n70", .values = {" 85", " 90", " 70"},
         .told = heldBack, .tab = false, .enter = true});
    row("the page swallows every key",
        {.page = "fields.html?n=3&swallow", .scores = "85\n90", .told = nowhere});
    row("the page removes its fields", {.page = "fields.html?n=3&removeafter", .scores = "85\n90",
                                        .told = "第 1 筆的欄位已不在頁面上。"});
    row("the page empties a field after each change",
        {.page = "fields.html?n=3&clear=2", .scores = "85\n90\n70", .values = {" 85", "", " 70"},
         .told = "第 2 筆「 90」填入後被頁面清除，重新填入 3 次仍未保留。"});
    row("digits pattern", {.page = "fields.html?n=3&pattern", .scores = "85\n90",
                           .told = "第 1 筆「 85」頁面標示為錯誤："});
    row("marked by a validation script", {.page = "fields.html?n=3&aria", .scores = "85",
                                          .told = "第 1 筆「 85」頁面標示為錯誤：請輸入數字"});

    // Lines of student cells and a score: each score into its own student's field, when
    // the teacher takes the offer. The last Yes: the guard's note on cells typed one by one.
    const auto values = [](int n, const QMap<int, QString> &scores) {
        QStringList all;
        for (int i = 1; i <= n; ++i)
            all << scores.value(i);
        return all;
    };
    const Answers byStudent{Yes, Yes, Yes};
    row("seat numbers in another order, one extra, students missing",
        {.page = "fields.html?n=30", .scores = "5\t85\n2\t90\n1\t70\n31\t60\n",
         .values = values(30, {{1, " 70"}, {2, " 90"}, {5, " 85"}}),
         .offer = "第 4 列「31」在頁面上找不到", .field = 7, .answers = byStudent});
    row("names, one with a blank on the page",
        {.page = "fields.html?n=8", .scores = "林大同\t88\n王小明\t77\n李雅婷\t66",
         .values = values(8, {{1, " 77"}, {2, " 88"}, {5, " 66"}}), .offer = "頁面上沒有成績",
         .field = 2, .answers = byStudent});
    row("seat, name and score; one name differs",
        {.page = "fields.html?n=8", .scores = "1\t王小明\t70\n2\t林小同\t80\n3\t陳美玲\t90",
         .values = values(8, {{1, " 70"}, {3, " 90"}}), .offer = "第 2 列「2 林小同」在頁面上找不到",
         .answers = byStudent});
    row("two score columns: the order fill",
        {.page = "fields.html?n=8", .scores = "85\t90\n70\t60",
         .values = values(8, {{1, " 85"}, {2, " 90"}, {3, " 70"}, {4, " 60"}})});
    row("in a same-origin iframe",
        {.page = "frames.html?kind=iframe&fields=n%3D8", .scores = "2\t85\n1\t90",
         .values = values(8, {{1, " 90"}, {2, " 85"}}), .offer = "找到", .field = 4,
         .answers = byStudent});
    row("the order fill chosen",
        {.page = "fields.html?n=8", .scores = "2\t85\n1\t90",
         .values = values(8, {{1, " 2"}, {2, " 85"}, {3, " 1"}, {4, " 90"}}), .offer = "找到",
         .answers = {Yes, QMessageBox::No, Yes}});
    row("cancel types nothing", {.page = "fields.html?n=8", .scores = "2\t85\n1\t90",
                                 .offer = "找到", .answers = {Yes, QMessageBox::Cancel}, .keys = 0});

    // Pages whose Tab order does not follow the column: every score into its own
    // student's field all the same, nothing else in the row touched, the form never sent.
    const QString eightScores = "85\n90\n70\n60\n55\n\n100\n45";
    const QStringList eightTyped{" 85", " 90", " 70", " 60", " 55", "-1", " 100", " 45"};
    row("grading page, five stops a student, Tab",
        {.page = "grading.html?n=8", .scores = eightScores, .values = eightTyped, .absent = "-1"});
    row("grading page, Enter, the form held back",
        {.page = "grading.html?n=8", .scores = eightScores, .values = eightTyped, .told = heldBack,
         .absent = "-1", .tab = false, .enter = true});
    row("grading page, Enter, from the third student",
        {.page = "grading.html?n=8", .scores = "85\n90\n70\n60\n55\n45",
         .values = {"", "", " 85", " 90", " 70", " 60", " 55", " 45"}, .told = heldBack, .field = 3,
         .tab = false, .enter = true});
    const QStringList blank4(4, "");
    row("grid numbered down the column, a plain column",
        {.page = "grid.html?n=4", .scores = "85\n90\n70\n60", .values = {" 85", " 90", " 70", " 60"},
         .second = blank4});
    const QString twoColumns = "每列有 2 格：從游標這一欄起填入 2 欄（第一次小考、第二次小考）。";
    row("grid numbered down the column, a block of two columns from the third row",
        {.page = "grid.html?n=4", .scores = "85\t70\n90\t60", .values = {"", "", " 85", " 90"},
         .second = {"", "", " 70", " 60"}, .told = twoColumns, .field = 3});
    row("grid with Tab along the row, a block of two columns",
        {.page = "grid.html?n=3&tab=row", .scores = "85\t70\n90\t60\n75\t65",
         .values = {" 85", " 90", " 75"}, .second = {" 70", " 60", " 65"}, .told = twoColumns});
    row("grid with Tab along the row, a block from the second row",
        {.page = "grid.html?n=3&tab=row", .scores = "85\t70\n90\t60", .values = {"", " 85", " 90"},
         .second = {"", " 70", " 60"}, .told = twoColumns, .field = 2});
    row("names with avatar initials and hidden actions, shuffled, one left out",
        {.page = "grid.html?n=4&names=decorated", .scores = "何芷若\t85\n王小明\t70\n陳美玲\t90",
         .values = {" 70", "", " 90", " 85"}, .second = blank4,
         .offer = "頁面上沒有成績：2 林大同", .answers = {Yes, Yes}});
    row("a lone field, a checkbox after it: the run stops there",
        {.page = "lone.html", .scores = "85\n90\n70", .values = {" 85"},
         .told = "第 2 筆前游標停在核取方塊「排除」，後面 2 筆沒有填入。"});

    // The page acts in the middle of the run: the run ends, lets go and crashes nothing.
    row("the page navigates away", {.page = "fields.html?n=3&onkey=leave",
                                    .scores = "85\n90\n70\n", .told = "填入時頁面換頁了"});
    row("the page opens a window",
        {.page = "fields.html?n=3&onkey=open", .scores = "85\n90\n70\n", .windows = 2});

    // Junk in the box: 0 where the rules say so, no key for what no key types.
    row("1 MB pasted",
        {.page = "fields.html?n=60", .scores = QString("85\n").repeated(350000) + "\n\n",
         .values = QStringList(60, " 85"), .quick = true});
    // Control characters, lone surrogates, private use; the box's line and frame breaks left out.
    const QList<char16_t> breaks = {u'\n', u'\r', u'\t', 0x0B, 0x0C, 0x2028, 0x2029, 0xFDD0,
                                    0xFDD1};
    QString junk = "x";
    QRandomGenerator random(7);
    for (int i = 0; i < 200000; ++i) {
        const char16_t c = static_cast<char16_t>(random.bounded(1, 0x10000));
        if (!breaks.contains(c))
            junk += QChar(c);
    }
    row("binary junk", {.scores = junk + "\n5", .values = {" 0", " 5", ""}, .quick = true});

    // A page that redraws its fields when the server answers a save: what a redraw
    // lost is typed again, and nothing told.
    QStringList fifties;
    QStringList sent;
    for (int i = 51; i <= 60; ++i)
        fifties << QString::number(i), sent << ' ' + fifties.last();
    const auto redraw = [&](const char *kind, int serverMs) {
        return Run{.page = m_server.url(QString("redraw.html?n=10&kind=") + kind).toString(),
                   .scores = fifties.join('\n'), .values = sent, .serverMs = serverMs};
    };
    row("the last request wins", redraw("last", 300));
    row("every answer applied, out of order", redraw("all", 300));
    row("a slow server, every answer applied", redraw("all", 1000));
}

void FillRunTest::typesEachScoreIntoItsFieldOrTells()
{
    QFETCH(Run, row);
    m_serverMs = row.serverMs;
    QVERIFY(openPage(row.page, row.field, row.focus));
    const QUrl page = m_window->WB1->url();
    m_window->Text4->setText(row.absent);
    m_window->Text3->setText(row.score100);
    m_window->Check4->setChecked(row.enter);
    m_window->Check1->setChecked(row.tab);
    m_window->Command2->setEnabled(false);
    // Seen from inside the run, while it lets pending events through: the window
    // held, and a click of the teacher's own, which would empty the box, eaten.
    bool held = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, m_window, [&] {
        if (held || !m_window->isLocked())
            return;
        held = true;
        QVERIFY(m_window->cursor().shape() == Qt::WaitCursor && !m_window->Command9->isEnabled()
                && !m_window->Text2->isEnabled());
        QTest::mouseClick(m_window->Label2, Qt::LeftButton);
        QVERIFY(!m_window->Text2->toPlainText().isEmpty());
    });
    watch.start(0);
    QElapsedTimer clock;
    clock.start();
    m_window->Text2->setPlainText(row.scores);
    const qint64 pasted = clock.elapsed();
    QString box = m_window->Text2->toPlainText();
    clock.restart();
    fill(m_window, row.answers);
    QVERIFY2(!row.quick || clock.elapsed() < std::max<qint64>(PatienceMs, 2 * pasted),
             qPrintable(QString("%1 ms, paste %2 ms").arg(clock.elapsed()).arg(pasted)));

    if (!row.values.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(fieldValues(), row.values, PatienceMs);
    if (!row.second.isEmpty())
        QCOMPARE(evaluate(m_window->WB1, "values2()").toStringList(), row.second);
    // Nothing else in the page's rows changed (a feedback field, a checkbox), and
    // the page was not left unless the row says so.
    QCOMPARE(evaluate(m_window->WB1, "typeof othersChanged == 'function' ? othersChanged() : []")
                 .toStringList(),
             QStringList());
    if (!row.told.contains("換頁了"))
        QCOMPARE(m_window->WB1->url().path(), page.path());
    // Let go; once held, every control comes back, even one that was off before.
    QVERIFY(released(m_window) && (held ? m_window->Command2->isEnabled() : row.keys == 0));
    QTRY_COMPARE_WITH_TIMEOUT(OpenWindows().size(), row.windows, PatienceMs);
    const PromptRequest &question = m_prompt->shown().first();
    QCOMPARE(question.text, "是否已經將游標移至要輸入的欄位上?");
    QVERIFY(question.title == m_window->windowTitle() && question.icon == QMessageBox::NoIcon
            && question.defaultButton == QMessageBox::Yes);
    if (row.told.isEmpty()) {
        QVERIFY(!(lastBox().buttons & QMessageBox::Ok));
    } else {
        // A report, or a question whose default is not to type.
        QVERIFY2(lastBox().text.contains(row.told), qPrintable(lastBox().text));
        QVERIFY(lastBox().icon == QMessageBox::Warning && lastBox().title == question.title
                && (lastBox().buttons == QMessageBox::Ok
                    || lastBox().defaultButton == QMessageBox::No));
    }
    const auto offer = std::find_if(m_prompt->shown().begin(), m_prompt->shown().end(),
                                    [](const PromptRequest &r) {
                                        return r.buttonTexts.count(QMessageBox::Yes)
                                            && r.buttonTexts.at(QMessageBox::Yes) == "依學生填入";
                                    });
    QCOMPARE(offer != m_prompt->shown().end(), !row.offer.isEmpty());
    if (!row.offer.isEmpty()) {
        QVERIFY2(offer->text.contains(row.offer), qPrintable(offer->text));
        QCOMPARE(offer->defaultButton, QMessageBox::Yes);
        QVERIFY(offer->buttonTexts == (std::map<QMessageBox::StandardButton, QString>{
                    {QMessageBox::Yes, "依學生填入"}, {QMessageBox::No, "依序填入"},
                    {QMessageBox::Cancel, "取消"}}));
    }
    if (!row.keyCodes.isEmpty())
        QCOMPARE(evaluate(m_window->WB1, "keyCodes.join()").toString(), row.keyCodes);
    // Counted after a page round trip, so a stray key would have arrived.
    if (row.keys >= 0)
        QCOMPARE(keysInPage(), row.keys);
    // Not typed: the box as pasted; typed: without its trailing line ends.
    while (row.keys != 0 && box.endsWith('\n'))
        box.chop(1);
    QVERIFY(m_window->Text2->toPlainText() == box);
    // The recorder lives apart from the page's own scripts.
    QCOMPARE(evaluate(m_window->WB1, "typeof gradecastRecorder").toString(), "undefined");
}

void FillRunTest::popupClosesItselfInTheMiddleOfARun()
{
    Form1 *first = openWindow(testPage("opener.html"));
    QVERIFY(first);
    first->Text2->setPlainText("60\n70");
    QPointer<Form1> popup = popupOf(first, "document.getElementById('openClosingFields').click()");
    QVERIFY(popup);
    QVERIFY(waitForPage(popup->WB1, testPage("fields.html?n=3&onkey=close")));
    QVERIFY(clickScoreField(popup->WB1, 2));
    popup->Check1->setChecked(true);
    popup->Text2->setPlainText("85\n90");
    fill(popup, {QMessageBox::Yes});

    // The run ends and lets go; then the window goes as the page asked.
    QTRY_VERIFY_WITH_TIMEOUT(popup.isNull(), PatienceMs);
    QCOMPARE(OpenWindows(), QList<Form1 *>{first});
    QCOMPARE(first->Text2->toPlainText(), "60\n70");
    QVERIFY(released(first));
}

void FillRunTest::quitFromAnotherWindowDuringARun()
{
    // The school's server takes its time, so the run waits for the page.
    m_serverMs = 1500;
    Form1 *filling = openWindow(m_server.url("redraw.html?n=3&kind=all"));
    QVERIFY(filling);
    QPointer<Form1> popup = popupOf(filling, "window.open('second.html'), 1");
    QVERIFY(popup);
    QVERIFY(clickScoreField(filling->WB1, 1));
    filling->Text2->setPlainText("85\n90\n70");
    bool clicked = false;
    QTimer quit;
    connect(&quit, &QTimer::timeout, popup, [&] {
        if (clicked || !filling->isLocked())
            return;
        clicked = true;
        QTest::mouseClick(popup->Command9, Qt::LeftButton);
    });
    quit.start(0);
    fill(filling, {QMessageBox::Yes});
    QVERIFY(clicked);
    // The run ends, then the program does, every window with it.
    QTRY_VERIFY_WITH_TIMEOUT(OpenWindows().isEmpty(), 10000);
}

GRADECAST_GUI_TEST_MAIN(FillRunTest)
#include "tst_fill_run.moc"
