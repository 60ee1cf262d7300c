#pragma once

#include <QWebEngineView>

class QWebEngineProfile;

namespace gradecast {

class WebPage;

// The browser control of a window: a web engine view that speaks in the
// members and events the window's handlers are written against.
class WebBrowser : public QWebEngineView
{
    Q_OBJECT
public:
    // The browsers load their pages in the engine's default profile.
    explicit WebBrowser(QWidget *parent = nullptr);

    // Puts the scripts every page of the program needs into profile, once
    // when the program starts: a page's own scripts would outlive it in the
    // engine's renderer, one copy for every pop-up ever closed, while a
    // profile's reach each renderer once.
    static void equipProfile(QWebEngineProfile *profile);

    // The page Gradecast opens as its home: the bundled practice score sheet.
    static QUrl homeUrl();

    // Starts loading address (as a user would type it) in this browser.
    void Navigate(const QString &address);
    void GoBack();
    void GoForward();
    void GoHome();
    void Refresh();

    // Runs events until the page holds the keyboard focus this view was
    // given, at most timeoutMs. The engine tells the page about focus on
    // another channel than about keys: keys sent before the page knows it has
    // the focus go nowhere. False when the focus did not arrive in time.
    bool waitForPageFocus(int timeoutMs);

    // Silent keeps the pages' script errors and console chatter out of sight;
    // a page's own alerts and questions still appear.
    void setSilent(bool on);

    // Asks the page to let its window close: its beforeunload handler runs
    // and may have the teacher asked. The answer comes as WindowClosing (the
    // page let go) or CloseRefused (the teacher stays).
    void askPageToClose();
    // The window stays after all: the page's boxes show again.
    void stopClosing();

    // The page loads again once its renderer process has ended (it was
    // ended because it stopped answering).
    void reloadWhenRendererEnds();

    WebPage *webPage() const;

signals:
    // A page asks for a new window. The handler hands back, through browser,
    // the browser the page is to be loaded into; with cancel set, or no
    // browser, the request is refused.
    void NewWindow2(gradecast::WebBrowser **browser, bool *cancel);
    void NavigateComplete2(const QUrl &url);
    // A page's script asks to close its window.
    void WindowClosing();
    // The teacher chose to stay on the page when the window was to close.
    void CloseRefused();

protected:
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;
};

} // namespace gradecast
