#pragma once

// One run of a command that changes attributes: the changes are planned file by file (each with the
// bytes before and after), written to the journal and committed, and only then made, read back from
// the journal one at a time. A change is made only while the attribute still holds what it held when
// planned; what is refused, already so or changed meanwhile is noted so that --undo-last leaves it.
// With --dry-run the plan is printed instead and nothing is written anywhere.

#include "cli/Journal.h"
#include "cli/ToolStreams.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

class WriteRun {
public:
    // `reportChanges`: print a line per file changed (restore and undo report what they did).
    // `commandLine` is kept in the journal, to say which run --undo-last takes back.
    WriteRun(ToolStreams &streams, Journal journal, const QByteArray &commandLine, bool dryRun,
        bool reportChanges);

    // Plans a change of the attribute (nothing when before and after are the same). `shownPath` is the
    // path as the user gave it; the journal keeps it absolute.
    void plan(const QByteArray &shownPath, const QByteArray &name, LinkMode links,
        const std::optional<QByteArray> &before, const std::optional<QByteArray> &after);
    // Something could not be planned: the message goes to standard error and the run fails.
    void fail(const QByteArray &path, const QString &reason);
    void fail(const QByteArray &path, const QByteArray &name, const QString &reason);

    qint64 plannedChanges() const { return m_planned; }
    qint64 plannedFiles() const { return m_plannedFiles; }

    // Commits the journal and makes the changes; `confirm` (when given) is asked first and may stop
    // the run. Returns the exit status: 0 when everything was done, 1 otherwise.
    int finish(const std::function<bool()> &confirm = {});

private:
    void apply(const QString &run);
    void report(const QByteArray &path, const QByteArray &verb, const QByteArray &name);

    ToolStreams &m_streams;
    Journal m_journal;
    bool m_dryRun;
    std::unique_ptr<FileReport> m_report;
    bool m_failed = false;
    QByteArray m_commandLine;
    QByteArray m_workingDirectory;
    std::unique_ptr<JournalWriter> m_writer;
    QString m_writerError;
    qint64 m_planned = 0;
    qint64 m_plannedFiles = 0;
    QByteArray m_lastPlannedPath;
};

// The absolute form of a path given relative to the working directory, and back for messages.
QByteArray absolutePath(const QByteArray &path, const QByteArray &workingDirectory);
QByteArray shownPath(const QByteArray &absolute, const QByteArray &workingDirectory);
QByteArray workingDirectory();

} // namespace corvane
