// Reader for the XML form. QXmlStreamReader does the XML; we refuse everything a property list never
// needs and an attacker would: DTD internal subsets (the door to entity expansion bombs, which the Qt
// of Debian 12 does not fully stop), entity and notation declarations, references to undeclared
// entities, DOCTYPEs after the root and trailing content. The DOCTYPE's system identifier is never
// fetched: QXmlStreamReader does not resolve external entities at all.

#include "plist/PlistFormats.h"
#include "plist/PlistReader.h"

#include <QStringDecoder>
#include <QTimeZone>
#include <QXmlStreamReader>

#include <cmath>
#include <cstring>
#include <limits>

namespace corvane::plist::detail {

namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

char16_t unitAt(QByteArrayView text, qsizetype i)
{
    return quint8(text[i]);
}

char16_t unitAt(QStringView text, qsizetype i)
{
    return text[i].unicode();
}

// Helpers over bytes (UTF-8 and the single-byte encodings, whose markup is ASCII) and decoded text alike.
template <typename View> struct Scanner {
    View text;

    qsizetype size() const { return text.size(); }
    char16_t operator[](qsizetype i) const { return unitAt(text, i); }
    bool at(qsizetype i, const char *ascii) const
    {
        for (qsizetype k = 0; ascii[k]; ++k) {
            if (i + k >= text.size() || unitAt(text, i + k) != char16_t(ascii[k]))
                return false;
        }
        return true;
    }
    qsizetype find(qsizetype from, const char *ascii) const
    {
        for (qsizetype i = from; i < text.size(); ++i) {
            if (at(i, ascii))
                return i;
        }
        return -1;
    }
    bool isSpace(qsizetype i) const
    {
        if (i >= text.size())
            return false;
        const char16_t c = unitAt(text, i);
        return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
    }
    bool isAsciiLetter(qsizetype i) const
    {
        if (i >= text.size())
            return false;
        const char16_t c = unitAt(text, i);
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    }
};

bool failWith(QString *error, const char *message)
{
    if (error)
        *error = QString::fromUtf8(message);
    return false;
}

// The encoding named by the XML declaration, if the text starts with one: empty when it names none.
// Parsed strictly (only version, encoding and standalone, each once), so that what we read here is
// what QXmlStreamReader reads when it picks the decoder for bytes.
template <typename View> std::optional<QByteArray> declaredEncoding(View view, QString *error)
{
    const Scanner<View> text { view };
    if (!text.at(0, "<?xml") || !(text.isSpace(5) || text.at(5, "?>")))
        return QByteArray();
    QByteArray encoding;
    bool seen[3] = { false, false, false };
    qsizetype i = 5;
    while (true) {
        const bool spaced = text.isSpace(i);
        while (text.isSpace(i))
            ++i;
        if (text.at(i, "?>"))
            return encoding;
        const char *names[3] = { "version", "encoding", "standalone" };
        int which = -1;
        for (int k = 0; k < 3 && which < 0; ++k) {
            if (text.at(i, names[k]))
                which = k;
        }
        if (!spaced || which < 0 || seen[which])
            return failWith(error, "malformed XML declaration"), std::nullopt;
        seen[which] = true;
        i += qsizetype(std::strlen(names[which]));
        while (text.isSpace(i))
            ++i;
        if (!text.at(i, "="))
            return failWith(error, "malformed XML declaration"), std::nullopt;
        ++i;
        while (text.isSpace(i))
            ++i;
        if (i >= text.size() || (text[i] != u'"' && text[i] != u'\''))
            return failWith(error, "malformed XML declaration"), std::nullopt;
        const char16_t quote = text[i];
        const qsizetype from = ++i;
        while (i < text.size() && text[i] != quote && i - from <= 64)
            ++i;
        if (i >= text.size() || text[i] != quote)
            return failWith(error, "malformed XML declaration"), std::nullopt;
        if (which == 1) {
            for (qsizetype k = from; k < i; ++k)
                encoding += char(text[k] < 0x80 ? text[k] : u'?');
            if (encoding.isEmpty())
                return failWith(error, "malformed XML declaration"), std::nullopt;
        }
        ++i;
    }
}

// The document's encoding, settled before any XML is parsed so that the guards read the very text
// QXmlStreamReader will parse. UTF-8, by far the most common, stays in bytes: Qt decodes those by the
// declaration, which must then say UTF-8 or nothing. Everything else is decoded here and handed over
// as text, for which Qt ignores the declaration. A byte order mark and a declaration must agree, and
// only the encodings every reader of the format knows are read: a document in UTF-7 or Shift_JIS could
// smuggle markup past a guard that read it as something else.
struct Document {
    QByteArrayView utf8; // the UTF-8 bytes without a byte order mark, when the document is UTF-8
    QString text; // the decoded text otherwise
    bool isUtf8 = true;
};

std::optional<Document> decodeDocument(QByteArrayView bytes, QString *error)
{
    auto fail = [error](const char *message) { return failWith(error, message), std::nullopt; };
    enum class Mark { None, Utf8, Utf16 } mark = Mark::None;
    std::optional<QStringConverter::Encoding> utf16;
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
        mark = Mark::Utf8;
    } else if (startsWith(bytes, "\xFE\xFF")) {
        bytes = bytes.sliced(2);
        utf16 = QStringConverter::Utf16BE;
        mark = Mark::Utf16;
    } else if (startsWith(bytes, "\xFF\xFE")) {
        bytes = bytes.sliced(2);
        utf16 = QStringConverter::Utf16LE;
        mark = Mark::Utf16;
    } else if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == 0) {
        utf16 = QStringConverter::Utf16LE;
    } else if (bytes.size() >= 2 && bytes[0] == 0 && bytes[1] == '<') {
        utf16 = QStringConverter::Utf16BE;
    }

    Document document;
    if (utf16) {
        QStringDecoder decoder(*utf16, QStringConverter::Flag::Stateless);
        document.text = decoder(bytes);
        document.isUtf8 = false;
        if (decoder.hasError())
            return fail("text not valid in its encoding");
        const std::optional<QByteArray> declared = declaredEncoding(QStringView(document.text), error);
        if (!declared)
            return std::nullopt;
        const QByteArray name = declared->toLower();
        const QByteArray ownOrder = *utf16 == QStringConverter::Utf16LE ? "utf-16le" : "utf-16be";
        if (!name.isEmpty() && name != "utf-16" && name != ownOrder)
            return fail("declared encoding disagrees with the byte order");
        return document;
    }

    const std::optional<QByteArray> declared = declaredEncoding(bytes, error);
    if (!declared)
        return std::nullopt;
    const QByteArray name = declared->toLower();
    if (name.isEmpty() || name == "utf-8") {
        if (!bytes.isValidUtf8())
            return fail("text not valid in its encoding");
        document.utf8 = bytes;
        return document;
    }
    if (mark != Mark::None || name.startsWith("utf-16"))
        return fail("declared encoding disagrees with the byte order mark");
    if (name == "us-ascii") {
        for (char c : bytes) {
            if (quint8(c) >= 0x80)
                return fail("text not valid in its encoding");
        }
    } else if (name != "iso-8859-1") {
        return fail("unsupported encoding");
    }
    document.text = QString::fromLatin1(bytes);
    document.isUtf8 = false;
    return document;
}

