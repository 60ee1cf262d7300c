// End-to-end measurements of the program on the real browser engine, under an
// X display: how fast a fill lands in a page next to xdotool, what the program
// holds in memory across pop-up windows, and how long it takes to start.
// The fill section ends with Gradecast's column fill on a page with five Tab
// stops per student against its fill on the plain sheet.
// Each section prints its tables as Markdown on standard output:
//
//   fill_bench fill [--runs N] [--sheets plain,digits,enter,slow] [--verbose]
//   fill_bench redraw [--runs N] [--verbose]
//   fill_bench memory [--popups N] [--checkpoint N,N,...]
//   fill_bench startup --program PATH [--runs N]

#include "app/application.h"
#include "e2e_common.h"
#include "e2e_fill.h"
#include "e2e_memory.h"
#include "e2e_redraw.h"
#include "e2e_startup.h"
#include "platform/prompt.h"
#include "settings/profile_store.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

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

// The machine's load average over 1, 5 and 15 minutes.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readLine()).section(QLatin1Char(' '), 0, 2);
}

// Gradecast's fill on the five-stop sheet, where the program moves the focus
// to each row's score field, beside its fill where Tab alone follows the
// column: the same sheet with its score fields numbered down the column, and
// the plain sheet. Times count only runs that left every score in its own row
// and changed nothing else: a misplaced score is a failure, not a time.
struct ColumnComparison {
    TypistResults plain;
    TypistResults stops;
    TypistResults stopsDown;
    QString failures;
    QString loadBefore;
    QString loadAfter;
    int fills = 0;
};

std::optional<ColumnComparison> compareColumnFill(FillBench &bench, int runs, bool verbose)
{
    // One window shows one page: each round fills every one, the first by
    // turns, each after an unmeasured fill that warms up a page just loaded.
    const SheetKind *pages[] = {&sheetKinds().first(), &fiveStopSheet(), &fiveStopSheetDown()};
    ColumnComparison c;
    TypistResults *results[] = {&c.plain, &c.stops, &c.stopsDown};
    constexpr int count = int(std::size(pages));
    c.loadBefore = loadAverage();
    for (int round = 0; round < runs; ++round) {
        for (int i = 0; i < count; ++i) {
            const int p = (i + round) % count;
            const SheetKind &kind = *pages[p];
            if (!bench.open(kind)) {
                progress(QStringLiteral("could not open the %1 sheet").arg(kind.kind));
                return std::nullopt;
            }
            bench.run(Typist::Gradecast);
            const FillOutcome o = bench.run(Typist::Gradecast);
            c.fills += 2;
            if (verbose)
                reportRun(Typist::Gradecast, o);
            TypistResults &r = *results[p];
            r.wrongFields += o.wrongFields;
            if (o.wrongFields)
                c.failures += wrongRunNote(kind, Typist::Gradecast, round, o);
            if (!o.othersChanged.isEmpty()) {
                c.failures += QStringLiteral("- Gradecast, %1, run %2: changed beside the "
                                             "scores: %3.\n")
                                  .arg(kind.description)
                                  .arg(round + 1)
                                  .arg(o.othersChanged.join(QStringLiteral(", ")));
            }
            if (o.wrongFields || !o.othersChanged.isEmpty()) {
                ++r.wrongRuns;
                continue;
            }
            r.ms << o.ms;
            r.pageSpanMs << o.pageSpanMs;
        }
        progress(QStringLiteral("%1: round %2/%3")
                     .arg(fiveStopSheet().kind)
                     .arg(round + 1)
                     .arg(runs));
    }
    c.loadAfter = loadAverage();
    return c;
}

