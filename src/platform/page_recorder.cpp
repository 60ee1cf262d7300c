#include "platform/page_recorder.h"

#include "platform/key_mapping.h"
#include "platform/page_script.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace gradecast {

namespace {

// A world of the recorder's own: the page's scripts and the program's other
// scripts never meet it.
constexpr quint32 RecorderWorld = QWebEngineScript::UserWorld + 1;

// The page answers a look within this time or is not looked at.
constexpr int AnswerTimeoutMs = 1000;
// Keys still on their way: given up on after this long without one arriving,
// or after a moment when the page no longer has the focus (Tab has left its
// last field, a window came up): the rest go nowhere the page could see.
constexpr int KeyStallMs = 3000;
constexpr int FocusLostStallMs = 200;
// A page has settled when nothing was typed, changed or re-rendered for this
// long and none of the requests it sent meanwhile is still out (pages post
// each change to their server and redraw on the answer) ...
constexpr int QuietMs = 500;
// ... and is read anyway, as still busy, once it has been given this long
// after the last key.
constexpr int SettleLimitMs = 15000;
constexpr int PollMs = 20;

QString resourceText(const QString &name)
{
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript documentScript(const QString &name, const QString &source, quint32 world)
{
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(world);
    script.setRunsOnSubFrames(true);
    return script;
}

// Calls the recorder in the page.
std::optional<QVariant> ask(QWebEnginePage *page, const QString &call)
{
    return RunScriptAndWait(page, QStringLiteral("gradecastRecorder.") + call, RecorderWorld,
                            AnswerTimeoutMs);
}

QString json(const QVariantList &list)
{
    return QString::fromUtf8(
        QJsonDocument(QJsonArray::fromVariantList(list)).toJson(QJsonDocument::Compact));
}

// False when the program is ending: its event loops then return at once,
// and a wait would spin until its time is up.
bool runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    return loop.exec() != -1;
}

// The key presses the page will see: characters that arrive as input-method
// text and strings no key types press no key.
int keyPresses(const KeystrokeScript &keys)
{
    int presses = 0;
    for (const std::u16string &one : keys) {
        const std::optional<KeyStroke> stroke =
            keyStrokeFor(QStringView(one.data(), static_cast<qsizetype>(one.size())));
        presses += stroke && stroke->kind == KeyStroke::Kind::Key;
    }
    return presses;
}

// The recorder is gone with the document it was put into: nothing of the run
// can be compared any more.
PageReport pageLeft()
{
    PageReport left;
    left.navigated = true;
    return left;
}

std::u16string textOf(const QVariant &value)
{
    return value.toString().toStdU16String();
}

RowChange::Kind changeKind(const QString &kind)
{
    if (kind == QLatin1String("checked"))
        return RowChange::Kind::Checked;
    if (kind == QLatin1String("unchecked"))
        return RowChange::Kind::Unchecked;
    return kind == QLatin1String("chosen") ? RowChange::Kind::Chosen : RowChange::Kind::Text;
}

PageReport pageReportOf(const QVariantMap &answer)
{
    PageReport report;
    report.navigated = answer.value(QStringLiteral("navigated")).toBool();
    report.submitHeld = answer.value(QStringLiteral("submitHeld")).toBool();
    const QVariantMap stopped = answer.value(QStringLiteral("stopped")).toMap();
    if (!stopped.isEmpty())
        report.stopped = StoppedAt{std::size_t(stopped.value(QStringLiteral("entry")).toInt()),
                                   textOf(stopped.value(QStringLiteral("control"))),
                                   textOf(stopped.value(QStringLiteral("label")))};
    for (const QVariant &item : answer.value(QStringLiteral("rowChanges")).toList()) {
        const QVariantMap change = item.toMap();
        report.rowChanges.push_back({changeKind(change.value(QStringLiteral("kind")).toString()),
                                     std::size_t(change.value(QStringLiteral("row")).toInt()),
                                     textOf(change.value(QStringLiteral("label"))),
                                     textOf(change.value(QStringLiteral("value")))});
    }
    report.followedEntries = answer.value(QStringLiteral("followed")).toInt();
    for (const QVariant &item : answer.value(QStringLiteral("entries")).toList()) {
        const QVariantMap entry = item.toMap();
        LandedEntry landed;
        landed.keysSeen = entry.value(QStringLiteral("keysSeen")).toInt();
        landed.field = entry.value(QStringLiteral("field"), -1).toInt();
        landed.fieldGone = entry.value(QStringLiteral("fieldGone")).toBool();
        landed.value = entry.value(QStringLiteral("value")).toString().toStdU16String();
        if (entry.contains(QStringLiteral("valueAtSeparator")))
            landed.valueAtSeparator =
                entry.value(QStringLiteral("valueAtSeparator")).toString().toStdU16String();
        landed.redrawn = entry.value(QStringLiteral("redrawn")).toBool();
        landed.rejected = entry.value(QStringLiteral("rejected")).toBool();
        landed.rejection = entry.value(QStringLiteral("rejection")).toString().toStdU16String();
        if (entry.contains(QStringLiteral("otherRow")))
            landed.otherRow = std::size_t(entry.value(QStringLiteral("otherRow")).toInt());
        report.entries.push_back(std::move(landed));
    }
    return report;
}

} // namespace

