#include "attributes/ListCommand.h"

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/AttributeNames.h"

#include <cerrno>

namespace corvane {

namespace {

// The start of an attribute's line in the text form: its name and label with octal escapes, as
// getfattr writes names, so that every line splits and parses back to the exact name.
QByteArray textLineStart(const AttributeName &name)
{
    return octalEscaped(name.systemName) + " (" + octalEscaped(name.labelBytes) + ", ";
}

QByteArray textLine(const AttributeDescription &attribute, QByteArray out)
{
    if (attribute.error)
        return out + "unreadable: " + attribute.error->description.toUtf8() + ")\n";
    out += kindLabel(attribute.value).toUtf8();
    if (attribute.tooLargeToExpand)
        out += ": " + tooLargeToExpandNote().toUtf8();
    return out + ") = " + valueToJson(attribute.value) + '\n';
}

} // namespace

const ListingWriter::KnownName &ListingWriter::knownName(const QByteArray &systemName)
{
    // A tree repeats a few names in every file: each is recognised once. The cache is bounded.
    if (const auto found = m_names.constFind(systemName); found != m_names.cend())
        return *found;
    if (m_names.size() >= 4096)
        m_names.clear();
    KnownName known;
    known.name = recogniseAttributeName(systemName);
    known.textLineStart = textLineStart(known.name);
    return *m_names.insert(systemName, known);
}

ListingWriter::ListingWriter(QIODevice &out, QIODevice &err, bool json)
    : m_out(out)
    , m_err(err)
    , m_json(json)
{ }

void ListingWriter::begin()
{
    if (m_json)
        m_out.write("{\"files\": [\n");
}

void ListingWriter::end()
{
    if (m_json)
        m_out.write(m_firstFile ? "]}\n" : "\n]}\n");
}

bool ListingWriter::writeFile(const QByteArray &path, LinkMode links, const NameFilter &takes)
{
    bool listed = true;
    PosixError error;
    const std::optional<QList<QByteArray>> names = listAttributeNames(path, &error, links);
    if (!names) {
        listed = false;
        m_err.write("corvane: " + path + ": " + error.description.toUtf8() + '\n');
    }
    if (m_json)
        m_out.write(
            (m_firstFile ? "" : ",\n") + fileJsonOpening(path, names ? std::nullopt : std::optional(error)));
    else if (names)
        m_out.write("# file: " + octalEscaped(path) + '\n');
    m_firstFile = false;
    ExpansionBudget budget;
    bool first = true;
    for (const QByteArray &name : names.value_or(QList<QByteArray>())) {
        if (takes && !takes(name))
            continue;
        const std::optional<QByteArray> value = readExtendedAttributeBytes(path, name, &error, links);
        if (!value && error.code == ENODATA)
            continue; // removed since it was listed
        const KnownName &known = knownName(name);
        AttributeDescription attribute;
        if (value) {
            attribute = describeAttribute(known.name, *value, &budget);
        } else {
            attribute.name = known.name;
            attribute.error = error;
            listed = false;
            m_err.write("corvane: " + path + ": " + name + ": " + error.description.toUtf8() + '\n');
        }
        if (m_json)
            m_out.write((first ? "\n  " : ",\n  ") + attributeToJson(attribute));
        else
            m_out.write(textLine(attribute, known.textLineStart));
        first = false;
    }
    if (m_json)
        m_out.write(first ? "]}" : "\n]}");
    else if (names)
        m_out.write("\n");
    return listed;
}

} // namespace corvane
