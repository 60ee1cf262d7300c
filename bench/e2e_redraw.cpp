#include "e2e_redraw.h"

#include "app/form1.h"
#include "e2e_common.h"
#include "e2e_wait.h"
#include "platform/web_browser.h"
#include "support/local_server.h"
#include "support/page_helpers.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

namespace gradecast::bench {

namespace {

// Settled page: no request in flight and nothing changed for this long, once
// the typist is done. Longer than the server's slowest answer.
constexpr int QuietMs = 1500;
constexpr int RunTimeoutMs = 60000;
constexpr int PollMs = 100;

HttpReply notFound()
{
    return {"404 Not Found", "Content-Type: text/plain\r\n", "not found"};
}

} // namespace

RedrawServer::RedrawServer(QString sourceRoot, int minDelayMs, int maxDelayMs)
    : m_root(std::move(sourceRoot))
    , m_minDelayMs(minDelayMs)
    , m_maxDelayMs(maxDelayMs)
{
}

RedrawServer::~RedrawServer()
{
    quit();
    wait();
}

bool RedrawServer::listen()
{
    start();
    const QDeadlineTimer deadline(10000);
    while (m_port < 0 && !deadline.hasExpired())
        QThread::msleep(1);
    return m_port > 0;
}

QUrl RedrawServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port.load()) + path);
}

void RedrawServer::run()
{
    // Called on this thread: reads only what does not change after start.
    LocalServer server([this](const QByteArray &head) {
        const QList<QByteArray> request = head.left(head.indexOf("\r\n")).split(' ');
        if (request.size() < 2)
            return notFound();
        const QByteArray target = request[1];
        if (target.startsWith("/save?")) {
            HttpReply reply{"200 OK",
                            "Content-Type: text/plain; charset=utf-8\r\n"
                            "Cache-Control: no-store\r\n",
                            target.mid(6)};
            reply.delayMs = static_cast<int>(
                QRandomGenerator::global()->bounded(m_minDelayMs, m_maxDelayMs + 1));
            return reply;
        }
        // The pages and the scripts and styles they include, nothing else.
        const QString path = QString::fromUtf8(target.split('?').constFirst());
        if (path.contains(QLatin1String(".."))
            || !(path.startsWith(QLatin1String("/bench/pages/"))
                 || path.startsWith(QLatin1String("/tests/pages/"))))
            return notFound();
        QFile file(m_root + path);
        if (!file.open(QIODevice::ReadOnly))
            return notFound();
        const QByteArray type = path.endsWith(QLatin1String(".js"))
            ? "text/javascript; charset=utf-8"
            : path.endsWith(QLatin1String(".css")) ? "text/css; charset=utf-8"
                                                   : "text/html; charset=utf-8";
        return HttpReply{"200 OK", "Content-Type: " + type + "\r\n", file.readAll()};
    });
    m_port = server.isListening() ? server.serverPort() : 0;
    exec();
}

const QList<RedrawKind> &redrawKinds()
{
    static const QList<RedrawKind> kinds = {
        {QStringLiteral("last"), QStringLiteral("Last request wins (a change aborts the one in "
                                                "flight)")},
        {QStringLiteral("all"), QStringLiteral("Every answer applied, out of order")},
    };
    return kinds;
}

RedrawOutcome typeIntoRedrawSheet(FillBench &bench, Typist typist)
{
    QWebEngineView *view = bench.window()->WB1;
    bench.prepare(typist);
    // Into seat 1 as a teacher clicks, past the header's links and menus; a
    // sheet that cannot be reset or clicked is a run that lost every field.
    if (!evaluate(view, QStringLiteral("bench.reset(), true")).toBool()
        || !clickScoreField(view, 1)) {
        RedrawOutcome failed;
        failed.lostFields = int(bench.column().expected.size());
        return failed;
    }

    QProcess xdotool;
    bool typistDone = false;
    QObject::connect(&xdotool, &QProcess::finished, [&] { typistDone = true; });
    const double start = bench.start(typist, xdotool);
    const double returnedAt = epochMs();
    typistDone = typistDone || xdotool.state() == QProcess::NotRunning;

    QVariantMap state;
    QString lastSeen;
    double lastChange = epochMs();
    while (epochMs() - start < RunTimeoutMs) {
        spinFor(PollMs);
        state = evaluate(view, QStringLiteral("bench.state()")).toMap();
        const QString seen = QStringLiteral("%1 %2 %3")
                                 .arg(state.value(QStringLiteral("lastChangeAt")).toDouble(), 0,
                                      'f', 3)
                                 .arg(state.value(QStringLiteral("sent")).toInt())
                                 .arg(state.value(QStringLiteral("answers")).toInt());
        if (seen != lastSeen) {
            lastSeen = seen;
            lastChange = epochMs();
        }
        if (typistDone && state.value(QStringLiteral("pending")).toInt() == 0
            && epochMs() - lastChange > QuietMs)
            break;
    }
    letXdotoolFinish(xdotool);

    RedrawOutcome outcome;
    outcome.lastHeldMs = state.value(QStringLiteral("lastChangeAt")).toDouble() - start;
    outcome.keydowns = state.value(QStringLiteral("keydowns")).toInt();
    outcome.requests = state.value(QStringLiteral("sent")).toInt();
    const double lastAnswerAt = state.value(QStringLiteral("lastAnswerAt")).toDouble();
    if (typist == Typist::Gradecast && lastAnswerAt > 0)
        outcome.endAfterLastAnswerMs = returnedAt - lastAnswerAt;
    outcome.values = evaluate(view, QStringLiteral("bench.values()")).toStringList();
    const QStringList &expected = bench.column().expected;
    for (qsizetype i = 0; i < expected.size(); ++i)
        outcome.lostFields += outcome.values.value(i) != expected[i];
    return outcome;
}

} // namespace gradecast::bench
