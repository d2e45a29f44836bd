#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"

#include <QDate>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

namespace corvane::plist {

namespace {

using Type = Value::Type;

const char header[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                      "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                      "<plist version=\"1.0\">\n";

QString codePoint(char16_t c)
{
    return QStringLiteral("U+") + QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
}

// Python's repr() of a float: the shortest digits that read back as the same double, written plainly
// when the decimal point falls within 16 digits of the first one and in exponent form otherwise.
QByteArray pythonRepr(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view scientific(buffer, size_t(result.ptr - buffer)); // "-1.2345e+17"
    const size_t e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    QByteArray digits;
    for (char c : scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0)))
        if (c != '.')
            digits.append(c);
    int exponent = 0;
    std::from_chars(scientific.data() + e + (scientific[e + 1] == '+' ? 2 : 1),
        scientific.data() + scientific.size(), exponent);
    const int point = exponent + 1; // digits before the decimal point

    QByteArray out = negative ? "-" : "";
    if (point <= -4 || point > 16) {
        out += digits.left(1);
        if (digits.size() > 1)
            out += '.' + digits.mid(1);
        out += exponent < 0 ? "e-" : "e+";
        out += QByteArray::number(std::abs(exponent)).rightJustified(2, '0');
    } else if (point <= 0) {
        out += "0." + QByteArray(-point, '0') + digits;
    } else if (point >= digits.size()) {
        out += digits + QByteArray(point - digits.size(), '0') + ".0";
    } else {
        out += digits.left(point) + '.' + digits.mid(point);
    }
    return out;
}

QByteArray decimal(qint64 high, quint64 low)
{
    using U128 = unsigned __int128;
    const bool negative = high < 0;
    U128 magnitude = (U128(quint64(high)) << 64) | low;
    if (negative)
        magnitude = U128(0) - magnitude;
    QByteArray digits;
    do {
        digits.prepend(char('0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    return negative ? '-' + digits : digits;
}

// As plistlib turns the seconds into a Python datetime: to the microsecond, then written to the
// second below.
std::optional<QByteArray> dateText(double secondsSince2001)
{
    // Python's datetime spans the years 1 to 9999.
    constexpr double earliest = -63113904000.0; // 0001-01-01T00:00:00Z
    constexpr double end = 252423993600.0; // 10000-01-01T00:00:00Z
    if (!(secondsSince2001 >= earliest && secondsSince2001 < end))
        return std::nullopt;
    const auto microseconds = qint64(std::nearbyint(secondsSince2001 * 1e6));
    const qint64 seconds = microseconds / 1'000'000 - (microseconds % 1'000'000 < 0 ? 1 : 0);
    if (double(seconds) >= end)
        return std::nullopt;
    const qint64 days = seconds / 86400 - (seconds % 86400 < 0 ? 1 : 0);
    const qint64 ofDay = seconds - days * 86400;
    const QDate date = QDate(2001, 1, 1).addDays(days);
    return QStringLiteral("%1-%2-%3T%4:%5:%6Z")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(ofDay / 3600, 2, 10, QLatin1Char('0'))
        .arg(ofDay / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(ofDay % 60, 2, 10, QLatin1Char('0'))
        .toLatin1();
}

class XmlWriter {
public:
    explicit XmlWriter(QString *error)
        : m_error(error)
    { }

    std::optional<QByteArray> write(const Value &root)
    {
        m_out = header;
        if (!writeValue(root, 0) || !withinSize())
            return std::nullopt;
        m_out += "</plist>\n";
        return m_out;
    }

private:
    bool fail(const QString &reason)
    {
        if (m_error)
            *m_error = reason;
        return false;
    }

    // A tree that shares one subtree many times is written out in full each time: the limit keeps a
    // small binary list from becoming gigabytes of XML.
    bool withinSize()
    {
        return m_out.size() <= maximumXmlSize
            || fail(QStringLiteral("the document would be larger than %1 MiB").arg(maximumXmlSize >> 20));
    }

    void line(int level, QByteArrayView text)
    {
        if (m_out.size() > maximumXmlSize)
            return; // writeValue notices and fails
        m_out.append(level, '\t');
        m_out.append(text);
        m_out.append('\n');
    }

    // Refuses what XML cannot hold.
    bool checkCharacters(const QString &text)
    {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text[i].unicode();
            if (c >= 0x20 && c < 0xD800)
                continue;
            if (QChar::isHighSurrogate(c) && i + 1 < text.size()
                && QChar::isLowSurrogate(text[i + 1].unicode())) {
                ++i;
                continue;
            }
            if (QChar::isSurrogate(c))
                return fail(QStringLiteral("a string holds a lone surrogate (%1), which XML cannot hold")
                                .arg(codePoint(c)));
            if ((c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF)
                return fail(QStringLiteral("a string holds the character %1, which XML cannot hold")
                                .arg(codePoint(c)));
        }
        return true;
    }

    // <name>text</name> with &, < and > escaped as plistlib escapes them, and a carriage return as a
    // reference so that it survives. Escaped in UTF-8, whose multi-byte sequences hold no ASCII byte.
    bool element(int level, QByteArrayView name, const QString &text)
    {
        if (!checkCharacters(text) || !withinSize())
            return false;
        const QByteArray utf8 = text.toUtf8();
        m_out.append(level, '\t');
        m_out.append('<').append(name).append('>');
        // Room for the longest escaping (5 bytes for 1), filled in place and cut to what was written:
        // appending piece by piece would copy the document again and again.
        const qsizetype at = m_out.size();
        m_out.resize(at + 5 * utf8.size());
        char *const start = m_out.data() + at;
        char *to = start;
        const auto put
            = [&to](const char *reference, int length) { to = std::copy(reference, reference + length, to); };
        for (char c : utf8) {
            switch (c) {
            case '&':
                put("&amp;", 5);
                break;
            case '<':
                put("&lt;", 4);
                break;
            case '>':
                put("&gt;", 4);
                break;
            case '\r':
                put("&#13;", 5);
                break;
            default:
                *to++ = c;
            }
        }
        m_out.resize(at + (to - start));
        m_out.append("</").append(name).append(">\n");
        return true;
    }

    void data(int level, const QByteArray &bytes)
    {
        line(level, "<data>");
        // plistlib counts a tab as 8 columns and keeps lines within 76 of them, 16 characters at least.
        const int lineLength = std::max(16, 76 - 8 * level);
        const qsizetype chunk = lineLength / 4 * 3;
        for (qsizetype at = 0; at < bytes.size(); at += chunk)
            line(level, bytes.mid(at, chunk).toBase64());
        line(level, "</data>");
    }

    bool writeValue(const Value &value, int level)
    {
        if (!withinSize())
            return false;
        if (level > maximumDepth)
            return fail(QStringLiteral("nested deeper than %1 levels").arg(maximumDepth));
        switch (value.type()) {
        case Type::String:
            return element(level, "string", value.toString());
        case Type::Boolean:
            line(level, value.toBool() ? "<true/>" : "<false/>");
            return true;
        case Type::Integer:
            line(level, "<integer>" + decimal(value.integerHigh(), value.integerLow()) + "</integer>");
            return true;
        case Type::Real:
            line(level, "<real>" + pythonRepr(value.toReal()) + "</real>");
            return true;
        case Type::Date:
            if (const auto text = dateText(value.toDateSeconds())) {
                line(level, "<date>" + *text + "</date>");
                return true;
            }
            return fail(QStringLiteral("a date outside the years 1 to 9999"));
        case Type::Data:
            data(level, value.toData());
            return true;
        case Type::Array:
            if (value.count() == 0) {
                line(level, "<array/>");
                return true;
            }
            line(level, "<array>");
            for (const Value &element : value.elements()) {
                if (!writeValue(element, level + 1))
                    return false;
            }
            line(level, "</array>");
            return true;
        case Type::Dictionary:
            return dictionary(value, level);
        case Type::Null:
            return fail(QStringLiteral("a null value has no XML form"));
        case Type::Uid:
            return fail(QStringLiteral("an object reference (UID) has no XML form"));
        case Type::Set:
            return fail(QStringLiteral("a set has no XML form"));
        }
        return false;
    }

    bool dictionary(const Value &value, int level)
    {
        if (value.count() == 0) {
            line(level, "<dict/>");
            return true;
        }
        const QStringList &keys = value.keys();
        QList<qsizetype> order(keys.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
            [&keys](qsizetype a, qsizetype b) { return lessByCodePoint(keys[a], keys[b]); });
        line(level, "<dict>");
        for (qsizetype i : std::as_const(order)) {
            if (!element(level + 1, "key", keys[i]) || !writeValue(value.values()[i], level + 1))
                return false;
        }
        line(level, "</dict>");
        return true;
    }

    QString *m_error;
    QByteArray m_out;
};

} // namespace

std::optional<QByteArray> writeXml(const Value &value, QString *error)
{
    return XmlWriter(error).write(value);
}

} // namespace corvane::plist
