#include "browser/certificates.h"

#include "platform/prompt.h"
#include "platform/web_browser.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QSslCertificate>
#include <QTimer>
#include <QWebEngineCertificateError>

namespace gradecast {

namespace {

// Host and certificate the teacher let through in this run of the program.
QSet<QByteArray> &acceptedCertificates()
{
    static QSet<QByteArray> accepted;
    return accepted;
}

QByteArray certificateKey(const QWebEngineCertificateError &error)
{
    const QList<QSslCertificate> chain = error.certificateChain();
    const QByteArray leaf = chain.isEmpty() ? QByteArray() : chain.first().toDer();
    return error.url().host().toUtf8() + '\n'
        + QCryptographicHash::hash(leaf, QCryptographicHash::Sha256);
}

QString reason(const QWebEngineCertificateError &error)
{
    using Error = QWebEngineCertificateError;
    switch (error.type()) {
    case Error::CertificateAuthorityInvalid:
        return QStringLiteral("這個網站的憑證不是由系統信任的憑證機構所簽發。");
    case Error::CertificateCommonNameInvalid:
        return QStringLiteral("這個網站的憑證是發給別的網站名稱的。");
    case Error::CertificateDateInvalid:
        return QStringLiteral("這個網站的憑證已經過期，或還沒有生效（也請檢查電腦的日期）。");
    case Error::CertificateRevoked:
        return QStringLiteral("這個網站的憑證已經被撤銷。");
    case Error::CertificateWeakSignatureAlgorithm:
    case Error::CertificateWeakKey:
        return QStringLiteral("這個網站的憑證使用不安全的加密方式。");
    case Error::CertificateContainsErrors:
    case Error::CertificateInvalid:
        return QStringLiteral("這個網站的憑證內容有錯誤。");
    default:
        return QStringLiteral("這個網站的憑證無法驗證（%1）。").arg(error.description());
    }
}

QString question(const QWebEngineCertificateError &error)
{
    return QStringLiteral("%1 的安全憑證有問題：\n%2\n\n仍要繼續前往此網站嗎? (不建議)")
        .arg(error.url().host(), reason(error));
}

// Errors waiting for the teacher's answer, by host and certificate: a second
// load of the same site (another window, a reload) waits for the same answer
// instead of asking again.
QHash<QByteArray, QList<QWebEngineCertificateError>> &waiting()
{
    static QHash<QByteArray, QList<QWebEngineCertificateError>> errors;
    return errors;
}

void ask(const QPointer<WebBrowser> &browser, const QByteArray &key, const QString &text)
{
    const bool goOn =
        browser && AskYesNo(browser->window(), text, QMessageBox::Warning, QMessageBox::No);
    if (goOn)
        acceptedCertificates().insert(key);
    for (QWebEngineCertificateError &error : waiting().take(key)) {
        if (goOn)
            error.acceptCertificate();
        else
            error.rejectCertificate();
    }
}

} // namespace

bool AcceptKnownCertificate(QWebEngineCertificateError error)
{
    if (error.isOverridable() && acceptedCertificates().contains(certificateKey(error))) {
        error.acceptCertificate();
        return true;
    }
    error.rejectCertificate();
    return false;
}

void WatchCertificates(WebBrowser *browser)
{
    QObject::connect(browser->page(), &QWebEnginePage::certificateError, browser,
                     [browser](QWebEngineCertificateError error) {
                         const QByteArray key = certificateKey(error);
                         if (!error.isOverridable() || acceptedCertificates().contains(key)) {
                             AcceptKnownCertificate(error);
                             return;
                         }
                         // The engine waits for the answer; the question is
                         // not asked from inside the engine's call.
                         error.defer();
                         QList<QWebEngineCertificateError> &same = waiting()[key];
                         same.append(error);
                         if (same.size() > 1)
                             return;
                         QTimer::singleShot(0, qApp, [browser = QPointer(browser), key,
                                                      text = question(error)] {
                             ask(browser, key, text);
                         });
                     });
}

} // namespace gradecast
