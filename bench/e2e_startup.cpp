#include "e2e_startup.h"

#include "app/form1.h"
#include "e2e_common.h"
#include "e2e_wait.h"
#include "platform/web_browser.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cmath>

namespace gradecast::bench {

namespace {

// With no window manager the window opens at the top left corner of the
// screen. These pixels are the blue strip behind its browser buttons and
// the banner at the top of the practice page.
constexpr QPoint WindowPixel(1, 1);
const QColor WindowColor(0, 0, 255);
constexpr QPoint PagePixel(300, 70);
const QColor PageColor(0x1f, 0x4e, 0x8c);

constexpr int PollMs = 5;
constexpr int LaunchTimeoutMs = 60000;

QColor screenPixel(QPoint at)
{
    const QPixmap grab = QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1);
    return grab.isNull() ? QColor() : grab.toImage().pixelColor(0, 0);
}

bool waitForPixel(QPoint at, const QColor &color, bool present, double timeoutMs)
{
    const double start = epochMs();
    while (epochMs() - start < timeoutMs) {
        if ((screenPixel(at) == color) == present)
            return true;
        QThread::msleep(PollMs);
    }
    return false;
}

void endWithHelpers(QProcess &process)
{
    const QList<pid_t> tree = processTree(static_cast<pid_t>(process.processId()));
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    // The engine's helpers leave on their own once the main process is gone;
    // the next launch must not share the machine with them.
    (void)spinUntil(
        [&] {
            for (pid_t pid : tree) {
                if (QFile::exists(QStringLiteral("/proc/%1").arg(pid)))
                    return false;
            }
            return true;
        },
        10000);
    (void)waitForPixel(WindowPixel, WindowColor, false, 10000);
}

} // namespace

std::optional<LaunchTimes> launchAndWatch(const QString &program, MemorySample *memory)
{
    if (!waitForPixel(WindowPixel, WindowColor, false, 10000))
        return std::nullopt;

    QProcess process;
    process.setProgram(program);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    const double start = epochMs();
    process.start();

    LaunchTimes times;
    bool seen = waitForPixel(WindowPixel, WindowColor, true, LaunchTimeoutMs);
    times.windowMs = epochMs() - start;
    seen = seen && waitForPixel(PagePixel, PageColor, true, LaunchTimeoutMs);
    times.pageMs = epochMs() - start;

    if (seen && memory)
        *memory = settledProcessTree(static_cast<pid_t>(process.processId()));
    endWithHelpers(process);
    if (!seen)
        return std::nullopt;
    return times;
}

double newWindowToHomeLoadedMs()
{
    const double start = epochMs();
    auto *window = new Form1;
    bool loaded = false;
    QObject::connect(window->WB1, &QWebEngineView::loadFinished, window,
                     [&](bool ok) { loaded = ok; });
    window->show();
    const bool ok = spinUntil([&] { return loaded; }, LaunchTimeoutMs);
    const double ms = epochMs() - start;
    delete window;
    return ok ? ms : std::nan("");
}

} // namespace gradecast::bench
