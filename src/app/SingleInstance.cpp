#include "app/SingleInstance.h"

#include "app/ApplicationAdaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

namespace corvane {

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
    new ApplicationAdaptor(this);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const Request &request)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Role::Alone;
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors))
        return handOver(request) ? Role::HandedOver : Role::Alone;

    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(serviceName, QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Role::Primary;

    // Nothing may reach this process's interface while it is not the one serving the session.
    bus.unregisterObject(objectPath);
    return reply.isValid() && handOver(request) ? Role::HandedOver : Role::Alone;
}

bool SingleInstance::handOver(const Request &request)
{
    QVariantMap platformData;
    // Lets the owner's window take the focus that the launcher promised this launch.
    if (const QString id = qEnvironmentVariable("DESKTOP_STARTUP_ID"); !id.isEmpty())
        platformData.insert(QStringLiteral("desktop-startup-id"), id);
    if (const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        platformData.insert(QStringLiteral("activation-token"), token);

    QDBusMessage call;
    if (!request.action.isEmpty()) {
        call = QDBusMessage::createMethodCall(
            serviceName, objectPath, interfaceName, QStringLiteral("ActivateAction"));
        call << request.action << QVariant::fromValue(QVariantList()) << platformData;
    } else if (!request.fileUrls.isEmpty()) {
        call = QDBusMessage::createMethodCall(serviceName, objectPath, interfaceName, QStringLiteral("Open"));
        call << request.fileUrls << platformData;
    } else {
        call = QDBusMessage::createMethodCall(
            serviceName, objectPath, interfaceName, QStringLiteral("Activate"));
        call << platformData;
    }
    // A hung owner must not hang this launch too: past the time-out this one simply runs alone.
    const QDBusMessage answer = QDBusConnection::sessionBus().call(call, QDBus::Block, handOverTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage;
}

} // namespace corvane
