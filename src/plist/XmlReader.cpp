// Reader for the XML form. XmlVetting checks the bytes first; QXmlStreamReader then does the XML, and we
// refuse everything a property list never needs and an attacker would: entity and notation
// declarations, references to undeclared entities, DOCTYPEs after the root and trailing content. The
// DOCTYPE's system identifier is never fetched: QXmlStreamReader does not resolve external entities.

#include "plist/PlistFormats.h"
#include "plist/PlistReader.h"
#include "plist/XmlVetting.h"

#include <QTimeZone>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#if defined(Q_OS_MACOS)
#include <xlocale.h>
#endif
#include <limits>

namespace corvane::plist::detail {

namespace {

bool isXmlSpace(QStringView text)
{
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
    }
    return true;
}

QString withoutXmlSpace(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r')
            result.append(c);
    }
    return result;
}

// Decimal or 0x-hexadecimal, optionally signed, within the 128-bit range of the binary form.
std::optional<Value> parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+')) {
        negative = text[0] == u'-';
        text = text.sliced(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        base = 16;
        text = text.sliced(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    using U128 = unsigned __int128;
    const U128 limit = (U128(1) << 127) - (negative ? 0 : 1);
    U128 magnitude = 0;
    for (QChar c : text) {
        unsigned digit;
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (base == 16 && u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (base == 16 && u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            return std::nullopt;
        if (digit >= base || magnitude > (limit - digit) / base)
            return std::nullopt;
        magnitude = magnitude * base + digit;
    }
    const U128 value = negative ? U128(0) - magnitude : magnitude;
    return Value::fromInteger128(qint64(quint64(value >> 64)), quint64(value));
}

std::optional<double> parseReal(QStringView text)
{
    text = text.trimmed();
    QStringView body = text;
    double sign = 1.0;
    if (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+')) {
        sign = body[0] == u'-' ? -1.0 : 1.0;
        body = body.sliced(1);
    }
    if (body.compare(u"nan", Qt::CaseInsensitive) == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (body.compare(u"inf", Qt::CaseInsensitive) == 0 || body.compare(u"infinity", Qt::CaseInsensitive) == 0)
        return sign * std::numeric_limits<double>::infinity();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (ok)
        return value;
    // Beyond the range of a double: Qt refuses, but the readers of the format (plistlib's float(),
    // Foundation's strtod) read infinity, or zero far below it. Only a plain decimal number gets here.
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype at = 0, digits = 0;
    while (at < body.size() && isDigit(body[at]))
        ++at, ++digits;
    if (at < body.size() && body[at] == u'.')
        ++at;
    while (at < body.size() && isDigit(body[at]))
        ++at, ++digits;
    if (digits == 0 || at >= body.size() || (body[at] != u'e' && body[at] != u'E'))
        return std::nullopt;
    ++at;
    if (at < body.size() && (body[at] == u'+' || body[at] == u'-'))
        ++at;
    const qsizetype exponentStart = at;
    while (at < body.size() && isDigit(body[at]))
        ++at;
    if (at == exponentStart || at != body.size())
        return std::nullopt;
    // strtod in the C locale: the user's locale may have another decimal separator.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    const QByteArray latin = text.toLatin1();
    return strtod_l(latin.constData(), nullptr, cLocale);
}

// YYYY[-MM[-DD[THH[:MM[:SS]]]]]Z, the form every writer of the format uses, always in UTC.
std::optional<double> parseDate(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty() || text.back() != u'Z')
        return std::nullopt;
    text.chop(1);
    int fields[6] = { 0, 1, 1, 0, 0, 0 };
    const char separators[6] = { 0, '-', '-', 'T', ':', ':' };
    qsizetype at = 0;
    for (int field = 0; field < 6 && at < text.size(); ++field) {
        if (field > 0) {
            if (text[at] != QChar::fromLatin1(separators[field]))
                return std::nullopt;
            ++at;
        }
        const int digits = field == 0 ? 4 : 2;
        if (text.size() - at < digits)
            return std::nullopt;
        int value = 0;
        for (int k = 0; k < digits; ++k) {
            const QChar c = text[at + k];
            if (!c.isDigit() || c.unicode() > u'9')
                return std::nullopt;
            value = value * 10 + (c.unicode() - u'0');
        }
        fields[field] = value;
        at += digits;
    }
    if (at != text.size())
        return std::nullopt;
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    static const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    return double(epoch.secsTo(QDateTime(date, time, QTimeZone::utc())));
}

class XmlReader {
public:
    template <typename Text>
    XmlReader(const Text &text, qsizetype inputSize, QString *error)
        : m_xml(text)
        , m_error(error)
        , m_budget(inputSize)
    { }

    std::optional<Value> read();

private:
    bool fail(const QString &message)
    {
        if (m_error && m_error->isEmpty())
            *m_error = message;
        return false;
    }
    bool fail(const char *message) { return fail(QString::fromUtf8(message)); }
    bool xmlError()
    {
        return fail(m_xml.hasError() ? QStringLiteral("XML: ") + m_xml.errorString()
                                     : QStringLiteral("unexpected end of the document"));
    }
    bool readValue(int depth, Value *out); // at the value's StartElement
    bool readText(QString *text); // the current element's text up to its EndElement
    bool skipSpaceUntilEnd(); // the current element must hold nothing but space
    bool nextChild(bool *found); // next StartElement inside, or the current EndElement

    QXmlStreamReader m_xml;
    QString *m_error;
    NodeBudget m_budget;
};

std::optional<Value> XmlReader::read()
{
    bool seenDtd = false;
    bool seenRoot = false;
    Value root;
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::EndDocument:
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (seenRoot)
                return fail("content after the root element"), std::nullopt;
            break;
        case QXmlStreamReader::DTD:
            if (seenRoot)
                return fail("DOCTYPE after the root element"), std::nullopt;
            if (seenDtd || !m_xml.entityDeclarations().isEmpty() || !m_xml.notationDeclarations().isEmpty()
                || m_xml.text().contains(u'['))
                return fail("DOCTYPE with declarations"), std::nullopt;
            seenDtd = true;
            break;
        case QXmlStreamReader::Characters:
            if (!m_xml.isWhitespace())
                return fail("text outside the root element"), std::nullopt;
            break;
        case QXmlStreamReader::StartElement: {
            if (seenRoot)
                return fail("second root element"), std::nullopt;
            seenRoot = true;
            if (m_xml.name() != u"plist") {
                // A bare value as the root is read too, as other readers do.
                if (!readValue(0, &root))
                    return std::nullopt;
                break;
            }
            bool found = false;
            if (!nextChild(&found))
                return std::nullopt;
            if (!found)
                return fail("empty plist element"), std::nullopt;
            if (!readValue(0, &root) || !nextChild(&found))
                return std::nullopt;
            if (found)
                return fail("more than one value in the plist element"), std::nullopt;
            break;
        }
        case QXmlStreamReader::EntityReference:
            return fail("reference to an undeclared entity"), std::nullopt;
        case QXmlStreamReader::EndElement:
        case QXmlStreamReader::NoToken:
            return fail("malformed document"), std::nullopt;
        case QXmlStreamReader::Invalid:
            return xmlError(), std::nullopt;
        }
    }
    if (m_xml.hasError())
        return xmlError(), std::nullopt;
    if (!seenRoot)
        return fail("no root element"), std::nullopt;
    return root;
}

bool XmlReader::nextChild(bool *found)
{
    while (true) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
            *found = true;
            return true;
        case QXmlStreamReader::EndElement:
            *found = false;
            return true;
        case QXmlStreamReader::Comment:
            break;
        case QXmlStreamReader::Characters:
            if (!m_xml.isWhitespace())
                return fail("text between elements");
            break;
        case QXmlStreamReader::EntityReference:
            return fail("reference to an undeclared entity");
        case QXmlStreamReader::Invalid:
            return xmlError();
        default:
            return fail("unexpected content between elements");
        }
    }
}

