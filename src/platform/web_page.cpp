#include "platform/web_page.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace gradecast {

namespace {

// The engine's own titles ("Javascript Alert - ...") are English and cannot be translated.
QString dialogTitle(const QUrl &origin)
{
    return QStringLiteral("網頁訊息 - %1").arg(origin.host().isEmpty() ? origin.toString()
                                                                        : origin.host());
}

bool showMessage(QWebEnginePage *page, const QUrl &origin, const QString &message,
                 QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, dialogTitle(origin), message, buttons, QWebEngineView::forPage(page));
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

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

void WebPage::javaScriptAlert(const QUrl &securityOrigin, const QString &message)
{
    showMessage(this, securityOrigin, message, QMessageBox::Information, QMessageBox::Ok);
}

bool WebPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    return showMessage(this, securityOrigin, message, QMessageBox::Question,
                       QMessageBox::Ok | QMessageBox::Cancel);
}

bool WebPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                               const QString &defaultValue, QString *result)
{
    QInputDialog dialog(QWebEngineView::forPage(this));
    dialog.setWindowTitle(dialogTitle(securityOrigin));
    dialog.setLabelText(message);
    dialog.setTextValue(defaultValue);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = dialog.textValue();
    return true;
}

} // namespace gradecast
