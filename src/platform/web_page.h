#pragma once

#include <QWebEnginePage>

namespace gradecast {

// A page whose script errors and console messages can be kept quiet.
class WebPage : public QWebEnginePage
{
    Q_OBJECT
public:
    explicit WebPage(QObject *parent = nullptr);

    void setSilent(bool on) { m_silent = on; }

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceId) override;

private:
    bool m_silent = false;
};

} // namespace gradecast
