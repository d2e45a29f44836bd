// The checks an XML property list passes before QXmlStreamReader reads a byte of it: the document's
// encoding, settled so that the checks read the very text Qt will parse; the prolog, where an internal
// subset would be the door to entity expansion bombs (which the Qt of Debian 12 does not fully stop);
// and tags carrying more attributes than a property list ever needs, which cost Qt 6.4 quadratic time.

#include "plist/XmlVetting.h"

#include <QStringDecoder>

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

std::optional<VettedXml> decodeDocument(QByteArrayView bytes, QString *error)
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

    VettedXml document;
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

} // namespace

std::optional<VettedXml> vetXml(QByteArrayView bytes, QString *error)
{
    std::optional<VettedXml> document = decodeDocument(bytes, error);
    if (!document)
        return std::nullopt;
    const bool vetted = document->isUtf8
        ? vetProlog(document->utf8, error) && vetTags(document->utf8, error)
        : vetProlog(QStringView(document->text), error) && vetTags(QStringView(document->text), error);
    if (!vetted)
        return std::nullopt;
    return document;
}

} // namespace corvane::plist::detail
