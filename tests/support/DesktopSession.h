#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/PrivateBus.h"

#include <memory>

namespace corvane::test {

// A desktop session of its own for running the built corvane as a user would: a private X server
// (Xvfb), optionally a private session bus (dbus-daemon), and a settings directory. Everything it
// starts ends with it.
class DesktopSession {
public:
    enum class Bus {
        Private, // a bus of its own, its address in DBUS_SESSION_BUS_ADDRESS
        Unset, // no address, nothing at XDG_RUNTIME_DIR/bus
        Nowhere, // an address where no bus listens
        User, // no address, a bus of its own at XDG_RUNTIME_DIR/bus, as a systemd user session has
    };

    explicit DesktopSession(Bus bus);
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    // Empty when the session is ready; otherwise what failed to start.
    QString failure() const { return m_failure; }
    QString busAddress() const { return m_busAddress; } // where the test's own calls go
    // Whether something tried to start a bus with dbus-launch, which libdbus does when asked for the
    // session bus without an address (seen here when dbus-x11 is not installed; when it is, the bus it
    // starts shows in what the launches do).
    bool autolaunchTried() const;
    QString settingsDirectory() const { return m_settings.path(); } // XDG_CONFIG_HOME
    QString settingsFile() const { return m_settings.filePath(QStringLiteral("Corvane/Corvane.conf")); }

    // Starts corvane with the arguments in this session, in the settings directory; the session owns
    // the process.
    QProcess *launch(const QStringList &arguments);

    // Stops a launched corvane (SIGSTOP) as one hung in its event loop would be: at a moment it holds no
    // lock on the settings file. Stopped in the middle of writing them, it would keep every later corvane
    // waiting at its own first write, as QSettings waits for that lock without end. False when it could
    // not be stopped so.
    bool stopOutsideSettingsWrite(QProcess *process) const;

    // Titles of the top-level windows that are mapped (visible) on the session's display.
    QStringList mappedWindowTitles() const;
    // Gives the keyboard focus to the mapped window whose title contains `title` and types `text`
    // there with real key events (XTEST), after the key `first` (xdotool's name: "alt+l") when given;
    // false when no such window or xdotool failed.
    bool typeInto(const QString &title, const QString &text, const QString &first = QString()) const;

private:
    QProcessEnvironment environment() const;
    void reportLaunches() const; // after a failed test, what each corvane launched here did
    QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr) const;

    QTemporaryDir m_settings;
    std::unique_ptr<QProcess> m_xServer;
    std::unique_ptr<PrivateBus> m_bus;
    QString m_display;
    QString m_busAddress;
    bool m_busAddressExported = true;
    QString m_failure;
    QList<QProcess *> m_launched;
};

} // namespace corvane::test
