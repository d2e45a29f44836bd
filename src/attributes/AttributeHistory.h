#pragma once

// What a window remembers of the attribute writes and removals made from it, so that each can be
// taken back byte for byte, on the file it was made to. The history holds only bytes, names and the
// file's identity; applying a step is EditSession's, with the free functions below.

#include "attributes/ExtendedAttributes.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <deque>
#include <optional>

namespace corvane {

// Which file a path named: the entry itself (lstat) and, for a symbolic link, the file it led to
// (stat). A path that later names another file, a link where there was none, or nothing, has another
// identity or none, so a change is never taken back on a file it was not made to.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool isLink = false;
    quint64 targetDevice = 0;
    quint64 targetInode = 0;
    bool operator==(const FileIdentity &) const = default;
};
std::optional<FileIdentity> identityOf(const QUrl &file);

// Another attribute a step changes together with its first: a copy between Finder's attributes and the
// desktop's, tags kept in step on both sides. Taken back and made again with the step, never alone.
struct AttributeStep {
    QString name;
    std::optional<QByteArray> before;
    std::optional<QByteArray> after;
};

struct AttributeChange {
    QUrl file;
    FileIdentity identity; // of the file when the change was made
    QString name; // as the editor names it; the attribute layer maps it to the system's name
    QString label; // what the user calls it: a catalogue entry, or the name as typed
    std::optional<QByteArray> before; // nullopt: the attribute was absent
    std::optional<QByteArray> after; // nullopt: the change removed it
    bool valueChange = false; // made to a value in its own kind (a list, tags, a date), not by Save
    QList<AttributeStep> alongside {}; // the other attributes of the step, after `name`
    QString action {}; // what the menu calls the step when not a save, removal or change: "Copy of …"

    bool isRemoval() const { return !after; }
    qsizetype cost() const;
};

// A linear history with a cursor: steps before it can be undone, steps after it redone. Recording a
// new step forgets what could be redone. Bounded by steps and by bytes, the oldest going first.
class AttributeHistory {
public:
    static constexpr qsizetype maxSteps = 100;
    static constexpr qsizetype maxBytes = 16 * 1024 * 1024;

    void record(AttributeChange change);

    const AttributeChange *nextUndo() const;
    const AttributeChange *nextRedo() const;
    void didUndo(); // the step nextUndo() named was taken back
    void didRedo();

    qsizetype size() const { return qsizetype(m_steps.size()); }
    qsizetype bytes() const { return m_bytes; }

private:
    std::deque<AttributeChange> m_steps;
    qsizetype m_applied = 0; // steps [0, m_applied) are in effect
    qsizetype m_bytes = 0;
};

// What the attribute holds now: its bytes, or nullopt when absent. A read that fails for another
// reason than absence returns the error, and *state says nothing.
std::optional<PosixError> readAttributeState(
    const QUrl &file, const QString &name, std::optional<QByteArray> *state);

// Puts the attribute into the given state: writes the bytes, or removes it (an attribute already
// absent is left so, without an error).
std::optional<PosixError> setAttributeState(
    const QUrl &file, const QString &name, const std::optional<QByteArray> &bytes);

} // namespace corvane
