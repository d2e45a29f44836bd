#include "cli/Commands.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/AttributeNames.h"
#include "cli/NameFilter.h"
#include "cli/TreeWalk.h"
#include "cli/ValueEdits.h"
#include "cli/WriteRun.h"
#include "settings/Preferences.h"

#include <cerrno>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

// More than any attribute can hold (64 KiB on Linux), little enough to decide on at once.
constexpr qsizetype maximumValueInput = 1 << 20;

const QByteArray finderTagsName = "com.apple.metadata:_kMDItemUserTags";
const QByteArray desktopTagsName = "user.xdg.tags";

// VALUE as given, or standard input without its last line break (what `echo` and a here-string add).
std::optional<QString> valueText(const ToolRequest &request, ToolStreams &streams, QString *problem)
{
    if (request.value != "-")
        return strictUtf8(request.value);
    QByteArray input = readAtMost(streams.in, maximumValueInput + 1);
    if (input.size() > maximumValueInput) {
        *problem = Cli::tr("standard input holds more than an attribute can (1 MiB read)");
        return std::nullopt;
    }
    if (input.endsWith('\n'))
        input.chop(input.endsWith("\r\n") ? 2 : 1);
    std::optional<QString> text = strictUtf8(input);
    if (!text)
        *problem = Cli::tr("standard input is not UTF-8 text");
    return text;
}

// The attribute's bytes, nullopt when absent; false (after reporting) when it cannot be read.
bool readCurrent(WriteRun &run, const QByteArray &path, const QByteArray &name, LinkMode links,
    std::optional<QByteArray> *current)
{
    PosixError error;
    *current = readExtendedAttributeBytes(path, name, &error, links);
    if (*current || error.code == ENODATA)
        return true;
    run.fail(path, error.description);
    return false;
}

void planEdit(WriteRun &run, const QByteArray &path, const QByteArray &name, LinkMode links,
    const std::optional<QByteArray> &current, const ValueEdit &edit)
{
    if (!edit.problem.isEmpty())
        run.fail(path, name, edit.problem);
    else
        run.plan(path, name, links, current, edit.after);
}

void clearFile(WriteRun &run, const QByteArray &path, LinkMode links, const NameFilter &filter)
{
    PosixError error;
    const std::optional<QList<QByteArray>> names = listExtendedAttributes(path, &error, links);
    if (!names)
        return run.fail(path, error.description);
    for (const QByteArray &name : *names) {
        if (!name.startsWith("user.") || !filter.matches(name))
            continue;
        std::optional<QByteArray> current;
        if (readCurrent(run, path, name, links, &current) && current)
            run.plan(path, name, links, current, std::nullopt);
    }
}

} // namespace

QByteArray systemNameFor(const QByteArray &name)
{
    if (const std::optional<QString> text = strictUtf8(name)) {
        if (AttributeCatalogue::entries().contains(*text))
            return systemAttributeName(AttributeCatalogue::prefix() + *text);
        if (const std::optional<QByteArray> labelled = systemNameOfLabel(*text))
            return *labelled;
        return systemAttributeName(*text);
    }
    for (const char *prefix : { "user.", "trusted.", "security.", "system." }) {
        if (name.startsWith(prefix))
            return name;
    }
    return "user." + name;
}

int runChangeCommand(const ToolRun &tool)
{
    const ToolRequest &request = tool.request;
    ToolStreams &streams = tool.streams;
    const LinkMode links = tool.links;
    QString problem;
    std::optional<SetValue> value;
    if (request.verb == ToolVerb::Set) {
        const std::optional<QString> text = valueText(request, streams, &problem);
        if (text)
            value = parseSetValue(request.kind, *text, &problem);
        if (!value) {
            streams.error(problem.toUtf8());
            return 2;
        }
    }
    const QByteArray name = request.verb == ToolVerb::Tag
        ? systemAttributeName(QString::fromUtf8(finderTagsName))
        : systemNameFor(request.name);
    const bool desktopTags
        = request.verb == ToolVerb::Tag && Preferences().boolForKey(PreferenceKey::bridgeTags, true);

    WriteRun run(streams, Journal(), tool.commandLine, request.dryRun, false);
    TreeWalk walk(request.paths, request.recursive, links,
        [&run](const QByteArray &path, const PosixError &error) { run.fail(path, error.description); });
    while (const std::optional<QByteArray> path = walk.next()) {
        std::optional<QByteArray> current;
        switch (request.verb) {
        case ToolVerb::Set:
            if (readCurrent(run, *path, name, links, &current))
                planEdit(run, *path, name, links, current, setValue(name, current, *value));
            break;
        case ToolVerb::Remove:
            if (readCurrent(run, *path, name, links, &current))
                run.plan(*path, name, links, current, std::nullopt);
            break;
        case ToolVerb::Tag: {
            if (!readCurrent(run, *path, name, links, &current))
                break;
            // A side that cannot be changed keeps the other as it is, so the two stay in step.
            const ValueEdit finder = editFinderTags(name, current, request.tagOperation, request.tags);
            planEdit(run, *path, name, links, current, finder);
            if (finder.problem.isEmpty() && desktopTags
                && readCurrent(run, *path, desktopTagsName, links, &current))
                planEdit(run, *path, desktopTagsName, links, current,
                    editDesktopTags(desktopTagsName, current, request.tagOperation, request.tags));
            break;
        }
        case ToolVerb::Clear:
            clearFile(run, *path, links, tool.names);
            break;
        default:
            break;
        }
    }

    std::function<bool()> confirm;
    if (request.verb == ToolVerb::Clear && streams.interactive && !request.yes) {
        confirm = [&] {
            return streams.ask(
                Cli::tr("Remove %n attribute(s) from %1 file(s)?", nullptr, int(run.plannedChanges()))
                    .arg(run.plannedFiles()));
        };
    }
    return run.finish(confirm);
}

} // namespace corvane
