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

int runListing(const ToolRun &run, ListingFormat format, const QByteArray &base,
    const std::function<QByteArray(const QByteArray &)> &shownPath)
{
    ListingWriter writer(run.streams.out, run.streams.err, format);
    writer.begin(base);
    bool complete;
    {
        const NameFilter &names = run.names;
        ParallelListing listing(
            writer, format, run.links, [&names](const QByteArray &name) { return names.matches(name); });
        TreeWalk walk(run.request.paths, run.request.recursive, run.links,
            [&](const QByteArray &path, const PosixError &error) {
                listing.addFailure("corvane: " + path + ": " + error.description.toUtf8() + '\n');
            });
        while (const std::optional<QByteArray> path = walk.next())
            listing.add(*path, shownPath ? shownPath(*path) : QByteArray());
        complete = listing.finish();
    }
    writer.end();
    return complete ? 0 : 1;
}

int runList(const ToolRun &run)
{
    return runListing(run, run.request.json ? ListingFormat::Json : ListingFormat::Text);
}

int runFind(const ToolRun &run)
{
    const ToolRequest &request = run.request;
    ToolStreams &streams = run.streams;
    const LinkMode links = run.links;
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
