#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

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
