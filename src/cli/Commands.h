#pragma once

// The verbs of the attribute tools, each run on a request already understood. Each returns the exit
// status: 0 when everything was done, 1 when something failed (a message for each on standard error).

#include "cli/ToolArguments.h"
#include "cli/ToolStreams.h"

#include <QByteArray>

namespace corvane {

int runList(const ToolRequest &request, ToolStreams &streams);
// --set, --remove, --tag and --clear; `commandLine` goes into the journal.
int runChangeCommand(const ToolRequest &request, ToolStreams &streams, const QByteArray &commandLine);
int runUndoLast(const ToolRequest &request, ToolStreams &streams);
int runDump(const ToolRequest &request, ToolStreams &streams);
int runRestore(const ToolRequest &request, ToolStreams &streams, const QByteArray &commandLine);
int runFind(const ToolRequest &request, ToolStreams &streams);

// The system name NAME designates: a catalogue entry, a known label, or the full name (a bare one put
// into "user.").
QByteArray systemNameFor(const QByteArray &name);

} // namespace corvane
