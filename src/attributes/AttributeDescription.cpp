#include "attributes/AttributeDescription.h"

#include "attributes/AttributeListing.h"
#include "attributes/ExpansionBudget.h"
#include "plist/PlistReader.h"

#include <QStringDecoder>
#include <QTimeZone>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// Seconds from 1970-01-01 to 2001-01-01, the two epochs in play.
constexpr qint64 unixTo2001 = 978307200;

ValueNode dateFromUnix(qint64 seconds, qint64 nanoseconds)
{
    // A QDateTime holds milliseconds in a qint64; beyond that there is no date to show.
    const bool inRange = seconds > -9'000'000'000'000 && seconds < 9'000'000'000'000;
    const QDateTime date = inRange
        ? QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanoseconds / 1'000'000, QTimeZone::utc())
        : QDateTime();
    // In floating point: the seconds may be as far from 2001 as a qint64 reaches.
    return ValueNode::fromDate(double(seconds) - double(unixTo2001) + double(nanoseconds) / 1e9, date);
}

// Turns a property-list tree into a ValueNode tree that shares what the property list shares: each
// object the binary form references many times becomes one node referenced as often, so building costs
// what the input holds. Equal scalars share too, which changes nothing a view shows.
class TreeBuilder {
public:
    ValueNode build(const plist::Value &value)
    {
        using Type = plist::Value::Type;
        const Key key = keyOf(value);
        if (const auto found = m_built.constFind(key); found != m_built.cend())
            return *found;
        ValueNode node;
        switch (value.type()) {
        case Type::Null:
            node = ValueNode::null();
            break;
        case Type::Boolean:
            node = ValueNode::fromBoolean(value.toBool());
            break;
        case Type::Integer:
            node = ValueNode::fromInteger(value.integerHigh(), value.integerLow());
            break;
        case Type::Real:
            node = ValueNode::fromReal(value.toReal());
            break;
        case Type::Date:
            node = ValueNode::fromDate(value.toDateSeconds(), value.toDateTime());
            break;
        case Type::Data:
            node = ValueNode::fromBytes(ValueKind::Data, value.toData());
            break;
        case Type::String:
            node = ValueNode::fromText(ValueKind::String, value.toString());
            break;
        case Type::Uid:
            // As the XML form writes an object reference: a dictionary holding it under CF$UID.
            node = ValueNode::fromEntries(
                ValueKind::Dictionary, { u"CF$UID"_s }, { ValueNode::fromInteger(0, value.toUid()) });
            break;
        case Type::Array:
        case Type::Set: {
            QList<ValueNode> items;
            items.reserve(value.count());
            for (const plist::Value &element : value.elements())
                items.append(build(element));
            node = ValueNode::fromItems(items);
            break;
        }
        case Type::Dictionary: {
            QList<ValueNode> values;
            values.reserve(value.count());
            for (const plist::Value &element : value.values())
                values.append(build(element));
            node = ValueNode::fromEntries(ValueKind::Dictionary, value.keys(), values);
            break;
        }
        }
        m_built.insert(key, node);
        return node;
    }

private:
    // What makes two property-list values one node: the same shared container or text (their data's
    // address, which lives as long as the tree being built), or the same scalar.
    struct Key {
        int type;
        quint64 first;
        quint64 second;
        bool operator==(const Key &) const = default;
    };
    friend size_t qHash(const Key &key, size_t seed = 0)
    {
        return qHashMulti(seed, key.type, key.first, key.second);
    }

    static Key keyOf(const plist::Value &value)
    {
        using Type = plist::Value::Type;
        const auto address = [](const void *p) { return quint64(quintptr(p)); };
        switch (value.type()) {
        case Type::Null:
            return { 0, 0, 0 };
        case Type::Boolean:
            return { 1, value.toBool(), 0 };
        case Type::Integer:
            return { 2, quint64(value.integerHigh()), value.integerLow() };
        case Type::Real:
            return { 3, std::bit_cast<quint64>(value.toReal()), 0 };
        case Type::Date:
            return { 4, std::bit_cast<quint64>(value.toDateSeconds()), 0 };
        case Type::Uid:
            return { 5, value.toUid(), 0 };
        case Type::String: {
            const QString text = value.toString();
            return { 6, address(text.constData()), quint64(text.size()) };
        }
        case Type::Data: {
            const QByteArray data = value.toData();
            return { 7, address(data.constData()), quint64(data.size()) };
        }
        case Type::Array:
        case Type::Set:
            return { 8, address(&value.elements()), quint64(value.count()) };
        case Type::Dictionary:
            return { 9, address(&value.values()), quint64(value.count()) };
        }
        return { -1, 0, 0 };
    }

    QHash<Key, ValueNode> m_built;
};

std::optional<QString> readableText(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    for (QChar c : std::as_const(text)) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return std::nullopt;
    }
    return text;
}

bool isHex(QStringView field, qsizetype maximumLength)
{
    if (field.isEmpty() || field.size() > maximumLength)
        return false;
    return std::all_of(
        field.begin(), field.end(), [](QChar c) { return c.unicode() < 0x80 && std::isxdigit(c.unicode()); });
}

// "flags;hex seconds since 1970;agent;id", the last two possibly empty or absent.
std::optional<ValueNode> quarantineRecord(const QString &text)
{
    const QStringList fields = text.split(u';');
    if (fields.size() < 2 || fields.size() > 4 || !isHex(fields[0], 8) || !isHex(fields[1], 15))
        return std::nullopt;
    const auto field = [](const QString &value) { return ValueNode::fromText(ValueKind::String, value); };
    return ValueNode::fromEntries(ValueKind::Quarantine, { u"flags"_s, u"time"_s, u"agent"_s, u"id"_s },
        { field(fields[0]), dateFromUnix(fields[1].toLongLong(nullptr, 16), 0), field(fields.value(2)),
            field(fields.value(3)) });
}

