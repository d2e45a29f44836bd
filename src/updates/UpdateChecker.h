#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace corvane::updates {

struct FeedOutcome;

// Fetches the update feed once per checkForUpdates() and shows what processUpdateFeed() decided. It owns
// the one reply in flight; everything the user sees happens on the main thread after the reply ended,
// so the windows stay responsive however slowly the server answers. The Help menu's status is not its
// own: it says checkedForUpdate(), and the owner of the status item marks it.
class UpdateChecker : public QObject {
    Q_OBJECT
public:
    inline static constexpr int defaultTransferTimeoutMs = 30000;
    inline static constexpr qint64 bodySizeLimit = 1024 * 1024;

    // The maker's addresses and the running version as the build configured them.
    explicit UpdateChecker(QObject *parent = nullptr);
    // Tests point the check at their own server and trust its authority through their own TLS settings.
    UpdateChecker(const QUrl &feedUrl, const QString &downloadSiteBase, const QString &runningVersion,
                  const std::optional<QSslConfiguration> &sslConfiguration = std::nullopt,
                  QObject *parent = nullptr);
    ~UpdateChecker() override;

    // Starts the request and returns at once; finished() follows when the check is over. Without a
    // running version it shows its error alert instead and makes no request. A call while a check is
    // under way is ignored: one launch asks the maker once.
    void checkForUpdates();
    bool isChecking() const { return m_checking; }

    // Time without any data after which the transfer is given up (silently).
    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }

    static void showUpdateErrorAlert(const QString &informativeText);

signals:
    // The feed was read and names this application: the status item is to say so. Emitted before
    // any offer is shown.
    void checkedForUpdate();
    // Emitted once per started check after its last alert was dismissed, or after it ended silently.
    void finished();

private:
    void onReadyRead();
    void onReplyFinished();
    void present(const FeedOutcome &outcome);
    void endCheck();

    QUrl m_feedUrl;
    QString m_downloadSiteBase;
    QString m_runningVersion;
    std::optional<QSslConfiguration> m_sslConfiguration;
    int m_transferTimeoutMs = defaultTransferTimeoutMs;

    QNetworkAccessManager *m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    bool m_bodyTooLarge = false;
    bool m_checking = false;
};

} // namespace corvane::updates
