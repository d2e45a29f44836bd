#include "support/HttpsTestServer.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSslConfiguration>
#include <QSslSocket>

namespace corvane::test {

namespace {
QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

TestPki makeTestPki(const QString &directory)
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
    if (runProgram(QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral("sh"), directory}).exitCode != 0)
        return TestPki();
    const QDir dir(directory);
    TestPki pki;
    pki.authority = QSslCertificate(readFile(dir.filePath(QStringLiteral("ca.pem"))));
    pki.certificate = QSslCertificate(readFile(dir.filePath(QStringLiteral("server.pem"))));
    pki.key = QSslKey(readFile(dir.filePath(QStringLiteral("server.key"))), QSsl::Ec);
    return pki;
}

HttpsTestServer::HttpsTestServer(const TestPki &pki, QObject *parent) : QObject(parent)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(pki.certificate);
    configuration.setPrivateKey(pki.key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(configuration);
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, &HttpsTestServer::onConnection);
}

bool HttpsTestServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QUrl HttpsTestServer::url(const QString &path) const
{
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_server.serverPort());
    url.setPath(path);
    return url;
}

void HttpsTestServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0)
            onReadyRead(socket);
    }
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
                      + "Content-Length: " + QByteArray::number(m_response.body.size()) + "\r\n"
                      + "Connection: close\r\n";
    if (!m_response.contentType.isEmpty())
        head += "Content-Type: " + m_response.contentType + "\r\n";
    socket->write(head + "\r\n" + m_response.body);
    socket->disconnectFromHost();
}

} // namespace corvane::test
