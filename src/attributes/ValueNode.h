#pragma once

// A decoded attribute value as a tree that views can show without knowing where it came from: a node
// per string, number, date, list or dictionary of a property list, one for plain text, one for a
// quarantine record with its fields as children, one for bytes that are none of these. Each node
// can say what it is in words ("list of 3 texts"), give a one-line preview and the text a user would
// copy. AttributeDescription builds the trees, within limits that keep every text derived from them
// a small multiple of the value's size.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace corvane {

enum class ValueKind {
    String, // a property-list string
    Array, // a property-list array (or set)
    Dictionary, // a property-list dictionary; children carry their keys
    Integer, // up to the 128 bits a property list holds
    Real,
    Boolean,
    Date,
    Data, // a property-list data object
    Text, // plain UTF-8 text that is not a property list
    Quarantine, // com.apple.quarantine's record; children: flags, time, agent, id
    Bytes, // anything else
    Null, // the binary format's null object
};

struct ValueNode {
    ValueKind kind = ValueKind::Bytes;
    QString key; // the key in the parent dictionary or the field in a quarantine record; else empty
    QString string; // String, Text
    QByteArray bytes; // Data, Bytes
    bool boolean = false; // Boolean
    qint64 integerHigh = 0; // Integer: the two's complement 128-bit value's high word
    quint64 integerLow = 0; // and its low word
    double real = 0; // Real; Date: seconds since 2001-01-01 00:00:00 UTC, the property lists' epoch
    QDateTime date; // Date, in UTC; invalid when the seconds are past what a date can hold
    QList<ValueNode> children; // Array, Dictionary, Quarantine

    bool isContainer() const
    {
        return kind == ValueKind::Array || kind == ValueKind::Dictionary || kind == ValueKind::Quarantine;
    }
};

// The kind's name in the listing's JSON: "string", "array", ..., "bytes", "null".
QString kindName(ValueKind kind);

// What the node is, in words a user reads: "text", "list of 3 texts", "dictionary of 2 entries",
// "date", "32 bytes". The one describer of a value: the panel, its Delete question and Save's question
// before it replaces a value the editor cannot show all say it so.
QString kindLabel(const ValueNode &node);

// A scalar's value as text: the string, the integer in decimal, the real in its shortest exact form
// ("NaN", "Infinity", "-Infinity" for those), "true" or "false", the date in ISO 8601 UTC, data and
// bytes in hexadecimal. Empty for containers.
QString scalarText(const ValueNode &node);

// One line of at most `maximumLength` characters: strings with their line breaks shown as U+21B5, the
// items of a list joined by ", ", a dictionary's entries as "key: value" joined by "; ", nested
// containers in brackets; "…" at the end when cut short.
QString preview(const ValueNode &node, qsizetype maximumLength = 200);

// The text a user copies: a string as it is, a list one item per line, a dictionary (and a quarantine
// record) as "key: value" lines, nested containers indented by two spaces below their key or item;
// data and bytes as hexadecimal.
QString copyText(const ValueNode &node);

} // namespace corvane
