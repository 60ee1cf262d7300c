#pragma once

#include <QSslConfiguration>
#include <QTcpServer>
#include <QUrl>

#include <functional>

namespace gradecast {

// What the local server answers to one request: the bytes it sends; with hold
// set it keeps the connection open afterwards, a download that never ends.
struct HttpReply {
    QByteArray bytes;
    bool hold = false;
};

// An HTTP response that closes its connection; the declared length may be more than the body.
QByteArray httpResponse(const QByteArray &status, const QByteArray &headers,
                        const QByteArray &body, qint64 declaredLength = -1);

// A web server on 127.0.0.1 for one test: every request (its head, as text)
// goes to the handler. With a TLS configuration it speaks https.
class LocalServer : public QTcpServer
{
public:
    using Handler = std::function<HttpReply(const QByteArray &requestHead)>;
    explicit LocalServer(Handler handler, const QSslConfiguration &tls = {});

    QUrl url(const QString &path) const;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    Handler m_handler;
    QSslConfiguration m_tls;
};

// A certificate authority of the test's own (ca.crt in folder) and a server
// configuration for 127.0.0.1 signed by it, made with openssl. Null when
// openssl failed.
QSslConfiguration MakeTestCertificates(const QString &folder);

} // namespace gradecast
