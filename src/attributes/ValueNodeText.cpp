// What a ValueNode says in words: its kind, its one-line preview, the text a user copies, and the
// search the panel's filter runs over it.
#include "attributes/ValueNode.h"

#include <QCoreApplication>
#include <QSet>
#include <QTranslator>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <limits>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// The words for a value's kind, in the user's language or in the English the listing prints; counts
// through %n, for each language's plural forms (English's own come from its catalogue).
QString say(Wording wording, const char *words, int n = -1)
{
    if (wording == Wording::Translated)
        return QCoreApplication::translate("ValueWords", words, nullptr, n);
    static const QTranslator *const english = [] {
        auto *translator = new QTranslator;
        (void)translator->load(u"corvane_en"_s, u":/i18n"_s);
        return translator;
    }();
    QString text = english->translate("ValueWords", words, nullptr, n);
    if (text.isEmpty())
        text = QString::fromUtf8(words);
    return n < 0 ? text : text.replace(u"%n"_s, QString::number(n));
}

// "list of 2 texts": the noun for a list's items when they are all of one kind.
QString listOf(ValueKind itemKind, qsizetype count, Wording wording)
{
    const int n = int(std::min<qsizetype>(count, std::numeric_limits<int>::max()));
    switch (itemKind) {
    case ValueKind::String:
    case ValueKind::Text:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n text(s)"), n);
    case ValueKind::Integer:
    case ValueKind::Real:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n number(s)"), n);
    case ValueKind::Boolean:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n true or false value(s)"), n);
    case ValueKind::Date:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n date(s)"), n);
    case ValueKind::Data:
    case ValueKind::Bytes:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n piece(s) of data"), n);
    case ValueKind::Array:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n list(s)"), n);
    case ValueKind::Dictionary:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n dictionary(s)"), n);
    case ValueKind::Quarantine:
    case ValueKind::Null:
        break;
    }
    return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "list of %n item(s)"), n);
}

QString integerText(qint64 high, quint64 low)
{
    const __int128 value = (__int128(high) << 64) | __int128(low);
    unsigned __int128 magnitude = value < 0 ? -static_cast<unsigned __int128>(value) : value;
    QString digits;
    do {
        digits.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    return value < 0 ? u'-' + digits : digits;
}

QString realText(double real)
{
    if (std::isnan(real))
        return u"NaN"_s;
    if (std::isinf(real))
        return real > 0 ? u"Infinity"_s : u"-Infinity"_s;
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, real).ptr;
    QString text = QString::fromLatin1(buffer, end - buffer);
    // A whole number keeps a fraction, so that it still reads as a real and not as an integer.
    if (!text.contains(u'.') && !text.contains(u'e'))
        text += u".0"_s;
    return text;
}

QString dateText(const ValueNode &node)
{
    if (const std::optional<QString> iso = isoDateText(node.real()))
        return *iso;
    return u"%1 seconds from 2001-01-01T00:00:00Z"_s.arg(realText(node.real()));
}

// Appends to `out` while room is left; returns false once the preview is full.
class PreviewWriter {
public:
    explicit PreviewWriter(qsizetype maximumLength)
        : m_maximum(maximumLength)
    { }

    bool append(QStringView text)
    {
        for (QChar c : text) {
            if (m_out.size() >= m_maximum) {
                m_full = true;
                return false;
            }
            if (c == u'\n' || c == u'\r')
                m_out += QChar(0x21B5);
            else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                m_out += u' ';
            else
                m_out += c;
        }
        return true;
    }

    bool node(const ValueNode &node, bool nested)
    {
        switch (node.kind()) {
        case ValueKind::Array:
        case ValueKind::Dictionary:
        case ValueKind::Quarantine: {
            const bool dictionary = node.kind() != ValueKind::Array;
            if (nested && !append(dictionary ? u"{" : u"("))
                return false;
            const QList<ValueNode> &children = node.children();
            for (qsizetype i = 0; i < children.size(); ++i) {
                if (i > 0 && !append(dictionary ? u"; " : u", "))
                    return false;
                if (dictionary && !(append(node.keys().at(i)) && append(u": ")))
                    return false;
                if (!this->node(children[i], true))
                    return false;
            }
            return !nested || append(dictionary ? u"}" : u")");
        }
        case ValueKind::Data:
        case ValueKind::Bytes: {
            // Only as much hexadecimal as can be shown is made.
            const QByteArray &bytes = node.bytes();
            return append(QString::fromLatin1(bytes.first(qMin(bytes.size(), m_maximum)).toHex()))
                && (bytes.size() <= m_maximum || append(u"…"));
        }
        default:
            return append(scalarText(node));
        }
    }

