#include "support/PrivateBus.h"

namespace corvane::test {

namespace {
constexpr int startTimeoutMs = 30000;
}

PrivateBus::PrivateBus(const QString &listenAddress)
{
    QStringList arguments { QStringLiteral("--session"), QStringLiteral("--nofork"),
        QStringLiteral("--print-address") };
    if (!listenAddress.isEmpty())
        arguments.append(QStringLiteral("--address=") + listenAddress);
    myDaemon.setStandardErrorFile(QProcess::nullDevice());
    myDaemon.start(QStringLiteral("dbus-daemon"), arguments);
    myAddress = firstLine(myDaemon);
}

PrivateBus::~PrivateBus()
{
    if (myDaemon.state() != QProcess::NotRunning) {
        myDaemon.terminate();
        if (!myDaemon.waitForFinished(5000)) {
            myDaemon.kill();
            myDaemon.waitForFinished();
        }
    }
}

QString PrivateBus::firstLine(QProcess &process)
{
    QByteArray line;
    process.waitForStarted(startTimeoutMs);
    while (!line.contains('\n') && process.state() == QProcess::Running
        && process.waitForReadyRead(startTimeoutMs))
        line += process.readAllStandardOutput();
    return QString::fromUtf8(line).section(u'\n', 0, 0).trimmed();
}

} // namespace corvane::test
