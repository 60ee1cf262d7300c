#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace gradecast {

class WebBrowser;

// A site (or a proxy on the way to it) that asks for a user name and password.
struct SignInRequest {
    QString host;
    QString realm;
    bool proxy = false;
};

struct Credentials {
    QString user;
    QString password;
};

// Asks for the credentials; nothing when the user cancels. Tests replace it
// to answer the dialog.
using SignInAsker =
    std::function<std::optional<Credentials>(QWidget *parent, const SignInRequest &request)>;

// Replaces the sign-in dialog (an empty asker restores it); returns the previous one.
SignInAsker SetSignInAsker(SignInAsker asker);

// HTTP and proxy authentication of this browser's page ask through the sign-in
// dialog; Cancel leaves the site's own refusal. Nothing is kept.
void EnableSignIn(WebBrowser *browser);

} // namespace gradecast
