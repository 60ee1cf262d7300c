#include "e2e_memory.h"

#include "app/form1.h"
#include "app/windows.h"
#include "e2e_common.h"
#include "platform/web_browser.h"
#include "e2e_wait.h"
#include "support/page_helpers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QPointer>

#include <malloc.h>
#include <unistd.h>

namespace gradecast::bench {

namespace {

QHash<pid_t, QList<pid_t>> childrenByParent()
{
    QHash<pid_t, QList<pid_t>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool numeric = false;
        const pid_t pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children[fields[1].toInt()].append(pid);
    }
    return children;
}

// Adds one process's figures (a process that has just gone adds nothing).
void addRollup(pid_t pid, MemorySample &sample)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        const double mib = parts[1].toDouble() / 1024;
        if (parts[0] == "Pss:")
            sample.pssMiB += mib;
        else if (parts[0] == "Rss:")
            sample.rssMiB += mib;
        else if (parts[0] == "Pss_Anon:" || parts[0] == "Pss_Shmem:")
            sample.allocatedMiB += mib;
    }
    ++sample.processes;
}

} // namespace

QList<pid_t> processTree(pid_t root)
{
    const QHash<pid_t, QList<pid_t>> children = childrenByParent();
    QList<pid_t> tree;
    QList<pid_t> pending = {root};
    while (!pending.isEmpty()) {
        const pid_t pid = pending.takeLast();
        if (QFile::exists(QStringLiteral("/proc/%1").arg(pid))) {
            tree << pid;
            pending << children.value(pid);
        }
    }
    return tree;
}

MemorySample sampleProcessTree(pid_t root)
{
    MemorySample sample;
    for (pid_t pid : processTree(root)) {
        const double before = sample.allocatedMiB;
        addRollup(pid, sample);
        if (pid == root)
            sample.rootAllocatedMiB = sample.allocatedMiB - before;
    }
    return sample;
}

MemorySample settledProcessTree(pid_t root, int timeoutMs, double *settledAfterMs)
{
    constexpr int Window = 10;
    const double start = epochMs();
    QList<MemorySample> recent;
    for (;;) {
        recent << sampleProcessTree(root);
        if (recent.size() > Window)
            recent.removeFirst();
        double low = recent.first().allocatedMiB;
        double high = low;
        for (const MemorySample &sample : recent) {
            low = std::min(low, sample.allocatedMiB);
            high = std::max(high, sample.allocatedMiB);
        }
        const bool steady = recent.size() == Window && high - low <= 0.01 * low;
        if (steady || epochMs() - start > timeoutMs)
            break;
        spinFor(1000);
    }
    if (settledAfterMs)
        *settledAfterMs = epochMs() - start;
    return recent.last();
}

PopupCycle runPopupCycle(int popups, int checkpoint)
{
    PopupCycle cycle;
    auto *first = new Form1;
    first->show();
    if (!waitForPage(first->WB1, WebBrowser::homeUrl())) {
        delete first;
        return cycle;
    }
    cycle.before = settledProcessTree(getpid(), 90000, &cycle.settleBeforeMs);

    for (int i = 0; i < popups; ++i) {
        const QList<Form1 *> before = OpenWindows();
        const double openedAt = epochMs();
        // A distinct address for each, so the wait below sees the page the
        // opener asked for and not the pop-up window's own start-up page.
        QUrl target = WebBrowser::homeUrl();
        target.setFragment(QStringLiteral("popup%1").arg(i));
        evaluate(first->WB1, QStringLiteral("window.open('%1', '_blank'); true")
                                 .arg(target.toString(QUrl::FullyEncoded)));
        QPointer<Form1> popup;
        (void)spinUntil(
            [&] {
                for (Form1 *form : OpenWindows()) {
                    if (!before.contains(form))
                        popup = form;
                }
                return !popup.isNull();
            },
            30000);
        if (!popup || !waitForPage(popup->WB1, target))
            break;
        cycle.openMs << epochMs() - openedAt;

        if (i % 2 == 0)
            evaluate(popup->WB1, QStringLiteral("window.close(); true"));
        else
            popup->close();
        if (!spinUntil([&] { return popup.isNull(); }, 30000))
            break;
        if (++cycle.completed == checkpoint && checkpoint < popups)
            cycle.atCheckpoint = settledProcessTree(getpid(), 90000, &cycle.settleCheckpointMs);
    }

    cycle.after = settledProcessTree(getpid(), 90000, &cycle.settleAfterMs);
    malloc_trim(0);
    cycle.afterTrim = sampleProcessTree(getpid());
    delete first;
    return cycle;
}

} // namespace gradecast::bench
