#pragma once

// The verbs of the attribute tools, each run on a request already understood. Each returns the exit
// status: 0 when everything was done, 1 when something failed (a message for each on standard error).

#include "attributes/AttributeListing.h"
#include "attributes/ListCommand.h"
#include "cli/NameFilter.h"
#include "cli/ToolArguments.h"
#include "cli/ToolStreams.h"

#include <QByteArray>

#include <functional>

namespace corvane {

// What a verb runs with: the request, the streams, and what the request's options come to.
struct ToolRun {
    const ToolRequest &request;
    ToolStreams &streams;
    QByteArray commandLine; // kept in the journal
    LinkMode links = LinkMode::Follow; // -h
    const NameFilter &names; // --match
};

int runList(const ToolRun &run);
int runChangeCommand(const ToolRun &run); // --set, --remove, --tag and --clear
int runUndoLast(const ToolRun &run);
int runDump(const ToolRun &run);
int runRestore(const ToolRun &run);
int runFind(const ToolRun &run);
int runBridge(const ToolRun &run); // --bridge
int runBridgeStatus(const ToolRun &run); // --list --bridge-status

// --list and --dump: the files walked and listed on worker threads, in the order walked; `shownPath`
// gives the path the listing names for each.
int runListing(const ToolRun &run, ListingFormat format, const QByteArray &base = QByteArray(),
    const std::function<QByteArray(const QByteArray &)> &shownPath = {});

// The system name NAME designates: a catalogue entry, a known label, or the full name (a bare one put
// into "user.").
QByteArray systemNameFor(const QByteArray &name);

} // namespace corvane
