#include "platform/web_page.h"

#include <QWebEngineProfile>

namespace gradecast {

// Every window's page shares the default profile, so a pop-up keeps the
// school system's session of the window that opened it.
WebPage::WebPage(QObject *parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent)
{
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                       const QString &message, int lineNumber,
                                       const QString &sourceId)
{
    if (!m_silent)
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

} // namespace gradecast
