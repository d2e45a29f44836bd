#include "plist/PlistWriter.h"

#include <QHash>

#include <algorithm>
#include <bit>
#include <cmath>
#include <numeric>
#include <utility>

namespace corvane::plist {

namespace {

using Type = Value::Type;

void appendBigEndian(QByteArray *out, quint64 value, int width)
{
    for (int shift = 8 * (width - 1); shift >= 0; shift -= 8)
        out->append(char((value >> shift) & 0xFF));
}

// The smallest of 1, 2, 4 or 8 bytes that holds the value, as plistlib (and Core Foundation) choose.
int widthFor(quint64 value)
{
    if (value < (quint64(1) << 8))
        return 1;
    if (value < (quint64(1) << 16))
        return 2;
    if (value < (quint64(1) << 32))
        return 4;
    return 8;
}

void appendMarker(QByteArray *out, quint8 kind, quint64 length)
{
    if (length < 15) {
        out->append(char(kind | length));
        return;
    }
    out->append(char(kind | 0x0F));
    const int width = widthFor(length);
    out->append(char(0x10 | std::countr_zero(unsigned(width))));
    appendBigEndian(out, length, width);
}

void appendString(QByteArray *out, const QString &string)
{
    // An OR over all units, without an early exit, so the compiler vectorises it.
    char16_t high = 0;
    for (QChar c : string)
        high |= c.unicode();
    const bool ascii = high < 0x80;
    appendMarker(out, ascii ? 0x50 : 0x60, quint64(string.size()));
    const qsizetype start = out->size();
    if (ascii) {
        out->resize(start + string.size());
        char *to = out->data() + start;
        for (QChar c : string)
            *to++ = char(c.unicode());
    } else {
        // UTF-16 code units as they are: a surrogate pair stays two units.
        out->resize(start + 2 * string.size());
        char *to = out->data() + start;
        for (QChar c : string) {
            *to++ = char(c.unicode() >> 8);
            *to++ = char(c.unicode() & 0xFF);
        }
    }
}

void appendInteger(QByteArray *out, qint64 high, quint64 low)
{
    const bool fitsSigned64
        = (high == 0 && low < (quint64(1) << 63)) || (high == -1 && low >= (quint64(1) << 63));
    if (fitsSigned64 && high == 0 && low < (quint64(1) << 32)) {
        const int width = widthFor(low);
        out->append(char(0x10 | std::countr_zero(unsigned(width))));
        appendBigEndian(out, low, width);
    } else if (fitsSigned64) {
        // plistlib writes every negative number in 8 bytes.
        out->append(char(0x13));
        appendBigEndian(out, low, 8);
    } else {
        out->append(char(0x14));
        appendBigEndian(out, quint64(high), 8);
        appendBigEndian(out, low, 8);
    }
}

struct Object {
    Value value;
    QList<qsizetype> references; // an array's elements; a dictionary's keys, then its values
};

// Assigns every object its number in plistlib's order: depth first, a container before what it holds,
// a dictionary's keys (sorted) before its values. A value seen before keeps its first number.
class Flattener {
public:
    QList<Object> flatten(const Value &root)
    {
        struct Pending {
            Value value;
            qsizetype parent;
            qsizetype slot;
        };
        // A stack instead of recursion: any depth the caller hands over is written.
        QList<Pending> stack { { root, -1, 0 } };
        // Most trees are one list of strings: size for that, and let deeper ones grow.
        m_objects.reserve(root.count() + 1);
        m_strings.reserve(root.count() + 1);
        while (!stack.isEmpty()) {
            Pending item = stack.takeLast();
            const qsizetype number = claim(item.value, m_objects.size());
            if (number == m_objects.size()) {
                m_objects.append({ item.value, {} });
                const QList<Value> children = childrenOf(item.value);
                m_objects.last().references.resize(children.size());
                for (qsizetype i = children.size() - 1; i >= 0; --i)
                    stack.append({ children[i], number, i });
            }
            if (item.parent >= 0)
                m_objects[item.parent].references[item.slot] = number;
        }
        return std::move(m_objects);
    }

private:
    static QList<Value> childrenOf(const Value &value)
    {
        if (value.type() != Type::Dictionary)
            return value.elements();
        const QStringList &keys = value.keys();
        QList<qsizetype> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
            [&keys](qsizetype a, qsizetype b) { return lessByCodePoint(keys[a], keys[b]); });
        QList<Value> children;
        children.reserve(2 * keys.size());
        for (qsizetype i : order)
            children.append(Value::fromString(keys[i]));
        for (qsizetype i : order)
            children.append(value.values()[i]);
        return children;
    }

    // Where plistlib looks a scalar up by (type, value): a Python float's NaN equals only itself, and
    // the one NaN object plistlib can meet twice is the one its reader shared.
    static bool sharesByValue(const Value &value)
    {
        switch (value.type()) {
        case Type::Real:
            return !std::isnan(value.toReal());
        case Type::Date:
            return !std::isnan(value.toDateSeconds());
        case Type::Array:
        case Type::Set:
        case Type::Dictionary:
        case Type::Uid:
            return false;
        default:
            return true;
        }
    }

    static bool isEmptyContainer(const Value &value)
    {
        return (value.isArray() || value.isSet() || value.isDictionary()) && value.count() == 0;
    }

