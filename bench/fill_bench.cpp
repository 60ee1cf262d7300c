// End-to-end measurements of the program on the real browser engine, under an
// X display: how fast a fill lands in a page next to xdotool, what the program
// holds in memory across pop-up windows, and how long it takes to start.
// Each section prints its tables as Markdown on standard output:
//
//   fill_bench fill [--runs N] [--sheets plain,digits,enter,slow] [--verbose]
//   fill_bench memory [--popups N]
//   fill_bench startup --program PATH [--runs N]

#include "app/application.h"
#include "e2e_common.h"
#include "e2e_fill.h"
#include "e2e_memory.h"
#include "e2e_startup.h"
#include "platform/prompt.h"
#include "settings/profile_store.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace gradecast;
using namespace gradecast::bench;

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

void progress(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
}

QString percent(double ratio)
{
    return QStringLiteral("%1%2 %").arg(ratio >= 0 ? "+" : "").arg(ratio * 100, 0, 'f', 1);
}

struct TypistResults {
    QList<double> ms;
    QList<double> pageSpanMs;
    int wrongRuns = 0;
    int wrongFields = 0;
};

void reportRun(Typist typist, const FillOutcome &o)
{
    progress(QStringLiteral("  %1: %2 ms (in page %3 ms), %4 keydowns, %5 input events, %6 "
                            "wrong fields%7")
                 .arg(typistName(typist), formatMs(o.ms), formatMs(o.pageSpanMs))
                 .arg(o.keydowns)
                 .arg(o.inputEvents)
                 .arg(o.wrongFields)
                 .arg(o.wrongFields ? QStringLiteral(": ") + o.values.join(QLatin1Char('|'))
                                    : QString()));
}

// One line on a run that left a wrong or missing value: how many keys the
// page saw and the first field that is off.
QString wrongRunNote(const SheetKind &kind, Typist typist, int round, const FillOutcome &o)
{
    const ScoreColumn column = benchColumn();
    qsizetype first = 0;
    while (first < column.expected.size() && o.values.value(first) == column.expected[first])
        ++first;
    return QStringLiteral("- %1, %2, run %3: %4 of %5 keys reached the page; field %6 holds "
                          "\"%7\" instead of \"%8\" (%9 fields wrong).\n")
        .arg(typistName(typist), kind.description)
        .arg(round + 1)
        .arg(o.keydowns)
        .arg(keystrokesOf(column))
        .arg(first + 1)
        .arg(o.values.value(first), column.expected.value(first))
        .arg(o.wrongFields);
}

