#include "platform/web_page.h"

#include "platform/prompt.h"

#include <QCoreApplication>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace gradecast {

namespace {

// A box that follows the last one of the same page within this time offers to
// stop the page's boxes.
constexpr qint64 DialogFloodMs = 3000;

const QString StopDialogsText = QStringLiteral("不要再讓這個網頁顯示對話方塊");

// The engine's own titles ("Javascript Alert - ...") are English and cannot be translated.
QString dialogTitle(const QUrl &origin)
{
    return QStringLiteral("網頁訊息 - %1").arg(origin.host().isEmpty() ? origin.toString()
                                                                        : origin.host());
}

// The engine asks whether to leave a page whose beforeunload handler objects
// as a confirm box of this English text.
bool isLeaveQuestion(const QString &message)
{
    return message
        == QCoreApplication::translate("QWebEnginePage",
                                       "Are you sure you want to leave this page? Changes that "
                                       "you made may not be saved.");
}

} // namespace

// Every window's page shares the default profile, so a pop-up keeps the
// school system's session of the window that opened it.
WebPage::WebPage(QObject *parent)
    : QWebEnginePage(QWebEngineProfile::defaultProfile(), parent)
{
    // A page that is left takes its stopped boxes with it.
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        m_dialogsStopped = false;
        m_sinceLastDialog.invalidate();
    });
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                       const QString &message, int lineNumber,
                                       const QString &sourceId)
{
    if (!m_silent)
        QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

int WebPage::showPageBox(PromptRequest &request, const QUrl &origin)
{
    if (m_dialogsStopped || m_closing)
        return QMessageBox::NoButton;
    bool stop = false;
    if (m_sinceLastDialog.isValid() && m_sinceLastDialog.elapsed() < DialogFloodMs) {
        request.checkBoxText = StopDialogsText;
        request.checked = &stop;
    }
    request.parent = QWebEngineView::forPage(this);
    request.title = dialogTitle(origin);
    // The teacher can still quit from another window.
    request.modality = Qt::WindowModal;
    const int answer = Prompt(request);
    m_dialogsStopped = stop;
    m_sinceLastDialog.start();
    return answer;
}

void WebPage::javaScriptAlert(const QUrl &securityOrigin, const QString &message)
{
    PromptRequest request;
    request.text = message;
    request.icon = QMessageBox::Information;
    showPageBox(request, securityOrigin);
}

bool WebPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &message)
{
    if (isLeaveQuestion(message))
        return askToLeave();
    PromptRequest request;
    request.text = message;
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    return showPageBox(request, securityOrigin) == QMessageBox::Ok;
}

bool WebPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &message,
                               const QString &defaultValue, QString *result)
{
    QString input = defaultValue;
    PromptRequest request;
    request.text = message;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.input = &input;
    if (showPageBox(request, securityOrigin) != QMessageBox::Ok)
        return false;
    *result = input;
    return true;
}

// Leaving a page that has unsaved input is the teacher's choice; staying is
// the safe answer.
bool WebPage::askToLeave()
{
    PromptRequest request;
    request.parent = QWebEngineView::forPage(this);
    request.title = request.parent ? request.parent->window()->windowTitle() : QString();
    request.text = QStringLiteral("這個網頁上輸入的資料可能尚未儲存。\n仍要離開這個網頁嗎?");
    request.icon = QMessageBox::Warning;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::No;
    request.modality = Qt::WindowModal;
    const bool leave = Prompt(request) == QMessageBox::Yes;
    if (!leave && m_closing) {
        m_closing = false;
        emit closeRefused();
    }
    return leave;
}

bool WebPage::mayPrint()
{
    if (m_dialogsStopped || m_closing)
        return false;
    if (!m_sinceLastDialog.isValid() || m_sinceLastDialog.elapsed() >= DialogFloodMs)
        return true;
    PromptRequest request;
    request.text = QStringLiteral("這個網頁又要求列印。\n要開啟列印對話方塊嗎?");
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::No;
    return showPageBox(request, url()) == QMessageBox::Yes;
}

} // namespace gradecast
