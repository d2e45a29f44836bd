#pragma once

#include <QProcess>
#include <QString>

namespace corvane::test {

// A session bus of the test's own (dbus-daemon), for as long as it lives; listening where dbus-daemon
// chooses, or at the given address.
class PrivateBus {
public:
    explicit PrivateBus(const QString &listenAddress = {});
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QString address() const { return m_address; } // empty when dbus-daemon did not start

    // The first line a starting helper prints about itself (a bus address, a display number).
    static QString firstLine(QProcess &process);

private:
    QProcess m_daemon;
    QString m_address;
};

} // namespace corvane::test