void InstallPageRecorder(QWebEngineProfile *profile)
{
    QWebEngineScriptCollection *scripts = profile->scripts();
    scripts->insert(documentScript(QStringLiteral("gradecast-recorder"),
                                   resourceText(QStringLiteral(":/page_recorder.js")),
                                   RecorderWorld));
    scripts->insert(documentScript(QStringLiteral("gradecast-requests"),
                                   resourceText(QStringLiteral(":/page_requests.js")),
                                   QWebEngineScript::MainWorld));
}

PageFocus FocusedPageElement(QWebEnginePage *page)
{
    const std::optional<QVariant> answer = ask(page, QStringLiteral("focus()"));
    const QString focus = answer ? answer->toString() : QString();
    if (focus == QLatin1String("field"))
        return PageFocus::Field;
    return focus == QLatin1String("none") ? PageFocus::NoField : PageFocus::Unknown;
}

bool RestorePageFocus(QWebEnginePage *page)
{
    // A page that does not answer, or a new document, has nothing to restore.
    const std::optional<QVariant> answer = ask(page, QStringLiteral("restoreFocus()"));
    return !answer || answer->toString() != QLatin1String("lost");
}

std::vector<std::u16string> textsOf(const QVariant &list)
{
    std::vector<std::u16string> texts;
    for (const QVariant &text : list.toList())
        texts.push_back(textOf(text));
    return texts;
}

PageColumn FocusedColumn(QWebEnginePage *page)
{
    PageColumn column;
    const std::optional<QVariant> answer = ask(page, QStringLiteral("rows()"));
    const QVariantMap found = answer ? answer->toMap() : QVariantMap();
    for (const QVariant &item : found.value(QStringLiteral("rows")).toList()) {
        const QVariantMap row = item.toMap();
        column.rows.push_back({textsOf(row.value(QStringLiteral("cells"))),
                               textsOf(row.value(QStringLiteral("pieces"))),
                               std::max(1, row.value(QStringLiteral("fields")).toInt())});
    }
    column.clicked = std::size_t(found.value(QStringLiteral("clicked"), -1).toInt());
    if (column.clicked >= column.rows.size())
        column.rows.clear();
    column.headers = textsOf(found.value(QStringLiteral("headers")));
    return column;
}

PageRecorder::PageRecorder(QWebEnginePage *page)
    : m_page(page)
{
}

PageRecorder::~PageRecorder()
{
    QObject::disconnect(m_onLoadStarted);
    QObject::disconnect(m_onLoadFinished);
    if (m_page)
        m_page->runJavaScript(QStringLiteral("gradecastRecorder.stop()"), RecorderWorld);
}

