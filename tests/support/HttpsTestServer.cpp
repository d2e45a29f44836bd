#include "support/HttpsTestServer.h"

#include "support/TestSupport.h"

#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTemporaryDir>

namespace corvane::test {

HttpsTestServer::HttpsTestServer()
{
    // P-256 keys: quick to make, and what a modern server would use.
    const QString script = QStringLiteral(
        "set -e; cd \"$1\"; ec='-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes'\n"
        "openssl req -x509 $ec -keyout ca.key -out ca.pem -days 2 -subj '/CN=Throwaway test authority' "
        "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign\n"
        "openssl req $ec -keyout server.key -out server.csr -subj /CN=localhost\n"
        "printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\\nbasicConstraints=CA:FALSE\\n"
        "extendedKeyUsage=serverAuth\\n' > server.ext\n"
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 "
        "-extfile server.ext\n");
    const QTemporaryDir dir;
    const auto read = [&dir](const char *name) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    if (runProgram(QStringLiteral("sh"), { QStringLiteral("-c"), script, QStringLiteral("sh"), dir.path() })
            .exitCode
        != 0)
        return;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(read("server.pem")));
    configuration.setPrivateKey(QSslKey(read("server.key"), QSsl::Ec));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(configuration);
    if (!configuration.localCertificate().isNull() && !configuration.privateKey().isNull())
        m_authority = QSslCertificate(read("ca.pem"));

    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->bytesAvailable() > 0)
                onReadyRead(socket);
        }
    });
}

bool HttpsTestServer::listen()
{
    return !m_authority.isNull() && m_server.listen(QHostAddress::LocalHost, 0);
}

void HttpsTestServer::onReadyRead(QTcpSocket *socket)
{
    // The request ends at its blank line; a GET carries no body.
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    socket->setProperty("received", received);
    if (!received.contains("\r\n\r\n") || socket->property("answered").toBool())
        return;
    socket->setProperty("answered", true);
    ++m_requests;
    if (!m_response.answer)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(m_response.status) + " Canned\r\n"
        + "Content-Length: " + QByteArray::number(m_response.body.size()) + "\r\nConnection: close\r\n";
    if (!m_response.contentType.isEmpty())
        head += "Content-Type: " + m_response.contentType + "\r\n";
    socket->write(head + "\r\n" + m_response.body);
    socket->disconnectFromHost();
}

} // namespace corvane::test
