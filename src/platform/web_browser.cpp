#include "platform/web_browser.h"

#include "platform/web_page.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWebEngineScript>

#include <memory>
#include <optional>

namespace gradecast {

WebBrowser::WebBrowser(QWidget *parent)
    : QWebEngineView(parent)
{
    auto *page = new WebPage(this);
    setPage(page);
    connect(this, &QWebEngineView::loadFinished, this, [this] { emit NavigateComplete2(url()); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, &WebBrowser::WindowClosing);
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

void WebBrowser::setSilent(bool on)
{
    static_cast<WebPage *>(page())->setSilent(on);
}

bool WebBrowser::Silent() const
{
    return static_cast<WebPage *>(page())->silent();
}

bool WebBrowser::waitForPageFocus(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const QPointer<WebBrowser> self(this);
    while (!deadline.hasExpired()) {
        // The answer may come after this wait has given up or the browser has gone.
        auto focused = std::make_shared<std::optional<bool>>();
        QEventLoop loop;
        const QPointer<QEventLoop> waiting(&loop);
        page()->runJavaScript(QStringLiteral("document.hasFocus()"),
                              QWebEngineScript::ApplicationWorld,
                              [focused, waiting](const QVariant &answer) {
                                  *focused = answer.toBool();
                                  if (waiting)
                                      waiting->quit();
                              });
        QTimer::singleShot(int(deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
        if (!self)
            return false;
        if (focused->value_or(false))
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
