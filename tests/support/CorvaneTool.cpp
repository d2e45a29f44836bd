#include "support/CorvaneTool.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace corvane::test {

namespace {

// Execs the program with the arguments given in hexadecimal, as bytes; in "tty" mode on a
// pseudo-terminal, answering the first question.
const char *const launcher = R"PY(
import os, sys
mode, directory, answer, *args = sys.argv[1:]
args = [bytes.fromhex(a) for a in args]
os.chdir(bytes.fromhex(directory))
if mode == 'plain':
    os.execv(args[0], args)
import pty
pid, fd = pty.fork()
if pid == 0:
    os.execv(args[0], args)
seen, answered = b'', False
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    seen += chunk
    if not answered and seen.rstrip().endswith(b'[y/N]'):
        os.write(fd, bytes.fromhex(answer) + b'\n')
        answered = True
status = os.waitpid(pid, 0)[1]
sys.stdout.buffer.write(seen)
sys.exit(os.waitstatus_to_exitcode(status))
)PY";

} // namespace

CorvaneTool::CorvaneTool()
{
    QDir(m_home.path()).mkpath(QStringLiteral("config"));
    QVERIFY2(QFile::exists(corvaneProgram()), "build the corvane target first");
}

bool CorvaneTool::setPreferences(const QByteArray &lines) const
{
    QDir(configDirectory()).mkpath(QStringLiteral("Corvane"));
    QFile file(configDirectory() + QStringLiteral("/Corvane/Corvane.conf"));
    return file.open(QIODevice::WriteOnly) && file.write("[General]\n" + lines) >= 0;
}

static ProcessResult launch(const CorvaneTool &tool, const char *mode, const QList<QByteArray> &arguments,
    const QByteArray &answer, const QByteArray &input, const QString &directory)
{
    QStringList launcherArguments { QStringLiteral("-c"), QString::fromLatin1(launcher),
        QString::fromLatin1(mode),
        QString::fromLatin1(QFile::encodeName(directory.isEmpty() ? tool.home() : directory).toHex()),
        QString::fromLatin1(answer.toHex()),
        QString::fromLatin1(QFile::encodeName(corvaneProgram()).toHex()) };
    for (const QByteArray &argument : arguments)
        launcherArguments.append(QString::fromLatin1(argument.toHex()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS" })
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("XDG_STATE_HOME"), tool.home() + QStringLiteral("/state"));
    environment.insert(QStringLiteral("HOME"), tool.home());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), tool.configDirectory());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return runProgram(QStringLiteral("python3"), launcherArguments, input, 120000, environment);
}

ProcessResult CorvaneTool::run(
    const QList<QByteArray> &arguments, const QByteArray &input, const QString &directory) const
{
    return launch(*this, "plain", arguments, QByteArray(), input, directory);
}

ProcessResult CorvaneTool::runOnTerminal(
    const QList<QByteArray> &arguments, const QByteArray &answer, const QString &directory) const
{
    ProcessResult result = launch(*this, "tty", arguments, answer, QByteArray(), directory);
    result.out.replace("\r\n", "\n"); // the terminal's line discipline
    return result;
}

} // namespace corvane::test
