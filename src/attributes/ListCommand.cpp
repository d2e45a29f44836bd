#include "attributes/ListCommand.h"

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/AttributeNames.h"

#include <cerrno>

namespace corvane {

namespace {

// A name or label on a line of the text form, escaped as getfattr escapes names (octal for bytes that
// are not printable UTF-8, for line breaks and other invisible characters, and for the backslash), and
// the characters that end the line's parts: "=" and "(" in names, "," in labels. So the name runs to
// the first " (", the label to the first ", ", the kind to the first ") = ".
QByteArray escapedPart(QByteArrayView bytes, QByteArrayView delimiters)
{
    QByteArray out = octalEscaped(bytes);
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (delimiters.contains(out[i])) {
            const QByteArray escape = '\\' + QByteArray::number(uchar(out[i]), 8).rightJustified(3, '0');
            out.replace(i, 1, escape);
            i += escape.size() - 1;
        }
    }
    return out;
}

QByteArray textLineStart(const AttributeName &name)
{
    return escapedPart(name.systemName, "=(") + " (" + escapedPart(name.labelBytes, ",") + ", ";
}

// NAME (LABEL, KIND[: NOTE]) = VALUE, the value as compact JSON; an attribute that could not be read
// is NAME (LABEL, unreadable: REASON).
QByteArray textLine(const AttributeDescription &attribute, QByteArray out)
{
    if (attribute.error)
        return out + "unreadable: " + attribute.error->description.toUtf8() + ")\n";
    out += kindLabel(attribute.value, Wording::English).toUtf8();
    if (attribute.tooLargeToExpand)
        out += ": " + tooLargeToExpandNote().toUtf8();
    else if (attribute.nestedTooDeep)
        out += ": " + nestedTooDeepNote().toUtf8();
    else if (attribute.value.kind() == ValueKind::Date && !isoDateText(attribute.value.real()))
        out += ": " + scalarText(attribute.value).toUtf8() + ", no year from 1 to 9999";
    else if (jsonLosesValue(attribute.value))
        out += ": holds what JSON cannot carry (lone surrogates as U+FFFD, dates as null)";
    return out + ") = " + valueToJson(attribute.value) + '\n';
}

} // namespace

FileLister::FileLister(ListingFormat format)
    : m_format(format)
{ }

const FileLister::KnownName &FileLister::knownName(const QByteArray &systemName)
{
    if (const auto found = m_names.constFind(systemName); found != m_names.cend())
        return *found;
    if (m_names.size() >= 4096)
        m_names.clear();
    KnownName known;
    known.name = recogniseAttributeName(systemName);
    known.textLineStart = textLineStart(known.name);
    known.jsonStart = attributeJsonStart(known.name);
    return *m_names.insert(systemName, known);
}

QByteArray FileLister::attributeText(const KnownName &known, const QByteArray &value, ExpansionBudget &budget)
{
    // What repeats in a tree is small: values up to 4 KiB, a few thousand of them, are remembered.
    const QByteArray &name = known.name.systemName;
    const bool small = value.size() <= 4096;
    const size_t hash = small ? qHash(value, qHash(name)) : 0;
    if (small) {
        if (const auto found = m_outputs.constFind(hash);
            found != m_outputs.cend() && found->name == name && found->value == value)
            return found->text;
    }
    AttributeDescription attribute = describeAttribute(known.name, value, &budget);
    if (nestingDepth(attribute.value) > maximumValueNesting) {
        attribute.value = ValueNode::fromBytes(ValueKind::Bytes, value);
        attribute.nestedTooDeep = true;
    }
    QByteArray text;
    if (m_format == ListingFormat::Text) {
        text = textLine(attribute, known.textLineStart);
    } else {
        text = attributeToJson(attribute, value, known.jsonStart);
        if (m_format == ListingFormat::Dump) {
            text.chop(1); // the object's closing brace
            text += ", \"bytes\": \"" + value.toBase64() + "\"}";
        }
    }
    // Only what a fresh budget allows anywhere, without the floor the values of one file share.
    const bool withinAllowance = !attribute.tooLargeToExpand
        && text.size() <= ExpansionBudget::perInputByte * (name.size() + value.size());
    if (small && withinAllowance) {
        if (m_seen.size() >= 65536)
            m_seen.clear();
        if (!m_seen.contains(hash)) {
            m_seen.insert(hash, true);
        } else {
            if (m_outputs.size() >= 4096 || m_outputBytes > (16 << 20)) {
                m_outputs.clear();
                m_outputBytes = 0;
            }
            m_outputs.insert(hash, { name, value, text });
            m_outputBytes += name.size() + value.size() + text.size();
        }
    }
    return text;
}

