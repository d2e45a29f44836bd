#pragma once

// Text typed into the value field and not saved, kept on disk so that closing a window, quitting,
// a SIGTERM or a crash loses none of it: one small file per document under the XDG state directory
// ($XDG_STATE_HOME/Corvane/drafts, else ~/.local/state/Corvane/drafts), written atomically, removed
// once the document has no draft left, and offered back the next time the document is opened.
// Drafts older than keptDays are forgotten.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace corvane {

struct Draft {
    QString name; // the attribute as the editor names it
    QString label; // what the user calls it
    QString text; // the value as Save would store it
    // The value the text was typed over (valueFingerprint), so that Save can tell whether another
    // program wrote the attribute since; nullopt when that value could not be read.
    std::optional<QByteArray> shownFrom;
    QDateTime typed; // the last key typed, UTC

    // A value edited in its own kind (a list, tags, a date...) rather than typed as text: its fields as
    // the user left them, over the bytes they were shown from (none for an attribute being added, of
    // `kind`). `text` above is then empty.
    struct Fields {
        std::optional<QByteArray> shown;
        int kind = 0; // EditKind
        QString text; // the text, lines or number typed
        QDateTime date;
        bool boolean = false;
        QStringList tags; // as the Finder stores each: "Name" or "Name\nN"
    };
    std::optional<Fields> fields;
};

// What an attribute held, in a few bytes: "none" when it was absent, else the SHA-256 of its bytes.
QByteArray valueFingerprint(const std::optional<QByteArray> &value);

class DraftStore {
public:
    static constexpr int keptDays = 30;
    // A drafts file larger than this was not written by Corvane: it is not read.
    static constexpr qint64 maxFileBytes = 16 * 1024 * 1024;

    explicit DraftStore(const QString &directory = defaultDirectory());
    static QString defaultDirectory();
    QString directory() const { return m_directory; }

    // The drafts kept for the file, the newest first, none older than keptDays.
    QList<Draft> load(const QUrl &file, const QDateTime &now = QDateTime::currentDateTimeUtc()) const;
    // Replaces what is kept for the file, atomically; no drafts removes its file. False when the
    // disk refused.
    bool store(const QUrl &file, const QList<Draft> &drafts) const;
    // Removes the files of documents whose every draft is older than keptDays.
    void removeExpired(const QDateTime &now = QDateTime::currentDateTimeUtc()) const;

private:
    QString fileFor(const QUrl &file) const;

    QString m_directory;
};

} // namespace corvane