bool PageRecorder::leftDuringRun() const
{
    return m_loadStarted
        && (m_loading || m_page->url().adjusted(QUrl::RemoveFragment) != m_startUrl);
}

bool PageRecorder::start(const std::vector<PlannedEntry> &entries)
{
    QVariantList plan;
    m_keys.clear();
    m_roundKeys = 0;
    for (const PlannedEntry &entry : entries) {
        m_keys.push_back(keyPresses(entry.keys));
        m_roundKeys += m_keys.back();
        const QVariant target = entry.target ? QVariant(QVariantList{qulonglong(entry.target->row),
                                                                     entry.target->column})
                                             : QVariant();
        plan << QVariant(QVariantList{m_keys.back(), entry.separators, target});
    }
    const std::optional<QVariant> answer =
        m_page ? ask(m_page, QStringLiteral("start(%1)").arg(json(plan))) : std::nullopt;
    if (!m_page || !answer || !answer->isValid())
        return false;
    m_startUrl = m_page->url().adjusted(QUrl::RemoveFragment);
    m_onLoadStarted = QObject::connect(m_page.data(), &QWebEnginePage::loadStarted, [this] {
        m_loadStarted = true;
        m_loading = true;
    });
    m_onLoadFinished = QObject::connect(m_page.data(), &QWebEnginePage::loadFinished,
                                        [this] { m_loading = false; });
    return true;
}

bool PageRecorder::again(const std::vector<std::size_t> &entries)
{
    QVariantList order;
    m_roundKeys = 0;
    for (std::size_t i : entries) {
        order << qulonglong(i);
        m_roundKeys += i < m_keys.size() ? m_keys[i] : 0;
    }
    const std::optional<QVariant> answer =
        m_page ? ask(m_page, QStringLiteral("again(%1)").arg(json(order))) : std::nullopt;
    return m_page && answer && answer->isValid();
}

std::optional<PageReport> PageRecorder::finish()
{
    // The keys first: counted by the recorder as the page takes them.
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int keysSeen = -1;
    QElapsedTimer settling;
    bool keysDone = false;
    bool busy = false;
    while (true) {
        if (!m_page)
            return std::nullopt;
        const std::optional<QVariant> status = ask(m_page, QStringLiteral("status()"));
        if (!m_page)
            return std::nullopt;
        if (status && !status->isValid())
            return pageLeft();
        const QVariantMap counts = status ? status->toMap() : QVariantMap();
        const int keys = counts.value(QStringLiteral("keys"), keysSeen).toInt();
        const int quietMs = counts.value(QStringLiteral("quietMs"), 0).toInt();
        const bool pageFocused = counts.value(QStringLiteral("focused"), true).toBool();
        const int requests = counts.value(QStringLiteral("requests"), 0).toInt();
        if (keys != keysSeen) {
            keysSeen = keys;
            sinceProgress.restart();
        }
        if (!keysDone
            && (keysSeen >= m_roundKeys || sinceProgress.elapsed() > KeyStallMs
                || (!pageFocused && sinceProgress.elapsed() > FocusLostStallMs))) {
            keysDone = true;
            settling.start();
        }
        if (keysDone && quietMs >= QuietMs && requests == 0)
            break;
        if (keysDone && settling.elapsed() > SettleLimitMs) {
            busy = true;
            break;
        }
        if (!runEventsFor(keysDone && requests == 0 ? qBound(PollMs, QuietMs - quietMs, QuietMs)
                                                    : PollMs))
            return std::nullopt;
    }

    const std::optional<QVariant> answer = ask(m_page, QStringLiteral("report()"));
    if (!m_page || !answer)
        return std::nullopt;
    if (!answer->isValid())
        return pageLeft();
    PageReport report = pageReportOf(answer->toMap());
    for (std::size_t i = 0; i < report.entries.size() && i < m_keys.size(); ++i)
        report.entries[i].keysSent = m_keys[i];
    report.navigated = report.navigated || leftDuringRun();
    report.busy = busy;
    return report;
}

} // namespace gradecast
