#pragma once

#include <QElapsedTimer>
#include <QWebEnginePage>

namespace gradecast {

struct PromptRequest;

// A page whose script errors and console messages can be kept quiet, and whose
// alert, confirm and prompt boxes speak the program's language and go through
// its prompt. A page that opens box after box is offered to be stopped, as a
// browser does, until it is left.
class WebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit WebPage(QObject *parent = nullptr);

    void setSilent(bool on) { m_silent = on; }

    // While the window asks its page to let it close, the page's own boxes
    // are answered as cancelled unseen; the question whether to leave is asked.
    void setClosing(bool on) { m_closing = on; }
    bool isClosing() const { return m_closing; }

    // Whether a print request of the page's may go on to the print dialog:
    // not once its dialogs are stopped; a request soon after another asks first.
    bool mayPrint();
    // The print dialog of the page's request is over.
    void printDialogEnded() { m_sinceLastDialog.start(); }

signals:
    // The teacher chose to stay on the page when its window was to close.
    void closeRefused();

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                          const QString &defaultValue, QString *result) override;

private:
    // Shows one box of the page's; NoButton when it is not shown.
    int showPageBox(PromptRequest &request, const QUrl &origin);
    bool askToLeave();

    bool m_silent = false;
    bool m_closing = false;
    bool m_dialogsStopped = false;
    QElapsedTimer m_sinceLastDialog;
};

} // namespace gradecast
