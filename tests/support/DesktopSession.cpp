#include "support/DesktopSession.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace corvane::test {

using namespace Qt::StringLiterals;

namespace {
constexpr int startTimeoutMs = 30000;

// kill() only sends SIGSTOP: the process stops once it next runs.
bool hasStopped(pid_t pid)
{
    QFile status(u"/proc/%1/stat"_s.arg(pid));
    const QByteArray fields = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    // "pid (name) state ...", where the name may hold parentheses and spaces.
    const qsizetype nameEnd = fields.lastIndexOf(')');
    return nameEnd >= 0 && fields.mid(nameEnd + 2, 1) == "T";
}
} // namespace

DesktopSession::DesktopSession(Bus bus)
{
    m_xServer = std::make_unique<QProcess>();
    m_xServer->setStandardErrorFile(QProcess::nullDevice());
    // An X server resets when its last client leaves, and drops the connections it has accepted but not
    // yet set up as it does. Until the first corvane is connected, each xwininfo listing the windows is
    // such a last client, and a corvane connecting just then is refused ("could not connect to
    // display"), the more often the busier the machine. A desktop's server never resets under a session
    // either: its window manager and panels stay connected.
    m_xServer->start(u"Xvfb"_s,
        { u"-displayfd"_s, u"1"_s, u"-noreset"_s, u"-screen"_s, u"0"_s, u"1280x800x24"_s, u"-nolisten"_s,
            u"tcp"_s });
    const QString display = PrivateBus::firstLine(*m_xServer);
    if (display.isEmpty()) {
        m_failure = u"Xvfb did not start (Debian package xvfb)"_s;
        return;
    }
    m_display = u':' + display;

    QDir(m_settings.path()).mkpath(u"runtime"_s);
    QFile::setPermissions(
        m_settings.filePath(u"runtime"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QDir(m_settings.path()).mkpath(u"probe"_s);
    QFile probe(m_settings.filePath(u"probe/dbus-launch"_s));
    if (!probe.open(QIODevice::WriteOnly)
        || probe.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/dbus-launch-ran\"\nexit 1\n") < 0
        || !probe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        m_failure = u"cannot write the dbus-launch probe"_s;
        return;
    }

    if (bus == Bus::Private || bus == Bus::User) {
        const QString socket = m_settings.filePath(u"runtime/bus"_s);
        m_bus = std::make_unique<PrivateBus>(bus == Bus::User ? u"unix:path="_s + socket : QString());
        m_busAddress = m_bus->address();
        m_busAddressExported = bus == Bus::Private;
        if (m_busAddress.isEmpty())
            m_failure = u"dbus-daemon did not start (Debian package dbus-daemon)"_s;
    } else if (bus == Bus::Nowhere) {
        m_busAddress = u"unix:path="_s + m_settings.filePath(u"no-bus-here"_s);
    }
    QDir(m_settings.path()).mkpath(u"Corvane"_s);
}

DesktopSession::~DesktopSession()
{
    if (QTest::currentTestFailed())
        reportLaunches();
    for (QProcess *process : std::as_const(m_launched)) {
        if (process->state() != QProcess::NotRunning) {
            ::kill(pid_t(process->processId()), SIGCONT); // a test may have stopped it
            process->kill();
            process->waitForFinished();
        }
        delete process;
    }
    m_bus.reset();
    if (m_xServer->state() != QProcess::NotRunning) {
        m_xServer->terminate();
        if (!m_xServer->waitForFinished(5000)) {
            m_xServer->kill();
            m_xServer->waitForFinished();
        }
    }
}

void DesktopSession::reportLaunches() const
{
    // A window that never showed says little by itself: whether corvane ran on, ended or crashed, and
    // what it printed, does.
    qWarning().noquote() << "display" << m_display
                         << "windows:" << run(u"xwininfo"_s, { u"-root"_s, u"-children"_s });
    for (QProcess *process : m_launched) {
        const QString state = process->state() != QProcess::NotRunning ? u"running"_s
            : process->exitStatus() == QProcess::CrashExit             ? u"crashed"_s
                                                           : u"exited %1"_s.arg(process->exitCode());
        qWarning().noquote() << "corvane" << process->arguments().join(u' ') << state
                             << "\nout:" << QString::fromLocal8Bit(process->readAllStandardOutput())
                             << "\nerr:" << QString::fromLocal8Bit(process->readAllStandardError());
    }
}

bool DesktopSession::autolaunchTried() const
{
    return QFile::exists(m_settings.filePath(u"probe/dbus-launch-ran"_s));
}

QProcessEnvironment DesktopSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"QT_QPA_PLATFORM"_s);
    environment.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
    environment.remove(u"WAYLAND_DISPLAY"_s);
    environment.insert(u"DISPLAY"_s, m_display);
    environment.insert(u"XDG_CONFIG_HOME"_s, m_settings.path());
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_settings.filePath(u"runtime"_s));
    // Found after the one dbus-x11 installs, before any other.
    environment.insert(u"PATH"_s, m_settings.filePath(u"probe"_s) + u':' + environment.value(u"PATH"_s));
    // libxkbcommon-x11 hands strndup a keymap name without its NUL, which AddressSanitizer's strict
    // string checks report as an overflow on every start under a real X server; the offscreen tests
    // never load it. Corvane's own code keeps every other check.
    const QString sanitizer = environment.value(u"ASAN_OPTIONS"_s);
    if (sanitizer.contains(QLatin1String("strict_string_checks=1")))
        environment.insert(u"ASAN_OPTIONS"_s,
            QString(sanitizer).replace(
                QLatin1String("strict_string_checks=1"), QLatin1String("strict_string_checks=0")));
    if (!m_busAddress.isEmpty() && m_busAddressExported)
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, m_busAddress);
    return environment;
}

