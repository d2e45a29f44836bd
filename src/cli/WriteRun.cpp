#include "cli/WriteRun.h"

#include "attributes/AttributeNames.h"

#include <cerrno>

#include <unistd.h>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// What the attribute holds now: its bytes, nullopt when absent; false when it cannot be read.
bool readState(const JournalEntry &entry, std::optional<QByteArray> *state, PosixError *error)
{
    *state = readExtendedAttributeBytes(entry.path, entry.name, error, entry.links);
    return *state || error->code == ENODATA;
}

std::optional<PosixError> setState(const JournalEntry &entry, const std::optional<QByteArray> &bytes)
{
    if (bytes)
        return writeExtendedAttributeBytes(entry.path, entry.name, *bytes, entry.links);
    std::optional<PosixError> error = removeExtendedAttributeBytes(entry.path, entry.name, entry.links);
    return error && error->code == ENODATA ? std::nullopt : error;
}

} // namespace

QByteArray shownPath(const QByteArray &absolute, const QByteArray &workingDirectory)
{
    const QByteArray prefix = workingDirectory.endsWith('/') ? workingDirectory : workingDirectory + '/';
    return absolute.startsWith(prefix) && absolute.size() > prefix.size() ? absolute.sliced(prefix.size())
                                                                          : absolute;
}

QByteArray workingDirectory()
{
    QByteArray buffer(4096, '\0');
    while (!::getcwd(buffer.data(), size_t(buffer.size()))) {
        if (errno != ERANGE || buffer.size() > (1 << 20))
            return QByteArray("/");
        buffer.resize(buffer.size() * 2);
    }
    return QByteArray(buffer.constData());
}

QByteArray absolutePath(const QByteArray &path, const QByteArray &workingDirectory)
{
    if (path.startsWith('/'))
        return path;
    return (workingDirectory.endsWith('/') ? workingDirectory : workingDirectory + '/') + path;
}

WriteRun::WriteRun(
    ToolStreams &streams, Journal journal, const QByteArray &commandLine, bool dryRun, bool reportChanges)
    : m_streams(streams)
    , m_journal(std::move(journal))
    , m_dryRun(dryRun)
    , m_report(reportChanges || dryRun ? std::make_unique<FileReport>(streams.out) : nullptr)
    , m_commandLine(commandLine)
    , m_workingDirectory(workingDirectory())
{ }

void WriteRun::plan(const QByteArray &path, const QByteArray &name, LinkMode links,
    const std::optional<QByteArray> &before, const std::optional<QByteArray> &after)
{
    if (before == after)
        return;
    if (path != m_lastPlannedPath || m_planned == 0) {
        ++m_plannedFiles;
        m_lastPlannedPath = path;
    }
    ++m_planned;
    if (m_dryRun) {
        // Shown as the real run will show it, so a dry run's lines can be compared with the run's.
        report(shownPath(absolutePath(path, m_workingDirectory), m_workingDirectory),
            (after ? Cli::tr("would set", "a run's report on an attribute")
                   : Cli::tr("would remove", "a run's report on an attribute"))
                .toUtf8(),
            name);
        return;
    }
    if (!m_writer && m_writerError.isEmpty()) {
        m_writer = std::make_unique<JournalWriter>(m_journal);
        if (!m_writer->open(m_commandLine, &m_writerError))
            m_streams.error(Cli::tr("%1; nothing is changed").arg(m_writerError).toUtf8());
    }
    if (m_writerError.isEmpty())
        m_writer->add({ absolutePath(path, m_workingDirectory), name, links, before, after });
}

void WriteRun::fail(const QByteArray &path, const QString &reason)
{
    m_failed = true;
    m_streams.error(path + ": " + reason.toUtf8());
}

void WriteRun::fail(const QByteArray &path, const QByteArray &name, const QString &reason)
{
    fail(path, QString::fromUtf8(octalEscaped(name)) + u": "_s + reason);
}

int WriteRun::finish(const std::function<bool()> &confirm)
{
    if (m_dryRun || m_planned == 0) {
        if (m_report)
            m_report->flush();
        return m_failed ? 1 : 0;
    }
    if (!m_writerError.isEmpty())
        return 1;
    if (confirm && !confirm()) {
        m_streams.error(Cli::tr("nothing is changed").toUtf8());
        return 1;
    }
    QString error;
    const QString run = m_writer->commit(&error);
    m_writer.reset();
    if (run.isEmpty()) {
        m_streams.error(Cli::tr("%1; nothing is changed").arg(error).toUtf8());
        return 1;
    }
    apply(run);
    return m_failed ? 1 : 0;
}

void WriteRun::apply(const QString &run)
{
    JournalReader reader;
    QString error;
    if (!reader.open(run, &error)) {
        m_streams.error(error.toUtf8());
        m_failed = true;
        return;
    }
    QList<qint64> notMade;
    while (const std::optional<JournalEntry> entry = reader.next()) {
        const QByteArray path = shownPath(entry->path, m_workingDirectory);
        std::optional<QByteArray> current;
        PosixError readError;
        if (!readState(*entry, &current, &readError)) {
            notMade.append(reader.index());
            fail(path, entry->name, readError.description);
            continue;
        }
        if (current != entry->before) {
            notMade.append(reader.index());
            // Already so: the same file named twice, or another program made the same change.
            if (current != entry->after)
                fail(path, entry->name,
                    Cli::tr("changed by another program while Corvane ran; left as it is"));
            continue;
        }
        if (const std::optional<PosixError> written = setState(*entry, entry->after)) {
            notMade.append(reader.index());
            fail(path, entry->name, written->description);
            continue;
        }
        report(path,
            (entry->after ? Cli::tr("set", "a run's report on an attribute")
                          : Cli::tr("removed", "a run's report on an attribute"))
                .toUtf8(),
            entry->name);
    }
    if (m_report)
        m_report->flush();
    if (reader.damaged()) {
        m_failed = true;
        m_streams.error(
            Cli::tr("the journal %1 cannot be read back; the run stopped there").arg(run).toUtf8());
    }
    if (!Journal::writeNotMade(run, notMade, &error)) {
        m_failed = true;
        m_streams.error(error.toUtf8());
    }
}

void WriteRun::report(const QByteArray &path, const QByteArray &verb, const QByteArray &name)
{
    if (m_report)
        m_report->add(path, verb, name);
}

} // namespace corvane
