#pragma once

#include <QList>
#include <QMap>
#include <QString>


#include <sys/types.h>

namespace gradecast::bench {

// Memory of a process and all its descendants (for the program: the main
// process and the browser engine's helper processes), from
// /proc/<pid>/smaps_rollup. PSS shares each page out among the processes that
// map it. Its anonymous and shared-memory part (heaps, the engine's buffers)
// is what the program allocated: only the program's own processes share
// those pages, so the figure does not move when other programs on the
// machine map the same libraries, which the file part (code) does.
struct MemorySample {
    double allocatedMiB = 0;     // Pss_Anon + Pss_Shmem
    double rootAllocatedMiB = 0; // the same for the process itself, without descendants
    double pssMiB = 0;
    double rssMiB = 0;
    int processes = 0;
    // Allocated memory by the kind of process: "main", or the engine
    // helper's --type (renderer, zygote, utility, ...).
    QMap<QString, double> allocatedByKind;
};

// What is alive in the harness's process when a sample is taken: tells memory
// the program still holds from memory the engine keeps.
struct LiveObjects {
    int windows = 0;     // Gradecast windows open
    int views = 0;       // browser views not yet deleted
    int widgets = 0;     // all widgets not yet deleted
    int pages = 0;       // web pages reachable from the application's objects
    // The script heap of the renderer the opening page shares with its
    // pop-ups, as the engine reports it: what its objects use, and what it
    // has taken from the system, used or kept for later.
    double jsHeapUsedMiB = 0;
    double jsHeapTotalMiB = 0;
};

MemorySample sampleProcessTree(pid_t root);

// root and every process below it that is alive now.
QList<pid_t> processTree(pid_t root);

// Samples once a second until ten samples in a row lie within 1 % of each
// other (at most timeoutMs); settledAfterMs says how long that took. The
// engine gives memory back in steps some seconds apart, so a shorter window
// would stop on a plateau before one.
MemorySample settledProcessTree(pid_t root, int timeoutMs = 90000,
                                double *settledAfterMs = nullptr);

// Memory taken, settled, after a number of pop-ups.
struct PopupStage {
    int popups = 0;
    MemorySample memory;
    LiveObjects live;
    double settleMs = 0;
};

struct PopupCycle {
    // At the start, at each checkpoint the cycle went past, and at the end.
    QList<PopupStage> stages;
    // The last stage after glibc has handed free heap back to the system
    // (malloc_trim): tells memory still in use from freed memory kept.
    MemorySample afterTrim;
    // window.open() to the pop-up's page loaded, each pop-up.
    QList<double> openMs;
    int completed = 0;
};

// One window on the practice page; then, one after another, popups windows
// opened by that page's window.open() and closed, alternately by the pop-up's
// own window.close() and by closing the window as a user would. Memory is
// also taken, settled, after each of checkpoints pop-ups.
PopupCycle runPopupCycle(int popups, const QList<int> &checkpoints = {});

} // namespace gradecast::bench
