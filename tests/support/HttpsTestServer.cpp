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

bool openssl(const QDir &dir, const QStringList &arguments)
{
    QStringList withDir;
    for (const QString &argument : arguments)
        withDir << (argument.startsWith(u'@') ? dir.filePath(argument.mid(1)) : argument);
    return runProgram(QStringLiteral("openssl"), withDir).exitCode == 0;
}
} // namespace

TestPki makeTestPki(const QString &directory)
{
    const QDir dir(directory);
    QFile extensions(dir.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly))
        return TestPki();
    extensions.write("subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
                     "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    extensions.close();

    const QStringList ecKey = {QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                               QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const bool made =
        openssl(dir, QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + ecKey
                         + QStringList{QStringLiteral("-keyout"), QStringLiteral("@ca.key"), QStringLiteral("-out"),
                                       QStringLiteral("@ca.pem"), QStringLiteral("-days"), QStringLiteral("2"),
                                       QStringLiteral("-subj"), QStringLiteral("/CN=Throwaway test authority"),
                                       QStringLiteral("-addext"), QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                       QStringLiteral("-addext"),
                                       QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")})
        && openssl(dir, QStringList{QStringLiteral("req")} + ecKey
                            + QStringList{QStringLiteral("-keyout"), QStringLiteral("@server.key"),
                                          QStringLiteral("-out"), QStringLiteral("@server.csr"),
                                          QStringLiteral("-subj"), QStringLiteral("/CN=localhost")})
        && openssl(dir, {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                         QStringLiteral("@server.csr"), QStringLiteral("-CA"), QStringLiteral("@ca.pem"),
                         QStringLiteral("-CAkey"), QStringLiteral("@ca.key"), QStringLiteral("-CAcreateserial"),
                         QStringLiteral("-out"), QStringLiteral("@server.pem"), QStringLiteral("-days"),
                         QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("@server.ext")});
    if (!made)
        return TestPki();
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