FileListing FileLister::list(
    const QByteArray &path, LinkMode links, const NameFilter &takes, const QByteArray &shownPath)
{
    FileListing file;
    file.text.reserve(1024);
    PosixError error;
    const std::optional<QList<QByteArray>> names = listAttributeNames(path, &error, links);
    if (!names) {
        file.complete = false;
        file.errors += "corvane: " + path + ": " + error.description.toUtf8() + '\n';
    }
    const bool json = m_format != ListingFormat::Text;
    if (json)
        file.text = fileJsonOpening(
            shownPath.isEmpty() ? path : shownPath, names ? std::nullopt : std::optional(error));
    else if (names)
        file.text = "# file: " + octalEscaped(path) + '\n';
    // A dump keeps each file on a line of its own, so that a restore reads it back a file at a time.
    const QByteArray before = m_format == ListingFormat::Dump ? "" : "\n  ";
    const QByteArray between = m_format == ListingFormat::Dump ? ", " : ",\n  ";
    ExpansionBudget budget;
    bool first = true;
    for (const QByteArray &name : names.value_or(QList<QByteArray>())) {
        if (takes && !takes(name))
            continue;
        const std::optional<QByteArray> value = readExtendedAttributeBytes(path, name, &error, links);
        if (!value && error.code == ENODATA)
            continue; // removed since it was listed
        const KnownName &known = knownName(name);
        if (json)
            file.text += first ? before : between;
        first = false;
        if (value) {
            file.text += attributeText(known, *value, budget);
            continue;
        }
        file.complete = false;
        file.errors += "corvane: " + path + ": " + name + ": " + error.description.toUtf8() + '\n';
        AttributeDescription unreadable;
        unreadable.name = known.name;
        unreadable.error = error;
        file.text += json ? attributeToJson(unreadable) : textLine(unreadable, known.textLineStart);
    }
    if (json)
        file.text += first || m_format == ListingFormat::Dump ? "]}" : "\n]}";
    else if (names)
        file.text += '\n';
    return file;
}

ListingWriter::ListingWriter(QIODevice &out, QIODevice &err, ListingFormat format)
    : m_out(out)
    , m_err(err)
    , m_format(format)
{ }

void ListingWriter::begin(const QByteArray &base)
{
    if (m_format == ListingFormat::Json) {
        m_out.write("{\"files\": [\n");
    } else if (m_format == ListingFormat::Dump) {
        QByteArray header = "{\"corvaneDump\": 1, \"base\": ";
        appendJsonString(header, QString::fromUtf8(base));
        if (QString::fromUtf8(base).toUtf8() != base)
            header += ", \"baseBase64\": \"" + base.toBase64() + '"';
        m_out.write(header + ", \"files\": [\n");
    }
}

void ListingWriter::write(const FileListing &file)
{
    m_err.write(file.errors);
    if (file.text.isEmpty())
        return;
    if (m_format != ListingFormat::Text && !m_firstFile)
        m_out.write(",\n");
    m_out.write(file.text);
    m_firstFile = false;
}

void ListingWriter::end()
{
    if (m_format != ListingFormat::Text)
        m_out.write(m_firstFile ? "]}\n" : "\n]}\n");
}

} // namespace corvane
