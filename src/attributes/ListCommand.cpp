#include "attributes/ListCommand.h"

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/AttributeNames.h"

namespace corvane {

namespace {

// One attribute's line in the text form: its name and label with octal escapes, as getfattr writes
// names, so that every line splits and parses back to the exact name.
QByteArray textLine(const AttributeDescription &attribute)
{
    QByteArray out
        = octalEscaped(attribute.name.systemName) + " (" + octalEscaped(attribute.name.labelBytes) + ", ";
    if (attribute.error)
        return out + "unreadable: " + attribute.error->description.toUtf8() + ")\n";
    out += kindLabel(attribute.value).toUtf8();
    if (attribute.tooLargeToExpand)
        out += ": " + tooLargeToExpandNote().toUtf8();
    return out + ") = " + valueToJson(attribute.value) + '\n';
}

} // namespace

bool isListCommand(const QList<QByteArray> &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            return false;
        if (argument == "--list" || argument == "--json")
            return true;
    }
    return false;
}

int runListCommand(const QList<QByteArray> &arguments, QIODevice &out, QIODevice &err)
{
    bool list = false, json = false, optionsEnded = false;
    QList<QByteArray> paths;
    for (const QByteArray &argument : arguments) {
        if (optionsEnded || !argument.startsWith('-') || argument == "-") {
            paths.append(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--list") {
            list = true;
        } else if (argument == "--json") {
            json = true;
        } else {
            err.write("corvane: unknown option with --list: " + argument + '\n');
            return 2;
        }
    }
    if (!list || paths.isEmpty()) {
        err.write(list ? "corvane: --list needs at least one file\n" : "corvane: --json goes with --list\n");
        err.write("Usage: corvane --list [--json] FILE...\n");
        return 2;
    }

    // Written as they are read, one attribute at a time, so that the listing holds one value however
    // many a file carries.
    int status = 0;
    if (json)
        out.write("{\"files\": [\n");
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QByteArray &path = paths[i];
        PosixError error;
        const std::optional<QList<QByteArray>> names = listAttributeNames(path, &error);
        if (!names) {
            status = 1;
            err.write("corvane: " + path + ": " + error.description.toUtf8() + '\n');
        }
        if (json)
            out.write(
                (i > 0 ? ",\n" : "") + fileJsonOpening(path, names ? std::nullopt : std::optional(error)));
        else if (names)
            out.write("# file: " + octalEscaped(path) + '\n');
        ExpansionBudget budget;
        bool first = true;
        for (const QByteArray &name : names.value_or(QList<QByteArray>())) {
            const std::optional<AttributeDescription> attribute = readAttribute(path, name, budget);
            if (!attribute)
                continue;
            if (attribute->error) {
                status = 1;
                err.write(
                    "corvane: " + path + ": " + name + ": " + attribute->error->description.toUtf8() + '\n');
            }
            if (json)
                out.write((first ? "\n  " : ",\n  ") + attributeToJson(*attribute));
            else
                out.write(textLine(*attribute));
            first = false;
        }
        if (json)
            out.write(first ? "]}" : "\n]}");
        else if (names)
            out.write("\n");
    }
    if (json)
        out.write("\n]}\n");
    return status;
}

} // namespace corvane
