#include "cli/Commands.h"

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "cli/NameFilter.h"
#include "cli/TreeWalk.h"
#include "cli/WriteRun.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// A dump is written a file per line, so that it is read back a file at a time. A line holds what one
// file's attributes come to, so these bounds are far beyond any file system's limits; a dump that was
// reformatted by another program is read whole, up to the second bound.
constexpr qint64 maximumLine = 64 << 20;
constexpr qint64 maximumDocument = 256 << 20;

bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

// "key": "text", with "keyBase64" beside it when the bytes are not UTF-8.
void appendBytesField(QByteArray &out, const char *key, const QByteArray &bytes)
{
    out += '"' + QByteArray(key) + "\": ";
    appendJsonString(out, QString::fromUtf8(bytes));
    if (!isUtf8(bytes))
        out += ", \"" + QByteArray(key) + "Base64\": \"" + bytes.toBase64() + '"';
}

// The path as the dump keeps it: relative to the working directory when it lies below it, else
// absolute; never with "." or ".." in it (a ".." is resolved through the file system, where a link may
// lead elsewhere than the text says).
QByteArray storedPath(const QByteArray &path, const QByteArray &base)
{
    QByteArray absolute = absolutePath(path, base);
    if (absolute.split('/').contains("..")) {
        char resolved[PATH_MAX];
        const qsizetype slash = absolute.lastIndexOf('/');
        const QByteArray parent = slash > 0 ? absolute.left(slash) : QByteArray("/");
        const QByteArray last = absolute.sliced(slash + 1);
        if (last != ".." && last != "." && ::realpath(parent.constData(), resolved))
            absolute = QByteArray(resolved) + '/' + last;
        else if (::realpath(absolute.constData(), resolved))
            absolute = resolved;
    }
    QByteArray clean;
    for (const QByteArray &part : absolute.split('/')) {
        if (part == "..")
            clean.truncate(std::max<qsizetype>(0, clean.lastIndexOf('/')));
        else if (!part.isEmpty() && part != ".")
            clean += '/' + part;
    }
    if (clean.isEmpty())
        clean = "/";
    if (clean == base)
        return ".";
    const QByteArray prefix = base.endsWith('/') ? base : base + '/';
    return clean.startsWith(prefix) ? clean.sliced(prefix.size()) : clean;
}

QByteArray attributeLine(const QByteArray &path, const QByteArray &name, LinkMode links, bool *failed)
{
    PosixError error;
    const std::optional<QByteArray> bytes = readExtendedAttributeBytes(path, name, &error, links);
    if (!bytes && error.code == ENODATA)
        return {};
    AttributeDescription attribute;
    if (bytes) {
        attribute = describeAttribute(recogniseAttributeName(name), *bytes);
    } else {
        *failed = true;
        attribute.name = recogniseAttributeName(name);
        attribute.error = error;
    }
    QByteArray out = attributeToJson(attribute);
    if (bytes) {
        out.chop(1); // the object's closing brace
        out += ", \"bytes\": \"" + bytes->toBase64() + "\"}";
    }
    return out;
}

std::optional<QByteArray> bytesField(const QJsonObject &object, const QString &key)
{
    const QJsonValue exact = object.value(key + u"Base64"_s);
    if (exact.isString()) {
        auto decoded = QByteArray::fromBase64Encoding(
            exact.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? std::optional(*decoded) : std::nullopt;
    }
    const QJsonValue text = object.value(key);
    return text.isString() ? std::optional(text.toString().toUtf8()) : std::nullopt;
}

class Restore {
public:
    Restore(const ToolRequest &request, ToolStreams &streams, const QByteArray &commandLine)
        : m_request(request)
        , m_links(request.noDereference ? LinkMode::NoFollow : LinkMode::Follow)
        , m_run(streams, Journal(), commandLine, request.dryRun, true)
    { }

    bool setFilter(QString *error) { return m_filter.setPattern(m_request.match, error); }
    // The dump's first line: {"corvaneDump": 1, "base": ..., "files": [
    bool readHeader(const QJsonObject &header, QString *error)
    {
        const std::optional<QByteArray> base = bytesField(header, u"base"_s);
        if (header.value(u"corvaneDump"_s).toInt() != 1 || !base || !base->startsWith('/')) {
            *error = u"is no dump of this version of Corvane"_s;
            return false;
        }
        m_base = m_request.targetDirectory.isEmpty() ? *base : m_request.targetDirectory;
        return true;
    }

    void restoreFile(const QJsonObject &file)
    {
        const std::optional<QByteArray> stored = bytesField(file, u"path"_s);
        if (!stored || stored->isEmpty() || stored->contains('\0') || stored->split('/').contains("..")) {
            m_run.fail(
                "the dump", u"a file's path is missing or leads outside the restore (\"..\"); skipped"_s);
            return;
        }
        QByteArray path = *stored == "." ? m_base : absolutePath(*stored, m_base);
        if (stored->startsWith('/') && !m_request.targetDirectory.isEmpty())
            path = m_base + *stored; // an absolute path of the dump, under the copy
        for (const QJsonValue &value : file.value(u"attributes"_s).toArray()) {
            if (!restoreAttribute(path, value.toObject()))
                break;
        }
    }

    int finish() { return m_run.finish(); }
    void fail(const QString &reason) { m_run.fail(m_request.backup, reason); }

private:
    // False when the file itself is not there, so it is reported once.
    bool restoreAttribute(const QByteArray &path, const QJsonObject &attribute)
    {
        const std::optional<QByteArray> name = bytesField(attribute, u"name"_s);
        if (!name || name->isEmpty()) {
            m_run.fail(path, u"an attribute without a name in the dump; skipped"_s);
            return true;
        }
        if (!m_filter.matches(*name))
            return true;
        const QJsonValue encoded = attribute.value(u"bytes"_s);
        const auto bytes = QByteArray::fromBase64Encoding(
            encoded.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!encoded.isString() || !bytes) {
            m_run.fail(path, *name, u"the dump holds no bytes for it (it could not be read then)"_s);
            return true;
        }
        PosixError error;
        const std::optional<QByteArray> current = readExtendedAttributeBytes(path, *name, &error, m_links);
        if (!current && (error.code == ENOENT || error.code == ENOTDIR)) {
            m_run.fail(path, error.description);
            return false;
        }
        if (!current && error.code != ENODATA)
            m_run.fail(path, *name, error.description);
        else
            m_run.plan(path, *name, m_links, current, *bytes);
        return true;
    }

    const ToolRequest &m_request;
    LinkMode m_links;
    NameFilter m_filter;
    WriteRun m_run;
    QByteArray m_base;
};

} // namespace

