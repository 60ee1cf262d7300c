#pragma once

#include <QWebEnginePage>

namespace gradecast {

// A page whose script errors and console messages can be kept quiet, and whose
// alert, confirm and prompt boxes are titled in the program's language.
class WebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit WebPage(QObject *parent = nullptr);

    void setSilent(bool on) { m_silent = on; }

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &message) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                          const QString &defaultValue, QString *result) override;

private:
    bool m_silent = false;
};

} // namespace gradecast
