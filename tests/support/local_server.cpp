#include "support/local_server.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>

namespace gradecast {

QByteArray httpResponse(const QByteArray &status, const QByteArray &headers,
                        const QByteArray &body, qint64 declaredLength)
{
    const qint64 length = declaredLength < 0 ? body.size() : declaredLength;
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(length)
        + "\r\nConnection: close\r\n" + headers + "\r\n" + body;
}

LocalServer::LocalServer(Handler handler, const QSslConfiguration &tls)
    : m_handler(std::move(handler))
    , m_tls(tls)
{
    listen(QHostAddress::LocalHost);
}

QUrl LocalServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2/%3")
                    .arg(m_tls.isNull() ? "http" : "https")
                    .arg(serverPort())
                    .arg(path));
}

void LocalServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = m_tls.isNull() ? new QTcpSocket(this) : new QSslSocket(this);
    socket->setSocketDescriptor(descriptor);
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        tls->setSslConfiguration(m_tls);
        tls->startServerEncryption();
    }
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        if (!head.contains("\r\n\r\n"))
            return;
        const HttpReply reply = m_handler(head);
        socket->write(reply.bytes);
        if (!reply.hold)
            socket->disconnectFromHost();
    });
}

QSslConfiguration MakeTestCertificates(const QString &folder)
{
    const auto openssl = [&](QStringList arguments) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.start(QStringLiteral("openssl"),
                      QStringList{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30"}
                          + arguments);
        return process.waitForFinished(60000) && process.exitCode() == 0;
    };
    if (!openssl({"-subj", "/CN=Gradecast Test School Root", "-keyout", "ca.key", "-out", "ca.crt"})
        || !openssl({"-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-CA",
                     "ca.crt", "-CAkey", "ca.key", "-keyout", "server.key", "-out", "server.crt"}))
        return {};
    const auto read = [&](const char *name) {
        QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromData(read("server.crt") + read("ca.crt")));
    tls.setPrivateKey(QSslKey(read("server.key"), QSsl::Rsa));
    return tls;
}

} // namespace gradecast
