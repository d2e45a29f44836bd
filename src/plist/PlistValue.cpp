#include "plist/PlistValue.h"

#include <QAtomicInt>
#include <QHash>
#include <QTimeZone>

#include <bit>
#include <limits>
#include <utility>

namespace corvane::plist {

struct Value::Data {
    explicit Data(Type kind)
        : type(kind)
    { }
    mutable QAtomicInt references { 1 };
    Type type;
};

// Boolean (high 0 or 1), Integer (two words), Uid (low), Real and Date (the double's bits in low).
struct Value::ScalarData : Data {
    ScalarData(Type kind, qint64 highWord, quint64 lowWord)
        : Data(kind)
        , high(highWord)
        , low(lowWord)
    { }
    qint64 high;
    quint64 low;
};

struct Value::StringData : Data {
    explicit StringData(const QString &text)
        : Data(Type::String)
        , string(text)
    { }
    QString string;
};

struct Value::BytesData : Data {
    explicit BytesData(const QByteArray &data)
        : Data(Type::Data)
        , bytes(data)
    { }
    QByteArray bytes;
};

struct Value::ListData : Data {
    ListData(Type kind, const QList<Value> &values)
        : Data(kind)
        , elements(values)
    { }
    QList<Value> elements;
};

struct Value::DictionaryData : Data {
    DictionaryData()
        : Data(Type::Dictionary)
    { }
    QStringList keys;
    QList<Value> elements;
};

template <typename Kind> const Kind &Value::as() const
{
    return static_cast<const Kind &>(*d);
}

namespace {

const QList<Value> &emptyValues()
{
    static const QList<Value> empty;
    return empty;
}

const QStringList &emptyKeys()
{
    static const QStringList empty;
    return empty;
}

quint64 bitsOf(double value)
{
    return std::bit_cast<quint64>(value);
}

} // namespace

Value::Value() = default;

Value::Value(const Data *adopted)
    : d(adopted)
{ }

Value::Value(const Value &other) noexcept
    : d(other.d)
{
    if (d)
        d->references.ref();
}

Value::Value(Value &&other) noexcept
    : d(std::exchange(other.d, nullptr))
{ }

Value &Value::operator=(const Value &other) noexcept
{
    Value copy(other);
    std::swap(d, copy.d);
    return *this;
}

Value &Value::operator=(Value &&other) noexcept
{
    std::swap(d, other.d);
    return *this;
}

Value::~Value()
{
    if (d && !d->references.deref())
        release(d);
}

// Data has no virtual destructor (it would cost a pointer per value); the kind says what to delete.
void Value::release(const Data *data)
{
    switch (data->type) {
    case Type::String:
        delete static_cast<const StringData *>(data);
        break;
    case Type::Data:
        delete static_cast<const BytesData *>(data);
        break;
    case Type::Array:
    case Type::Set:
        delete static_cast<const ListData *>(data);
        break;
    case Type::Dictionary:
        delete static_cast<const DictionaryData *>(data);
        break;
    default:
        delete static_cast<const ScalarData *>(data);
        break;
    }
}

Value Value::fromBool(bool value)
{
    // Shared instances: a binary list may hold very many one-byte booleans.
    static const Value trueValue(new ScalarData(Type::Boolean, 1, 0));
    static const Value falseValue(new ScalarData(Type::Boolean, 0, 0));
    return value ? trueValue : falseValue;
}

Value Value::fromInteger(qint64 value)
{
    return fromInteger128(value < 0 ? -1 : 0, quint64(value));
}

Value Value::fromUnsignedInteger(quint64 value)
{
    return fromInteger128(0, value);
}

Value Value::fromInteger128(qint64 high, quint64 low)
{
    return Value(new ScalarData(Type::Integer, high, low));
}

Value Value::fromReal(double value)
{
    return Value(new ScalarData(Type::Real, 0, bitsOf(value)));
}

Value Value::fromDate(double secondsSince2001)
{
    return Value(new ScalarData(Type::Date, 0, bitsOf(secondsSince2001)));
}

// Empty strings, data and containers are shared too: an input made of nothing else would otherwise
// cost a whole allocation for every few bytes it holds.
Value Value::fromData(const QByteArray &bytes)
{
    static const Value empty(new BytesData(QByteArray()));
    return bytes.isEmpty() ? empty : Value(new BytesData(bytes));
}

Value Value::fromString(const QString &string)
{
    static const Value empty(new StringData(QString()));
    return string.isEmpty() ? empty : Value(new StringData(string));
}

Value Value::fromUid(quint64 uid)
{
    return Value(new ScalarData(Type::Uid, 0, uid));
}

Value Value::fromArray(const QList<Value> &elements)
{
    static const Value empty(new ListData(Type::Array, QList<Value>()));
    return elements.isEmpty() ? empty : Value(new ListData(Type::Array, elements));
}

Value Value::fromSet(const QList<Value> &elements)
{
    static const Value empty(new ListData(Type::Set, QList<Value>()));
    return elements.isEmpty() ? empty : Value(new ListData(Type::Set, elements));
}

Value Value::fromDictionary(const QStringList &keys, const QList<Value> &values)
{
    static const Value empty(new DictionaryData());
    const qsizetype n = std::min(keys.size(), values.size());
    if (n == 0)
        return empty;
    auto *data = new DictionaryData();
    data->keys.reserve(n);
    data->elements.reserve(n);
    QHash<QString, qsizetype> positions;
    for (qsizetype i = 0; i < n; ++i) {
        const auto found = positions.constFind(keys.at(i));
        if (found != positions.constEnd()) {
            data->elements[*found] = values.at(i);
            continue;
        }
        positions.insert(keys.at(i), data->keys.size());
        data->keys.append(keys.at(i));
        data->elements.append(values.at(i));
    }
    return Value(data);
}

Value::Type Value::type() const
{
    return d ? d->type : Type::Null;
}

bool Value::toBool() const
{
    return type() == Type::Boolean && as<ScalarData>().high != 0;
}

qint64 Value::toInteger(bool *ok) const
{
    if (type() != Type::Integer) {
        if (ok)
            *ok = false;
        return 0;
    }
    const ScalarData &n = as<ScalarData>();
    const bool fits = (n.high == 0 && n.low <= quint64(std::numeric_limits<qint64>::max()))
        || (n.high == -1 && n.low > quint64(std::numeric_limits<qint64>::max()));
    if (ok)
        *ok = fits;
    return fits ? qint64(n.low) : 0;
}

quint64 Value::toUnsignedInteger(bool *ok) const
{
    const bool fits = type() == Type::Integer && as<ScalarData>().high == 0;
    if (ok)
        *ok = fits;
    return fits ? as<ScalarData>().low : 0;
}

qint64 Value::integerHigh() const
{
    return type() == Type::Integer ? as<ScalarData>().high : 0;
}

quint64 Value::integerLow() const
{
    return type() == Type::Integer ? as<ScalarData>().low : 0;
}

double Value::toReal() const
{
    return type() == Type::Real ? std::bit_cast<double>(as<ScalarData>().low) : 0.0;
}

double Value::toDateSeconds() const
{
    return type() == Type::Date ? std::bit_cast<double>(as<ScalarData>().low) : 0.0;
}

QDateTime Value::toDateTime() const
{
    if (type() != Type::Date)
        return {};
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const double ms = toDateSeconds() * 1000.0;
    // QDateTime holds milliseconds in a qint64; anything beyond a few hundred million years is no date.
    if (!(ms > -9.0e15 && ms < 9.0e15))
        return {};
    return epoch.addMSecs(qint64(ms));
}

QByteArray Value::toData() const
{
    return type() == Type::Data ? as<BytesData>().bytes : QByteArray();
}

QString Value::toString() const
{
    return type() == Type::String ? as<StringData>().string : QString();
}

quint64 Value::toUid() const
{
    return type() == Type::Uid ? as<ScalarData>().low : 0;
}

qsizetype Value::count() const
{
    switch (type()) {
    case Type::Array:
    case Type::Set:
        return as<ListData>().elements.size();
    case Type::Dictionary:
        return as<DictionaryData>().elements.size();
    default:
        return 0;
    }
}

const QList<Value> &Value::elements() const
{
    return type() == Type::Array || type() == Type::Set ? as<ListData>().elements : emptyValues();
}

const QStringList &Value::keys() const
{
    return type() == Type::Dictionary ? as<DictionaryData>().keys : emptyKeys();
}

const QList<Value> &Value::values() const
{
    return type() == Type::Dictionary ? as<DictionaryData>().elements : emptyValues();
}

const Value *Value::find(const QString &key) const
{
    if (type() != Type::Dictionary)
        return nullptr;
    const DictionaryData &dictionary = as<DictionaryData>();
    const qsizetype index = dictionary.keys.indexOf(key);
    return index < 0 ? nullptr : &dictionary.elements.at(index);
}

bool Value::operator==(const Value &other) const
{
    if (d == other.d)
        return true;
    if (type() != other.type())
        return false;
    switch (type()) {
    case Type::Null:
        return true;
    case Type::Boolean:
    case Type::Integer:
    case Type::Uid:
        return as<ScalarData>().high == other.as<ScalarData>().high
            && as<ScalarData>().low == other.as<ScalarData>().low;
    case Type::Real:
        return toReal() == other.toReal();
    case Type::Date:
        return toDateSeconds() == other.toDateSeconds();
    case Type::Data:
        return toData() == other.toData();
    case Type::String:
        return toString() == other.toString();
    case Type::Array:
    case Type::Set:
        return elements() == other.elements();
    case Type::Dictionary:
        return keys() == other.keys() && values() == other.values();
    }
    return false;
}

} // namespace corvane::plist
