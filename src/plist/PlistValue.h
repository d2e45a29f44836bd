#pragma once

// The property-list layer: PlistReader turns bytes of any of the three serializations into a tree of
// Value, PlistWriter turns a tree back into the binary or the XML form. Values are immutable and implicitly
// shared, so a subtree that the binary form references many times is held once in memory.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace corvane::plist {

class Value {
public:
    enum class Type { Null, Boolean, Integer, Real, Date, Data, String, Uid, Array, Set, Dictionary };

    Value(); // Null
    Value(const Value &other) noexcept;
    Value(Value &&other) noexcept;
    Value &operator=(const Value &other) noexcept;
    Value &operator=(Value &&other) noexcept;
    ~Value();

    static Value fromBool(bool value);
    static Value fromInteger(qint64 value);
    static Value fromUnsignedInteger(quint64 value);
    // Two's complement 128-bit integer: high word (signed) and low word.
    static Value fromInteger128(qint64 high, quint64 low);
    static Value fromReal(double value);
    // Seconds since 2001-01-01 00:00:00 UTC, the epoch of the format.
    static Value fromDate(double secondsSince2001);
    static Value fromData(const QByteArray &data);
    static Value fromString(const QString &string);
    static Value fromUid(quint64 uid);
    static Value fromArray(const QList<Value> &elements);
    static Value fromSet(const QList<Value> &elements);
    // A key given twice keeps its first position and its last value.
    static Value fromDictionary(const QStringList &keys, const QList<Value> &values);

    Type type() const;
    bool isNull() const { return type() == Type::Null; }
    bool isString() const { return type() == Type::String; }
    bool isArray() const { return type() == Type::Array; }
    bool isSet() const { return type() == Type::Set; }
    bool isDictionary() const { return type() == Type::Dictionary; }

    bool toBool() const; // false unless Boolean
    qint64 toInteger(bool *ok = nullptr) const; // *ok false unless an Integer within qint64
    quint64 toUnsignedInteger(bool *ok = nullptr) const; // *ok false unless an Integer within quint64
    qint64 integerHigh() const; // the 128-bit value's words; 0 unless Integer
    quint64 integerLow() const;
    double toReal() const; // 0 unless Real
    double toDateSeconds() const; // seconds since 2001-01-01 UTC; 0 unless Date
    QDateTime toDateTime() const; // invalid unless Date
    QByteArray toData() const; // empty unless Data
    QString toString() const; // empty unless String
    quint64 toUid() const; // 0 unless Uid

    qsizetype count() const; // elements of Array/Set, entries of Dictionary, else 0
    const QList<Value> &elements() const; // Array/Set elements (empty otherwise)
    const QStringList &keys() const; // Dictionary keys in order (empty otherwise)
    const QList<Value> &values() const; // Dictionary values, parallel to keys() (empty otherwise)
    const Value *find(const QString &key) const; // nullptr if absent or not a dictionary

    // Copies share one identity, distinct values made separately do not (empty strings, data and
    // containers excepted: those are one shared instance each). The binary writer writes a container
    // once per identity, as plistlib writes a Python object once.
    const void *identity() const { return d; }

    // Deep comparison; reals compare by value (so NaN differs from itself) and dates likewise.
    bool operator==(const Value &other) const;
    bool operator!=(const Value &other) const { return !(*this == other); }

private:
    // One allocation per value, sized by its kind and counting its own references: a tree of a million
    // small values must not cost a million times the largest kind, nor a control block each, and a
    // reference is one pointer.
    struct Data;
    struct ScalarData;
    struct StringData;
    struct BytesData;
    struct ListData;
    struct DictionaryData;
    explicit Value(const Data *adopted); // takes over the one reference a new Data holds
    static void release(const Data *data);
    template <typename Kind> const Kind &as() const;
    const Data *d = nullptr;
};

} // namespace corvane::plist