    // Numbers, dates and booleans by their kind and bits (so -0.0 stays apart from 0.0); strings and
    // data in maps of their own, which share the caller's buffers instead of copying them into keys.
    static QByteArray scalarKey(const Value &value)
    {
        QByteArray key(1, char(value.type()));
        switch (value.type()) {
        case Type::Integer:
            appendBigEndian(&key, quint64(value.integerHigh()), 8);
            appendBigEndian(&key, value.integerLow(), 8);
            break;
        case Type::Real:
            appendBigEndian(&key, std::bit_cast<quint64>(value.toReal()), 8);
            break;
        case Type::Date:
            appendBigEndian(&key, std::bit_cast<quint64>(value.toDateSeconds()), 8);
            break;
        case Type::Boolean:
            key.append(char(value.toBool()));
            break;
        default: // Null: one object, as Python's None is
            break;
        }
        return key;
    }

    // The number the value already has, or `next`, which it then keeps: one lookup either way.
    qsizetype claim(const Value &value, qsizetype next)
    {
        const auto claimIn = [next](auto &numbers, const auto &key) {
            // Numbers are stored plus one, so that the default-constructed 0 means "new".
            qsizetype &slot = numbers[key];
            if (slot == 0)
                slot = next + 1;
            return slot - 1;
        };
        if (value.isString())
            return claimIn(m_strings, value.toString());
        if (value.type() == Type::Data)
            return claimIn(m_data, value.toData());
        if (sharesByValue(value))
            return claimIn(m_scalars, scalarKey(value));
        if (isEmptyContainer(value))
            return next;
        return claimIn(m_byIdentity, value.identity());
    }

    QList<Object> m_objects;
    QHash<QString, qsizetype> m_strings;
    QHash<QByteArray, qsizetype> m_data;
    QHash<QByteArray, qsizetype> m_scalars;
    QHash<const void *, qsizetype> m_byIdentity;
};

void appendObject(QByteArray *out, const Object &object, int referenceSize)
{
    const Value &value = object.value;
    const auto appendReferences = [&](quint8 kind, qsizetype count) {
        appendMarker(out, kind, quint64(count));
        for (qsizetype reference : object.references)
            appendBigEndian(out, quint64(reference), referenceSize);
    };
    switch (value.type()) {
    case Type::Null:
        out->append('\0');
        break;
    case Type::Boolean:
        out->append(char(value.toBool() ? 0x09 : 0x08));
        break;
    case Type::Integer:
        appendInteger(out, value.integerHigh(), value.integerLow());
        break;
    case Type::Real:
        out->append(char(0x23));
        appendBigEndian(out, std::bit_cast<quint64>(value.toReal()), 8);
        break;
    case Type::Date:
        out->append(char(0x33));
        appendBigEndian(out, std::bit_cast<quint64>(value.toDateSeconds()), 8);
        break;
    case Type::Data:
        appendMarker(out, 0x40, quint64(value.toData().size()));
        out->append(value.toData());
        break;
    case Type::String:
        appendString(out, value.toString());
        break;
    case Type::Uid: {
        const int width = widthFor(value.toUid());
        out->append(char(0x80 | (width - 1)));
        appendBigEndian(out, value.toUid(), width);
        break;
    }
    case Type::Array:
        appendReferences(0xA0, object.references.size());
        break;
    case Type::Set:
        appendReferences(0xC0, object.references.size());
        break;
    case Type::Dictionary:
        appendReferences(0xD0, object.references.size() / 2);
        break;
    }
}

// What the bytes of one object come to at most, to size the buffer once.
qsizetype estimatedSize(const Object &object, int referenceSize)
{
    const Value &value = object.value;
    constexpr qsizetype marker = 10;
    switch (value.type()) {
    case Type::String:
        return marker + 2 * value.toString().size();
    case Type::Data:
        return marker + value.toData().size();
    case Type::Array:
    case Type::Set:
    case Type::Dictionary:
        return marker + referenceSize * object.references.size();
    default:
        return 17;
    }
}

} // namespace

bool lessByCodePoint(const QString &left, const QString &right)
{
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        char16_t a = left[i].unicode();
        char16_t b = right[i].unicode();
        if (a == b)
            continue;
        // Surrogates (U+D800-DFFF) stand for code points above U+FFFF, so they go after U+E000-FFFF.
        if (a >= 0xD800 && b >= 0xD800) {
            a = QChar::isSurrogate(a) ? char16_t(a + 0x2000) : char16_t(a - 0x800);
            b = QChar::isSurrogate(b) ? char16_t(b + 0x2000) : char16_t(b - 0x800);
        }
        return a < b;
    }
    return left.size() < right.size();
}

namespace {

QByteArray writeObjects(const QList<Object> &objects)
{
    const int referenceSize = widthFor(quint64(objects.size()));
    qsizetype estimate = 8 + 32 + 8 * objects.size();
    for (const Object &object : objects)
        estimate += estimatedSize(object, referenceSize);

    QByteArray out;
    out.reserve(estimate);
    out.append("bplist00", 8);
    QList<quint64> offsets;
    offsets.reserve(objects.size());
    for (const Object &object : objects) {
        offsets.append(quint64(out.size()));
        appendObject(&out, object, referenceSize);
    }
    const quint64 tableOffset = quint64(out.size());
    // plistlib sizes offsets by where the offset table starts, not by the largest offset in it.
    const int offsetSize = widthFor(tableOffset);
    for (quint64 offset : std::as_const(offsets))
        appendBigEndian(&out, offset, offsetSize);

    out.append(6, '\0');
    out.append(char(offsetSize));
    out.append(char(referenceSize));
    appendBigEndian(&out, quint64(objects.size()), 8);
    appendBigEndian(&out, 0, 8); // the top object is always the first
    appendBigEndian(&out, tableOffset, 8);
    return out;
}

} // namespace

QByteArray writeBinary(const Value &value)
{
    return writeObjects(Flattener().flatten(value));
}

QByteArray writeBinary(const QString &string)
{
    // One object, nothing to share: no need to look anything up.
    return writeObjects({ Object { Value::fromString(string), {} } });
}

} // namespace corvane::plist