bool XmlReader::readText(QString *text)
{
    text->clear();
    while (true) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::Characters:
            text->append(m_xml.text());
            break;
        case QXmlStreamReader::Comment:
            break;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::StartElement:
            return fail("element inside a text element");
        case QXmlStreamReader::EntityReference:
            return fail("reference to an undeclared entity");
        case QXmlStreamReader::Invalid:
            return xmlError();
        default:
            return fail("unexpected content in a text element");
        }
    }
}

bool XmlReader::skipSpaceUntilEnd()
{
    QString text;
    if (!readText(&text))
        return false;
    if (!isXmlSpace(text))
        return fail("text inside an empty element");
    return true;
}

bool XmlReader::readValue(int depth, Value *out)
{
    if (!m_budget.take())
        return fail("too many nodes");
    const QStringView name = m_xml.name();
    QString text;
    if (name == u"string") {
        if (!readText(&text))
            return false;
        *out = Value::fromString(text);
        return true;
    }
    if (name == u"true" || name == u"false") {
        const bool value = name == u"true";
        if (!skipSpaceUntilEnd())
            return false;
        *out = Value::fromBool(value);
        return true;
    }
    if (name == u"integer") {
        if (!readText(&text))
            return false;
        const std::optional<Value> value = parseInteger(text);
        if (!value)
            return fail("malformed integer");
        *out = *value;
        return true;
    }
    if (name == u"real") {
        if (!readText(&text))
            return false;
        const std::optional<double> value = parseReal(text);
        if (!value)
            return fail("malformed real");
        *out = Value::fromReal(*value);
        return true;
    }
    if (name == u"date") {
        if (!readText(&text))
            return false;
        const std::optional<double> value = parseDate(text);
        if (!value)
            return fail("malformed date");
        *out = Value::fromDate(*value);
        return true;
    }
    if (name == u"data") {
        if (!readText(&text))
            return false;
        const QByteArray base64 = withoutXmlSpace(text).toLatin1();
        // One character past a group of four carries six bits, not a byte: the data is cut short.
        // Qt would drop it silently; every other reader refuses.
        qsizetype characters = base64.size();
        while (characters > 0 && base64[characters - 1] == '=')
            --characters;
        if (characters % 4 == 1)
            return fail("malformed base64 data");
        const auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            return fail("malformed base64 data");
        *out = Value::fromData(decoded.decoded);
        return true;
    }
    const bool array = name == u"array";
    if (!array && name != u"dict")
        return fail(QStringLiteral("unknown element <%1>").arg(name));
    if (depth >= maximumDepth)
        return fail("nesting deeper than 512 levels");

    QList<Value> elements;
    QStringList keys;
    bool found = false;
    while (true) {
        if (!nextChild(&found))
            return false;
        if (!found)
            break;
        if (!array) {
            if (m_xml.name() != u"key")
                return fail("dictionary value without a key");
            if (!readText(&text))
                return false;
            keys.append(text);
            if (!nextChild(&found))
                return false;
            if (!found)
                return fail("dictionary key without a value");
        }
        Value element;
        if (!readValue(depth + 1, &element))
            return false;
        elements.append(std::move(element));
    }
    *out = array ? Value::fromArray(elements) : Value::fromDictionary(keys, elements);
    return true;
}

} // namespace

std::optional<Value> parseXml(QByteArrayView bytes, QString *error)
{
    const std::optional<VettedXml> document = vetXml(bytes, error);
    if (!document)
        return std::nullopt;
    if (document->isUtf8) {
        // No copy: the reader lives only for this call.
        XmlReader reader(
            QByteArray::fromRawData(document->utf8.data(), document->utf8.size()), bytes.size(), error);
        return reader.read();
    }
    // From a QString the reader ignores the declared encoding: the text is decoded already.
    XmlReader reader(document->text, bytes.size(), error);
    return reader.read();
}

} // namespace corvane::plist::detail
