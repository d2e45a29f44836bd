#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace corvane::test {

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a real program (python3, getfattr, setfattr, openssl) and waits for it. Fails the test's
// expectations only through the returned exit code; a program that does not start gives -1.
ProcessResult runProgram(const QString &program, const QStringList &arguments,
    const QByteArray &input = QByteArray(), int timeoutMs = 60000);

// Runs a python3 snippet with the given input on standard input.
ProcessResult runPython(const QString &script, const QByteArray &input = QByteArray());

// One python3 for a whole table: each input line is bound to `line`, `fields` is a Python expression
// (plistlib, base64 and datetime imported) giving a sequence of bytes for it. Returns each output
// line's fields decoded; empty when python3 failed, so a size check catches any failure.
QList<QList<QByteArray>> runPythonPerLine(const QString &fields, const QList<QByteArray> &lines);

} // namespace corvane::test
