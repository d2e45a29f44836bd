#include "updates/UpdateChecker.h"

#include "BuildConfig.h"
#include "feed/UpdateFeed.h"
#include "window/Alerts.h"
#include "window/UrlOpener.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace corvane::updates {

namespace {
// Qt reports 4xx and 5xx answers as reply errors; those are statuses, which the vetting judges on
// its own. Everything else (refused, reset, TLS, time-out, our own abort) is a transport failure.
bool isTransportError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    const bool httpStatus = (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
    return error != QNetworkReply::NoError && !httpStatus;
}
} // namespace

UpdateChecker::UpdateChecker(QObject *parent)
    : UpdateChecker(QUrl(QString::fromUtf8(build::updateFeedUrl)), QString::fromUtf8(build::downloadSiteBase),
        QString::fromUtf8(build::version), std::nullopt, parent)
{ }

UpdateChecker::UpdateChecker(const QUrl &feedUrl, const QString &downloadSiteBase,
    const QString &runningVersion, const std::optional<QSslConfiguration> &sslConfiguration, QObject *parent)
    : QObject(parent)
    , m_feedUrl(feedUrl)
    , m_downloadSiteBase(downloadSiteBase)
    , m_runningVersion(runningVersion)
    , m_sslConfiguration(sslConfiguration)
    , m_network(new QNetworkAccessManager(this))
{ }

UpdateChecker::~UpdateChecker()
{
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
    }
}

void UpdateChecker::showUpdateErrorAlert(const QString &informativeText)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = tr("An error occurred:");
    alert.informativeText = informativeText;
    Alerts::run(alert);
}

void UpdateChecker::checkForUpdates()
{
    if (m_checking)
        return;
    m_checking = true;
    if (m_runningVersion.isEmpty()) {
        QPointer<UpdateChecker> self(this);
        showUpdateErrorAlert(tr("Can't check for updates:\nNo app version string found."));
        if (self)
            endCheck();
        return;
    }
    // The feed decides what the user is offered, so it is only ever fetched over verified TLS.
    if (!m_feedUrl.isValid() || m_feedUrl.scheme() != u"https") {
        endCheck();
        return;
    }

    QNetworkRequest request(m_feedUrl);
    request.setTransferTimeout(m_transferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (m_sslConfiguration)
        request.setSslConfiguration(*m_sslConfiguration);

    m_body.clear();
    m_bodyTooLarge = false;
    m_reply = m_network->get(request);
    // Keeps Qt's own buffer small; onReadyRead moves the data into m_body and enforces the cap there.
    m_reply->setReadBufferSize(64 * 1024);
    connect(m_reply, &QNetworkReply::readyRead, this, &UpdateChecker::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateChecker::onReplyFinished);
}

void UpdateChecker::onReadyRead()
{
    if (!m_reply || m_bodyTooLarge)
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > bodySizeLimit) {
        m_bodyTooLarge = true;
        m_body.clear();
        m_reply->abort(); // finishes the reply, and so the check, from within this call
    }
}

void UpdateChecker::onReplyFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_reply.clear();
    reply->deleteLater();
    if (!m_bodyTooLarge && reply->error() == QNetworkReply::NoError)
        m_body += reply->readAll();
    if (m_body.size() > bodySizeLimit)
        m_bodyTooLarge = true;

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    ResponseFacts facts;
    facts.transportError = m_bodyTooLarge || isTransportError(reply->error());
    facts.hasResponse = status.isValid();
    facts.isHttp = reply->url().scheme() == u"https" || reply->url().scheme() == u"http";
    facts.statusCode = status.toInt();
    facts.mimeType = mediaTypeWithoutParameters(reply->rawHeader("Content-Type"));
    QByteArray body = std::exchange(m_body, QByteArray());
    if (!validateUpdateResponse(facts)) {
        endCheck();
        return;
    }
    // Alerts run their own event loop; they start from a fresh turn of the main loop rather than
    // inside the network stack's signal.
    QTimer::singleShot(
        0, this, [this, body] { present(processUpdateFeed(body, m_runningVersion, m_downloadSiteBase)); });
}

void UpdateChecker::present(const FeedOutcome &outcome)
{
    QPointer<UpdateChecker> self(this);
    if (outcome.errorText) {
        showUpdateErrorAlert(
            QCoreApplication::translate("UpdateFeed", outcome.errorText->toUtf8().constData()));
        if (self)
            endCheck();
        return;
    }
    if (outcome.markStatusItem)
        emit checkedForUpdate();
    if (!self)
        return;
    const QString runningVersion = m_runningVersion;
    for (const UpdateOffer &offer : outcome.offers) {
        AlertRequest alert;
        alert.style = AlertRequest::Style::Informational;
        alert.messageText = tr("An update to this app to version %1 is available.").arg(offer.version);
        alert.informativeText = tr("You are currently running Corvane version %1.\nPlease choose whether to "
                                   "download this update now in your default browser.")
                                    .arg(runningVersion);
        alert.buttons = { Alerts::Button::Ignore, Alerts::Button::Download };
        alert.defaultButton = Alerts::Button::Ignore;
        alert.escapeButton = Alerts::Button::Ignore;
        const Alerts::Button choice = Alerts::run(alert);
        if (!self)
            return; // the application went away while the alert was up
        if (choice == Alerts::Button::Download)
            UrlOpener::open(offer.url);
    }
    endCheck();
}

void UpdateChecker::endCheck()
{
    m_checking = false;
    emit finished();
}

} // namespace corvane::updates