int runDump(const ToolRequest &request, ToolStreams &streams)
{
    const LinkMode links = request.noDereference ? LinkMode::NoFollow : LinkMode::Follow;
    NameFilter filter;
    QString problem;
    if (!filter.setPattern(request.match, &problem)) {
        streams.error("--match: " + problem.toUtf8());
        return 2;
    }
    bool failed = false;
    const auto fail = [&](const QByteArray &path, const PosixError &error) {
        failed = true;
        streams.error(path + ": " + error.description.toUtf8());
    };
    const QByteArray base = workingDirectory();
    QByteArray header = "{\"corvaneDump\": 1, ";
    appendBytesField(header, "base", base);
    streams.out.write(header + ", \"files\": [\n");

    TreeWalk walk(request.paths, request.recursive, links, fail);
    bool first = true;
    while (const std::optional<QByteArray> path = walk.next()) {
        PosixError error;
        std::optional<QList<QByteArray>> names = listExtendedAttributes(*path, &error, links);
        QByteArray line = first ? "{" : ",\n{";
        first = false;
        appendBytesField(line, "path", storedPath(*path, base));
        line += ", \"error\": ";
        if (names) {
            line += "null";
        } else {
            fail(*path, error);
            appendJsonString(line, error.description);
        }
        line += ", \"attributes\": [";
        if (!names)
            names.emplace();
        std::sort(names->begin(), names->end());
        bool firstAttribute = true;
        for (const QByteArray &name : std::as_const(*names)) {
            if (!filter.matches(name))
                continue;
            const QByteArray attribute = attributeLine(*path, name, links, &failed);
            if (attribute.isEmpty())
                continue;
            line += (firstAttribute ? "" : ", ") + attribute;
            firstAttribute = false;
        }
        streams.out.write(line + "]}");
    }
    streams.out.write(first ? "]}\n" : "\n]}\n");
    return failed ? 1 : 0;
}

int runRestore(const ToolRequest &request, ToolStreams &streams, const QByteArray &commandLine)
{
    Restore restore(request, streams, commandLine);
    QString problem;
    if (!restore.setFilter(&problem)) {
        streams.error("--match: " + problem.toUtf8());
        return 2;
    }
    QFile file(QFile::decodeName(request.backup));
    const bool fromInput = request.backup == "-";
    if (!fromInput && !file.open(QIODevice::ReadOnly)) {
        streams.error(request.backup + ": " + file.errorString().toUtf8());
        return 1;
    }
    QIODevice &in = fromInput ? streams.in : file;
    const auto refuse = [&](const QString &reason) {
        streams.error(request.backup + ": " + reason.toUtf8() + "; nothing is restored");
        return 1;
    };
    QJsonParseError parseError;
    QByteArray line = in.readLine(maximumLine);
    QJsonDocument document = QJsonDocument::fromJson(line.trimmed() + "]}", &parseError);
    if (document.isObject() && line.trimmed().endsWith('[')) {
        if (!restore.readHeader(document.object(), &problem))
            return refuse(problem);
        // A file per line, up to the closing "]}"; only the end of input reads as no line at all.
        while (!(line = in.readLine(maximumLine)).isEmpty()) {
            line = line.trimmed();
            if (line.endsWith(','))
                line.chop(1);
            if (line.isEmpty() || line == "]}")
                continue;
            const QJsonDocument entry = QJsonDocument::fromJson(line, &parseError);
            if (entry.isObject())
                restore.restoreFile(entry.object());
            else
                restore.fail(
                    u"a line that is no file of the dump (%1), skipped"_s.arg(parseError.errorString()));
        }
        return restore.finish();
    }
    // Reformatted: the whole document at once.
    line += readAtMost(in, maximumDocument - line.size() + 1);
    if (line.size() > maximumDocument)
        return refuse(u"the dump is too large to read whole; restore the dump as Corvane wrote it"_s);
    document = QJsonDocument::fromJson(line, &parseError);
    if (!document.isObject())
        return refuse(u"not JSON: "_s + parseError.errorString());
    if (!restore.readHeader(document.object(), &problem))
        return refuse(problem);
    for (const QJsonValue &entry : document.object().value(u"files"_s).toArray())
        restore.restoreFile(entry.toObject());
    return restore.finish();
}

} // namespace corvane
