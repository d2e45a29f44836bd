#include "attributes/ValueNode.h"

namespace corvane {

struct ValueNode::Data : QSharedData {
    ValueKind kind = ValueKind::Bytes;
    bool boolean = false;
    qint64 integerHigh = 0;
    quint64 integerLow = 0;
    double real = 0;
    QString string;
    QByteArray bytes;
    QDateTime date;
    QList<ValueNode> children;
    QStringList keys;
};

ValueNode::ValueNode()
{
    // Every empty node shares one block, so that a tree's placeholders cost nothing.
    static const QExplicitlySharedDataPointer<const Data> empty(new Data);
    d = empty;
}

ValueNode::ValueNode(Data *data)
    : d(data)
{ }

ValueNode::ValueNode(const ValueNode &other) noexcept = default;
ValueNode::ValueNode(ValueNode &&other) noexcept = default;
ValueNode &ValueNode::operator=(const ValueNode &other) noexcept = default;
ValueNode &ValueNode::operator=(ValueNode &&other) noexcept = default;
ValueNode::~ValueNode() = default;

ValueNode ValueNode::fromText(ValueKind kind, const QString &text)
{
    auto *data = new Data;
    data->kind = kind;
    data->string = text;
    return ValueNode(data);
}

ValueNode ValueNode::fromBytes(ValueKind kind, const QByteArray &bytes)
{
    auto *data = new Data;
    data->kind = kind;
    data->bytes = bytes;
    return ValueNode(data);
}

ValueNode ValueNode::fromInteger(qint64 high, quint64 low)
{
    auto *data = new Data;
    data->kind = ValueKind::Integer;
    data->integerHigh = high;
    data->integerLow = low;
    return ValueNode(data);
}

ValueNode ValueNode::fromReal(double real)
{
    auto *data = new Data;
    data->kind = ValueKind::Real;
    data->real = real;
    return ValueNode(data);
}

ValueNode ValueNode::fromBoolean(bool value)
{
    auto *data = new Data;
    data->kind = ValueKind::Boolean;
    data->boolean = value;
    return ValueNode(data);
}

ValueNode ValueNode::fromDate(double secondsSince2001, const QDateTime &date)
{
    auto *data = new Data;
    data->kind = ValueKind::Date;
    data->real = secondsSince2001;
    data->date = date;
    return ValueNode(data);
}

ValueNode ValueNode::null()
{
    auto *data = new Data;
    data->kind = ValueKind::Null;
    return ValueNode(data);
}

ValueNode ValueNode::fromItems(const QList<ValueNode> &items)
{
    auto *data = new Data;
    data->kind = ValueKind::Array;
    data->children = items;
    return ValueNode(data);
}

ValueNode ValueNode::fromEntries(ValueKind kind, const QStringList &keys, const QList<ValueNode> &values)
{
    auto *data = new Data;
    data->kind = kind;
    data->keys = keys;
    data->children = values;
    return ValueNode(data);
}

ValueKind ValueNode::kind() const
{
    return d->kind;
}
const QString &ValueNode::string() const
{
    return d->string;
}
const QByteArray &ValueNode::bytes() const
{
    return d->bytes;
}
bool ValueNode::boolean() const
{
    return d->boolean;
}
qint64 ValueNode::integerHigh() const
{
    return d->integerHigh;
}
quint64 ValueNode::integerLow() const
{
    return d->integerLow;
}
double ValueNode::real() const
{
    return d->real;
}
const QDateTime &ValueNode::date() const
{
    return d->date;
}
const QList<ValueNode> &ValueNode::children() const
{
    return d->children;
}
const QStringList &ValueNode::keys() const
{
    return d->keys;
}
const void *ValueNode::identity() const
{
    return d.data();
}

} // namespace corvane
