#pragma once

// What a window remembers of the attribute writes and removals made from it, so that each can be
// taken back byte for byte. The history holds only bytes and names; applying a step to the file, and
// checking first that nobody else changed the attribute since, are the free functions below it.

#include "attributes/ExtendedAttributes.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <deque>
#include <optional>

namespace corvane {

struct AttributeChange {
    QUrl file;
    QString name; // as the editor names it; the attribute layer maps it to the system's name
    QString label; // what the user calls it: a catalogue entry, or the name as typed
    std::optional<QByteArray> before; // nullopt: the attribute was absent
    std::optional<QByteArray> after; // nullopt: the change removed it

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

    qsizetype size() const { return qsizetype(mySteps.size()); }
    qsizetype bytes() const { return myBytes; }

private:
    std::deque<AttributeChange> mySteps;
    qsizetype myApplied = 0; // steps [0, myApplied) are in effect
    qsizetype myBytes = 0;
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
