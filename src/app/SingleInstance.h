#pragma once

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
// does not answer within handOverTimeoutMs, a launch runs on its own as if it were alone.
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
    };

    // What this launch asks for: an action when one is named, else the files when there are any, else
    // just a window.
    struct Request {
        QStringList fileUrls; // absolute, so the owner can open them from its own working directory
        QString action;
    };

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    Role start(const Request &request);

signals:
    // Emitted by the exported interface; connect them queued so the caller's reply goes out first.
    void activateRequested();
    void openRequested(const QList<QUrl> &urls);
    void actionRequested(const QString &action);

private:
    bool handOver(const Request &request);
};

} // namespace corvane