QProcess *DesktopSession::launch(const QStringList &arguments)
{
    auto *process = new QProcess;
    m_launched.append(process);
    process->setProcessEnvironment(environment());
    process->setWorkingDirectory(m_settings.path());
    process->start(corvaneProgram(), arguments);
    process->waitForStarted(startTimeoutMs);
    return process;
}

QString DesktopSession::run(const QString &program, const QStringList &arguments, int *exitCode) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, m_display);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(startTimeoutMs) && process.waitForFinished(startTimeoutMs);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool DesktopSession::stopOutsideSettingsWrite(QProcess *process) const
{
    const auto pid = pid_t(process->processId());
    const QDeadlineTimer deadline(startTimeoutMs);
    while (!deadline.hasExpired() && ::kill(pid, SIGSTOP) == 0) {
        while (!hasStopped(pid) && !deadline.hasExpired())
            QTest::qWait(10);
        // QLockFile's file is there for as long as its lock is held.
        if (hasStopped(pid) && !QFile::exists(settingsFile() + u".lock"_s))
            return true;
        ::kill(pid, SIGCONT);
        QTest::qWait(50);
    }
    return false;
}

QStringList DesktopSession::mappedWindowTitles() const
{
    // Without a window manager every top-level window is a child of the root window.
    static const QRegularExpression child(uR"re(^\s*(0x[0-9a-f]+) "(.*)": )re"_s);
    QStringList titles;
    const QStringList lines = run(u"xwininfo"_s, { u"-root"_s, u"-children"_s }).split(u'\n');
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = child.match(line);
        if (!match.hasMatch())
            continue;
        const QString state = run(u"xwininfo"_s, { u"-id"_s, match.captured(1) });
        if (state.contains(QLatin1String("Map State: IsViewable")))
            titles.append(match.captured(2));
    }
    return titles;
}

bool DesktopSession::typeInto(const QString &title, const QString &text, const QString &first) const
{
    int exitCode = -1;
    const QString id = run(u"xdotool"_s, { u"search"_s, u"--onlyvisible"_s, u"--name"_s, title }, &exitCode)
                           .section(u'\n', 0, 0)
                           .trimmed();
    const auto xdotool = [&](const QStringList &arguments) {
        run(u"xdotool"_s, arguments, &exitCode);
        return exitCode == 0;
    };
    // Typed after what the window shows, as a user would click there first.
    return exitCode == 0 && !id.isEmpty() && xdotool({ u"windowfocus"_s, u"--sync"_s, id })
        && (first.isEmpty() || xdotool({ u"key"_s, first })) && xdotool({ u"key"_s, u"ctrl+End"_s })
        && xdotool({ u"type"_s, u"--delay"_s, u"20"_s, text });
}

} // namespace corvane::test
