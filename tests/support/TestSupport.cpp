#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace corvane::test {

ProcessResult runProgram(
    const QString &program, const QStringList &arguments, const QByteArray &input, int timeoutMs)
{
    ProcessResult result;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return result;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

ProcessResult runPython(const QString &script, const QByteArray &input)
{
    return runProgram(QStringLiteral("python3"), { QStringLiteral("-c"), script }, input);
}

QList<QList<QByteArray>> runPythonPerLine(const QString &fields, const QList<QByteArray> &lines)
{
    const auto result
        = runPython(QStringLiteral("import plistlib,sys,base64,datetime\n"
                                   "for line in sys.stdin:\n"
                                   "    fields=(%1)\n"
                                   "    print(*(base64.b64encode(x).decode() for x in fields))\n")
                        .arg(fields),
            lines.join('\n') + '\n');
    QList<QList<QByteArray>> out;
    if (result.exitCode != 0 || !result.out.endsWith('\n'))
        return out;
    for (const QByteArray &line : result.out.chopped(1).split('\n')) {
        out.append(line.split(' '));
        for (QByteArray &field : out.last())
            field = QByteArray::fromBase64(field);
    }
    return out;
}

std::optional<ProcessResult> rerunUnprivileged()
{
    if (::geteuid() != 0)
        return std::nullopt;
    if (!::getpwnam("nobody"))
        return ProcessResult();
    return runProgram(QStringLiteral("runuser"),
        { QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--"),
            QCoreApplication::applicationFilePath(), QString::fromLatin1(QTest::currentTestFunction()) });
}

} // namespace corvane::test
