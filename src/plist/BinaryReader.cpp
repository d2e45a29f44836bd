// Reader for the binary form ("bplist00"). Every number in the trailer, the offset table and the objects
// is untrusted: each is checked against the input before it is used to index or to allocate.

#include "plist/PlistFormats.h"
#include "plist/PlistReader.h"

#include <QList>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <sys/mman.h>
#include <vector>

namespace corvane::plist::detail {

namespace {

constexpr qsizetype headerSize = 8;
constexpr qsizetype trailerSize = 32;
// Header, one one-byte object, a one-byte offset table and the trailer.
constexpr qsizetype minimumSize = headerSize + 1 + 1 + trailerSize;

// A table of zeroed words that costs memory only where it is written. Large tables are fresh anonymous
// pages, which the kernel zeroes on first touch: a big object area with a few objects in it (a long
// string referenced many times) then costs a few pages, not four bytes for every byte of the area.
class ZeroedTable {
public:
    ZeroedTable() = default;
    ZeroedTable(const ZeroedTable &) = delete;
    ZeroedTable &operator=(const ZeroedTable &) = delete;
    ~ZeroedTable()
    {
        if (m_mapped)
            munmap(m_words, m_bytes);
        else
            std::free(m_words);
    }
    bool allocate(qsizetype words)
    {
        m_bytes = size_t(words) * sizeof(quint32);
        m_mapped = m_bytes >= 64 * 1024;
        if (!m_mapped) {
            m_words = static_cast<quint32 *>(std::calloc(size_t(words), sizeof(quint32)));
            return m_words != nullptr;
        }
        void *pages = mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        m_words = pages == MAP_FAILED ? nullptr : static_cast<quint32 *>(pages);
        m_mapped = m_words != nullptr;
        return m_words != nullptr;
    }
    quint32 &operator[](qsizetype i) { return m_words[i]; }

private:
    quint32 *m_words = nullptr;
    size_t m_bytes = 0;
    bool m_mapped = false;
};

class BinaryReader {
public:
    BinaryReader(QByteArrayView bytes, QString *error)
        : m_bytes(bytes)
        , m_error(error)
        , m_budget(bytes.size())
    { }

    std::optional<Value> read();

private:
    enum class State : quint8 { Unread, Reading, Read };

    bool fail(const char *message)
    {
        if (m_error && m_error->isEmpty())
            *m_error = QString::fromUtf8(message);
        return false;
    }
    quint64 bigEndian(qsizetype at, int width) const
    {
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | quint8(m_bytes[at + i]);
        return value;
    }
    bool objectOffset(quint64 index, qsizetype *offset);
    bool readLength(qsizetype *at, quint8 marker, quint64 *length);
    bool checkRefs(qsizetype at, quint64 count);
    quint64 ref(qsizetype at, quint64 i) const { return bigEndian(at + qsizetype(i) * m_refSize, m_refSize); }
    bool readObject(quint64 index, int depth, Value *out, quint32 *slot);
    bool readContainer(quint8 marker, qsizetype at, int depth, Value *out, qsizetype *nodes, int *height);

