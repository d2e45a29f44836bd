#pragma once

// What --set and --tag make of an attribute's bytes: the bytes it is to hold afterwards, decided from
// the bytes it holds now with the editor's own codecs (EditableValue, the editor's string), so that a
// value is written in the form it was found in, its trailing NUL and the exact text of the tags it
// keeps included. Pure functions: the command reads and writes.

#include "cli/ToolArguments.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

// --set's VALUE read for its kind once, before any file is looked at.
struct SetValue {
    SetKind kind = SetKind::Editor;
    QString text; // Editor, Text, Plain
    QStringList items; // List, Tags
    QList<QDateTime> dates; // Date: one or more
};

// Nullopt, with a sentence in *problem, when the text is not a value of the kind (a date that is not
// ISO 8601, a tag name with a control character, no date at all).
std::optional<SetValue> parseSetValue(SetKind kind, const QString &text, QString *problem);

struct ValueEdit {
    std::optional<QByteArray> after; // nullopt: the attribute goes
    QString problem; // not empty: the value cannot be changed so, and nothing is written
};

// --set under `systemName` over what it holds now (nullopt: nothing). The editor's way (no --kind)
// stores the text as Save does: plain text where plain text or a desktop name is found, else a binary
// property list holding one string, an empty text removing the attribute.
ValueEdit setValue(
    const QByteArray &systemName, const std::optional<QByteArray> &current, const SetValue &value);

// --tag on the Finder's tags under `systemName` (a list of "Name" or "Name\nN"; colours and stored
// texts of the tags kept are kept), and on the desktop's comma-separated user.xdg.tags. A list left
// empty removes the attribute.
ValueEdit editFinderTags(const QByteArray &systemName, const std::optional<QByteArray> &current,
    TagOperation operation, const QStringList &tags);
ValueEdit editDesktopTags(const QByteArray &systemName, const std::optional<QByteArray> &current,
    TagOperation operation, const QStringList &tags);

// The tag names a value holds, in either form: a property list of Finder tags or the desktop's
// comma-separated text. Empty for anything else.
QStringList finderTagNames(const QByteArray &bytes);
QStringList desktopTagNamesOf(const QByteArray &bytes);

} // namespace corvane
