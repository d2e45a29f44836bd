#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QString>
#include <QUrl>

namespace corvane::test {

// A throwaway certificate authority and a server certificate it signed for 127.0.0.1 and localhost,
// made by the real openssl program. Trusted by nothing but the TLS settings a test builds from it.
struct TestPki {
    QSslCertificate authority;
    QSslCertificate certificate;
    QSslKey key;
    bool isValid() const { return !authority.isNull() && !certificate.isNull() && !key.isNull(); }
};
TestPki makeTestPki(const QString &directory);

// An HTTPS/1.1 server on loopback that answers every request with one canned response and closes.
class HttpsTestServer : public QObject {
    Q_OBJECT
public:
    struct Response {
        int status = 200;
        QByteArray contentType;   // no Content-Type header when empty
        QByteArray body;
        bool answer = true;       // false: take the request and never say a word
    };

    explicit HttpsTestServer(const TestPki &pki, QObject *parent = nullptr);
    bool listen();
    QUrl url(const QString &path = QStringLiteral("/feed.plist")) const;
    void setResponse(const Response &response) { m_response = response; }
    int requestCount() const { return m_requests; }

private:
    void onConnection();
    void onReadyRead(QTcpSocket *socket);

    QSslServer m_server;
    Response m_response;
    int m_requests = 0;
};

} // namespace corvane::test
