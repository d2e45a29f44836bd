#pragma once

#include <QByteArray>
#include <QObject>
#include <QSslCertificate>
#include <QSslServer>
#include <QUrl>

namespace corvane::test {

// An HTTPS/1.1 server on loopback that answers every request with one canned response and closes. Its
// certificate, for 127.0.0.1 and localhost, comes from a throwaway authority that the real openssl program
// makes for this server alone, trusted by nothing but the TLS settings a test builds from authority().
class HttpsTestServer : public QObject {
    Q_OBJECT
public:
    struct Response {
        int status = 200;
        QByteArray contentType; // no Content-Type header when empty
        QByteArray body;
        bool answer = true; // false: take the request and never say a word
    };

    HttpsTestServer();
    bool listen(); // false also when the certificates could not be made
    QSslCertificate authority() const { return m_authority; }
    QUrl url() const
    {
        return QUrl(QStringLiteral("https://127.0.0.1:%1/feed.plist").arg(m_server.serverPort()));
    }
    void setResponse(const Response &response) { m_response = response; }
    int requestCount() const { return m_requests; }

private:
    void onReadyRead(QTcpSocket *socket);

    QSslServer m_server;
    QSslCertificate m_authority;
    Response m_response;
    int m_requests = 0;
};

} // namespace corvane::test
