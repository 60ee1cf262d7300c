#include "browser/sign_in.h"

#include "browser/server_text.h"
#include "platform/dialog_hook.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QAuthenticator>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace gradecast {

namespace {

std::optional<Credentials> showSignInDialog(QWidget *parent, const SignInRequest &request)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("登入"));
    auto *layout = new QFormLayout(&dialog);
    const QString who = request.proxy ? QStringLiteral("Proxy 伺服器 %1").arg(request.host)
                                      : QStringLiteral("網站 %1").arg(request.host);
    auto *message = new QLabel(QStringLiteral("%1 要求登入。").arg(who), &dialog);
    message->setTextFormat(Qt::PlainText);
    layout->addRow(message);
    if (!request.realm.isEmpty()) {
        auto *realm = new QLabel(QStringLiteral("「%1」").arg(request.realm), &dialog);
        realm->setTextFormat(Qt::PlainText);
        layout->addRow(realm);
    }
    auto *user = new QLineEdit(&dialog);
    auto *password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    layout->addRow(QStringLiteral("帳號："), user);
    layout->addRow(QStringLiteral("密碼："), password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return Credentials{user->text(), password->text()};
}

void signIn(WebBrowser *browser, QAuthenticator *authenticator, const SignInRequest &request)
{
    const WindowDialog open(browser);
    const std::optional<Credentials> credentials = DialogHook<SignInAsker>()
        ? DialogHook<SignInAsker>()(browser->window(), request)
        : showSignInDialog(browser->window(), request);
    if (!credentials || open.windowClosing()) {
        // A null authenticator cancels the request: the page shows the
        // refusal the site sent with its question.
        *authenticator = QAuthenticator();
        return;
    }
    authenticator->setUser(credentials->user);
    authenticator->setPassword(credentials->password);
}

} // namespace

SignInAsker SetSignInAsker(SignInAsker replacement)
{
    return SetDialogHook(std::move(replacement));
}

void EnableSignIn(WebBrowser *browser)
{
    QWebEnginePage *page = browser->page();
    QObject::connect(page, &QWebEnginePage::authenticationRequired, browser,
                     [browser](const QUrl &url, QAuthenticator *authenticator) {
                         signIn(browser, authenticator,
                                {url.host(), ServerText(authenticator->realm()), false});
                     });
    QObject::connect(page, &QWebEnginePage::proxyAuthenticationRequired, browser,
                     [browser](const QUrl &, QAuthenticator *authenticator, const QString &proxy) {
                         signIn(browser, authenticator,
                                {proxy, ServerText(authenticator->realm()), true});
                     });
}

} // namespace gradecast