    QString result()
    {
        if (m_full && !m_out.isEmpty())
            m_out.back() = QChar(0x2026);
        return m_out;
    }

private:
    qsizetype m_maximum;
    QString m_out;
    bool m_full = false;
};

// A nested container inside a list, on the list's one line for it: "(a, b)", "{key: value}".
QString inlineText(const ValueNode &node)
{
    PreviewWriter writer(std::numeric_limits<qsizetype>::max());
    writer.node(node, true);
    return writer.result();
}

void appendCopyText(const ValueNode &node, const QString &indent, QString &out)
{
    if (!node.isContainer()) {
        QString text = scalarText(node);
        if (!indent.isEmpty())
            text.replace(u'\n', u'\n' + indent);
        out += text;
        return;
    }
    const QString inner = indent + u"  "_s;
    const QList<ValueNode> &children = node.children();
    for (qsizetype i = 0; i < children.size(); ++i) {
        const ValueNode &child = children[i];
        if (i > 0)
            out += u'\n' + indent;
        if (node.kind() == ValueKind::Array) {
            if (child.isContainer())
                out += inlineText(child);
            else
                appendCopyText(child, indent, out);
        } else if (child.isContainer() && !child.children().isEmpty()) {
            out += node.keys().at(i) + u":\n"_s + inner;
            appendCopyText(child, inner, out);
        } else {
            out += node.keys().at(i) + u": "_s;
            if (child.isContainer())
                out += inlineText(child); // "()" or "{}"
            else
                appendCopyText(child, indent, out);
        }
    }
}

} // namespace

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::String:
        return u"string"_s;
    case ValueKind::Array:
        return u"array"_s;
    case ValueKind::Dictionary:
        return u"dictionary"_s;
    case ValueKind::Integer:
        return u"integer"_s;
    case ValueKind::Real:
        return u"real"_s;
    case ValueKind::Boolean:
        return u"boolean"_s;
    case ValueKind::Date:
        return u"date"_s;
    case ValueKind::Data:
        return u"data"_s;
    case ValueKind::Text:
        return u"text"_s;
    case ValueKind::Quarantine:
        return u"quarantine"_s;
    case ValueKind::Bytes:
        return u"bytes"_s;
    case ValueKind::Null:
        return u"null"_s;
    }
    return u"bytes"_s;
}

QString kindLabel(const ValueNode &node, Wording wording)
{
    const QList<ValueNode> &children = node.children();
    const auto count
        = [](qsizetype n) { return int(std::min<qsizetype>(n, std::numeric_limits<int>::max())); };
    switch (node.kind()) {
    case ValueKind::String:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "text"));
    case ValueKind::Text:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "plain text"));
    case ValueKind::Array: {
        if (children.isEmpty())
            return say(wording, QT_TRANSLATE_NOOP("ValueWords", "empty list"));
        ValueKind common = children.front().kind();
        for (const ValueNode &child : children) {
            const auto isNumber = [](ValueKind k) { return k == ValueKind::Integer || k == ValueKind::Real; };
            if (child.kind() != common && !(isNumber(child.kind()) && isNumber(common))) {
                common = ValueKind::Null; // mixed: "items"
                break;
            }
        }
        return listOf(common, children.size(), wording);
    }
    case ValueKind::Dictionary:
        return children.isEmpty()
            ? say(wording, QT_TRANSLATE_NOOP("ValueWords", "empty dictionary"))
            : say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "dictionary of %n entry(s)"),
                count(children.size()));
    case ValueKind::Integer:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "whole number"));
    case ValueKind::Real:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "number"));
    case ValueKind::Boolean:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "true or false"));
    case ValueKind::Date:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "date"));
    case ValueKind::Data:
        return say(
            wording, QT_TRANSLATE_N_NOOP("ValueWords", "%n byte(s) of data"), count(node.bytes().size()));
    case ValueKind::Quarantine:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "quarantine record"));
    case ValueKind::Bytes:
        return say(wording, QT_TRANSLATE_N_NOOP("ValueWords", "%n byte(s)"), count(node.bytes().size()));
    case ValueKind::Null:
        return say(wording, QT_TRANSLATE_NOOP("ValueWords", "nothing"));
    }
    return {};
}

