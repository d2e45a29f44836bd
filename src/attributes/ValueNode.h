#pragma once

// A decoded attribute value as a tree that views can show without knowing where it came from: a node
// per string, number, date, list or dictionary of a property list, one for plain text, one for a
// quarantine record with its fields as children, one for bytes that are none of these. Each node
// can say what it is in words ("list of 3 texts"), give a one-line preview and the text a user would
// copy. AttributeDescription builds the trees, within limits that keep every text derived from them
// a small multiple of the value's size.
//
// Nodes are immutable and implicitly shared, as the property-list values they come from: a subtree
// that a binary list references a thousand times is one node referenced a thousand times, so a tree
// costs memory for what its input holds, not for what it expands to. A dictionary keeps its keys
// beside its children, so that one subtree can sit under several keys.

#include <QByteArray>
#include <QDateTime>
#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

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

class ValueNode {
public:
    ValueNode(); // no bytes
    ValueNode(const ValueNode &other) noexcept;
    ValueNode(ValueNode &&other) noexcept;
    ValueNode &operator=(const ValueNode &other) noexcept;
    ValueNode &operator=(ValueNode &&other) noexcept;
    ~ValueNode();

    static ValueNode fromText(ValueKind kind, const QString &text); // String or Text
    static ValueNode fromBytes(ValueKind kind, const QByteArray &bytes); // Data or Bytes
    // Two's complement 128-bit integer: high word (signed) and low word.
    static ValueNode fromInteger(qint64 high, quint64 low);
    static ValueNode fromReal(double real);
    static ValueNode fromBoolean(bool value);
    // Seconds since 2001-01-01 00:00:00 UTC, the property lists' epoch, and that time in UTC (invalid
    // when the seconds are past what a date can hold).
    static ValueNode fromDate(double secondsSince2001, const QDateTime &date);
    static ValueNode null();
    static ValueNode fromItems(const QList<ValueNode> &items); // Array
    // Dictionary or Quarantine (flags, time, agent, id); keys parallel to values.
    static ValueNode fromEntries(ValueKind kind, const QStringList &keys, const QList<ValueNode> &values);

    ValueKind kind() const;
    bool isContainer() const
    {
        return kind() == ValueKind::Array || kind() == ValueKind::Dictionary
            || kind() == ValueKind::Quarantine;
    }
    const QString &string() const; // String, Text
    const QByteArray &bytes() const; // Data, Bytes
    bool boolean() const;
    qint64 integerHigh() const;
    quint64 integerLow() const;
    double real() const; // Real; Date: seconds since 2001-01-01 00:00:00 UTC
    const QDateTime &date() const; // Date
    const QList<ValueNode> &children() const; // Array, Dictionary, Quarantine
    // The children's keys in a dictionary or the fields of a quarantine record; empty otherwise.
    const QStringList &keys() const;
    // The same for every node that shares this one's data: what a walk over a tree with shared
    // subtrees remembers in order to visit each of them once.
    const void *identity() const;

private:
    struct Data;
    explicit ValueNode(Data *data);
    QExplicitlySharedDataPointer<const Data> d;
};

// The kind's name in the listing's JSON: "string", "array", ..., "bytes", "null".
QString kindName(ValueKind kind);

// Words for people are in the user's language; the listing's text form keeps the English it documents.
enum class Wording { Translated, English };

// What the node is, in words a user reads: "text", "list of 3 texts", "dictionary of 2 entries",
// "date", "32 bytes". The one describer of a value: the panel, its Delete question and Save's question
// before it replaces a value the editor cannot show all say it so.
QString kindLabel(const ValueNode &node, Wording wording = Wording::Translated);

// A scalar's value as text: the string, the integer in decimal, the real in its shortest exact form
// ("NaN", "Infinity", "-Infinity" for those), "true" or "false", the date in ISO 8601 UTC, data and
// bytes in hexadecimal. Empty for containers.
QString scalarText(const ValueNode &node);

// A date as ISO 8601 in UTC, to the microsecond where it has a fraction of a second (".250" when it is
// whole milliseconds); nullopt for NaN and for a time outside the years 1 to 9999, which ISO 8601's
// four-digit years cannot write.
std::optional<QString> isoDateText(double secondsSince2001);

// One line of at most `maximumLength` characters: strings with their line breaks shown as U+21B5, the
// items of a list joined by ", ", a dictionary's entries as "key: value" joined by "; ", nested
// containers in brackets; "…" at the end when cut short.
QString preview(const ValueNode &node, qsizetype maximumLength = 200);

// The text a user copies: a string as it is, a list one item per line, a dictionary (and a quarantine
// record) as "key: value" lines, nested containers indented by two spaces below their key or item;
// data and bytes as hexadecimal.
QString copyText(const ValueNode &node);

// Whether any key or any scalar's text (numbers and dates as shown; data and bytes not) contains
// `text`, in any case. Each shared subtree is searched once, so a search costs what the value holds on
// disk, not what it expands to.
bool containsText(const ValueNode &node, QStringView text);

} // namespace corvane