    QByteArrayView m_bytes;
    QString *m_error;
    NodeBudget m_budget;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    qsizetype m_tableOffset = 0; // objects lie in [headerSize, m_tableOffset)
    struct Object {
        Value value;
        // Nodes in the object's tree, so a shared subtree is charged to the budget at every reference.
        quint32 nodes = 0;
        // Levels of nesting inside it, so a shared subtree reached deeper still obeys the cap.
        quint16 height = 0;
        State state = State::Unread;
    };
    // Objects are decoded once per offset, not once per index: an offset table may name the same bytes
    // a million times, and every such alias then shares one decoded value instead of holding a copy.
    // m_slotAt maps an offset in the object area to its decoded object's place in m_slots, plus one
    // (0: not decoded yet); only objects actually reached take a place.
    quint32 &slotAt(qsizetype offset) { return m_objectCount == 1 ? m_onlySlot : m_slotAt[offset]; }
    ZeroedTable m_slotAt;
    quint32 m_onlySlot = 0;
    std::vector<Object> m_slots;
};

std::optional<Value> BinaryReader::read()
{
    if (m_bytes.size() < minimumSize)
        return fail("binary property list too short"), std::nullopt;
    if (m_bytes.first(headerSize) != QByteArrayView("bplist00"))
        return fail("unsupported binary property list version"), std::nullopt;

    const qsizetype trailer = m_bytes.size() - trailerSize;
    m_offsetSize = quint8(m_bytes[trailer + 6]);
    m_refSize = quint8(m_bytes[trailer + 7]);
    m_objectCount = bigEndian(trailer + 8, 8);
    const quint64 topObject = bigEndian(trailer + 16, 8);
    const quint64 tableOffset = bigEndian(trailer + 24, 8);

    // Some writers use widths that are not powers of two (3 bytes, say); any of 1 to 8 is sound.
    if (m_offsetSize < 1 || m_offsetSize > 8)
        return fail("offset width outside 1 to 8"), std::nullopt;
    if (m_refSize < 1 || m_refSize > 8)
        return fail("reference width outside 1 to 8"), std::nullopt;
    if (m_objectCount == 0)
        return fail("no objects"), std::nullopt;
    if (topObject >= m_objectCount)
        return fail("top object outside the object table"), std::nullopt;
    if (tableOffset < quint64(headerSize + 1) || tableOffset >= quint64(trailer))
        return fail("offset table outside the input"), std::nullopt;
    m_tableOffset = qsizetype(tableOffset);
    const quint64 tableRoom = quint64(trailer - m_tableOffset);
    // Compared by division: objectCount * offsetSize may not fit in 64 bits.
    if (m_objectCount > tableRoom / quint64(m_offsetSize))
        return fail("offset table runs past the input"), std::nullopt;
    // A reference must be able to name every object; wider counts than the width allows are corrupt.
    if (m_refSize < 8 && m_objectCount > (quint64(1) << (8 * m_refSize)))
        return fail("more objects than references can name"), std::nullopt;

    // Four bytes per byte of the object area; a list of one object has nothing to share.
    if (m_objectCount > 1)
        if (!m_slotAt.allocate(m_tableOffset))
            return fail("out of memory"), std::nullopt;
    Value root;
    quint32 slot = 0;
    if (!readObject(topObject, 0, &root, &slot))
        return std::nullopt;
    return root;
}

bool BinaryReader::objectOffset(quint64 index, qsizetype *offset)
{
    if (index >= m_objectCount)
        return fail("reference outside the object table");
    const quint64 value = bigEndian(m_tableOffset + qsizetype(index) * m_offsetSize, m_offsetSize);
    if (value < quint64(headerSize) || value >= quint64(m_tableOffset))
        return fail("object offset outside the object area");
    *offset = qsizetype(value);
    return true;
}

// The low nibble holds lengths below 15; 15 announces an integer object holding the length.
bool BinaryReader::readLength(qsizetype *at, quint8 marker, quint64 *length)
{
    if ((marker & 0x0F) != 0x0F) {
        *length = marker & 0x0F;
        return true;
    }
    if (*at >= m_tableOffset)
        return fail("length runs past the object area");
    const quint8 intMarker = quint8(m_bytes[*at]);
    if ((intMarker & 0xF0) != 0x10 || (intMarker & 0x0F) > 3)
        return fail("malformed length");
    const int width = 1 << (intMarker & 0x0F);
    if (m_tableOffset - (*at + 1) < width)
        return fail("length runs past the object area");
    *length = bigEndian(*at + 1, width);
    *at += 1 + width;
    return true;
}

bool BinaryReader::checkRefs(qsizetype at, quint64 count)
{
    const quint64 room = quint64(m_tableOffset - at);
    if (count > room / quint64(m_refSize))
        return fail("container length exceeds the input");
    return true;
}

bool BinaryReader::readObject(quint64 index, int depth, Value *out, quint32 *slot)
{
    qsizetype at = 0;
    if (!objectOffset(index, &at))
        return false;
    *slot = slotAt(at);
    if (*slot != 0) {
        const Object &object = m_slots[*slot - 1];
        if (object.state == State::Reading)
            return fail("reference cycle");
        if (depth + object.height > maximumDepth)
            return fail("nesting deeper than 512 levels");
        if (!m_budget.take(object.nodes))
            return fail("too many nodes (shared references multiply the tree)");
        *out = object.value;
        return true;
    }
    // Places are never given back, so their number stays below the size of the object area.
    m_slots.emplace_back();
    *slot = quint32(m_slots.size());
    slotAt(at) = *slot;
    const quint8 marker = quint8(m_bytes[at]);
    ++at;
    const qsizetype left = m_tableOffset - at;
    const quint8 kind = marker >> 4;
    const quint8 low = marker & 0x0F;
    Value value;
    qsizetype nodes = 1;
    int height = 0;

    switch (kind) {
    case 0x0:
        if (marker == 0x00)
            value = Value();
        else if (marker == 0x08 || marker == 0x09)
            value = Value::fromBool(marker == 0x09);
        else // 0x0F is fill, padding between objects, never a value
            return fail("unknown object marker");
        break;
    case 0x1: {
        if (low > 4)
            return fail("integer wider than 16 bytes");
        const int width = 1 << low;
        if (left < width)
            return fail("integer runs past the object area");
        if (width == 16) {
            value = Value::fromInteger128(qint64(bigEndian(at, 8)), bigEndian(at + 8, 8));
        } else if (width == 8) {
            value = Value::fromInteger(qint64(bigEndian(at, 8)));
        } else {
            // Widths below 8 are unsigned in this format.
            value = Value::fromUnsignedInteger(bigEndian(at, width));
        }
        break;
    }
    case 0x2: {
        if (low != 2 && low != 3)
            return fail("real neither 4 nor 8 bytes");
        const int width = 1 << low;
        if (left < width)
            return fail("real runs past the object area");
        const quint64 raw = bigEndian(at, width);
        if (width == 4) {
            const quint32 raw32 = quint32(raw);
            float f;
            std::memcpy(&f, &raw32, sizeof f);
            value = Value::fromReal(double(f));
        } else {
            double f;
            std::memcpy(&f, &raw, sizeof f);
            value = Value::fromReal(f);
        }
        break;
    }
    case 0x3: {
        if (marker != 0x33)
            return fail("date not 8 bytes");
        if (left < 8)
            return fail("date runs past the object area");
        const quint64 raw = bigEndian(at, 8);
        double seconds;
        std::memcpy(&seconds, &raw, sizeof seconds);
        value = Value::fromDate(seconds);
        break;
    }
    case 0x4: {
        quint64 length = 0;
        if (!readLength(&at, marker, &length))
            return false;
        if (length > quint64(m_tableOffset - at))
            return fail("data length exceeds the input");
        value = Value::fromData(m_bytes.sliced(at, qsizetype(length)).toByteArray());
        break;
    }
    case 0x5: {
        quint64 length = 0;
        if (!readLength(&at, marker, &length))
            return false;
        if (length > quint64(m_tableOffset - at))
            return fail("string length exceeds the input");
        const QByteArrayView chars = m_bytes.sliced(at, qsizetype(length));
        // An OR over all bytes, without an early exit, so the compiler vectorises it.
        quint8 high = 0;
        for (char c : chars)
            high |= quint8(c);
        if (high & 0x80)
            return fail("non-ASCII byte in an ASCII string");
        value = Value::fromString(QString::fromLatin1(chars));
        break;
    }
    case 0x6: {
        quint64 units = 0;
        if (!readLength(&at, marker, &units))
            return false;
        if (units > quint64(m_tableOffset - at) / 2)
            return fail("string length exceeds the input");
        QString text(qsizetype(units), Qt::Uninitialized);
        QChar *chars = text.data();
        for (qsizetype i = 0; i < qsizetype(units); ++i)
            chars[i] = QChar(char16_t(bigEndian(at + 2 * i, 2)));
        value = Value::fromString(text);
        break;
    }
    case 0x8: {
        const int width = low + 1;
        if (width > 8)
            return fail("UID wider than 8 bytes");
        if (left < width)
            return fail("UID runs past the object area");
        value = Value::fromUid(bigEndian(at, width));
        break;
    }
    case 0xA:
    case 0xC:
    case 0xD: {
        if (depth >= maximumDepth)
            return fail("nesting deeper than 512 levels");
        m_slots[*slot - 1].state = State::Reading;
        if (!readContainer(marker, at, depth + 1, &value, &nodes, &height))
            return false;
        break;
    }
    default:
        return fail("unknown object marker");
    }

    if (kind != 0xA && kind != 0xC && kind != 0xD && !m_budget.take(1))
        return fail("too many nodes (shared references multiply the tree)");
    if (nodes > qsizetype(std::numeric_limits<quint32>::max()))
        return fail("too many nodes (shared references multiply the tree)");
    m_slots[*slot - 1] = { value, quint32(nodes), quint16(height), State::Read };
    *out = value;
    return true;
}

bool BinaryReader::readContainer(
    quint8 marker, qsizetype at, int depth, Value *out, qsizetype *nodes, int *height)
{
    if (!m_budget.take(1))
        return fail("too many nodes (shared references multiply the tree)");
    *nodes = 1;
    *height = 1;
    quint64 count = 0;
    if (!readLength(&at, marker, &count))
        return false;
    const bool dictionary = (marker >> 4) == 0xD;

    // A dictionary holds its key references, then its value references.
    if (dictionary && count > quint64(m_tableOffset - at) / 2)
        return fail("container length exceeds the input");
    if (!checkRefs(at, dictionary ? 2 * count : count))
        return false;

    auto child = [&](quint64 index, Value *value) {
        quint32 slot = 0;
        if (!readObject(index, depth, value, &slot))
            return false;
        *nodes += m_slots[slot - 1].nodes;
        *height = std::max(*height, 1 + int(m_slots[slot - 1].height));
        return true;
    };
    if (!dictionary) {
        QList<Value> elements;
        elements.reserve(qsizetype(count));
        for (quint64 i = 0; i < count; ++i) {
            Value element;
            if (!child(ref(at, i), &element))
                return false;
            elements.append(std::move(element));
        }
        *out = (marker >> 4) == 0xA ? Value::fromArray(elements) : Value::fromSet(elements);
        return true;
    }
    QStringList keys;
    QList<Value> values;
    keys.reserve(qsizetype(count));
    values.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        Value key;
        if (!child(ref(at, i), &key))
            return false;
        if (!key.isString())
            return fail("dictionary key is not a string");
        Value element;
        if (!child(ref(at, count + i), &element))
            return false;
        keys.append(key.toString());
        values.append(std::move(element));
    }
    *out = Value::fromDictionary(keys, values);
    return true;
}

} // namespace

std::optional<Value> parseBinary(QByteArrayView bytes, QString *error)
{
    BinaryReader reader(bytes, error);
    return reader.read();
}

} // namespace corvane::plist::detail
