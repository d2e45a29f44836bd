#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <optional>

namespace corvane::test {

// The corvane program of this build, beside the tests.
QString corvaneProgram();

// Files of the test's own, in a fresh temporary folder that goes with the object.
class TestFiles {
public:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QUrl url(const QString &name) const { return QUrl::fromLocalFile(path(name)); }
    // Makes the file (and the folders it is in) holding `data`; its path, or "" when that failed.
    QString make(const QString &name, const QByteArray &data = QByteArray()) const;

private:
    QTemporaryDir m_dir;
};

// Sets attributes as another program does, with python's os.setxattr, one python for them all. Each
// value is a Python expression (plistlib, datetime and struct imported); a path that names nothing is
// made an empty file. Names are bytes, as the system takes them.
struct PythonAttribute {
    QString path;
    QByteArray name;
    QString value;
};
bool setAttributesWithPython(const QList<PythonAttribute> &attributes);

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a real program (python3, getfattr, setfattr, openssl, corvane) and waits for it, in `environment`
// when one is given. Fails the test's expectations only through the returned exit code; a program that
// does not start, crashes or outlasts the timeout gives -1.
ProcessResult runProgram(const QString &program, const QStringList &arguments,
    const QByteArray &input = QByteArray(), int timeoutMs = 60000,
    const QProcessEnvironment &environment = QProcessEnvironment());

// Runs a python3 snippet with the given input on standard input.
ProcessResult runPython(const QString &script, const QByteArray &input = QByteArray());

// One python3 for a whole table: each input line is bound to `line`, `fields` is a Python expression
// (plistlib, base64 and datetime imported) giving a sequence of bytes for it. Returns each output
// line's fields decoded; empty when python3 failed, so a size check catches any failure.
QList<QList<QByteArray>> runPythonPerLine(const QString &fields, const QList<QByteArray> &lines);

// Attributes set and read by the attr tools, outside Corvane. Names are given as Corvane sees them;
// the tools get them as they are on disk (in user. unless in another namespace). A null value removes.
bool setAttributeWithTool(const QString &path, const QString &name, const QByteArray &value);
std::optional<QByteArray> attributeFromTool(const QString &path, const QString &name);

// python3's plistlib: a value (a Python expression) serialized as "binary" or "xml".
QByteArray plistlibDump(const QString &pythonExpression, const QString &format = QStringLiteral("binary"));
QByteArray plistlibBinaryString(const QString &text);

// A file's data and modification time, to show that nothing but attributes changed.
struct FileSnapshot {
    QByteArray data;
    QDateTime modified;
    bool operator==(const FileSnapshot &) const = default;
};
FileSnapshot snapshotOf(const QString &path);

// Root passes every permission check. A case that needs them refused calls this first: as root it runs
// the current test function again in a child test process as the user nobody and returns that run's
// result (exit code 0: passed; -1: no such user could run it); otherwise it returns nullopt and the case
// goes on in this process.
std::optional<ProcessResult> rerunUnprivileged();
#define CORVANE_RUN_UNPRIVILEGED()                                                                           \
    if (const auto child = corvane::test::rerunUnprivileged()) {                                             \
        if (child->exitCode == -1)                                                                           \
            QSKIP("running as root, and no unprivileged user (nobody) could run the case");                  \
        QVERIFY2(child->exitCode == 0, (child->out + child->err).constData());                               \
        return;                                                                                              \
    }

} // namespace corvane::test
