#include "cli/AttributeTool.h"

#include "attributes/AttributeNames.h"
#include "cli/Commands.h"

#include <QFile>

#include <unistd.h>

namespace corvane {

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
        err.write("Try 'corvane --help' for more information.\n");
        return 2;
    }
    const QByteArray commandLine = arguments.join(' ');
    switch (request.verb) {
    case ToolVerb::List:
        return runList(request, streams);
    case ToolVerb::Set:
    case ToolVerb::Remove:
    case ToolVerb::Tag:
    case ToolVerb::Clear:
        return runChangeCommand(request, streams, commandLine);
    case ToolVerb::UndoLast:
        return runUndoLast(request, streams);
    case ToolVerb::Dump:
        return runDump(request, streams);
    case ToolVerb::Restore:
        return runRestore(request, streams, commandLine);
    case ToolVerb::Find:
        return runFind(request, streams);
    case ToolVerb::Labels:
        out.write(knownLabels().join(u'\n').toUtf8() + '\n');
        return 0;
    case ToolVerb::None:
        break;
    }
    return 2;
}

} // namespace corvane
