#include "attributes/AttributeDescription.h"

#include "attributes/AttributeListing.h"
#include "plist/PlistReader.h"

#include <QStringDecoder>
#include <QTimeZone>
#include <QtEndian>

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// Seconds from 1970-01-01 to 2001-01-01, the two epochs in play.
constexpr qint64 unixTo2001 = 978307200;

ValueNode dateNode(double secondsSince2001, const QDateTime &date)
{
    ValueNode node;
    node.kind = ValueKind::Date;
    node.real = secondsSince2001;
    node.date = date;
    return node;
}

ValueNode dateFromUnix(qint64 seconds, qint64 nanoseconds)
{
    // A QDateTime holds milliseconds in a qint64; beyond that there is no date to show.
    const bool inRange = seconds > -9'000'000'000'000 && seconds < 9'000'000'000'000;
    const QDateTime date = inRange
        ? QDateTime::fromMSecsSinceEpoch(seconds * 1000 + nanoseconds / 1'000'000, QTimeZone::utc())
        : QDateTime();
    return dateNode(double(seconds - unixTo2001) + double(nanoseconds) / 1e9, date);
}

// Turns a property-list tree into a ValueNode tree, counting what every text derived from it will cost
// (shared subtrees of a binary list cost once per reference there). Returns false once over budget.
class TreeBuilder {
public:
    explicit TreeBuilder(qsizetype budget)
        : m_remaining(budget)
    { }

    bool build(const plist::Value &value, const QString &key, int depth, ValueNode &out)
    {
        using Type = plist::Value::Type;
        out.key = key;
        if (!spend(32 + 2 * qsizetype(depth) + key.size()))
            return false;
        switch (value.type()) {
        case Type::Null:
            out.kind = ValueKind::Null;
            return true;
        case Type::Boolean:
            out.kind = ValueKind::Boolean;
            out.boolean = value.toBool();
            return true;
        case Type::Integer:
            out.kind = ValueKind::Integer;
            out.integerHigh = value.integerHigh();
            out.integerLow = value.integerLow();
            return true;
        case Type::Real:
            out.kind = ValueKind::Real;
            out.real = value.toReal();
            return true;
        case Type::Date:
            out = dateNode(value.toDateSeconds(), value.toDateTime());
            out.key = key;
            return true;
        case Type::Data:
            out.kind = ValueKind::Data;
            out.bytes = value.toData();
            return spend(4 * out.bytes.size()); // hexadecimal, and base64 beside it
        case Type::String:
            out.kind = ValueKind::String;
            out.string = value.toString();
            // JSON's \uXXXX at worst, and the copied text indents every line break to the depth.
            return spend(6 * out.string.size() + 2 * qsizetype(depth) * out.string.count(u'\n'));
        case Type::Uid: {
            // As the XML form writes an object reference: a dictionary holding it under CF$UID.
            out.kind = ValueKind::Dictionary;
            ValueNode uid;
            uid.kind = ValueKind::Integer;
            uid.key = u"CF$UID"_s;
            uid.integerLow = value.toUid();
            out.children.append(uid);
            return true;
        }
        case Type::Array:
        case Type::Set:
            out.kind = ValueKind::Array;
            out.children.resize(value.count());
            for (qsizetype i = 0; i < value.count(); ++i) {
                if (!build(value.elements()[i], QString(), depth + 1, out.children[i]))
                    return false;
            }
            return true;
        case Type::Dictionary:
            out.kind = ValueKind::Dictionary;
            out.children.resize(value.count());
            for (qsizetype i = 0; i < value.count(); ++i) {
                if (!build(value.values()[i], value.keys()[i], depth + 1, out.children[i]))
                    return false;
            }
            return true;
        }
        return true;
    }

private:
    bool spend(qsizetype cost)
    {
        m_remaining -= cost;
        return m_remaining >= 0;
    }
    qsizetype m_remaining;
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

ValueNode stringNode(const QString &key, const QString &text)
{
    ValueNode node;
    node.kind = ValueKind::String;
    node.key = key;
    node.string = text;
    return node;
}

// "flags;hex seconds since 1970;agent;id", the last two possibly empty or absent.
std::optional<ValueNode> quarantineRecord(const QString &text)
{
    const QStringList fields = text.split(u';');
    if (fields.size() < 2 || fields.size() > 4 || !isHex(fields[0], 8) || !isHex(fields[1], 15))
        return std::nullopt;
    ValueNode node;
    node.kind = ValueKind::Quarantine;
    node.children.append(stringNode(u"flags"_s, fields[0]));
    ValueNode time = dateFromUnix(fields[1].toLongLong(nullptr, 16), 0);
    time.key = u"time"_s;
    node.children.append(time);
    node.children.append(stringNode(u"agent"_s, fields.value(2)));
    node.children.append(stringNode(u"id"_s, fields.value(3)));
    return node;
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
    ValueNode node;
    node.kind = ValueKind::Bytes;
    node.bytes = bytes.toByteArray();
    return node;
}

} // namespace

AttributeDescription describeAttribute(const AttributeName &name, QByteArrayView value)
{
    AttributeDescription result;
    result.name = name;
    result.size = value.size();

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
        result.value = std::move(node);
        result.trailingNul = result.trailingNul || used.size() < content.size();
        return result;
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
    const qsizetype budget = qMax<qsizetype>(1 << 20, 16 * value.size());
    plist::Format format = plist::Format::Binary;
    std::optional<plist::Value> parsed;
    QByteArrayView parsedBytes = withoutNul;
    if (withoutNul.size() < content.size())
        parsed = plist::parse(withoutNul, nullptr, &format);
    if (!parsed) {
        parsedBytes = content;
        parsed = plist::parse(content, nullptr, &format);
    }
    const auto fromPlist = [&]() -> std::optional<AttributeDescription> {
        ValueNode node;
        if (!TreeBuilder(budget).build(*parsed, QString(), 0, node)) {
            result.tooLargeToExpand = true;
            return describedAs(bytesNode(content), content);
        }
        return describedAs(std::move(node), parsedBytes);
    };
    // Plain text also reads as an old-style property list ("draft" as a string, "(draft)" as a
    // list), so text that is readable stays text; binary and XML lists are never mistaken for it.
    if (parsed && format != plist::Format::OpenStep)
        return *fromPlist();
    if (text) {
        ValueNode node;
        node.kind = ValueKind::Text;
        node.string = *text;
        return describedAs(std::move(node), withoutNul);
    }
    if (parsed)
        return *fromPlist();
    return describedAs(bytesNode(content), content);
}

FileDescription describeFileAttributes(const QByteArray &path)
{
    FileDescription file;
    file.path = path;
    PosixError error;
    std::optional<QList<QByteArray>> names = listExtendedAttributes(path, &error);
    if (!names) {
        file.error = error;
        return file;
    }
    std::sort(names->begin(), names->end());
    file.attributes.reserve(names->size());
    for (const QByteArray &systemName : std::as_const(*names)) {
        const std::optional<QByteArray> value = readExtendedAttributeBytes(path, systemName, &error);
        if (!value && error.code == ENODATA)
            continue;
        const AttributeName name = recogniseAttributeName(systemName);
        if (!value) {
            AttributeDescription unreadable;
            unreadable.name = name;
            unreadable.error = error;
            file.attributes.append(unreadable);
            continue;
        }
        file.attributes.append(describeAttribute(name, *value));
    }
    return file;
}

} // namespace corvane
