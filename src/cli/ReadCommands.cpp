#include "cli/Commands.h"

#include "attributes/AttributeNames.h"
#include "attributes/ExtendedAttributes.h"
#include "attributes/ListCommand.h"
#include "cli/NameFilter.h"
#include "cli/ParallelListing.h"
#include "cli/TreeWalk.h"
#include "cli/ValueEdits.h"

#include <cerrno>

namespace corvane {

int runList(const ToolRequest &request, ToolStreams &streams)
{
    const LinkMode links = request.noDereference ? LinkMode::NoFollow : LinkMode::Follow;
    NameFilter filter;
    QString problem;
    if (!filter.setPattern(request.match, &problem)) {
        streams.error("--match: " + problem.toUtf8());
        return 2;
    }
    const ListingFormat format = request.json ? ListingFormat::Json : ListingFormat::Text;
    ListingWriter writer(streams.out, streams.err, format);
    writer.begin();
    bool complete;
    {
        ParallelListing listing(
            writer, format, links, [&filter](const QByteArray &name) { return filter.matches(name); });
        TreeWalk walk(
            request.paths, request.recursive, links, [&](const QByteArray &path, const PosixError &error) {
                listing.addFailure("corvane: " + path + ": " + error.description.toUtf8() + '\n');
            });
        while (const std::optional<QByteArray> path = walk.next())
            listing.add(*path);
        complete = listing.finish();
    }
    writer.end();
    return complete ? 0 : 1;
}

int runFind(const ToolRequest &request, ToolStreams &streams)
{
    const LinkMode links = request.noDereference ? LinkMode::NoFollow : LinkMode::Follow;
    const QByteArray finderName = systemAttributeName(QStringLiteral("com.apple.metadata:_kMDItemUserTags"));
    const QByteArray desktopName = "user.xdg.tags";
    const QString &tag = request.tags.first();
    bool failed = false;
    const auto fail = [&](const QByteArray &path, const PosixError &error) {
        failed = true;
        streams.error(path + ": " + error.description.toUtf8());
    };
    TreeWalk walk(request.paths, true, links, fail);
    while (const std::optional<QByteArray> path = walk.next()) {
        // One listxattr tells most files apart; only those with a tag list are read.
        PosixError error;
        const std::optional<QList<QByteArray>> names = listExtendedAttributes(*path, &error, links);
        if (!names) {
            // Files that vanished since their folder was read are no matter for a search.
            if (error.code != ENOENT)
                fail(*path, error);
            continue;
        }
        bool carries = false;
        for (const QByteArray &name : *names) {
            if (carries || (name != finderName && name != desktopName))
                continue;
            const std::optional<QByteArray> bytes = readExtendedAttributeBytes(*path, name, &error, links);
            if (!bytes) {
                if (error.code != ENODATA)
                    fail(*path, error);
                continue;
            }
            carries = (name == finderName ? finderTagNames(*bytes) : desktopTagNamesOf(*bytes)).contains(tag);
        }
        if (carries)
            streams.out.write(octalEscaped(*path) + '\n');
    }
    return failed ? 1 : 0;
}

} // namespace corvane
