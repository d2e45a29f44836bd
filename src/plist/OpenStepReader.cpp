// Reader for the old-style text form: quoted and unquoted strings, ( arrays ), { dictionaries; },
// <hexadecimal data>, C comments, and the "key = value;" lists of strings files.

#include "plist/PlistFormats.h"
#include "plist/PlistReader.h"

#include <QStringDecoder>

namespace corvane::plist::detail {

namespace {

bool isUnquotedChar(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_'
        || c == u'$' || c == u'/' || c == u':' || c == u'.' || c == u'-';
}

int hexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

class OpenStepReader {
public:
    OpenStepReader(const QString &text, qsizetype inputSize, QString *error)
        : m_text(text)
        , m_error(error)
        , m_budget(inputSize)
    { }

    std::optional<Value> read();

private:
    bool fail(const char *message)
    {
        if (m_error && m_error->isEmpty())
            *m_error = QString::fromUtf8(message);
        return false;
    }
    bool atEnd() const { return m_at >= m_text.size(); }
    char16_t peek() const { return atEnd() ? 0 : m_text[m_at].unicode(); }
    bool skipSpace(); // false on an unterminated comment
    bool readObject(int depth, Value *out);
    bool readString(QString *out);
    bool readQuoted(QString *out);
    bool readData(Value *out);
    bool readArray(int depth, Value *out);
    bool readEntries(int depth, char16_t close, Value *out); // dictionary body up to close (0: end)

