#pragma once

#include "support/TestSupport.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace corvane::test {

// The built corvane run as a user runs it from a shell: arguments as raw bytes (file names need not be
// UTF-8), no display, and a home, configuration and state directory of its own that live as long as
// this object, so every run sees the journal and preferences its test left and nothing else. A test
// that makes one fails when corvane is not built.
class CorvaneTool {
public:
    CorvaneTool();

    QString home() const { return m_home.path(); }
    QString configDirectory() const { return m_home.filePath(QStringLiteral("config")); }
    QString journalDirectory() const { return m_home.filePath(QStringLiteral("state/Corvane/journal")); }
    // Writes the preferences file's [General] section.
    bool setPreferences(const QByteArray &lines) const;

    // Runs in `directory` (the home when empty) with `input` on standard input.
    ProcessResult run(const QList<QByteArray> &arguments, const QByteArray &input = QByteArray(),
        const QString &directory = QString()) const;
    // Runs on a terminal (a pseudo-terminal of python's pty module) and types `answer` and Enter once
    // the question ending in "[y/N] " is on it; `out` holds all the terminal showed.
    ProcessResult runOnTerminal(const QList<QByteArray> &arguments, const QByteArray &answer,
        const QString &directory = QString()) const;

private:
    QTemporaryDir m_home;
};

} // namespace corvane::test
