#include "platform/web_browser.h"

#include "platform/web_page.h"

#include "platform/page_recorder.h"
#include "platform/page_script.h"

#include <QDeadlineTimer>
#include <QPointer>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace gradecast {

namespace {

// The engine drops a print when the page closes before it is done, and
// holds one asked for while the page loads until the load is over: a
// print pop-up's "print(); close();" would print nothing. A page's close
// waits for its print.
void InstallCloseAfterPrint(QWebEngineProfile *profile)
{
    QWebEngineScript closeAfterPrint;
    closeAfterPrint.setName(QStringLiteral("gradecast-close-after-print"));
    closeAfterPrint.setInjectionPoint(QWebEngineScript::DocumentCreation);
    closeAfterPrint.setWorldId(QWebEngineScript::MainWorld);
    closeAfterPrint.setRunsOnSubFrames(false);
    closeAfterPrint.setSourceCode(QStringLiteral(R"((() => {
        const print = window.print, close = window.close;
        let held = false;
        addEventListener('afterprint', () => { held = false; });
        window.print = function () {
            held = true;
            return print.call(window);
        };
        window.close = function () {
            if (!held)
                return close.call(window);
            addEventListener('afterprint', () => close.call(window), {once: true});
        };
    })())"));
    profile->scripts()->insert(closeAfterPrint);
}

} // namespace

void WebBrowser::equipProfile(QWebEngineProfile *profile)
{
    InstallPageRecorder(profile);
    InstallCloseAfterPrint(profile);
}

WebBrowser::WebBrowser(QWidget *parent)
    : QWebEngineView(parent)
{
    auto *page = new WebPage(this);
    setPage(page);
    connect(this, &QWebEngineView::loadFinished, this, [this] { emit NavigateComplete2(url()); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, &WebBrowser::WindowClosing);
    connect(page, &WebPage::closeRefused, this, &WebBrowser::CloseRefused);
}

QUrl WebBrowser::homeUrl()
{
    return QUrl(QStringLiteral("qrc:/home.html"));
}

void WebBrowser::Navigate(const QString &address)
{
    // Addresses are taken the way a browser's address bar takes them:
    // "school.edu.tw/score" opens over http, a local path as a file.
    load(QUrl::fromUserInput(address));
}

void WebBrowser::GoBack()
{
    back();
}

void WebBrowser::GoForward()
{
    forward();
}

void WebBrowser::GoHome()
{
    load(homeUrl());
}

void WebBrowser::Refresh()
{
    reload();
}

WebPage *WebBrowser::webPage() const
{
    return static_cast<WebPage *>(page());
}

void WebBrowser::setSilent(bool on)
{
    webPage()->setSilent(on);
}

void WebBrowser::askPageToClose()
{
    webPage()->setClosing(true);
    page()->triggerAction(QWebEnginePage::RequestClose);
}

void WebBrowser::stopClosing()
{
    webPage()->setClosing(false);
}

void WebBrowser::reloadWhenRendererEnds()
{
    connect(page(), &QWebEnginePage::renderProcessTerminated, this, &QWebEngineView::reload,
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
}

bool WebBrowser::waitForPageFocus(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const QPointer<WebBrowser> self(this);
    while (!deadline.hasExpired()) {
        const std::optional<QVariant> focused =
            RunScriptAndWait(page(), QStringLiteral("document.hasFocus()"),
                             QWebEngineScript::ApplicationWorld, int(deadline.remainingTime()));
        // No answer: the time is up, or the program is ending and waits no more.
        if (!self || !focused)
            return false;
        if (focused->toBool())
            return true;
    }
    return false;
}

QWebEngineView *WebBrowser::createWindow(QWebEnginePage::WebWindowType)
{
    WebBrowser *browser = nullptr;
    bool cancel = false;
    emit NewWindow2(&browser, &cancel);
    return cancel ? nullptr : browser;
}

} // namespace gradecast
