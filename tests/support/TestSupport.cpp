#include "support/TestSupport.h"

#include <QProcess>

namespace corvane::test {

ProcessResult runProgram(const QString &program, const QStringList &arguments, const QByteArray &input,
                         int timeoutMs)
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
    return runProgram(QStringLiteral("python3"), {QStringLiteral("-c"), script}, input);
}

} // namespace corvane::test
