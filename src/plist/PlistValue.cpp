#include "plist/PlistValue.h"

#include <QHash>
#include <QTimeZone>

#include <limits>

namespace corvane::plist {

struct Value::Data {
    Type type = Type::Null;
    qint64 high = 0; // Integer: high word; Boolean: 0 or 1
    quint64 low = 0; // Integer: low word; Uid: the number
    double real = 0; // Real and Date
    QString string {};
    QByteArray bytes {};
    QList<Value> elements {}; // Array and Set elements, Dictionary values
    QStringList keys {};
};

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

} // namespace

Value::Value() = default;

Value::Value(std::shared_ptr<const Data> data)
    : d(std::move(data))
{ }

Value Value::fromBool(bool value)
{
    // Shared instances: a binary list may hold very many one-byte booleans.
    static const Value trueValue(std::make_shared<const Data>(Data{.type = Type::Boolean, .high = 1}));
    static const Value falseValue(std::make_shared<const Data>(Data{.type = Type::Boolean}));
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
    return Value(std::make_shared<const Data>(Data{.type = Type::Integer, .high = high, .low = low}));
}

Value Value::fromReal(double value)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Real, .real = value}));
}

Value Value::fromDate(double secondsSince2001)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Date, .real = secondsSince2001}));
}

Value Value::fromData(const QByteArray &bytes)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Data, .bytes = bytes}));
}

Value Value::fromString(const QString &string)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::String, .string = string}));
}

Value Value::fromUid(quint64 uid)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Uid, .low = uid}));
}

Value Value::fromArray(const QList<Value> &elements)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Array, .elements = elements}));
}

Value Value::fromSet(const QList<Value> &elements)
{
    return Value(std::make_shared<const Data>(Data{.type = Type::Set, .elements = elements}));
}

Value Value::fromDictionary(const QStringList &keys, const QList<Value> &values)
{
    auto data = std::make_shared<Data>();
    data->type = Type::Dictionary;
    const qsizetype n = std::min(keys.size(), values.size());
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
    return Value(std::move(data));
}

Value::Type Value::type() const
{
    return d ? d->type : Type::Null;
}

bool Value::toBool() const
{
    return type() == Type::Boolean && d->high != 0;
}

qint64 Value::toInteger(bool *ok) const
{
    const bool fits = type() == Type::Integer
        && ((d->high == 0 && d->low <= quint64(std::numeric_limits<qint64>::max()))
            || (d->high == -1 && d->low > quint64(std::numeric_limits<qint64>::max())));
    if (ok)
        *ok = fits;
    return fits ? qint64(d->low) : 0;
}

quint64 Value::toUnsignedInteger(bool *ok) const
{
    const bool fits = type() == Type::Integer && d->high == 0;
    if (ok)
        *ok = fits;
    return fits ? d->low : 0;
}

qint64 Value::integerHigh() const
{
    return type() == Type::Integer ? d->high : 0;
}

quint64 Value::integerLow() const
{
    return type() == Type::Integer ? d->low : 0;
}

double Value::toReal() const
{
    return type() == Type::Real ? d->real : 0.0;
}

double Value::toDateSeconds() const
{
    return type() == Type::Date ? d->real : 0.0;
}

QDateTime Value::toDateTime() const
{
    if (type() != Type::Date)
        return {};
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    const double ms = d->real * 1000.0;
    // QDateTime holds milliseconds in a qint64; anything beyond a few hundred million years is no date.
    if (!(ms > -9.0e15 && ms < 9.0e15))
        return {};
    return epoch.addMSecs(qint64(ms));
}

QByteArray Value::toData() const
{
    return type() == Type::Data ? d->bytes : QByteArray();
}

QString Value::toString() const
{
    return type() == Type::String ? d->string : QString();
}

quint64 Value::toUid() const
{
    return type() == Type::Uid ? d->low : 0;
}

qsizetype Value::count() const
{
    switch (type()) {
    case Type::Array:
    case Type::Set:
    case Type::Dictionary:
        return d->elements.size();
    default:
        return 0;
    }
}

const QList<Value> &Value::elements() const
{
    return type() == Type::Array || type() == Type::Set ? d->elements : emptyValues();
}

const QStringList &Value::keys() const
{
    return type() == Type::Dictionary ? d->keys : emptyKeys();
}

const QList<Value> &Value::values() const
{
    return type() == Type::Dictionary ? d->elements : emptyValues();
}

const Value *Value::find(const QString &key) const
{
    if (type() != Type::Dictionary)
        return nullptr;
    const qsizetype index = d->keys.indexOf(key);
    return index < 0 ? nullptr : &d->elements.at(index);
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
        return d->high == other.d->high && d->low == other.d->low;
    case Type::Real:
    case Type::Date:
        return d->real == other.d->real;
    case Type::Data:
        return d->bytes == other.d->bytes;
    case Type::String:
        return d->string == other.d->string;
    case Type::Array:
    case Type::Set:
        return d->elements == other.d->elements;
    case Type::Dictionary:
        return d->keys == other.d->keys && d->elements == other.d->elements;
    }
    return false;
}

} // namespace corvane::plist
