#include "cli/Commands.h"

#include "attributes/AttributeNames.h"
#include "cli/Journal.h"
#include "cli/WriteRun.h"

#include <cerrno>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// The changes of a run to take back, read from its journal one at a time.
class Steps {
public:
    explicit Steps(const QString &run)
        : m_run(run)
        , m_notMade(Journal::notMade(run))
    { }

    bool start(QString *error) { return m_reader.open(m_run, error); }
    // The next change the run made, skipping those it planned but did not make.
    std::optional<JournalEntry> next()
    {
        while (std::optional<JournalEntry> entry = m_reader.next()) {
            if (!m_notMade.contains(m_reader.index()))
                return entry;
        }
        return std::nullopt;
    }
    const JournalReader &reader() const { return m_reader; }

private:
    QString m_run;
    QSet<qint64> m_notMade;
    JournalReader m_reader;
};

enum class State { Unreadable, AsBefore, AsLeft, Changed };

State stateOf(const JournalEntry &entry, QString *error)
{
    PosixError readError;
    const std::optional<QByteArray> current
        = readExtendedAttributeBytes(entry.path, entry.name, &readError, entry.links);
    if (!current && readError.code != ENODATA) {
        *error = readError.description;
        return State::Unreadable;
    }
    if (current == entry.before)
        return State::AsBefore;
    return current == entry.after ? State::AsLeft : State::Changed;
}

// The run's command line (shell-quoted when it was kept) on one line of text, for a person to read.
QByteArray oneLine(QByteArray text)
{
    for (char &c : text) {
        if (uchar(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return text;
}

QByteArray where(const JournalEntry &entry)
{
    return octalEscaped(shownPath(entry.path, workingDirectory())) + ": " + octalEscaped(entry.name);
}

} // namespace

int runUndoLast(const ToolRun &tool)
{
    const ToolRequest &request = tool.request;
    ToolStreams &streams = tool.streams;
    const Journal journal;
    const QStringList runs = journal.runs();
    if (runs.isEmpty()) {
        streams.error(Cli::tr("the journal (%1) holds no run to undo").arg(journal.directory()).toUtf8());
        return 1;
    }
    const QString run = runs.last();
    QString error;
    Steps check(run);
    if (!check.start(&error)) {
        streams.error(error.toUtf8());
        return 1;
    }
    streams.out.write(Cli::tr("Undoing the run of %1: corvane %2")
                          .arg(check.reader().time().toString(Qt::ISODate),
                              QString::fromUtf8(oneLine(check.reader().commandLine())))
                          .toUtf8()
        + '\n');

    // First every value is looked at: values another program changed since are only replaced when the
    // user says so, before anything is put back.
    qint64 changed = 0;
    QByteArray changedList;
    while (const std::optional<JournalEntry> entry = check.next()) {
        if (stateOf(*entry, &error) != State::Changed)
            continue;
        if (++changed <= 10)
            changedList += "  " + where(*entry) + '\n';
    }
    if (check.reader().damaged()) {
        streams.error(Cli::tr("%1 is damaged; nothing is put back").arg(run).toUtf8());
        return 1;
    }
    if (changed > 0) {
        streams.err.write(Cli::tr("%n value(s) changed since that run:", nullptr, int(changed)).toUtf8()
            + '\n' + changedList + (changed > 10 ? "  ...\n" : ""));
        if (!request.yes && !request.dryRun) {
            if (!streams.interactive) {
                streams.error(
                    Cli::tr("nothing is put back: that would replace what they hold now. To replace it "
                            "anyway, run corvane --undo-last --yes (--dry-run shows what it would do)")
                        .toUtf8());
                return 1;
            }
            if (!streams.ask(Cli::tr("Put back what they held before that run anyway?"))) {
                streams.error(Cli::tr("nothing is put back").toUtf8());
                return 1;
            }
        }
    }

    Steps steps(run);
    if (!steps.start(&error)) {
        streams.error(error.toUtf8());
        return 1;
    }
    const QByteArray here = workingDirectory();
    FileReport report(streams.out);
    bool failed = false;
    while (const std::optional<JournalEntry> entry = steps.next()) {
        const State state = stateOf(*entry, &error);
        if (state == State::AsBefore)
            continue;
        if (state == State::Unreadable) {
            failed = true;
            streams.error(where(*entry) + ": " + error.toUtf8());
            continue;
        }
        if (!request.dryRun) {
            std::optional<PosixError> written = entry->before
                ? writeExtendedAttributeBytes(entry->path, entry->name, *entry->before, entry->links)
                : removeExtendedAttributeBytes(entry->path, entry->name, entry->links);
            if (written && !entry->before && written->code == ENODATA)
                written.reset();
            if (written) {
                failed = true;
                streams.error(where(*entry) + ": " + written->description.toUtf8());
                continue;
            }
        }
        const QString verb = request.dryRun
            ? (entry->before ? Cli::tr("would put back", "a run's report on an attribute")
                             : Cli::tr("would remove", "a run's report on an attribute"))
            : (entry->before ? Cli::tr("put back", "a run's report on an attribute")
                             : Cli::tr("removed", "a run's report on an attribute"));
        report.add(shownPath(entry->path, here), verb.toUtf8(), entry->name);
    }
    report.flush();
    if (!request.dryRun && !failed)
        journal.forget(run);
    return failed ? 1 : 0;
}

} // namespace corvane