int runFill(int runs, const QStringList &only, bool verbose)
{
    int prompts = 0;
    SetPromptHandler([&](const PromptRequest &) {
        ++prompts;
        return QMessageBox::Yes;
    });

    FillBench bench(QStringLiteral(BENCH_PAGES_DIR));
    QList<double> clockOffsets;
    QList<double> roundTrips;
    int outsideRoundTrip = 0;
    QString wrongRuns;
    QList<QList<TypistResults>> results; // per sheet kind, per typist
    QList<SheetKind> kinds;
    for (const SheetKind &kind : sheetKinds()) {
        if (only.isEmpty() || only.contains(kind.kind))
            kinds << kind;
    }
    for (const SheetKind &kind : kinds) {
        if (!bench.open(kind)) {
            progress(QStringLiteral("could not open the %1 sheet").arg(kind.kind));
            return 1;
        }
        QList<TypistResults> perTypist(std::size(AllTypists));
        // One unmeasured round lets the page's scripts and the engine warm up.
        for (Typist typist : AllTypists)
            bench.run(typist);
        for (int round = 0; round < runs; ++round) {
            // A different typist goes first in each round, so none always
            // follows the slowest.
            for (qsizetype i = 0; i < perTypist.size(); ++i) {
                const qsizetype t = (i + round) % perTypist.size();
                const FillOutcome outcome = bench.run(AllTypists[t]);
                if (verbose)
                    reportRun(AllTypists[t], outcome);
                if (outcome.wrongFields)
                    wrongRuns += wrongRunNote(kind, AllTypists[t], round, outcome);
                TypistResults &r = perTypist[t];
                r.ms << outcome.ms;
                r.pageSpanMs << outcome.pageSpanMs;
                r.wrongFields += outcome.wrongFields;
                r.wrongRuns += outcome.wrongFields > 0;
                const FillBench::ClockProbe probe = bench.probeClock();
                clockOffsets << probe.offsetMs;
                roundTrips << probe.roundTripMs;
                outsideRoundTrip += std::abs(probe.offsetMs) > probe.roundTripMs / 2;
            }
            progress(QStringLiteral("%1: round %2/%3").arg(kind.kind).arg(round + 1).arg(runs));
        }
        results << perTypist;
    }
    const int fills = runs + 1;
    const int expectedPrompts = fills * static_cast<int>(kinds.size());

    out() << "| Page | Typist | Median ms | Min–max ms | × Gradecast | In page, first key → "
             "last value, median ms | Runs with a wrong or missing value | Wrong fields, all "
             "runs |\n|---|---|---:|---:|---:|---:|---:|---:|\n";
    for (qsizetype k = 0; k < results.size(); ++k) {
        const double ours = median(results[k][0].ms);
        for (qsizetype t = 0; t < results[k].size(); ++t) {
            const TypistResults &r = results[k][t];
            const auto [low, high] = std::minmax_element(r.ms.begin(), r.ms.end());
            out() << "| " << kinds[k].description << " | " << typistName(AllTypists[t])
                  << " | " << formatMs(median(r.ms)) << " | " << formatMs(*low) << "–"
                  << formatMs(*high) << " | " << QString::number(median(r.ms) / ours, 'f', 1)
                  << " | " << formatMs(median(r.pageSpanMs)) << " | " << r.wrongRuns << " / "
                  << r.ms.size() << " | " << r.wrongFields << " |\n";
        }
    }

    out() << "\n| Page | Gradecast ≥ 10× faster than xdotool at its default delay | Gradecast "
             "no slower than xdotool --delay 0 | Gradecast: no wrong value in any run |\n"
             "|---|---|---|---|\n";
    const auto verdict = [](bool met, const QString &detail) {
        return (met ? QStringLiteral("met (") : QStringLiteral("**missed** (")) + detail + ")";
    };
    for (qsizetype k = 0; k < results.size(); ++k) {
        const double ours = median(results[k][0].ms);
        const double fast = median(results[k][1].ms);
        const double slow = median(results[k][2].ms);
        out() << "| " << kinds[k].description << " | "
              << verdict(slow >= 10 * ours, QString::number(slow / ours, 'f', 1) + "×") << " | "
              << verdict(ours <= fast, QString::number(fast / ours, 'f', 2) + "×") << " | "
              << verdict(results[k][0].wrongRuns == 0,
                         QStringLiteral("%1 of %2 runs").arg(results[k][0].wrongRuns).arg(runs))
              << " |\n";
    }

    // Pace on the first sheet measured (the plain one unless --sheets says
    // otherwise): the engine's, since Gradecast's keys arrive all at once, and
    // xdotool's at its default delay.
    const int keys = keystrokesOf(benchColumn());
    out() << "\nPace on the first sheet, in page, per key (" << keys << " keys a run): Gradecast "
          << QString::number(median(results[0][0].pageSpanMs) / keys, 'f', 2)
          << " ms, xdotool --delay 0 "
          << QString::number(median(results[0][1].pageSpanMs) / keys, 'f', 2)
          << " ms, xdotool at its default delay "
          << QString::number(median(results[0][2].pageSpanMs) / keys, 'f', 2) << " ms.\n";
    if (!wrongRuns.isEmpty())
        out() << "\nRuns with a wrong or missing value:\n\n" << wrongRuns;
    out() << "\nClock check, after each run: the page's clock read from the harness lay "
          << QString::number(median(clockOffsets), 'f', 2)
          << " ms from the middle of the round trip (median; round trip median "
          << QString::number(median(roundTrips), 'f', 2) << " ms); outside the round trip in "
          << outsideRoundTrip << " of " << clockOffsets.size()
          << " probes. Message boxes answered: " << prompts
          << " (one question per Gradecast fill: " << expectedPrompts << ").\n";
    return 0;
}

int runMemory(int popups)
{
    const PopupCycle cycle = runPopupCycle(popups);
    if (cycle.completed != popups) {
        progress(QStringLiteral("only %1 of %2 pop-ups completed")
                     .arg(cycle.completed)
                     .arg(popups));
        return 1;
    }
    const auto mib = [](double value) { return QString::number(value, 'f', 1); };
    const auto row = [&](const QString &state, const MemorySample &s, const QString &settled) {
        out() << "| " << state << " | " << mib(s.allocatedMiB) << " | " << mib(s.rootAllocatedMiB)
              << " | " << mib(s.allocatedMiB - s.rootAllocatedMiB) << " | " << mib(s.pssMiB)
              << " | " << mib(s.rssMiB) << " | " << s.processes << " | " << settled << " |\n";
    };
    const auto seconds = [](double ms) { return QString::number(ms / 1000, 'f', 0) + " s"; };
    const auto helpers = [](const MemorySample &s) { return s.allocatedMiB - s.rootAllocatedMiB; };
    out() << "| State | Allocated, all processes, MiB | Main process | Engine helpers | PSS "
             "with code, MiB | RSS summed, MiB | Processes | Settled after |\n"
             "|---|---:|---:|---:|---:|---:|---:|---:|\n";
    row(QStringLiteral("One window on the practice page"), cycle.before,
        seconds(cycle.settleBeforeMs));
    row(QStringLiteral("After %1 pop-up windows opened and closed").arg(popups), cycle.after,
        seconds(cycle.settleAfterMs));
    row(QStringLiteral("The same, main process heap trimmed (diagnosis only)"), cycle.afterTrim,
        QString());
    const double change = cycle.after.allocatedMiB / cycle.before.allocatedMiB - 1;
    const double pssChange = cycle.after.pssMiB / cycle.before.pssMiB - 1;
    out() << "| Change, settled | " << percent(change) << " | "
          << percent(cycle.after.rootAllocatedMiB / cycle.before.rootAllocatedMiB - 1) << " | "
          << percent(helpers(cycle.after) / helpers(cycle.before) - 1) << " | "
          << percent(pssChange) << " | "
          << percent(cycle.after.rssMiB / cycle.before.rssMiB - 1) << " | | |\n\n"
          << "Goal, back within 10 % of the start (PSS, all processes): "
          << (std::abs(pssChange) <= 0.10 ? "met" : "**missed**") << " ("
          << percent(pssChange) << "); in allocated memory alone: "
          << (std::abs(change) <= 0.10 ? "met" : "**missed**") << " (" << percent(change)
          << ", " << mib(cycle.after.allocatedMiB - cycle.before.allocatedMiB) << " MiB"
          << "). Pop-up window, window.open() → its page loaded: median "
          << formatMs(median(cycle.openMs)) << " ms over " << cycle.openMs.size()
          << " pop-ups.\n";
    return 0;
}

