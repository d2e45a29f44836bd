#include "cli/Commands.h"

#include "attributes/AttributeJson.h"
#include "attributes/AttributeNames.h"
#include "attributes/BridgeCopy.h"
#include "cli/TreeWalk.h"
#include "cli/WriteRun.h"

#include <cerrno>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// A pair copied in this run: what each of its attributes is to hold, and the line that says so once
// they all do.
struct Copy {
    QByteArray path;
    QList<AttributeStep> writes;
    QByteArray line;
};

// The way a pair is copied, nullopt when it is left as it is: without a way, only a pair with one side
// empty, onto that side.
std::optional<BridgeDirection> wayFor(const BridgePair &pair, BridgeWay way)
{
    switch (way) {
    case BridgeWay::ToDesktop:
        return BridgeDirection::ToDesktop;
    case BridgeWay::ToMac:
        return BridgeDirection::ToMac;
    case BridgeWay::Empty:
        break;
    }
    if (pair.state == BridgeState::OnlyMac)
        return BridgeDirection::ToDesktop;
    if (pair.state == BridgeState::OnlyDesktop)
        return BridgeDirection::ToMac;
    return std::nullopt;
}

bool holdsNow(const Copy &copy, LinkMode links)
{
    for (const AttributeStep &write : copy.writes) {
        PosixError error;
        const std::optional<QByteArray> now
            = readExtendedAttributeBytes(copy.path, write.name.toUtf8(), &error, links);
        if (now != write.after || (!now && error.code != ENODATA))
            return false;
    }
    return true;
}

const char *stateName(BridgeState state)
{
    static const char *const names[]
        = { "absent", "inStep", "onlyMac", "onlyDesktop", "different", "unreadable" };
    return names[int(state)];
}

void appendList(QByteArray &out, const QStringList &items)
{
    out += '[';
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            out += ", ";
        appendJsonString(out, items[i]);
    }
    out += ']';
}

// One file's pairs: in the text a "# file:" line and a line for each pair either side holds; in JSON
// an object with the pairs' states and both sides' values.
QByteArray statusOf(const QByteArray &path, const BridgeFile &file, bool json)
{
    const QList<BridgePair> pairs = file.error ? QList<BridgePair>() : bridgePairs(file.values);
    QByteArray out;
    if (!json) {
        out = "# file: " + octalEscaped(path) + '\n';
        for (const BridgePair &pair : pairs) {
            if (pair.state != BridgeState::Absent || pair.needsAttention())
                out += pair.summary.toUtf8() + '\n';
        }
        return out + '\n';
    }
    out = "{\"path\": ";
    appendJsonString(out, QString::fromUtf8(path));
    if (!strictUtf8(path))
        out += ", \"pathBase64\": \"" + path.toBase64() + '"';
    out += ", \"error\": ";
    if (file.error)
        appendJsonString(out, file.error->description);
    else
        out += "null";
    out += ", \"pairs\": [";
    static const char *const kinds[] = { "tags", "comment", "whereFrom", "rating" };
    for (qsizetype i = 0; i < pairs.size(); ++i) {
        const BridgePair &pair = pairs[i];
        out += i > 0 ? ", {\"pair\": \"" : "{\"pair\": \"";
        out += kinds[int(pair.kind)] + "\", \"state\": \""_ba + stateName(pair.state) + "\", \"summary\": ";
        appendJsonString(out, pair.summary);
        for (const auto &[key, side] : { std::pair("mac", &pair.mac), std::pair("desktop", &pair.desktop) }) {
            out += ", \""_ba + key + "\": ";
            if (!side->holdsValue)
                out += "null";
            else
                appendList(out, side->problem.isEmpty() ? side->text.split(u'\n') : QStringList());
        }
        out += ", \"notToDesktop\": ";
        appendList(out, pair.notToDesktop);
        out += ", \"notToMac\": ";
        appendList(out, pair.notToMac);
        out += '}';
    }
    return out + "]}";
}

} // namespace

int runBridge(const ToolRun &tool)
{
    const ToolRequest &request = tool.request;
    WriteRun run(tool.streams, Journal(), tool.commandLine, request.dryRun, false);
    QList<Copy> copies;
    TreeWalk walk(request.paths, request.recursive, tool.links,
        [&run](const QByteArray &path, const PosixError &error) { run.fail(path, error.description); });
    while (const std::optional<QByteArray> path = walk.next()) {
        const BridgeFile file = readBridgeFile(*path, tool.links);
        if (file.error) {
            if (file.failedName.isEmpty())
                run.fail(*path, file.error->description);
            else
                run.fail(*path, file.failedName, file.error->description);
            continue;
        }
        for (const BridgePair &pair : bridgePairs(file.values)) {
            const std::optional<BridgeDirection> direction = wayFor(pair, request.bridgeWay);
            if (!direction)
                continue;
            Copy copy { *path, bridgeCopyWrites(pair, *direction), {} };
            for (AttributeStep &write : copy.writes) {
                PosixError error;
                write.before = readExtendedAttributeBytes(*path, write.name.toUtf8(), &error, tool.links);
                if (!write.before && error.code != ENODATA) {
                    run.fail(*path, write.name.toUtf8(), error.description);
                    copy.writes.clear();
                    break;
                }
            }
            if (std::all_of(copy.writes.cbegin(), copy.writes.cend(),
                    [](const AttributeStep &write) { return write.before == write.after; }))
                continue;
            for (const AttributeStep &write : std::as_const(copy.writes))
                run.plan(*path, write.name.toUtf8(), tool.links, write.before, write.after);
            copy.line = octalEscaped(*path) + ": " + bridgeCopyLine(pair, *direction).toUtf8() + '\n';
            copies.append(copy);
        }
    }
    const int status = run.finish();
    // A line for each pair whose attributes all hold the copy now; a refused write has said why.
    for (const Copy &copy : std::as_const(copies)) {
        if (!request.dryRun && holdsNow(copy, tool.links))
            tool.streams.out.write(copy.line);
    }
    return status;
}

int runBridgeStatus(const ToolRun &tool)
{
    const bool json = tool.request.json;
    bool failed = false;
    bool first = true;
    if (json)
        tool.streams.out.write("{\"files\": [\n");
    TreeWalk walk(tool.request.paths, tool.request.recursive, tool.links,
        [&](const QByteArray &path, const PosixError &error) {
            failed = true;
            tool.streams.error(path + ": " + error.description.toUtf8());
        });
    while (const std::optional<QByteArray> path = walk.next()) {
        const BridgeFile file = readBridgeFile(*path, tool.links);
        if (file.error) {
            failed = true;
            tool.streams.error(*path + ": "
                + (file.failedName.isEmpty() ? QByteArray() : octalEscaped(file.failedName) + ": ")
                + file.error->description.toUtf8());
            if (!json)
                continue;
        }
        tool.streams.out.write((json && !first ? ",\n" : "") + statusOf(*path, file, json));
        first = false;
    }
    if (json)
        tool.streams.out.write("\n]}\n");
    return failed ? 1 : 0;
}

} // namespace corvane