// Walks the prolog before QXmlStreamReader sees it: an internal subset is refused here, before Qt
// could expand a single parameter entity of it. Whatever is not a comment, instruction or DOCTYPE must
// open the root element; a stray byte order mark or NUL could otherwise make Qt read on in another
// encoding than the one vetted.
template <typename View> bool vetProlog(View view, QString *error)
{
    const Scanner<View> text { view };
    const qsizetype n = text.size();
    auto fail = [error](const char *message) { return failWith(error, message); };
    qsizetype i = 0;
    while (true) {
        while (text.isSpace(i))
            ++i;
        if (text.at(i, "<?")) {
            // "xml" in any case is reserved for the declaration, which only the first bytes may hold.
            const bool xmlTarget = (text.at(i + 2, "x") || text.at(i + 2, "X"))
                && (text.at(i + 3, "m") || text.at(i + 3, "M"))
                && (text.at(i + 4, "l") || text.at(i + 4, "L"))
                && (text.isSpace(i + 5) || text.at(i + 5, "?"));
            if (xmlTarget && (i != 0 || !text.at(i, "<?xml")))
                return fail("XML declaration not at the start");
            const qsizetype end = text.find(i + 2, "?>");
            if (end < 0)
                return fail("unterminated processing instruction");
            i = end + 2;
        } else if (text.at(i, "<!--")) {
            const qsizetype end = text.find(i + 4, "-->");
            if (end < 0)
                return fail("unterminated comment");
            i = end + 3;
        } else if (text.at(i, "<!DOCTYPE")) {
            qsizetype j = i + 9;
            char16_t quote = 0;
            for (; j < n; ++j) {
                const char16_t c = text[j];
                if (quote != 0) {
                    if (c == quote)
                        quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'[') {
                    return fail("DOCTYPE with an internal subset");
                } else if (c == u'>') {
                    break;
                }
            }
            if (j >= n)
                return fail("unterminated DOCTYPE");
            i = j + 1;
        } else if (text.at(i, "<!")) {
            return fail("declaration outside a DOCTYPE");
        } else if (text.at(i, "<") && i + 1 < n
            && (text.isAsciiLetter(i + 1) || text[i + 1] == u'_' || text[i + 1] == u':'
                || text[i + 1] >= 0x80)) {
            return true;
        } else if (i >= n) {
            return fail("no root element");
        } else {
            return fail("content before the root element");
        }
    }
}

