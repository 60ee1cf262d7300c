#include "e2e_fill.h"

#include "app/form1.h"
#include "e2e_common.h"
#include "e2e_wait.h"
#include "support/page_helpers.h"
#include "platform/web_browser.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QWindow>

namespace gradecast::bench {

namespace {

// Settled input: how long the page must stay without a new input event, once
// the typist is done, before an incomplete sheet is taken as final.
constexpr int QuietMs = 1500;
constexpr int RunTimeoutMs = 60000;
constexpr int PollMs = 100;

const QString AbsentText = QStringLiteral("0");

QString jsArray(const QStringList &values)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(values)).toJson(QJsonDocument::Compact));
}

} // namespace

QString typistName(Typist typist)
{
    switch (typist) {
    case Typist::Gradecast:
        return QStringLiteral("Gradecast");
    case Typist::XdotoolNoDelay:
        return QStringLiteral("xdotool type --delay 0");
    case Typist::XdotoolDefaultDelay:
        return QStringLiteral("xdotool type (default delay, 12 ms)");
    case Typist::GradecastByStudent:
        return QStringLiteral("Gradecast, by student");
    }
    return {};
}

const QList<SheetKind> &sheetKinds()
{
    static const QList<SheetKind> kinds = {
        {QStringLiteral("plain"), QStringLiteral("Plain fields, Tab"), false},
        {QStringLiteral("digits"), QStringLiteral("Digit-only keypress filter, Tab"), false},
        {QStringLiteral("enter"), QStringLiteral("Enter moves to the next field, Enter"), true},
        {QStringLiteral("slow"), QStringLiteral("20 ms blocking change handler, Tab"), false},
    };
    return kinds;
}

const SheetKind &fiveStopSheet()
{
    static const SheetKind kind = {QStringLiteral("stops"),
                                   QStringLiteral("Five Tab stops per student, in a form, Tab"),
                                   false};
    return kind;
}

const SheetKind &fiveStopSheetDown()
{
    static const SheetKind kind = {QStringLiteral("stopsdown"),
                                   QStringLiteral("The same, score fields numbered down the column, Tab"),
                                   false};
    return kind;
}

ScoreColumn benchColumn()
{
    // A class of 60: two- and three-digit scores, three absent students.
    static const char *const cells[] = {
        "85", "92", "78", "100", "64", "",   "71", "88", "95", "59",  "73", "81",
        "90", "67", "100", "84", "76", "",   "93", "69", "58", "87",  "91", "74",
        "82", "97", "63", "79", "86", "70",  "100", "77", "89", "94", "61", "",
        "83", "72", "96", "68", "80", "75",  "99", "57", "88", "92",  "66", "81",
        "78", "90", "73", "85", "100", "62", "87", "71", "94", "79",  "83", "76"};
    ScoreColumn column;
    for (const char *cell : cells) {
        const QString score = QString::fromLatin1(cell);
        column.pasted += score + QLatin1Char('\n');
        column.expected << (score.isEmpty() ? AbsentText : score);
    }
    // Seat 1, 8, 15, ...: every seventh seat, around the class (7 and 60
    // share no factor, so each seat comes once).
    const int seats = static_cast<int>(std::size(cells));
    for (int line = 0; line < seats; ++line) {
        const int seat = line * 7 % seats;
        column.byStudent += QStringLiteral("%1\t%2\n")
                                .arg(seat + 1)
                                .arg(QString::fromLatin1(cells[seat]));
    }
    return column;
}

int keystrokesOf(const ScoreColumn &column)
{
    int keys = 0;
    for (const QString &value : column.expected)
        keys += static_cast<int>(value.size()) + 1;
    return keys;
}

void letXdotoolFinish(QProcess &xdotool)
{
    // Killed between a key's press and its release, xdotool would leave the
    // key held, and the X server would repeat it into the next run.
    if (!spinUntil([&] { return xdotool.state() == QProcess::NotRunning; }, RunTimeoutMs)) {
        xdotool.kill();
        xdotool.waitForFinished();
    }
}

FillBench::FillBench(QString pagesDir)
    : m_pagesDir(std::move(pagesDir))
    , m_column(benchColumn())
{
}

FillBench::~FillBench()
{
    delete m_window;
}

bool FillBench::open(const SheetKind &kind)
{
    QUrl url = QUrl::fromLocalFile(m_pagesDir + QStringLiteral("/sheet.html"));
    url.setQuery(QStringLiteral("kind=") + kind.kind);
    return open(url, kind.enterSeparator);
}

bool FillBench::open(const QUrl &url, bool enterSeparator)
{
    if (!m_window) {
        m_window = new Form1;
        m_window->show();
        if (!spinUntil([this] { return m_window->windowHandle()->isExposed(); }, 10000))
            return false;
    }
    // The page shown already is kept: loaded again, its old document would
    // pass the wait for the new one, and the click go to a page on its way out.
    if (m_window->WB1->url() != url && !loadPage(m_window->WB1, url))
        return false;

    // As a teacher sets the window up: 100 typed as "100", absent as "0",
    // and the one separator the page wants.
    m_enter = enterSeparator;
    m_window->Text3->setText(QStringLiteral("100"));
    m_window->Text4->setText(AbsentText);
    m_window->Check1->setChecked(!m_enter);
    m_window->Check4->setChecked(m_enter);
    return true;
}