int runStartup(const QString &program, int runs)
{
    // A copy in an empty folder starts as on a new machine: no settings file,
    // so it opens its practice page.
    QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("gradecast"));
    if (!QFile::copy(program, copy)) {
        progress(QStringLiteral("cannot copy %1").arg(program));
        return 1;
    }
    QList<double> windowMs;
    QList<double> pageMs;
    MemorySample memory;
    for (int i = 0; i < runs; ++i) {
        const std::optional<LaunchTimes> times =
            launchAndWatch(copy, i == runs - 1 ? &memory : nullptr);
        if (!times) {
            progress(QStringLiteral("launch %1 did not show the practice page").arg(i + 1));
            return 1;
        }
        windowMs << times->windowMs;
        pageMs << times->pageMs;
        progress(QStringLiteral("startup: launch %1/%2").arg(i + 1).arg(runs));
    }

    const double firstWindowMs = newWindowToHomeLoadedMs();
    QList<double> laterWindowMs;
    for (int i = 0; i < runs; ++i)
        laterWindowMs << newWindowToHomeLoadedMs();

    const auto row = [](const QString &what, const QList<double> &ms) {
        const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
        out() << "| " << what << " | " << formatMs(median(ms)) << " | " << formatMs(*low) << "–"
              << formatMs(*high) << " | " << ms.size() << " |\n";
    };
    out() << "| Measure | Median ms | Min–max ms | Runs |\n|---|---:|---:|---:|\n";
    row(QStringLiteral("`gradecast` launched → window painted"), windowMs);
    row(QStringLiteral("`gradecast` launched → practice page painted"), pageMs);
    row(QStringLiteral("In process, first window (starts the engine) → practice page loaded"),
        {firstWindowMs});
    row(QStringLiteral("In process, a further window → practice page loaded"), laterWindowMs);
    out() << "\nMemory of the launched `gradecast`, one window on the practice page, settled: "
          << QString::number(memory.allocatedMiB, 'f', 1) << " MiB allocated ("
          << QString::number(memory.pssMiB, 'f', 1) << " MiB PSS with code, "
          << QString::number(memory.rssMiB, 'f', 1) << " MiB RSS summed) over "
          << memory.processes << " processes.\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    Application application(argc, argv);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("section"),
                                 QStringLiteral("fill, memory or startup"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs."),
                                        QStringLiteral("N"));
    const QCommandLineOption popupsOption(QStringLiteral("popups"), QStringLiteral("Pop-ups."),
                                          QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption programOption(QStringLiteral("program"),
                                           QStringLiteral("The gradecast binary."),
                                           QStringLiteral("PATH"));
    const QCommandLineOption sheetsOption(QStringLiteral("sheets"),
                                          QStringLiteral("Only these sheets (plain,digits,...)."),
                                          QStringLiteral("LIST"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Report every run."));
    parser.addOptions({runsOption, popupsOption, programOption, sheetsOption, verboseOption});
    parser.addHelpOption();
    parser.process(application);

    const QString section = parser.positionalArguments().value(0);
    // Settings of the bench's own windows go to a folder of their own.
    QTemporaryDir settings;
    OverrideSettingsFolder(settings.path().toStdString());

    const auto runs = [&](int fallback) {
        const int given = parser.value(runsOption).toInt();
        return given > 0 ? given : fallback;
    };
    if (section == QLatin1String("fill"))
        return runFill(runs(20), parser.value(sheetsOption).split(',', Qt::SkipEmptyParts),
                       parser.isSet(verboseOption));
    if (section == QLatin1String("memory"))
        return runMemory(parser.value(popupsOption).toInt());
    if (section == QLatin1String("startup") && parser.isSet(programOption))
        return runStartup(parser.value(programOption), runs(10));
    parser.showHelp(2);
}
