#pragma once

#include <QtNetwork>

#include <functional>

namespace gradecast {

// An answer of the local server: it declares `declared` bytes (the body's own size when
// negative), then closes unless hold keeps the connection open, a download that never ends.
struct HttpReply {
    QByteArray status, headers, body;
    qint64 declared = -1;
    bool hold = false;
    int delayMs = 0; // a slow server answers this much later
};

// A web server on 127.0.0.1 for one test: every request's head goes to the
// handler. With a TLS configuration it speaks https.
class LocalServer : public QTcpServer
{
public:
    using Handler = std::function<HttpReply(const QByteArray &requestHead)>;
    explicit LocalServer(Handler handler, const QSslConfiguration &tls = {})
        : m_handler(std::move(handler))
        , m_tls(tls)
    {
        listen(QHostAddress::LocalHost);
    }

    QUrl url(const QString &path) const
    {
        return QUrl((m_tls.isNull() ? "http" : "https")
                    + QStringLiteral("://127.0.0.1:%1/").arg(serverPort()) + path);
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        if (!m_tls.isNull()) {
            socket->setSslConfiguration(m_tls);
            socket->startServerEncryption();
        }
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const QByteArray head = socket->property("head").toByteArray() + socket->readAll();
            socket->setProperty("head", head);
            if (!head.contains("\r\n\r\n"))
                return;
            const HttpReply r = m_handler(head);
            QTimer::singleShot(r.delayMs, socket, [socket, r] {
                socket->write("HTTP/1.1 " + r.status
                              + "\r\nConnection: close\r\nContent-Length: "
                              + QByteArray::number(r.declared < 0 ? r.body.size() : r.declared)
                              + "\r\n" + r.headers + "\r\n" + r.body);
                if (!r.hold)
                    socket->disconnectFromHost();
            });
        });
    }

private:
    Handler m_handler;
    QSslConfiguration m_tls;
};

// A certificate authority named after folder (ca.crt there) and a server configuration
// for 127.0.0.1 signed by it, made with openssl; null when openssl failed.
inline QSslConfiguration MakeTestCertificates(const QString &folder)
{
    const auto made = [&](const QString &name, const QString &subject, const QStringList &more) {
        const QString path = folder + '/' + name;
        const QStringList req{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30",
                              "-subj", "/CN=" + subject, "-keyout", path + ".key", "-out",
                              path + ".crt"};
        return QProcess::execute("openssl", req + more) == 0;
    };
    if (!made("ca", "Gradecast Test Root " + folder.section('/', -1), {})
        || !made("server", "127.0.0.1", {"-addext", "subjectAltName=IP:127.0.0.1", "-CA",
                                         folder + "/ca.crt", "-CAkey", folder + "/ca.key"}))
        return {};
    QFile key(folder + "/server.key");
    key.open(QIODevice::ReadOnly);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromPath(folder + "/server.crt"));
    tls.setPrivateKey(QSslKey(&key, QSsl::Rsa));
    return tls;
}

} // namespace gradecast
