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
    m_daemon.setStandardErrorFile(QProcess::nullDevice());
    m_daemon.start(QStringLiteral("dbus-daemon"), arguments);
    m_address = firstLine(m_daemon);
}

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished();
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