void printColumnComparison(const ColumnComparison &c, int runs)
{
    out() << "\n| Page | Gradecast, median ms | Min–max ms | In page, first key → last value, "
             "median ms | Runs with a score out of its row or another control changed |\n"
             "|---|---:|---:|---:|---:|\n";
    const auto row = [&](const SheetKind &kind, const TypistResults &r) {
        const auto [low, high] = std::minmax_element(r.ms.begin(), r.ms.end());
        out() << "| " << kind.description << " | " << formatMs(median(r.ms)) << " | "
              << (r.ms.isEmpty() ? QStringLiteral("–") : formatMs(*low) + "–" + formatMs(*high))
              << " | " << formatMs(median(r.pageSpanMs)) << " | " << r.wrongRuns << " / " << runs
              << " |\n";
    };
    row(sheetKinds().first(), c.plain);
    row(fiveStopSheet(), c.stops);
    row(fiveStopSheetDown(), c.stopsDown);

    // No ratio when a page had no run without a failure.
    const auto shown = [](double ratio) {
        return std::isnan(ratio) ? QStringLiteral("–") : QString::number(ratio, 'f', 2);
    };
    const double samePage = median(c.stops.ms) / median(c.stopsDown.ms);
    const double plain = median(c.stops.ms) / median(c.plain.ms);
    const int failed = c.plain.wrongRuns + c.stops.wrongRuns + c.stopsDown.wrongRuns;
    const bool met = samePage <= 1.5 && failed == 0;
    out() << "\n| Five stops ÷ the same page with Tab down the column | Five stops ÷ plain sheet "
             "| Column fill at most 1.5× the fill where Tab follows the column | Load average (1, "
             "5, 15 min) |\n|---:|---:|---|---|\n| "
          << shown(samePage) << " | " << shown(plain) << " | "
          << (met ? "met (" : "**missed** (") << shown(samePage) << "×, " << failed << " of "
          << 3 * runs
          << " runs failed) | before: " << c.loadBefore << "; after: " << c.loadAfter << " |\n";
    if (!c.failures.isEmpty())
        out() << "\nColumn fill runs that failed:\n\n" << c.failures;
}

// Every typist of a fill round: the three compared with each other, then the
// fill by student beside Gradecast's order fill.
constexpr Typist RoundTypists[] = {Typist::Gradecast, Typist::XdotoolNoDelay,
                                   Typist::XdotoolDefaultDelay, Typist::GradecastByStudent};

