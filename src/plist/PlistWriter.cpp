#include "plist/PlistWriter.h"

namespace corvane::plist {

namespace {

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
    out->append(char(0x10 | (width == 1 ? 0 : width == 2 ? 1 : width == 4 ? 2 : 3)));
    appendBigEndian(out, length, width);
}

} // namespace

QByteArray writeBinary(const QString &string)
{
    // An OR over all units, without an early exit, so the compiler vectorises it.
    char16_t high = 0;
    for (QChar c : string)
        high |= c.unicode();
    const bool ascii = high < 0x80;

    QByteArray out;
    out.reserve(8 + 10 + string.size() * (ascii ? 1 : 2) + 8 + 32);
    out.append("bplist00", 8);
    constexpr quint64 objectOffset = 8;
    appendMarker(&out, ascii ? 0x50 : 0x60, quint64(string.size()));
    const qsizetype start = out.size();
    if (ascii) {
        out.resize(start + string.size());
        char *to = out.data() + start;
        for (QChar c : string)
            *to++ = char(c.unicode());
    } else {
        // UTF-16 code units as they are: a surrogate pair stays two units.
        out.resize(start + 2 * string.size());
        char *to = out.data() + start;
        for (QChar c : string) {
            *to++ = char(c.unicode() >> 8);
            *to++ = char(c.unicode() & 0xFF);
        }
    }
    const quint64 tableOffset = quint64(out.size());
    // plistlib sizes offsets by where the offset table starts, not by the largest offset in it.
    const int offsetSize = widthFor(tableOffset);
    appendBigEndian(&out, objectOffset, offsetSize);

    out.append(6, '\0');
    out.append(char(offsetSize));
    out.append(char(1)); // reference size: one object
    appendBigEndian(&out, 1, 8); // object count
    appendBigEndian(&out, 0, 8); // top object
    appendBigEndian(&out, tableOffset, 8);
    return out;
}

} // namespace corvane::plist
