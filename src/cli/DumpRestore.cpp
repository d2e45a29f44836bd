#include "cli/Commands.h"

#include "attributes/ListCommand.h"
#include "cli/NameFilter.h"
#include "cli/ParallelListing.h"
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

// The path as the dump keeps it: relative to the working directory when it lies below it, else
// absolute; never with "." or ".." in it (a ".." is resolved through the file system, where a link may
// lead elsewhere than the text says).
QByteArray storedPath(const QByteArray &path, const QByteArray &base)
{
    // What a walk hands out below a plain relative path is already in the form kept.
    const bool plain = !path.startsWith('/') && !path.startsWith('.') && !path.contains("/.")
        && !path.contains("//") && !path.endsWith('/');
    if (plain)
        return path;
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
    explicit Restore(const ToolRun &run)
        : m_request(run.request)
        , m_links(run.links)
        , m_filter(run.names)
        , m_run(run.streams, Journal(), run.commandLine, run.request.dryRun, true)
    { }

    // The dump's first line: {"corvaneDump": 1, "base": ..., "files": [
    bool readHeader(const QJsonObject &header, QString *error)
    {
        const std::optional<QByteArray> base = bytesField(header, u"base"_s);
        if (header.value(u"corvaneDump"_s).toInt() != 1 || !base || !base->startsWith('/')) {
            *error = Cli::tr("is no dump of this version of Corvane");
            return false;
        }
        m_base = m_request.targetDirectory.isEmpty() ? *base : m_request.targetDirectory;
        return true;
    }

    void restoreFile(const QJsonObject &file)
    {
        const std::optional<QByteArray> stored = bytesField(file, u"path"_s);
        if (!stored || stored->isEmpty() || stored->contains('\0') || stored->split('/').contains("..")) {
            m_run.fail(Cli::tr("the dump").toUtf8(),
                Cli::tr("a file's path is missing or leads outside the restore (\"..\"); skipped"));
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
            m_run.fail(path, Cli::tr("an attribute without a name in the dump; skipped"));
            return true;
        }
        if (!m_filter.matches(*name))
            return true;
        const QJsonValue encoded = attribute.value(u"bytes"_s);
        const auto bytes = QByteArray::fromBase64Encoding(
            encoded.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!encoded.isString() || !bytes) {
            m_run.fail(path, *name, Cli::tr("the dump holds no bytes for it (it could not be read then)"));
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
    const NameFilter &m_filter;
    WriteRun m_run;
    QByteArray m_base;
};

} // namespace

int runDump(const ToolRun &run)
{
    const QByteArray base = workingDirectory();
    return runListing(
        run, ListingFormat::Dump, base, [&base](const QByteArray &path) { return storedPath(path, base); });
}

int runRestore(const ToolRun &run)
{
    const ToolRequest &request = run.request;
    ToolStreams &streams = run.streams;
    Restore restore(run);
    QString problem;
    QFile file(QFile::decodeName(request.backup));
    const bool fromInput = request.backup == "-";
    if (!fromInput && !file.open(QIODevice::ReadOnly)) {
        streams.error(request.backup + ": " + file.errorString().toUtf8());
        return 1;
    }
    QIODevice &in = fromInput ? streams.in : file;
    const auto refuse = [&](const QString &reason) {
        streams.error(request.backup + ": " + Cli::tr("%1; nothing is restored").arg(reason).toUtf8());
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
                restore.fail(Cli::tr("a line that is no file of the dump (%1), skipped")
                                 .arg(parseError.errorString()));
        }
        return restore.finish();
    }
    // Reformatted: the whole document at once.
    line += readAtMost(in, maximumDocument - line.size() + 1);
    if (line.size() > maximumDocument)
        return refuse(Cli::tr("the dump is too large to read whole; restore the dump as Corvane wrote it"));
    document = QJsonDocument::fromJson(line, &parseError);
    if (!document.isObject())
        return refuse(Cli::tr("not JSON: %1").arg(parseError.errorString()));
    if (!restore.readHeader(document.object(), &problem))
        return refuse(problem);
    for (const QJsonValue &entry : document.object().value(u"files"_s).toArray())
        restore.restoreFile(entry.toObject());
    return restore.finish();
}

} // namespace corvane
