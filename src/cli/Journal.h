#pragma once

// The command line's journal: before a run changes any attribute, every change it is about to make
// (the file, the name, the bytes before and after) is written to a file of its own under the XDG
// state directory and committed atomically; only then are the changes made, read back from that file,
// so that a run of any size holds one change in memory at a time. --undo-last reads the newest run
// back and puts the bytes before back. The changes a run planned but did not make (refused, already
// so, changed by another program meanwhile) are noted beside it, so that undoing never touches them.
//
// The journal keeps the newest runs only: at most maximumRuns, and no more than maximumBytes between
// them beyond the newest, which is always kept whatever its size.

#include "attributes/AttributeListing.h"

#include <QByteArray>
#include <QDataStream>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QFile;
class QIODevice;
class QSaveFile;

namespace corvane {

struct JournalEntry {
    QByteArray path; // absolute, as the system calls take it
    QByteArray name; // exactly as the system lists it
    LinkMode links = LinkMode::Follow;
    std::optional<QByteArray> before; // nullopt: absent
    std::optional<QByteArray> after; // nullopt: removed
};

class Journal {
public:
    static constexpr int maximumRuns = 10;
    static constexpr qint64 maximumBytes = 256 << 20;

    // $XDG_STATE_HOME/Corvane/journal, or ~/.local/state/Corvane/journal.
    static QString defaultDirectory();

    explicit Journal(QString directory = defaultDirectory());
    QString directory() const { return m_directory; }

    // The runs kept, oldest first.
    QStringList runs() const;
    // Drops the oldest runs beyond the bounds.
    void prune() const;
    // Forgets a run that was undone.
    void forget(const QString &run) const;

    // The entries of a run (counted from 0) that were not made.
    static bool writeNotMade(const QString &run, const QList<qint64> &indices, QString *error);
    static QSet<qint64> notMade(const QString &run);
    // The same, read from what writeNotMade wrote; nothing from anything else.
    static QSet<qint64> readNotMade(QIODevice &device);

private:
    QString m_directory;
};

class JournalWriter {
public:
    explicit JournalWriter(const Journal &journal);
    ~JournalWriter(); // a run not committed leaves nothing behind
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    bool open(const QByteArray &commandLine, QString *error);
    void add(const JournalEntry &entry);
    qint64 count() const { return m_count; }
    // Commits the run (atomically) and prunes the journal; returns the run's file, or empty and *error.
    QString commit(QString *error);

private:
    const Journal &m_journal;
    std::unique_ptr<QSaveFile> m_file;
    QDataStream m_stream;
    qint64 m_count = 0;
};

class JournalReader {
public:
    JournalReader();
    ~JournalReader();
    JournalReader(const JournalReader &) = delete;
    JournalReader &operator=(const JournalReader &) = delete;

    bool open(const QString &run, QString *error);
    // Reads a run from an open device, which must outlive the reader.
    bool open(QIODevice *device, QString *error);
    // The next change, or nullopt at the end or when the file is damaged (see damaged()).
    std::optional<JournalEntry> next();
    bool damaged() const { return m_damaged; }
    qint64 index() const { return m_index; } // of the entry next() returned last

    QDateTime time() const { return m_time; }
    QByteArray commandLine() const { return m_commandLine; }

private:
    std::unique_ptr<QFile> m_file;
    QDataStream m_stream;
    QDateTime m_time;
    QByteArray m_commandLine;
    qint64 m_index = -1;
    bool m_damaged = false;
    bool m_ended = false;
};

} // namespace corvane
