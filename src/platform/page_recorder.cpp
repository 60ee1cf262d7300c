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
#include <QWebEngineScript>

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
// long (pages post each change to their server and redraw on the answer) ...
constexpr int QuietMs = 500;
// ... and is read anyway once it has been given this long after the last key.
constexpr int SettleLimitMs = 3000;
constexpr int PollMs = 20;

const QString &recorderSource()
{
    static const QString source = [] {
        QFile file(QStringLiteral(":/page_recorder.js"));
        file.open(QIODevice::ReadOnly);
        return QString::fromUtf8(file.readAll());
    }();
    return source;
}

// Calls the recorder in the page. Only the first calls of a run bring the
// recorder along: a later call that finds none has met a new document.
std::optional<QVariant> ask(QWebEnginePage *page, const QString &call, bool bringRecorder = false)
{
    const QString script = QStringLiteral("gradecastRecorder.") + call;
    return RunScriptAndWait(page, bringRecorder ? recorderSource() + u'\n' + script : script,
                            RecorderWorld, AnswerTimeoutMs);
}

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool isSeparator(const std::u16string &keys)
{
    return keys == TabKeystroke || keys == EnterKeystroke;
}

// The key presses of each stretch the page will see: characters that arrive
// as input-method text and strings no key types press no key.
QVariantList keysPerEntry(const KeystrokeScript &script, const std::vector<TypedEntry> &typed)
{
    QVariantList plan;
    std::size_t s = 0;
    for (const TypedEntry &entry : typed) {
        int keys = 0;
        int separators = 0;
        for (; s < script.size(); ++s) {
            if (isSeparator(script[s]) ? separators++ == entry.separators : separators > 0)
                break;
            const std::optional<KeyStroke> stroke = keyStrokeFor(
                QStringView(script[s].data(), static_cast<qsizetype>(script[s].size())));
            if (stroke && stroke->kind == KeyStroke::Kind::Key)
                ++keys;
        }
        plan << keys;
    }
    return plan;
}

// The recorder is gone with the document it was put into: nothing of the run
// can be compared any more.
PageReport pageLeft()
{
    PageReport left;
    left.navigated = true;
    return left;
}

PageReport pageReportOf(const QVariantMap &answer)
{
    PageReport report;
    report.navigated = answer.value(QStringLiteral("navigated")).toBool();
    for (const QVariant &item : answer.value(QStringLiteral("entries")).toList()) {
        LandedEntry landed;
        const QVariantMap entry = item.toMap();
        landed.seen = !entry.isEmpty();
        landed.field = entry.value(QStringLiteral("field"), -1).toInt();
        landed.value = entry.value(QStringLiteral("value")).toString().toStdU16String();
        landed.rejected = entry.value(QStringLiteral("rejected")).toBool();
        landed.rejection = entry.value(QStringLiteral("rejection")).toString().toStdU16String();
        report.entries.push_back(std::move(landed));
    }
    return report;
}

} // namespace

PageFocus FocusedPageElement(QWebEnginePage *page)
{
    const std::optional<QVariant> answer = ask(page, QStringLiteral("focus()"), true);
    const QString focus = answer ? answer->toString() : QString();
    if (focus == QLatin1String("field"))
        return PageFocus::Field;
    return focus == QLatin1String("none") ? PageFocus::NoField : PageFocus::Unknown;
}

bool RestorePageFocus(QWebEnginePage *page)
{
    // A page that does not answer, or a new document without the recorder,
    // has nothing to restore.
    const std::optional<QVariant> answer = ask(page, QStringLiteral("restoreFocus()"));
    return !answer || answer->toString() != QLatin1String("lost");
}

PageRecorder::PageRecorder(QWebEnginePage *page)
    : m_page(page)
{
}

PageRecorder::~PageRecorder()
{
    QObject::disconnect(m_onLoadStarted);
    QObject::disconnect(m_onLoadFinished);
}

bool PageRecorder::leftDuringRun() const
{
    return m_loadStarted
        && (m_loading || m_page->url().adjusted(QUrl::RemoveFragment) != m_startUrl);
}

bool PageRecorder::start(const KeystrokeScript &script, const std::vector<TypedEntry> &typed)
{
    const QVariantList plan = keysPerEntry(script, typed);
    m_keys = 0;
    for (const QVariant &keys : plan)
        m_keys += keys.toInt();
    const QByteArray keys =
        QJsonDocument(QJsonArray::fromVariantList(plan)).toJson(QJsonDocument::Compact);
    const std::optional<QVariant> answer =
        m_page ? ask(m_page, QStringLiteral("start(%1)").arg(QString::fromLatin1(keys)), true)
               : std::nullopt;
    if (!m_page || !answer || !answer->toBool())
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

std::optional<PageReport> PageRecorder::finish()
{
    // The keys first: counted by the recorder as the page takes them.
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    int keysSeen = -1;
    QElapsedTimer settling;
    bool keysDone = false;
    while (true) {
        if (!m_page)
            return std::nullopt;
        const std::optional<QVariant> status = ask(m_page, QStringLiteral("status()"));
        if (!m_page)
            return std::nullopt;
        if (status && !status->isValid())
            return pageLeft();
        const QVariantList counts = status ? status->toList() : QVariantList();
        const int keys = counts.value(0, keysSeen).toInt();
        const int quietMs = counts.value(1, 0).toInt();
        const bool pageFocused = counts.value(2, true).toBool();
        if (keys != keysSeen) {
            keysSeen = keys;
            sinceProgress.restart();
        }
        if (!keysDone
            && (keysSeen >= m_keys || sinceProgress.elapsed() > KeyStallMs
                || (!pageFocused && sinceProgress.elapsed() > FocusLostStallMs))) {
            keysDone = true;
            settling.start();
        }
        if (keysDone && (quietMs >= QuietMs || settling.elapsed() > SettleLimitMs))
            break;
        runEventsFor(keysDone ? qBound(PollMs, QuietMs - quietMs, QuietMs) : PollMs);
    }

    const std::optional<QVariant> answer = ask(m_page, QStringLiteral("report()"));
    if (!m_page || !answer)
        return std::nullopt;
    if (!answer->isValid())
        return pageLeft();
    PageReport report = pageReportOf(answer->toMap());
    report.navigated = report.navigated || leftDuringRun();
    return report;
}

} // namespace gradecast
