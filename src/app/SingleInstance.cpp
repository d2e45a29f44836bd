#include "app/SingleInstance.h"

#include "app/ApplicationAdaptor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>
#include <QVariantMap>

#include <sys/stat.h>

namespace corvane {

namespace {
const char busAddressVariable[] = "DBUS_SESSION_BUS_ADDRESS";
// No bus can answer here: /dev/null is no directory.
const char nowhere[] = "unix:path=/dev/null/no-session-bus";
bool theAutolaunchWithheld = false;

// Where libdbus looks when no address is set (the bus a systemd user session provides).
bool userBusExists()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat status;
    return !runtime.isEmpty() && ::stat((runtime + "/bus").constData(), &status) == 0
        && S_ISSOCK(status.st_mode);
}
} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
    new ApplicationAdaptor(this);
}

SingleInstance::~SingleInstance() = default;

void SingleInstance::withholdBusAutolaunch()
{
    if (!qEnvironmentVariableIsEmpty(busAddressVariable) || userBusExists())
        return;
    // Not only this class asks for the session bus: Qt's accessibility bridge and its menu bars do too,
    // from the QApplication on. Each would make libdbus start a bus of its own.
    qputenv(busAddressVariable, nowhere);
    theAutolaunchWithheld = true;
}

SingleInstance::Role SingleInstance::start(const Request &request)
{
    if (std::exchange(theAutolaunchWithheld, false)) {
        // Qt keeps the first answer for the session bus for the life of the process, so asked once at
        // the address that leads nowhere it never asks libdbus again; the programs Corvane starts (the
        // browser) get the environment as it was.
        QDBusConnection::sessionBus();
        qunsetenv(busAddressVariable);
        return Role::Alone;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return Role::Alone;
    if (!bus.registerObject(objectPath, this, QDBusConnection::ExportAdaptors))
        return handOver(request);

    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(serviceName, QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Role::Primary;

    // Nothing may reach this process's interface while it is not the one serving the session.
    bus.unregisterObject(objectPath);
    return reply.isValid() ? handOver(request) : Role::Alone;
}

SingleInstance::Role SingleInstance::handOver(const Request &request)
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
    if (answer.type() == QDBusMessage::ReplyMessage)
        return Role::HandedOver;
    // The owner heard the request and said no; running alone would do just what it refused.
    const QString error = answer.errorName();
    if (error == QDBusError::errorString(QDBusError::LimitsExceeded)
        || error == QDBusError::errorString(QDBusError::InvalidArgs)) {
        m_refusal = answer.errorMessage();
        return Role::Refused;
    }
    return Role::Alone;
}

} // namespace corvane
