#include "attributes/ListCommand.h"

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"

namespace corvane {

namespace {

// Names and paths may hold line breaks and other control characters; in the text form each stays on
// its line with them written as octal escapes, as getfattr does.
QByteArray oneLine(const QString &text)
{
    QByteArray out = text.toUtf8();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const uchar c = uchar(out[i]);
        if (c < 0x20 || c == 0x7F) {
            const QByteArray escape = '\\' + QByteArray::number(c, 8).rightJustified(3, '0');
            out.replace(i, 1, escape);
            i += escape.size() - 1;
        }
    }
    return out;
}

QByteArray textBlock(const FileDescription &file)
{
    QByteArray out = "# file: " + oneLine(QString::fromUtf8(file.path)) + '\n';
    for (const AttributeDescription &attribute : file.attributes) {
        out += oneLine(attribute.name.name) + " (" + oneLine(attribute.name.label) + ", ";
        if (attribute.error) {
            out += "unreadable: " + attribute.error->description.toUtf8() + ")\n";
            continue;
        }
        out += kindLabel(attribute.value).toUtf8() + ") = " + valueToJson(attribute.value) + '\n';
    }
    return out + '\n';
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

    int status = 0;
    if (json)
        out.write("{\"files\": [\n");
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const FileDescription file = describeFileAttributes(paths[i]);
        if (file.error) {
            status = 1;
            err.write("corvane: " + paths[i] + ": " + file.error->description.toUtf8() + '\n');
        }
        for (const AttributeDescription &attribute : file.attributes) {
            if (attribute.error) {
                status = 1;
                err.write("corvane: " + paths[i] + ": " + attribute.name.systemName + ": "
                    + attribute.error->description.toUtf8() + '\n');
            }
        }
        if (json)
            out.write((i > 0 ? ",\n" : "") + fileToJson(file));
        else if (!file.error)
            out.write(textBlock(file));
    }
    if (json)
        out.write("\n]}\n");
    return status;
}

} // namespace corvane