int runFill(int runs, const QStringList &only, bool verbose)
{
    int prompts = 0;
    int studentBoxes = 0;
    SetPromptHandler([&](const PromptRequest &request) {
        ++prompts;
        studentBoxes += !request.buttonTexts.empty();
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
        QList<TypistResults> perTypist(std::size(RoundTypists));
        // One unmeasured round lets the page's scripts and the engine warm up.
        for (Typist typist : RoundTypists)
            bench.run(typist);
        for (int round = 0; round < runs; ++round) {
            // A different typist goes first in each round, so none always
            // follows the slowest.
            for (qsizetype i = 0; i < perTypist.size(); ++i) {
                const qsizetype t = (i + round) % perTypist.size();
                const FillOutcome outcome = bench.run(RoundTypists[t]);
                if (verbose)
                    reportRun(RoundTypists[t], outcome);
                if (outcome.wrongFields)
                    wrongRuns += wrongRunNote(kind, RoundTypists[t], round, outcome);
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
    const std::optional<ColumnComparison> columns = compareColumnFill(bench, runs, verbose);
    if (!columns)
        return 1;
    // Per sheet and round: the question of each Gradecast fill, and the box
    // that offers the fill by student.
    const int fills = runs + 1;
    const int expectedStudentBoxes = fills * static_cast<int>(kinds.size());
    const int expectedPrompts = 3 * expectedStudentBoxes + columns->fills;

    out() << "| Page | Typist | Median ms | Min–max ms | × Gradecast | In page, first key → "
             "last value, median ms | Runs with a wrong or missing value | Wrong fields, all "
             "runs |\n|---|---|---:|---:|---:|---:|---:|---:|\n";
    for (qsizetype k = 0; k < results.size(); ++k) {
        const double ours = median(results[k][0].ms);
        for (qsizetype t = 0; t < qsizetype(std::size(AllTypists)); ++t) {
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

    out() << "\n| Page | Gradecast in order, median ms | Gradecast by student, median ms | "
             "By student, min–max ms | By student ÷ in order | By student, in page, median ms "
             "| By student: runs with a wrong or missing value | By student at most 2× the "
             "order fill |\n|---|---:|---:|---:|---:|---:|---:|---|\n";
    for (qsizetype k = 0; k < results.size(); ++k) {
        const TypistResults &order = results[k][0];
        const TypistResults &student = results[k][3];
        const double ratio = median(student.ms) / median(order.ms);
        const auto [low, high] = std::minmax_element(student.ms.begin(), student.ms.end());
        out() << "| " << kinds[k].description << " | " << formatMs(median(order.ms)) << " | "
              << formatMs(median(student.ms)) << " | " << formatMs(*low) << "–"
              << formatMs(*high) << " | " << QString::number(ratio, 'f', 2) << " | "
              << formatMs(median(student.pageSpanMs)) << " | " << student.wrongRuns << " / "
              << student.ms.size() << " | "
              << verdict(ratio <= 2, QString::number(ratio, 'f', 2) + "×") << " |\n";
    }
    printColumnComparison(*columns, runs);

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
          << " (one question per Gradecast fill, and the box offering the fill by student: "
          << expectedPrompts << "), of which offered the fill by student: " << studentBoxes
          << " (" << expectedStudentBoxes << ").\n";
    return 0;
}

struct RedrawResults {
    QList<double> lastHeldMs;
    QList<double> endAfterLastAnswerMs;
    QList<double> retypedKeys;
    QList<double> requests;
    int lostRuns = 0;
    int lostFields = 0;
    int droppedKeyRuns = 0; // fewer keys reached the page than the column has
};

int runRedraw(int runs, bool verbose)
{
    int checkBoxes = 0;
    QString boxTexts;
    SetPromptHandler([&](const PromptRequest &request) {
        // The fill's question (and a guard's) is answered Yes; any other box
        // is the check telling the teacher what it could not mend.
        if (request.buttons == QMessageBox::Ok) {
            ++checkBoxes;
            boxTexts += QStringLiteral("  - ") + request.text.section('\n', 0, 0) + '\n';
        }
        return QMessageBox::Yes;
    });

    RedrawServer server(QStringLiteral(BENCH_PAGES_DIR "/../.."), 20, 300);
    if (!server.listen()) {
        progress(QStringLiteral("could not start the redrawing sheet's server"));
        return 1;
    }
    FillBench bench(QStringLiteral(BENCH_PAGES_DIR));
    const int keys = keystrokesOf(bench.column());
    QList<QList<RedrawResults>> results; // per kind, per typist
    QString lostRuns;
    for (const RedrawKind &kind : redrawKinds()) {
        const QUrl url = server.url(QStringLiteral("bench/pages/redraw-sheet.html?kind=")
                                    + kind.kind);
        if (!bench.open(url, false)) {
            progress(QStringLiteral("could not open the %1 redrawing sheet").arg(kind.kind));
            return 1;
        }
        QList<RedrawResults> perTypist(std::size(AllTypists));
        for (Typist typist : AllTypists)
            typeIntoRedrawSheet(bench, typist);
        for (int round = 0; round < runs; ++round) {
            for (qsizetype i = 0; i < perTypist.size(); ++i) {
                const qsizetype t = (i + round) % perTypist.size();
                const Typist typist = AllTypists[t];
                const RedrawOutcome o = typeIntoRedrawSheet(bench, typist);
                RedrawResults &r = perTypist[t];
                r.lastHeldMs << o.lastHeldMs;
                r.requests << o.requests;
                r.lostFields += o.lostFields;
                r.lostRuns += o.lostFields > 0;
                r.droppedKeyRuns += o.keydowns < keys;
                if (typist == Typist::Gradecast) {
                    r.endAfterLastAnswerMs << o.endAfterLastAnswerMs;
                    r.retypedKeys << o.keydowns - keys;
                }
                if (verbose || o.lostFields) {
                    const QString line =
                        QStringLiteral("%1, %2, run %3: %4 keys, %5 requests, last value held "
                                       "at %6 ms, %7 fields lost")
                            .arg(typistName(typist), kind.description)
                            .arg(round + 1)
                            .arg(o.keydowns)
                            .arg(o.requests)
                            .arg(formatMs(o.lastHeldMs))
                            .arg(o.lostFields);
                    progress(line + QStringLiteral(": ") + o.values.join('|'));
                    if (o.lostFields)
                        lostRuns += QStringLiteral("- ") + line + QStringLiteral(".\n");
                }
            }
            progress(QStringLiteral("redraw %1: round %2/%3")
                         .arg(kind.kind)
                         .arg(round + 1)
                         .arg(runs));
        }
        results << perTypist;
    }

    out() << "| Page | Typist | Runs with a lost entry at the end | Fields lost, all runs | "
             "Runs where a key never reached the page | Last value held, median ms | Min–max "
             "ms | Requests to the server, median |\n|---|---|---:|---:|---:|---:|---:|---:|\n";
    for (qsizetype k = 0; k < results.size(); ++k) {
        for (qsizetype t = 0; t < results[k].size(); ++t) {
            const RedrawResults &r = results[k][t];
            const auto [low, high] = std::minmax_element(r.lastHeldMs.begin(), r.lastHeldMs.end());
            out() << "| " << redrawKinds()[k].description << " | " << typistName(AllTypists[t])
                  << " | " << r.lostRuns << " / " << r.lastHeldMs.size() << " | " << r.lostFields
                  << " | " << r.droppedKeyRuns << " | " << formatMs(median(r.lastHeldMs)) << " | "
                  << formatMs(*low) << "–" << formatMs(*high) << " | " << median(r.requests)
                  << " |\n";
        }
    }
    out() << "\n| Page | Gradecast: keys typed again, median (max) | Gradecast: run ended after "
             "the page's last answer, median ms | Max ms |\n|---|---:|---:|---:|\n";
    for (qsizetype k = 0; k < results.size(); ++k) {
        const RedrawResults &r = results[k][0];
        out() << "| " << redrawKinds()[k].description << " | " << median(r.retypedKeys) << " ("
              << *std::max_element(r.retypedKeys.begin(), r.retypedKeys.end()) << ") | "
              << formatMs(median(r.endAfterLastAnswerMs)) << " | "
              << formatMs(*std::max_element(r.endAfterLastAnswerMs.begin(),
                                            r.endAfterLastAnswerMs.end()))
              << " |\n";
    }
    out() << "\nBoxes the check showed after a Gradecast run: " << checkBoxes
          << (checkBoxes ? QStringLiteral(", first lines:\n\n") + boxTexts : QStringLiteral(".\n"));
    if (!lostRuns.isEmpty())
        out() << "\nRuns that ended with a lost entry:\n\n" << lostRuns;
    return 0;
}

int runMemory(int popups, const QList<int> &checkpoints)
{
    const PopupCycle cycle = runPopupCycle(popups, checkpoints);
    if (cycle.completed != popups) {
        progress(QStringLiteral("only %1 of %2 pop-ups completed")
                     .arg(cycle.completed)
                     .arg(popups));
        return 1;
    }
    const QList<PopupStage> &stages = cycle.stages;
    const auto mib = [](double value) { return QString::number(value, 'f', 1); };
    const auto row = [&](const QString &state, const MemorySample &s, const QString &settled) {
        out() << "| " << state << " | " << mib(s.allocatedMiB) << " | " << mib(s.rootAllocatedMiB)
              << " | " << mib(s.allocatedMiB - s.rootAllocatedMiB) << " | " << mib(s.pssMiB)
              << " | " << mib(s.rssMiB) << " | " << s.processes << " | " << settled << " |\n";
    };
    const auto seconds = [](double ms) { return QString::number(ms / 1000, 'f', 0) + " s"; };
    const auto helpers = [](const MemorySample &s) { return s.allocatedMiB - s.rootAllocatedMiB; };
    const auto change = [&](const PopupStage &from, const PopupStage &to) {
        const MemorySample &a = from.memory;
        const MemorySample &b = to.memory;
        out() << "| Change, " << (from.popups ? QString::number(from.popups) : "start") << " → "
              << to.popups << " pop-ups | " << percent(b.allocatedMiB / a.allocatedMiB - 1)
              << " | " << percent(b.rootAllocatedMiB / a.rootAllocatedMiB - 1) << " | "
              << percent(helpers(b) / helpers(a) - 1) << " | "
              << percent(b.pssMiB / a.pssMiB - 1) << " | "
              << percent(b.rssMiB / a.rssMiB - 1) << " | | |\n";
    };
    out() << "| State | Allocated, all processes, MiB | Main process | Engine helpers | PSS "
             "with code, MiB | RSS summed, MiB | Processes | Settled after |\n"
             "|---|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const PopupStage &stage : stages) {
        row(stage.popups ? QStringLiteral("After %1 pop-up windows opened and closed")
                               .arg(stage.popups)
                         : QStringLiteral("One window on the practice page"),
            stage.memory, seconds(stage.settleMs));
    }
    row(QStringLiteral("The same, main process heap trimmed (diagnosis only)"), cycle.afterTrim,
        QString());
    for (qsizetype i = 1; i < stages.size(); ++i)
        change(stages[i - 1], stages[i]);

    // The first pop-ups fill the engine's caches; the goal on a whole day is
    // that later ones add nothing.
    const PopupStage &start = stages.first();
    const PopupStage &early = stages[1];
    const PopupStage &end = stages.last();
    const double pssChange = early.memory.pssMiB / start.memory.pssMiB - 1;
    const double allocatedChange = early.memory.allocatedMiB / start.memory.allocatedMiB - 1;
    out() << "\nGoal, back within 10 % of the start after " << early.popups
          << " pop-ups (PSS, all processes): "
          << (std::abs(pssChange) <= 0.10 ? "met" : "**missed**") << " ("
          << percent(pssChange) << "); in allocated memory alone: "
          << (std::abs(allocatedChange) <= 0.10 ? "met" : "**missed**") << " ("
          << percent(allocatedChange) << ", "
          << mib(early.memory.allocatedMiB - start.memory.allocatedMiB) << " MiB).";
    const auto perPopup = [&](const PopupStage &from, const PopupStage &to) {
        return QString::number((to.memory.allocatedMiB - from.memory.allocatedMiB) * 1024
                                   / (to.popups - from.popups),
                               'f', 0)
               + QStringLiteral(" KiB a pop-up");
    };
    if (&early != &end) {
        const double later = end.memory.allocatedMiB / early.memory.allocatedMiB - 1;
        out() << " Goal, allocated memory after " << end.popups << " pop-ups within 5 % of after "
              << early.popups << ": " << (std::abs(later) <= 0.05 ? "met" : "**missed**")
              << " (" << percent(later) << ", "
              << mib(end.memory.allocatedMiB - early.memory.allocatedMiB) << " MiB, "
              << perPopup(early, end) << ").";
    }
    // Whether what later pop-ups leave behind settles: each stretch on its own.
    if (stages.size() > 3) {
        QStringList stretches;
        for (qsizetype i = 2; i < stages.size(); ++i) {
            stretches << QStringLiteral("%1 → %2: %3")
                             .arg(stages[i - 1].popups)
                             .arg(stages[i].popups)
                             .arg(perPopup(stages[i - 1], stages[i]));
        }
        out() << " Allocated memory kept, by stretch: " << stretches.join(QStringLiteral("; "))
              << ".";
    }
    out() << " Pop-up window, window.open() → its page loaded: median "
          << formatMs(median(cycle.openMs)) << " ms over " << cycle.openMs.size()
          << " pop-ups.\n";

    // Where memory went, for a diagnosis: each kind of process, and what of
    // the program's own is still alive.
    const auto series = [&](const auto &value) {
        QStringList values;
        for (const PopupStage &stage : stages)
            values << value(stage);
        return values.join(QStringLiteral(" → "));
    };
    out() << "\nWhere it is, at "
          << series([](const PopupStage &s) {
                 return s.popups ? QString::number(s.popups) : QStringLiteral("start");
             })
          << " pop-ups. Allocated MiB by process kind:";
    QStringList kinds = end.memory.allocatedByKind.keys();
    for (const QString &kind : start.memory.allocatedByKind.keys()) {
        if (!kinds.contains(kind))
            kinds << kind;
    }
    for (const QString &kind : kinds) {
        out() << " " << kind << " "
              << series([&](const PopupStage &s) {
                     return mib(s.memory.allocatedByKind.value(kind));
                 })
              << ";";
    }
    const auto count = [&](int LiveObjects::*field) {
        return series([&](const PopupStage &s) { return QString::number(s.live.*field); });
    };
    out() << " alive in the program: windows " << count(&LiveObjects::windows)
          << ", browser views " << count(&LiveObjects::views) << ", widgets "
          << count(&LiveObjects::widgets) << ", web pages " << count(&LiveObjects::pages)
          << "; the shared renderer's script heap, used "
          << series([&](const PopupStage &s) { return mib(s.live.jsHeapUsedMiB); })
          << " MiB of "
          << series([&](const PopupStage &s) { return mib(s.live.jsHeapTotalMiB); })
          << " MiB taken.\n";
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
    // The memory section asks the engine for a full garbage collection of the
    // pages' scripts at the end, to tell garbage from memory still held, and
    // reads the script heap's size, which the engine otherwise rounds and
    // reports again only every twenty minutes.
    if (argc > 1 && qstrcmp(argv[1], "memory") == 0) {
        const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                flags + " --js-flags=--expose-gc --enable-precise-memory-info");
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    Application application(argc, argv);

    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("section"),
                                 QStringLiteral("fill, redraw, memory or startup"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Runs."),
                                        QStringLiteral("N"));
    const QCommandLineOption popupsOption(QStringLiteral("popups"), QStringLiteral("Pop-ups."),
                                          QStringLiteral("N"), QStringLiteral("20"));
    const QCommandLineOption checkpointOption(
        QStringLiteral("checkpoint"),
        QStringLiteral("Also measure after these many pop-ups (N,N,...)."), QStringLiteral("N"));
    const QCommandLineOption programOption(QStringLiteral("program"),
                                           QStringLiteral("The gradecast binary."),
                                           QStringLiteral("PATH"));
    const QCommandLineOption sheetsOption(QStringLiteral("sheets"),
                                          QStringLiteral("Only these sheets (plain,digits,...)."),
                                          QStringLiteral("LIST"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Report every run."));
    parser.addOptions({runsOption, popupsOption, checkpointOption, programOption, sheetsOption,
                       verboseOption});
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
    if (section == QLatin1String("memory")) {
        QList<int> checkpoints;
        for (const QString &count : parser.value(checkpointOption).split(',', Qt::SkipEmptyParts))
            checkpoints << count.toInt();
        return runMemory(parser.value(popupsOption).toInt(), checkpoints);
    }
    if (section == QLatin1String("redraw"))
        return runRedraw(runs(10), parser.isSet(verboseOption));
    if (section == QLatin1String("startup") && parser.isSet(programOption))
        return runStartup(parser.value(programOption), runs(10));
    parser.showHelp(2);
}