// struct timespec as macOS stores it: seconds and nanoseconds, each 64-bit little-endian.
std::optional<ValueNode> timespecDate(QByteArrayView bytes)
{
    if (bytes.size() != 16)
        return std::nullopt;
    const qint64 seconds = qFromLittleEndian<qint64>(bytes.data());
    const qint64 nanoseconds = qFromLittleEndian<qint64>(bytes.data() + 8);
    if (nanoseconds < 0 || nanoseconds >= 1'000'000'000)
        return std::nullopt;
    return dateFromUnix(seconds, nanoseconds);
}

ValueNode bytesNode(QByteArrayView bytes)
{
    return ValueNode::fromBytes(ValueKind::Bytes, bytes.toByteArray());
}

} // namespace

AttributeDescription describeAttribute(
    const AttributeName &name, QByteArrayView value, ExpansionBudget *budget)
{
    AttributeDescription result;
    result.name = name;
    result.size = value.size();
    ExpansionBudget ownBudget;
    if (!budget)
        budget = &ownBudget;
    const qsizetype inputSize = name.systemName.size() + value.size();

    QByteArrayView content = value;
    const bool endsWithNul = value.endsWith('\0');
    if (endsWithNul && name.form == AttributeNameForm::SambaStream) {
        // Samba's framing of every stream, never part of the value.
        content.chop(1);
        result.trailingNul = true;
    }
    // Exactly one NUL: more than one is not a writer's terminator but part of the bytes.
    QByteArrayView withoutNul = content;
    if (content.endsWith('\0') && !content.chopped(1).endsWith('\0'))
        withoutNul.chop(1);
    const auto describedAs = [&](ValueNode node, QByteArrayView used) {
        budget->spend(inputSize, expansionCost(node));
        result.value = std::move(node);
        result.trailingNul = result.trailingNul || used.size() < content.size();
        return result;
    };
    const auto asBytes = [&](bool tooLargeToExpand) {
        result.tooLargeToExpand = tooLargeToExpand;
        return describedAs(bytesNode(content), content);
    };

    if (name.macName == u"com.apple.lastuseddate#PS"_s) {
        for (QByteArrayView candidate : { content, withoutNul }) {
            if (auto date = timespecDate(candidate))
                return describedAs(*date, candidate);
        }
    }
    const std::optional<QString> text = readableText(withoutNul);
    if (text && name.macName == u"com.apple.quarantine"_s) {
        if (auto record = quarantineRecord(*text))
            return describedAs(*record, withoutNul);
    }

    // The reader takes one trailing NUL itself; trying without it first tells whether one was there.
    plist::Format format = plist::Format::Binary;
    std::optional<plist::Value> parsed;
    QByteArrayView parsedBytes = withoutNul;
    QString parseError;
    if (withoutNul.size() < content.size())
        parsed = plist::parse(withoutNul, nullptr, &format);
    if (!parsed) {
        parsedBytes = content;
        parsed = plist::parse(content, &parseError, &format);
    }
    const auto fromPlist = [&] {
        ValueNode node = TreeBuilder().build(*parsed);
        if (!expansionCost(node).fitsWithin(budget->allowance(inputSize)))
            return asBytes(true);
        return describedAs(std::move(node), parsedBytes);
    };
    // Plain text also reads as an old-style property list ("draft" as a string, "(draft)" as a
    // list), so text that is readable stays text; binary and XML lists are never mistaken for it.
    if (parsed && format != plist::Format::OpenStep)
        return fromPlist();
    if (text)
        return describedAs(ValueNode::fromText(ValueKind::Text, *text), withoutNul);
    if (parsed)
        return fromPlist();
    // The reader stops a binary list whose references multiply its nodes far beyond its size.
    return asBytes(parseError.startsWith(u"too many nodes"_s));
}

QString tooLargeToExpandNote()
{
    return u"a property list that would expand to more than %1 times its size; shown as its bytes"_s.arg(
        ExpansionBudget::perInputByte);
}

std::optional<QList<QByteArray>> listAttributeNames(const QByteArray &path, PosixError *error, LinkMode links)
{
    std::optional<QList<QByteArray>> names = listExtendedAttributes(path, error, links);
    if (names)
        std::sort(names->begin(), names->end());
    return names;
}

std::optional<AttributeDescription> readAttribute(
    const QByteArray &path, const QByteArray &systemName, ExpansionBudget &budget, LinkMode links)
{
    PosixError error;
    const std::optional<QByteArray> value = readExtendedAttributeBytes(path, systemName, &error, links);
    if (!value && error.code == ENODATA)
        return std::nullopt;
    if (!value) {
        AttributeDescription unreadable;
        unreadable.name = recogniseAttributeName(systemName);
        unreadable.error = error;
        return unreadable;
    }
    return describeAttribute(recogniseAttributeName(systemName), *value, &budget);
}

FileDescription describeFileAttributes(const QByteArray &path)
{
    FileDescription file;
    file.path = path;
    PosixError error;
    const std::optional<QList<QByteArray>> names = listAttributeNames(path, &error);
    if (!names) {
        file.error = error;
        return file;
    }
    ExpansionBudget budget;
    file.attributes.reserve(names->size());
    for (const QByteArray &name : *names) {
        if (std::optional<AttributeDescription> attribute = readAttribute(path, name, budget))
            file.attributes.append(std::move(*attribute));
    }
    return file;
}

} // namespace corvane
