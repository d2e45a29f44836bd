#include "attributes/AttributeJson.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <functional>

namespace corvane {

namespace {

void appendValue(QByteArray &out, const ValueNode &node)
{
    switch (node.kind()) {
    case ValueKind::String:
    case ValueKind::Text:
        appendJsonString(out, node.string());
        return;
    case ValueKind::Date:
        if (const std::optional<QString> iso = isoDateText(node.real()))
            appendJsonString(out, *iso);
        else
            out += "null";
        return;
    case ValueKind::Integer:
    case ValueKind::Boolean:
        out += scalarText(node).toLatin1();
        return;
    case ValueKind::Real: {
        const QString text = scalarText(node);
        if (text.front().isDigit() || (text.size() > 1 && text.front() == u'-' && text[1].isDigit()))
            out += text.toLatin1();
        else
            appendJsonString(out, text);
        return;
    }
    case ValueKind::Data:
    case ValueKind::Bytes:
        out += '"' + node.bytes().toBase64() + '"';
        return;
    case ValueKind::Null:
        out += "null";
        return;
    case ValueKind::Array:
        out += '[';
        for (qsizetype i = 0; i < node.children().size(); ++i) {
            if (i > 0)
                out += ',';
            appendValue(out, node.children()[i]);
        }
        out += ']';
        return;
    case ValueKind::Dictionary:
    case ValueKind::Quarantine:
        out += '{';
        for (qsizetype i = 0; i < node.children().size(); ++i) {
            if (i > 0)
                out += ',';
            appendJsonString(out, node.keys()[i]);
            out += ':';
            appendValue(out, node.children()[i]);
        }
        out += '}';
        return;
    }
}

bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(bytes); // the decoder runs only when its result is taken
    return !decoder.hasError();
}

void appendName(QByteArray &out, const char *key, const QByteArray &bytes)
{
    out += '"';
    out += key;
    out += "\": ";
    appendJsonString(out, QString::fromUtf8(bytes));
    if (!isUtf8(bytes)) {
        out += ", \"";
        out += key;
        out += "Base64\": \"" + bytes.toBase64() + '"';
    }
}

} // namespace

void appendJsonString(QByteArray &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    const auto escaped = [&out](char16_t unit) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            out += hex[(unit >> shift) & 0xF];
    };
    out.reserve(out.size() + text.size() + 2);
    out += '"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += char(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            escaped(c);
        } else if (c < 0x80) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text.sliced(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            // A lone surrogate: JSON's grammar has an escape for it, but what it stands for is no
            // character, and strict readers (jq) refuse the whole document.
            out += "\xEF\xBF\xBD";
        } else {
            out += QStringView(text.data() + i, 1).toUtf8();
        }
    }
    out += '"';
}

qsizetype jsonStringLength(QStringView text)
{
    qsizetype length = 2;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'"' || c == u'\\' || c == u'\n' || c == u'\r' || c == u'\t')
            length += 2;
        else if (c < 0x20)
            length += 6;
        else if (c < 0x80)
            length += 1;
        else if (c < 0x800)
            length += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
            && QChar::isLowSurrogate(text[i + 1].unicode()))
            length += 4, ++i;
        else if (QChar::isSurrogate(c))
            length += 3;
        else
            length += 3;
    }
    return length;
}

QByteArray valueToJson(const ValueNode &node)
{
    QByteArray out;
    appendValue(out, node);
    return out;
}

bool jsonLosesValue(const ValueNode &node)
{
    const auto lone = [](const QString &text) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            else if (text[i].isSurrogate())
                return true;
        }
        return false;
    };
    if (node.kind() == ValueKind::String || node.kind() == ValueKind::Text)
        return lone(node.string());
    if (!node.isContainer())
        return node.kind() == ValueKind::Date && !isoDateText(node.real());
    // Each shared subtree once: the walk costs what the value holds, not what it expands to.
    QSet<const void *> seen;
    const std::function<bool(const ValueNode &)> loses = [&](const ValueNode &n) {
        if (seen.contains(n.identity()))
            return false;
        seen.insert(n.identity());
        switch (n.kind()) {
        case ValueKind::String:
        case ValueKind::Text:
            return lone(n.string());
        case ValueKind::Date:
            return !isoDateText(n.real());
        default:
            break;
        }
        return std::any_of(n.keys().cbegin(), n.keys().cend(), lone)
            || std::any_of(n.children().cbegin(), n.children().cend(), loses);
    };
    return loses(node);
}

int nestingDepth(const ValueNode &node)
{
    if (!node.isContainer())
        return 0;
    QHash<const void *, int> depths;
    const std::function<int(const ValueNode &)> depth = [&](const ValueNode &n) -> int {
        if (!n.isContainer())
            return 0;
        if (const auto found = depths.constFind(n.identity()); found != depths.cend())
            return *found;
        int deepest = 0;
        for (const ValueNode &child : n.children())
            deepest = std::max(deepest, depth(child));
        const int level = n.kind() != ValueKind::Array && !n.children().isEmpty() ? 2 : 1;
        depths.insert(n.identity(), deepest + level);
        return deepest + level;
    };
    return depth(node);
}

QString nestedTooDeepNote()
{
    return QStringLiteral("a property list nested more than %1 levels deep, which JSON readers refuse; shown "
                          "as its bytes")
        .arg(maximumValueNesting);
}

QByteArray attributeJsonStart(const AttributeName &name)
{
    QByteArray out = "{";
    appendName(out, "name", name.systemName);
    out += ", \"label\": ";
    appendJsonString(out, name.label);
    out += ", \"macName\": ";
    if (name.macName.isEmpty())
        out += "null";
    else
        appendJsonString(out, name.macName);
    return out;
}

QByteArray attributeToJson(const AttributeDescription &attribute, QByteArrayView stored)
{
    return attributeToJson(attribute, stored, attributeJsonStart(attribute.name));
}

QByteArray attributeToJson(const AttributeDescription &attribute, QByteArrayView stored, const QByteArray &start)
{
    QByteArray out = start;
    if (attribute.error) {
        out += ", \"kind\": null, \"size\": null, \"value\": null, \"error\": ";
        appendJsonString(out, attribute.error->description);
    } else {
        out += ", \"kind\": \"" + kindName(attribute.value.kind()).toLatin1() + '"';
        out += ", \"size\": " + QByteArray::number(attribute.size);
        out += ", \"value\": ";
        appendValue(out, attribute.value);
        if (attribute.value.kind() == ValueKind::Date && !isoDateText(attribute.value.real())) {
            out += ", \"seconds\": ";
            appendValue(out, ValueNode::fromReal(attribute.value.real()));
        }
        if (!stored.isEmpty() && jsonLosesValue(attribute.value))
            out += ", \"valueBase64\": \"" + stored.toByteArray().toBase64() + '"';
        if (attribute.tooLargeToExpand || attribute.nestedTooDeep) {
            out += ", \"note\": ";
            appendJsonString(out, attribute.tooLargeToExpand ? tooLargeToExpandNote() : nestedTooDeepNote());
        }
    }
    out += '}';
    return out;
}

QByteArray fileJsonOpening(const QByteArray &path, const std::optional<PosixError> &error)
{
    QByteArray out = "{";
    appendName(out, "path", path);
    out += ", \"error\": ";
    if (error)
        appendJsonString(out, error->description);
    else
        out += "null";
    out += ", \"attributes\": [";
    return out;
}

} // namespace corvane
