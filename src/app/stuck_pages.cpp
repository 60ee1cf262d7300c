#include "app/stuck_pages.h"

#include "app/form1.h"
#include "app/windows.h"
#include "platform/prompt.h"
#include "platform/renderer_process.h"
#include "platform/web_browser.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>

#include <algorithm>
#include <memory>
#include <utility>

namespace gradecast {

namespace {

int answerMs = 3000;

QList<QPointer<Form1>> windowsOf(qint64 pid, const Form1 *closed)
{
    QList<QPointer<Form1>> found;
    for (Form1 *window : OpenWindows())
        if (window != closed && window->WB1->page()->renderProcessPid() == pid
            && !HasOpenDialog(window))
            found.append(window);
    return found;
}

void askToEnd(qint64 pid, const QList<QPointer<Form1>> &stuck)
{
    // Windows may have closed, or their pages loaded elsewhere, meanwhile.
    const auto stillStuck = [pid](const QPointer<Form1> &window) {
        return window && window->WB1->page()->renderProcessPid() == pid;
    };
    const auto asking = std::ranges::find_if(stuck, stillStuck);
    if (asking == stuck.end() || QuitInProgress()
        || !AskYesNo(*asking,
                     QStringLiteral("這個視窗的網頁沒有回應。\n"
                                    "要重新載入網頁嗎? 網頁上尚未送出的資料會遺失。"),
                     QMessageBox::Warning))
        return;
    for (const QPointer<Form1> &window : stuck)
        if (stillStuck(window))
            window->WB1->reloadWhenRendererEnds();
    EndRendererProcess(pid);
}

} // namespace

void CheckPagesStuckWith(qint64 rendererPid, const Form1 *closed)
{
    const QList<QPointer<Form1>> stuck = windowsOf(rendererPid, closed);
    if (rendererPid <= 0 || stuck.isEmpty())
        return;
    auto answered = std::make_shared<bool>(false);
    for (const QPointer<Form1> &window : stuck)
        window->WB1->page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                                           [answered](const QVariant &) { *answered = true; });
    QTimer::singleShot(answerMs, qApp, [rendererPid, stuck, answered] {
        if (!*answered)
            askToEnd(rendererPid, stuck);
    });
}

int PageAnswerMs()
{
    return answerMs;
}

int SetPageAnswerMs(int ms)
{
    return std::exchange(answerMs, ms);
}

} // namespace gradecast