void FillBench::focusForXdotool()
{
    // Keys injected through XTEST go to the window with the X input focus;
    // with no window manager the harness gives it, as a user's click would.
    m_window->activateWindow();
    m_window->WB1->setFocus(Qt::MouseFocusReason);
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                       QString::number(m_window->winId())});
    (void)spinUntil([this] { return m_window->isActiveWindow(); }, 5000);
}

FillBench::ClockProbe FillBench::probeClock()
{
    const double askedAt = epochMs();
    const double pageNow =
        evaluate(m_window->WB1, QStringLiteral("performance.timeOrigin + performance.now()"))
            .toDouble();
    const double answeredAt = epochMs();
    return {pageNow - (askedAt + answeredAt) / 2, answeredAt - askedAt};
}

void FillBench::prepare(Typist typist)
{
    if (typist == Typist::Gradecast)
        m_window->Text2->setPlainText(m_column.pasted);
    else if (typist == Typist::GradecastByStudent)
        m_window->Text2->setPlainText(m_column.byStudent);
    else
        focusForXdotool();
}

double FillBench::start(Typist typist, QProcess &xdotool)
{
    QStringList arguments = {QStringLiteral("type")};
    if (typist == Typist::XdotoolNoDelay)
        arguments << QStringLiteral("--delay") << QStringLiteral("0");
    // One call for the whole column, separators included, is the fastest way
    // xdotool types it: no process start per score. A "\n" would go out as
    // the Linefeed key, which pages do not take for Enter; "\r" is Return.
    const QChar separator = m_enter ? QLatin1Char('\r') : QLatin1Char('\t');
    arguments << m_column.expected.join(separator) + separator;

    const double start = epochMs();
    if (typist == Typist::Gradecast || typist == Typist::GradecastByStudent)
        QTest::mouseClick(m_window->Command3, Qt::LeftButton);
    else
        xdotool.start(QStringLiteral("xdotool"), arguments);
    return start;
}

FillOutcome FillBench::run(Typist typist)
{
    prepare(typist);
    // Into seat 1 as a teacher clicks, past the header's links and menus; a
    // sheet that cannot be reset or clicked is a run with every field wrong.
    if (!evaluate(m_window->WB1,
                  QStringLiteral("bench.reset(%1), true").arg(jsArray(m_column.expected)))
             .toBool()
        || !clickScoreField(m_window->WB1, 1)) {
        FillOutcome failed;
        failed.wrongFields = int(m_column.expected.size());
        return failed;
    }

    bool complete = false;
    const QMetaObject::Connection title = QObject::connect(
        m_window->WB1, &QWebEngineView::titleChanged, m_window,
        [&](const QString &text) { complete = complete || text == QLatin1String("done"); });

    QProcess xdotool;
    bool typistDone = false;
    QObject::connect(&xdotool, &QProcess::finished, [&] { typistDone = true; });
    const double start = this->start(typist, xdotool);
    typistDone = typistDone || xdotool.state() == QProcess::NotRunning;

    // The page keeps the times; the harness only decides when to stop: at
    // the page's "done", or once the typist has finished and the page has had
    // no input for a while.
    int lastInputs = -1;
    double lastChange = epochMs();
    while (!spinUntil([&] { return complete; }, PollMs)) {
        const int inputs = evaluate(m_window->WB1, QStringLiteral("bench.inputs")).toInt();
        if (inputs != lastInputs) {
            lastInputs = inputs;
            lastChange = epochMs();
        }
        if ((typistDone && epochMs() - lastChange > QuietMs) || epochMs() - start > RunTimeoutMs)
            break;
    }
    QObject::disconnect(title);
    letXdotoolFinish(xdotool);

    FillOutcome outcome;
    const QVariantMap state = evaluate(m_window->WB1, QStringLiteral("bench.state()")).toMap();
    const double doneAt = state.value(QStringLiteral("doneAt")).toDouble();
    const double end = doneAt > 0 ? doneAt : state.value(QStringLiteral("lastInputAt")).toDouble();
    const double firstKey = state.value(QStringLiteral("firstKeyAt")).toDouble();
    outcome.ms = end > 0 ? end - start : RunTimeoutMs;
    outcome.pageSpanMs = end > 0 && firstKey > 0 ? end - firstKey : 0;
    outcome.inputEvents = state.value(QStringLiteral("inputs")).toInt();
    outcome.keydowns = state.value(QStringLiteral("keydowns")).toInt();
    outcome.othersChanged = state.value(QStringLiteral("others")).toStringList();
    outcome.values = evaluate(m_window->WB1, QStringLiteral("bench.values()")).toStringList();
    for (qsizetype i = 0; i < m_column.expected.size(); ++i) {
        if (i >= outcome.values.size() || outcome.values[i] != m_column.expected[i])
            ++outcome.wrongFields;
    }
    return outcome;
}

} // namespace gradecast::bench