// A property list needs one attribute (the version of <plist>), but Qt 6.4 checks each attribute of a
// tag against all the others before we see any of them: thousands of attributes cost seconds. Tags
// with more than a handful are refused here, in one pass over the text Qt will read. Comments, CDATA
// sections and instructions are skipped, so their content is never taken for a tag.
constexpr int maximumAttributes = 16;

template <typename View> bool vetTags(View view, QString *error)
{
    const Scanner<View> text { view };
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        if (text[i] != u'<') {
            ++i;
            continue;
        }
        qsizetype end = -1;
        if (text.at(i, "<!--"))
            end = text.find(i + 4, "-->");
        else if (text.at(i, "<![CDATA["))
            end = text.find(i + 9, "]]>");
        else if (text.at(i, "<?"))
            end = text.find(i + 2, "?>");
        else if (text.at(i, "<!") || text.at(i, "</"))
            end = text.find(i + 2, ">");
        else {
            // A start tag; it ends at '>' or, malformed, where the next tag begins.
            int attributes = 0;
            char16_t quote = 0;
            qsizetype j = i + 1;
            for (; j < n; ++j) {
                const char16_t c = text[j];
                if (quote != 0) {
                    if (c == quote)
                        quote = 0;
                } else if (c == u'"' || c == u'\'') {
                    quote = c;
                } else if (c == u'=') {
                    if (++attributes > maximumAttributes)
                        return failWith(error, "tag with more than 16 attributes");
                } else if (c == u'>' || c == u'<') {
                    break;
                }
            }
            end = j < n && text[j] == u'<' ? j - 1 : j;
        }
        // Whatever is left unterminated, Qt refuses on its own.
        if (end < 0)
            return true;
        i = end + 1;
    }
    return true;
}

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
    if (!ok)
        return std::nullopt;
    return value;
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
    const std::optional<Document> document = decodeDocument(bytes, error);
    if (!document)
        return std::nullopt;
    if (document->isUtf8) {
        if (!vetProlog(document->utf8, error) || !vetTags(document->utf8, error))
            return std::nullopt;
        // No copy: the reader lives only for this call.
        XmlReader reader(
            QByteArray::fromRawData(document->utf8.data(), document->utf8.size()), bytes.size(), error);
        return reader.read();
    }
    if (!vetProlog(QStringView(document->text), error) || !vetTags(QStringView(document->text), error))
        return std::nullopt;
    // From a QString the reader ignores the declared encoding: the text is decoded already.
    XmlReader reader(document->text, bytes.size(), error);
    return reader.read();
}

} // namespace corvane::plist::detail
