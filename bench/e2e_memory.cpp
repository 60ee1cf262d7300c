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
#include <QWebEnginePage>
#include <QWebEngineView>

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
void addRollup(pid_t pid, const QString &kind, MemorySample &sample)
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
        else if (parts[0] == "Pss_Anon:" || parts[0] == "Pss_Shmem:") {
            sample.allocatedMiB += mib;
            sample.allocatedByKind[kind] += mib;
        }
    }
    ++sample.processes;
}

QString helperType(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("other");
    for (const QByteArray &argument : file.readAll().split('\0')) {
        if (argument.startsWith("--type="))
            return QString::fromUtf8(argument.mid(7));
    }
    return QStringLiteral("other");
}

// "main" for the tree's root (no parent given), else the engine helper's
// --type; a process the zygote forked keeps the zygote's command line, and is
// a renderer.
QString processKind(pid_t pid, pid_t parent)
{
    if (parent == 0)
        return QStringLiteral("main");
    const QString type = helperType(pid);
    if (type == QLatin1String("zygote") && helperType(parent) == QLatin1String("zygote"))
        return QStringLiteral("renderer");
    return type;
}

LiveObjects liveObjects(Form1 *opener)
{
    LiveObjects live;
    live.windows = static_cast<int>(OpenWindows().size());
    const QWidgetList widgets = QApplication::allWidgets();
    live.widgets = static_cast<int>(widgets.size());
    for (QWidget *widget : widgets) {
        live.views += qobject_cast<QWebEngineView *>(widget) != nullptr;
        if (!widget->parent())
            live.pages += static_cast<int>(widget->findChildren<QWebEnginePage *>().size());
    }
    live.pages += static_cast<int>(qApp->findChildren<QWebEnginePage *>().size());
    const QVariantList heap =
        evaluate(opener->WB1, QStringLiteral("performance.memory ? [performance.memory."
                                             "usedJSHeapSize, performance.memory."
                                             "totalJSHeapSize] : [0, 0]"))
            .toList();
    live.jsHeapUsedMiB = heap.value(0).toDouble() / (1024 * 1024);
    live.jsHeapTotalMiB = heap.value(1).toDouble() / (1024 * 1024);
    return live;
}

// Each process of the tree under root, root included, with its parent.
QMap<pid_t, pid_t> processTreeWithParents(pid_t root)
{
    const QHash<pid_t, QList<pid_t>> children = childrenByParent();
    QMap<pid_t, pid_t> tree;
    QList<std::pair<pid_t, pid_t>> pending = {{root, 0}};
    while (!pending.isEmpty()) {
        const auto [pid, parent] = pending.takeLast();
        if (QFile::exists(QStringLiteral("/proc/%1").arg(pid))) {
            tree.insert(pid, parent);
            for (pid_t child : children.value(pid))
                pending.append({child, pid});
        }
    }
    return tree;
}

} // namespace

QList<pid_t> processTree(pid_t root)
{
    return processTreeWithParents(root).keys();
}

MemorySample sampleProcessTree(pid_t root)
{
    MemorySample sample;
    const QMap<pid_t, pid_t> tree = processTreeWithParents(root);
    for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
        const pid_t pid = it.key();
        const double before = sample.allocatedMiB;
        addRollup(pid, processKind(pid, it.value()), sample);
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

PopupCycle runPopupCycle(int popups, const QList<int> &checkpoints)
{
    PopupCycle cycle;
    // The renderer the opening page shares with its pop-ups collects their
    // scripts' garbage when it likes: 20-30 MiB either side of a sample. Each
    // sample of the cycle is taken after a collection, so that it shows what
    // is held, not when the engine last collected.
    const auto collected = [&](Form1 *opener, int count) {
        // Twice: what the first collection lets go of the pages' objects, the
        // renderer only frees in a later round.
        for (int round = 0; round < 2; ++round) {
            // No answer: the opener is stuck, and the sample says so by its size.
            if (!evaluate(opener->WB1, QStringLiteral("typeof gc === 'function' && (gc(), true)"))
                     .isValid())
                break;
            spinFor(2000);
        }
        PopupStage stage;
        stage.popups = count;
        stage.memory = settledProcessTree(getpid(), 90000, &stage.settleMs);
        stage.live = liveObjects(opener);
        cycle.stages << stage;
    };
    auto *first = new Form1;
    first->show();
    if (!waitForPage(first->WB1, WebBrowser::homeUrl())) {
        delete first;
        return cycle;
    }
    collected(first, 0);

    for (int i = 0; i < popups; ++i) {
        const QList<Form1 *> before = OpenWindows();
        const double openedAt = epochMs();
        // A distinct address for each, so the wait below sees the page the
        // opener asked for and not the pop-up window's own start-up page.
        QUrl target = WebBrowser::homeUrl();
        target.setFragment(QStringLiteral("popup%1").arg(i));
        if (!evaluate(first->WB1, QStringLiteral("window.open('%1', '_blank'); true")
                                      .arg(target.toString(QUrl::FullyEncoded)))
                 .toBool())
            break;
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
            (void)evaluate(popup->WB1, QStringLiteral("window.close(); true"));
        else
            popup->close();
        if (!spinUntil([&] { return popup.isNull(); }, 30000))
            break;
        if (++cycle.completed < popups && checkpoints.contains(cycle.completed))
            collected(first, cycle.completed);
    }

    collected(first, cycle.completed);
    malloc_trim(0);
    cycle.afterTrim = sampleProcessTree(getpid());
    delete first;
    return cycle;
}

} // namespace gradecast::bench
