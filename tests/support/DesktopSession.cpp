#include "support/DesktopSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>

#include <csignal>

namespace corvane::test {

namespace {
constexpr int startTimeoutMs = 30000;
}

DesktopSession::DesktopSession(Bus bus)
{
    myXServer = std::make_unique<QProcess>();
    myXServer->setStandardErrorFile(QProcess::nullDevice());
    myXServer->start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp") });
    const QString display = PrivateBus::firstLine(*myXServer);
    if (display.isEmpty()) {
        myFailure = QStringLiteral("Xvfb did not start (Debian package xvfb)");
        return;
    }
    myDisplay = u':' + display;

    if (bus == Bus::Private) {
        myBus = std::make_unique<PrivateBus>();
        myBusAddress = myBus->address();
        if (myBusAddress.isEmpty())
            myFailure = QStringLiteral("dbus-daemon did not start (Debian package dbus-daemon)");
    } else if (bus == Bus::Nowhere) {
        myBusAddress = QStringLiteral("unix:path=") + mySettings.filePath(QStringLiteral("no-bus-here"));
    }
    QDir(mySettings.path()).mkpath(QStringLiteral("Corvane"));
}

DesktopSession::~DesktopSession()
{
    for (QProcess *process : std::as_const(myLaunched)) {
        if (process->state() != QProcess::NotRunning) {
            ::kill(pid_t(process->processId()), SIGCONT); // a test may have stopped it
            process->kill();
            process->waitForFinished();
        }
        delete process;
    }
    myBus.reset();
    if (myXServer->state() != QProcess::NotRunning) {
        myXServer->terminate();
        if (!myXServer->waitForFinished(5000)) {
            myXServer->kill();
            myXServer->waitForFinished();
        }
    }
}

QString DesktopSession::corvaneProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/corvane");
}

QProcessEnvironment DesktopSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("DISPLAY"), myDisplay);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), mySettings.path());
    // libxkbcommon-x11 hands strndup a keymap name without its NUL, which AddressSanitizer's strict
    // string checks report as an overflow on every start under a real X server; the offscreen tests
    // never load it. Corvane's own code keeps every other check.
    const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
    if (sanitizer.contains(QLatin1String("strict_string_checks=1")))
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
            QString(sanitizer).replace(
                QLatin1String("strict_string_checks=1"), QLatin1String("strict_string_checks=0")));
    if (!myBusAddress.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), myBusAddress);
    return environment;
}

QProcess *DesktopSession::launch(const QStringList &arguments)
{
    auto *process = new QProcess;
    myLaunched.append(process);
    process->setProcessEnvironment(environment());
    process->setWorkingDirectory(mySettings.path());
    process->start(corvaneProgram(), arguments);
    process->waitForStarted(startTimeoutMs);
    return process;
}

QString DesktopSession::run(const QString &program, const QStringList &arguments, int *exitCode) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), myDisplay);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(startTimeoutMs) && process.waitForFinished(startTimeoutMs);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList DesktopSession::mappedWindowTitles() const
{
    // Without a window manager every top-level window is a child of the root window.
    static const QRegularExpression child(QStringLiteral(R"re(^\s*(0x[0-9a-f]+) "(.*)": )re"));
    QStringList titles;
    const QStringList lines
        = run(QStringLiteral("xwininfo"), { QStringLiteral("-root"), QStringLiteral("-children") })
              .split(u'\n');
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = child.match(line);
        if (!match.hasMatch())
            continue;
        const QString state = run(QStringLiteral("xwininfo"), { QStringLiteral("-id"), match.captured(1) });
        if (state.contains(QLatin1String("Map State: IsViewable")))
            titles.append(match.captured(2));
    }
    return titles;
}

bool DesktopSession::typeInto(const QString &title, const QString &text) const
{
    int exitCode = -1;
    const QString id = run(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), title },
        &exitCode)
                           .section(u'\n', 0, 0)
                           .trimmed();
    const auto xdotool = [&](const QStringList &arguments) {
        run(QStringLiteral("xdotool"), arguments, &exitCode);
        return exitCode == 0;
    };
    // Typed after what the window shows, as a user would click there first.
    return exitCode == 0 && !id.isEmpty()
        && xdotool({ QStringLiteral("windowfocus"), QStringLiteral("--sync"), id })
        && xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+End") })
        && xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text });
}

} // namespace corvane::test
