#include "support/TestSupport.h"

#include "attributes/ExtendedAttributes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace corvane::test {

QString corvaneProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../src/corvane");
}

QString TestFiles::make(const QString &name, const QByteArray &data) const
{
    const QString file = path(name);
    QFile out(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath())
        || !out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(data) != data.size())
        return QString();
    return file;
}

bool setAttributesWithPython(const QList<PythonAttribute> &attributes)
{
    QByteArray lines;
    for (const PythonAttribute &attribute : attributes)
        lines += QFile::encodeName(attribute.path).toHex() + ' ' + attribute.name.toHex() + ' '
            + attribute.value.toUtf8() + '\n';
    return runPython(QStringLiteral("import os, sys, plistlib, datetime, struct\n"
                                    "for line in sys.stdin:\n"
                                    "    path, name, value = line.split(' ', 2)\n"
                                    "    path = bytes.fromhex(path)\n"
                                    "    os.path.exists(path) or open(path, 'ab').close()\n"
                                    "    os.setxattr(path, bytes.fromhex(name), eval(value))\n"),
               lines)
               .exitCode
        == 0;
}

ProcessResult runProgram(const QString &program, const QStringList &arguments, const QByteArray &input,
    int timeoutMs, const QProcessEnvironment &environment)
{
    ProcessResult result;
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
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

namespace {
QString onDisk(const QString &name)
{
    return QString::fromUtf8(systemAttributeName(name));
}
} // namespace

bool setAttributeWithTool(const QString &path, const QString &name, const QByteArray &value)
{
    if (value.isNull())
        return runProgram(QStringLiteral("setfattr"), { QStringLiteral("-x"), onDisk(name), path }).exitCode
            == 0;
    const QString hex
        = value.isEmpty() ? QString() : QStringLiteral("0x") + QString::fromLatin1(value.toHex());
    const QStringList arguments { QStringLiteral("-n"), onDisk(name), QStringLiteral("-v"), hex, path };
    return runProgram(QStringLiteral("setfattr"), arguments).exitCode == 0;
}

std::optional<QByteArray> attributeFromTool(const QString &path, const QString &name)
{
    const ProcessResult result = runProgram(QStringLiteral("getfattr"),
        { QStringLiteral("--absolute-names"), QStringLiteral("--only-values"), QStringLiteral("-n"),
            onDisk(name), path });
    if (result.exitCode != 0)
        return std::nullopt;
    return result.out;
}

// python3 takes a while to start on a busy machine, and many rows ask for the same value.
QByteArray plistlibDump(const QString &pythonExpression, const QString &format)
{
    static QHash<QString, QByteArray> cache;
    const QString key = format + QLatin1Char('\n') + pythonExpression;
    if (!cache.contains(key)) {
        const QString script
            = QStringLiteral("import plistlib, sys\n"
                             "value = eval(sys.stdin.buffer.read().decode('utf-8'))\n"
                             "fmt = plistlib.FMT_BINARY if sys.argv[1] == 'binary' else plistlib.FMT_XML\n"
                             "sys.stdout.buffer.write(plistlib.dumps(value, fmt=fmt))\n");
        const ProcessResult result = runProgram(
            QStringLiteral("python3"), { QStringLiteral("-c"), script, format }, pythonExpression.toUtf8());
        if (result.exitCode != 0)
            return QByteArray();
        cache.insert(key, result.out);
    }
    return cache.value(key);
}

QByteArray plistlibBinaryString(const QString &text)
{
    // Handed over as hex, so that any text reaches Python unchanged.
    return plistlibDump(QStringLiteral("bytes.fromhex('%1').decode('utf-8', 'surrogatepass')")
                            .arg(QString::fromLatin1(text.toUtf8().toHex())));
}

FileSnapshot snapshotOf(const QString &path)
{
    FileSnapshot snapshot;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        snapshot.data = file.readAll();
    snapshot.modified = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    return snapshot;
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