    QString m_text;
    qsizetype m_at = 0;
    QString *m_error;
    NodeBudget m_budget;
};

std::optional<Value> OpenStepReader::read()
{
    Value root;
    if (!skipSpace())
        return std::nullopt;
    if (atEnd())
        return fail("no value"), std::nullopt;
    const char16_t first = peek();
    if (!readObject(0, &root) || !skipSpace())
        return std::nullopt;
    // A strings file: a dictionary's entries without the braces.
    if (peek() == u'=' && first != u'(' && first != u'{' && first != u'<') {
        m_at = 0;
        if (!m_budget.take())
            return fail("too many nodes"), std::nullopt;
        if (!readEntries(0, 0, &root))
            return std::nullopt;
        return root;
    }
    if (!atEnd())
        return fail("content after the value"), std::nullopt;
    return root;
}

bool OpenStepReader::skipSpace()
{
    while (!atEnd()) {
        const char16_t c = peek();
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v') {
            ++m_at;
        } else if (c == u'/' && m_at + 1 < m_text.size() && m_text[m_at + 1] == u'/') {
            const qsizetype end = m_text.indexOf(u'\n', m_at);
            m_at = end < 0 ? m_text.size() : end + 1;
        } else if (c == u'/' && m_at + 1 < m_text.size() && m_text[m_at + 1] == u'*') {
            const qsizetype end = m_text.indexOf(u"*/", m_at + 2);
            if (end < 0)
                return fail("unterminated comment");
            m_at = end + 2;
        } else {
            break;
        }
    }
    return true;
}

bool OpenStepReader::readObject(int depth, Value *out)
{
    if (!m_budget.take())
        return fail("too many nodes");
    const char16_t c = peek();
    if (c == u'(' || c == u'{') {
        if (depth >= maximumDepth)
            return fail("nesting deeper than 512 levels");
        ++m_at;
        return c == u'(' ? readArray(depth + 1, out) : readEntries(depth + 1, u'}', out);
    }
    if (c == u'<')
        return readData(out);
    QString string;
    if (!readString(&string))
        return false;
    *out = Value::fromString(string);
    return true;
}

bool OpenStepReader::readString(QString *out)
{
    const char16_t c = peek();
    if (c == u'"' || c == u'\'')
        return readQuoted(out);
    const qsizetype start = m_at;
    while (!atEnd() && isUnquotedChar(peek()))
        ++m_at;
    if (m_at == start)
        return fail("expected a value");
    *out = m_text.mid(start, m_at - start);
    return true;
}

bool OpenStepReader::readQuoted(QString *out)
{
    const char16_t quote = peek();
    ++m_at;
    out->clear();
    while (true) {
        if (atEnd())
            return fail("unterminated string");
        const char16_t c = peek();
        ++m_at;
        if (c == quote)
            return true;
        if (c != u'\\') {
            out->append(QChar(c));
            continue;
        }
        if (atEnd())
            return fail("unterminated string");
        const char16_t e = peek();
        ++m_at;
        switch (e) {
        case u'a':
            out->append(u'\a');
            break;
        case u'b':
            out->append(u'\b');
            break;
        case u'f':
            out->append(u'\f');
            break;
        case u'n':
            out->append(u'\n');
            break;
        case u'r':
            out->append(u'\r');
            break;
        case u't':
            out->append(u'\t');
            break;
        case u'v':
            out->append(u'\v');
            break;
        case u'U': {
            char16_t unit = 0;
            int digits = 0;
            for (; digits < 4 && !atEnd() && hexDigit(peek()) >= 0; ++digits, ++m_at)
                unit = char16_t(unit * 16 + hexDigit(peek()));
            if (digits == 0)
                return fail("malformed \\U escape");
            out->append(QChar(unit));
            break;
        }
        default:
            if (e >= u'0' && e <= u'7') {
                int code = e - u'0';
                for (int digits = 1; digits < 3 && peek() >= u'0' && peek() <= u'7'; ++digits, ++m_at)
                    code = code * 8 + (peek() - u'0');
                out->append(QChar(char16_t(code)));
            } else {
                // \\, \", \' and any other character stand for themselves.
                out->append(QChar(e));
            }
        }
    }
}

bool OpenStepReader::readData(Value *out)
{
    ++m_at; // '<'
    QByteArray bytes;
    int high = -1;
    while (true) {
        if (!skipSpace())
            return false;
        if (atEnd())
            return fail("unterminated data");
        const char16_t c = peek();
        ++m_at;
        if (c == u'>')
            break;
        const int digit = hexDigit(c);
        if (digit < 0)
            return fail("malformed data");
        if (high < 0) {
            high = digit;
        } else {
            bytes.append(char(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0)
        return fail("odd number of hexadecimal digits in data");
    *out = Value::fromData(bytes);
    return true;
}

bool OpenStepReader::readArray(int depth, Value *out)
{
    QList<Value> elements;
    while (true) {
        if (!skipSpace())
            return false;
        if (peek() == u')') {
            ++m_at;
            break;
        }
        Value element;
        if (!readObject(depth, &element) || !skipSpace())
            return false;
        elements.append(std::move(element));
        if (peek() == u',') {
            ++m_at;
        } else if (peek() != u')') {
            return fail("expected ',' or ')' in an array");
        }
    }
    *out = Value::fromArray(elements);
    return true;
}

bool OpenStepReader::readEntries(int depth, char16_t close, Value *out)
{
    QStringList keys;
    QList<Value> values;
    while (true) {
        if (!skipSpace())
            return false;
        if (close != 0 && peek() == close) {
            ++m_at;
            break;
        }
        if (atEnd()) {
            if (close != 0)
                return fail("unterminated dictionary");
            break;
        }
        QString key;
        if (!m_budget.take() || !readString(&key) || !skipSpace())
            return false;
        if (peek() != u'=')
            return fail("expected '=' in a dictionary");
        ++m_at;
        Value value;
        if (!skipSpace() || !readObject(depth, &value) || !skipSpace())
            return false;
        if (peek() != u';')
            return fail("expected ';' in a dictionary");
        ++m_at;
        keys.append(key);
        values.append(std::move(value));
    }
    *out = Value::fromDictionary(keys, values);
    return true;
}

} // namespace

std::optional<Value> parseOpenStep(QByteArrayView bytes, QString *error)
{
    // UTF-8 unless a byte order mark says UTF-16, as strings files often do.
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    const qsizetype size = bytes.size();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    } else if (bytes.startsWith("\xFE\xFF")) {
        bytes = bytes.sliced(2);
        encoding = QStringConverter::Utf16BE;
    } else if (bytes.startsWith("\xFF\xFE")) {
        bytes = bytes.sliced(2);
        encoding = QStringConverter::Utf16LE;
    }
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        if (error)
            *error = encoding == QStringConverter::Utf8 ? QStringLiteral("text not valid UTF-8")
                                                        : QStringLiteral("text not valid UTF-16");
        return std::nullopt;
    }
    OpenStepReader reader(text, size, error);
    return reader.read();
}

} // namespace corvane::plist::detail
