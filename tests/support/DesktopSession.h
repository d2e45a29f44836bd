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
    enum class Bus { Private, Unset, Nowhere };

    explicit DesktopSession(Bus bus);
    ~DesktopSession();
    DesktopSession(const DesktopSession &) = delete;
    DesktopSession &operator=(const DesktopSession &) = delete;

    // Empty when the session is ready; otherwise what failed to start.
    QString failure() const { return m_failure; }
    QString busAddress() const { return m_busAddress; }
    QString settingsDirectory() const { return m_settings.path(); } // XDG_CONFIG_HOME
    QString settingsFile() const { return m_settings.filePath(QStringLiteral("Corvane/Corvane.conf")); }

    // Starts corvane with the arguments in this session, in the settings directory; the session owns
    // the process.
    QProcess *launch(const QStringList &arguments);

    // Titles of the top-level windows that are mapped (visible) on the session's display.
    QStringList mappedWindowTitles() const;
    // Gives the keyboard focus to the mapped window whose title contains `title` and types `text`
    // there with real key events (XTEST); false when no such window or xdotool failed.
    bool typeInto(const QString &title, const QString &text) const;

private:
    QProcessEnvironment environment() const;
    QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr) const;

    QTemporaryDir m_settings;
    std::unique_ptr<QProcess> m_xServer;
    std::unique_ptr<PrivateBus> m_bus;
    QString m_display;
    QString m_busAddress;
    QString m_failure;
    QList<QProcess *> m_launched;
};

} // namespace corvane::test
