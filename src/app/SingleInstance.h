#pragma once

#include "app/RequestQueue.h"

#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace corvane {

// One Corvane per desktop session, over the session D-Bus.
//
// The first Corvane exports the freedesktop application interface at objectPath and then asks for the
// well-known name; in that order, so a name owner always answers calls, and of two launches at the same
// moment the bus makes one the owner and the other hands over. A later launch hands its request (open
// these files, show a window, run an action) to the owner and ends. Without a bus, or when the owner
// does not answer within handOverTimeoutMs, a launch runs on its own as if it were alone. A request the
// owner refuses (more files than it takes at once) ends the later launch with the owner's reason.
//
// Without a session bus address libdbus would start a bus of its own (dbus-launch, when installed),
// which outlives Corvane and lets a later launch hand over to a process that was meant to run alone;
// withholdBusAutolaunch, before the QApplication exists, keeps Qt and libdbus from doing so.
//
// QtDBus gives the context of a call to an adaptor (the caller, the error reply) to the object the
// adaptor belongs to, hence the QDBusContext here.
class SingleInstance : public QObject, public QDBusContext {
    Q_OBJECT
public:
    inline static const QString serviceName = QStringLiteral("org.corvane.Corvane");
    inline static const QString objectPath = QStringLiteral("/org/corvane/Corvane");
    inline static const QString interfaceName = QStringLiteral("org.freedesktop.Application");
    inline static const QString scratchpadAction = QStringLiteral("scratchpad");
    static QStringList actions() { return { scratchpadAction }; }
    static constexpr int handOverTimeoutMs = 5000;

    enum class Role {
        Primary, // this process serves the session: it owns the name
        HandedOver, // the running Corvane took the request: this process has nothing left to do
        Alone, // no bus, or an owner that did not answer: this process runs for itself
        Refused, // the owner answered the request with an error: refusal() says why
    };

    // What this launch asks for: an action when one is named, else the files when there are any, else
    // just a window.
    struct Request {
        QStringList fileUrls; // absolute, so the owner can open them from its own working directory
        QString action;
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    static void withholdBusAutolaunch();

    Role start(const Request &request);
    QString refusal() const { return m_refusal; }

    // Where the exported interface puts what callers ask for.
    RequestQueue *requests() { return &m_requests; }

private:
    Role handOver(const Request &request);

    RequestQueue m_requests;
    QString m_refusal;
};

} // namespace corvane
