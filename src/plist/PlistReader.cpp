#include "plist/PlistReader.h"

#include "plist/PlistFormats.h"

#include <limits>

namespace corvane::plist {

qsizetype maximumNodes(qsizetype inputSize)
{
    // Four times the most a plain tree of that size can hold, with a floor so small inputs that share a
    // little still read; a 200-byte reference bomb stays in the tens of thousands, not the millions.
    constexpr qsizetype floor = 1 << 16;
    if (inputSize > std::numeric_limits<qsizetype>::max() / 4)
        return std::numeric_limits<qsizetype>::max();
    return std::max(floor, inputSize * 4);
}

namespace detail {

NodeBudget::NodeBudget(qsizetype inputSize)
    : m_remaining(maximumNodes(inputSize))
{ }

bool NodeBudget::take(qsizetype nodes)
{
    if (nodes < 0 || nodes > m_remaining) {
        m_remaining = 0;
        return false;
    }
    m_remaining -= nodes;
    return true;
}

} // namespace detail

namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

// True when the text, after white space, opens an XML document. An old-style list never starts with
// "<?", "<!" or "<p": its only '<' opens hexadecimal data.
bool opensXml(QByteArrayView ascii)
{
    qsizetype i = 0;
    while (i < ascii.size() && (ascii[i] == ' ' || ascii[i] == '\t' || ascii[i] == '\n' || ascii[i] == '\r'))
        ++i;
    const QByteArrayView rest = ascii.sliced(i);
    return startsWith(rest, "<?xml") || startsWith(rest, "<plist") || startsWith(rest, "<!");
}

// The first characters of UTF-16 text, ASCII kept and everything else made a byte no test matches.
QByteArray utf16Head(QByteArrayView bytes, bool bigEndian)
{
    QByteArray head;
    for (qsizetype i = 0; i + 1 < bytes.size() && head.size() < 64; i += 2) {
        const char16_t unit = bigEndian ? char16_t(quint8(bytes[i]) << 8 | quint8(bytes[i + 1]))
                                        : char16_t(quint8(bytes[i + 1]) << 8 | quint8(bytes[i]));
        head += unit < 0x80 ? char(unit) : '\x7F';
    }
    return head;
}

// Decided from the first characters only: every parser is strict, so trying them in turn would just
// hide which one the bytes were meant for, and would run three parsers over every bad value. A byte
// order mark does not decide: strings files are old-style text in UTF-16 with one.
Format detectFormat(QByteArrayView bytes)
{
    if (startsWith(bytes, "bplist"))
        return Format::Binary;
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        return opensXml(bytes.sliced(3)) ? Format::Xml : Format::OpenStep;
    if (startsWith(bytes, "\xFE\xFF") || startsWith(bytes, "\xFF\xFE"))
        return opensXml(utf16Head(bytes.sliced(2), bytes[0] == '\xFE')) ? Format::Xml : Format::OpenStep;
    // UTF-16 without a byte order mark still begins with '<' beside a zero byte.
    if (bytes.size() >= 2 && ((bytes[0] == '<' && bytes[1] == 0) || (bytes[0] == 0 && bytes[1] == '<')))
        return Format::Xml;
    return opensXml(bytes) ? Format::Xml : Format::OpenStep;
}

std::optional<Value> parseAs(Format format, QByteArrayView bytes, QString *error)
{
    switch (format) {
    case Format::Binary:
        return detail::parseBinary(bytes, error);
    case Format::Xml:
        return detail::parseXml(bytes, error);
    case Format::OpenStep:
        return detail::parseOpenStep(bytes, error);
    }
    return std::nullopt;
}

} // namespace

std::optional<Value> parse(QByteArrayView bytes, QString *error, Format *format, bool *nulSuffix)
{
    if (nulSuffix)
        *nulSuffix = false;
    QString localError;
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("empty input");
        return std::nullopt;
    }
    const Format detected = detectFormat(bytes);
    if (format)
        *format = detected;
    std::optional<Value> result = parseAs(detected, bytes, &localError);
    // Netatalk's Samba-compatible mode stores every attribute value with one NUL appended.
    if (!result && bytes.size() > 1 && bytes.back() == 0) {
        QString ignored;
        result = parseAs(detected, bytes.chopped(1), &ignored);
        if (result && nulSuffix)
            *nulSuffix = true;
    }
    if (!result && error)
        *error = localError;
    return result;
}

} // namespace corvane::plist
