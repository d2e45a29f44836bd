#include "cli/AttributeTool.h"

#include "attributes/AttributeNames.h"
#include "cli/Commands.h"

#include <QFile>

#include <algorithm>
#include <cctype>

#include <unistd.h>

namespace corvane {

namespace {

// The command line as a shell would take it back, for the journal's account of a run.
QByteArray shellWords(const QList<QByteArray> &arguments)
{
    QByteArrayList words;
    for (const QByteArray &argument : arguments) {
        const bool plain = !argument.isEmpty() && std::all_of(argument.cbegin(), argument.cend(), [](char c) {
            return std::isalnum(uchar(c)) || QByteArrayView("_-./:=+,@%").contains(c);
        });
        words.append(plain ? argument : '\'' + QByteArray(argument).replace('\'', "'\\''") + '\'');
    }
    return words.join(' ');
}

} // namespace

int runAttributeTool(const QList<QByteArray> &arguments)
{
    InputDescriptor in(STDIN_FILENO);
    QFile out, err;
    // Unbuffered here, buffered by the C library: a question reaches the terminal before the answer
    // is read.
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 1;
    ToolStreams streams { in, out, err, ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO) };
    const ToolRequest request = parseToolArguments(arguments);
    if (!request.error.isEmpty()) {
        streams.error(request.error.toUtf8());
        err.write(Cli::tr("Try 'corvane --help' for more information.").toUtf8() + '\n');
        return 2;
    }
    NameFilter names;
    QString problem;
    if (!names.setPattern(request.match, &problem)) {
        streams.error("--match: " + problem.toUtf8());
        return 2;
    }
    const ToolRun run { request, streams, shellWords(arguments),
        request.noDereference ? LinkMode::NoFollow : LinkMode::Follow, names };
    switch (request.verb) {
    case ToolVerb::List:
        return request.bridgeStatus ? runBridgeStatus(run) : runList(run);
    case ToolVerb::Bridge:
        return runBridge(run);
    case ToolVerb::Set:
    case ToolVerb::Remove:
    case ToolVerb::Tag:
    case ToolVerb::Clear:
        return runChangeCommand(run);
    case ToolVerb::UndoLast:
        return runUndoLast(run);
    case ToolVerb::Dump:
        return runDump(run);
    case ToolVerb::Restore:
        return runRestore(run);
    case ToolVerb::Find:
        return runFind(run);
    case ToolVerb::Labels:
        out.write(knownLabels().join(u'\n').toUtf8() + '\n');
        return 0;
    case ToolVerb::None:
        break;
    }
    return 2;
}

} // namespace corvane