std::optional<QString> isoDateText(double secondsSince2001)
{
    // Some 30,000 years either way are beyond any year with four digits (and NaN is no time at all);
    // within them the microseconds fit 64 bits.
    if (!(std::abs(secondsSince2001) < 1e12))
        return std::nullopt;
    // To the microsecond, rounded to the nearest; the day and the time of day by floored division,
    // so that a time before 2001 is not rounded toward it.
    constexpr qint64 microsecondsPerDay = 86'400'000'000;
    const qint64 microseconds = std::llround(secondsSince2001 * 1e6);
    qint64 days = microseconds / microsecondsPerDay;
    qint64 ofDay = microseconds % microsecondsPerDay;
    if (ofDay < 0) {
        ofDay += microsecondsPerDay;
        --days;
    }
    const QDate date = QDate::fromJulianDay(2451911 + days); // 2001-01-01
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    const qint64 second = ofDay / 1'000'000;
    const qint64 fraction = ofDay % 1'000'000;
    QString text = u"%1-%2-%3T%4:%5:%6"_s.arg(date.year(), 4, 10, QChar(u'0'))
                       .arg(date.month(), 2, 10, QChar(u'0'))
                       .arg(date.day(), 2, 10, QChar(u'0'))
                       .arg(second / 3600, 2, 10, QChar(u'0'))
                       .arg(second / 60 % 60, 2, 10, QChar(u'0'))
                       .arg(second % 60, 2, 10, QChar(u'0'));
    if (fraction % 1000 == 0 && fraction != 0)
        text += u".%1"_s.arg(fraction / 1000, 3, 10, QChar(u'0'));
    else if (fraction != 0)
        text += u".%1"_s.arg(fraction, 6, 10, QChar(u'0'));
    return text + u'Z';
}

QString scalarText(const ValueNode &node)
{
    switch (node.kind()) {
    case ValueKind::String:
    case ValueKind::Text:
        return node.string();
    case ValueKind::Integer:
        return integerText(node.integerHigh(), node.integerLow());
    case ValueKind::Real:
        return realText(node.real());
    case ValueKind::Boolean:
        return node.boolean() ? u"true"_s : u"false"_s;
    case ValueKind::Date:
        return dateText(node);
    case ValueKind::Data:
    case ValueKind::Bytes:
        return QString::fromLatin1(node.bytes().toHex());
    case ValueKind::Array:
    case ValueKind::Dictionary:
    case ValueKind::Quarantine:
    case ValueKind::Null:
        break;
    }
    return {};
}

QString preview(const ValueNode &node, qsizetype maximumLength)
{
    PreviewWriter writer(qMax<qsizetype>(maximumLength, 1));
    writer.node(node, false);
    return writer.result();
}

QString copyText(const ValueNode &node)
{
    QString out;
    appendCopyText(node, QString(), out);
    return out;
}

bool containsText(const ValueNode &node, QStringView text)
{
    QSet<const void *> searched;
    const std::function<bool(const ValueNode &)> search = [&](const ValueNode &value) {
        if (searched.contains(value.identity()))
            return false;
        searched.insert(value.identity());
        switch (value.kind()) {
        case ValueKind::Array:
        case ValueKind::Dictionary:
        case ValueKind::Quarantine:
            for (const QString &key : value.keys()) {
                if (key.contains(text, Qt::CaseInsensitive))
                    return true;
            }
            return std::any_of(value.children().cbegin(), value.children().cend(), search);
        case ValueKind::Data:
        case ValueKind::Bytes:
        case ValueKind::Null:
            return false;
        default:
            return scalarText(value).contains(text, Qt::CaseInsensitive);
        }
    };
    return search(node);
}

} // namespace corvane
