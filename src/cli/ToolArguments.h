#pragma once

// The command line of Corvane's attribute tools, read as the bytes the system passed (file names need
// not be UTF-8): one verb with its operands, the options that go with it, then the files.
//
//   --list [--json]   --set NAME VALUE [--kind K]   --remove NAME   --tag add|remove|set TAG[,TAG...] --clear
//   --dump   --restore BACKUP [--to DIR]   --find TAG   --undo-last   --labels
//   --bridge [--to-desktop|--to-mac]   --list --bridge-status [--json]
//   -R/--recursive  -h/--no-dereference  --match REGEX  --dry-run  --yes  --  FILE...
//
// A verb's operands are the arguments right after it, whatever they look like ("-" as VALUE is
// standard input); every other argument not starting with "-" is a file, and so is every argument
// after "--".

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace corvane {

enum class ToolVerb { None, List, Set, Remove, Tag, Clear, Dump, Restore, Find, UndoLast, Labels, Bridge };
// Which way --bridge copies: without one, only pairs with one side empty, onto the empty side.
enum class BridgeWay { Empty, ToDesktop, ToMac };
enum class TagOperation { Add, Remove, Set };
// How --set stores its text: as the editor's Save does, or in the form --kind names.
enum class SetKind { Editor, Text, Plain, List, Tags, Date };

struct ToolRequest {
    ToolVerb verb = ToolVerb::None;
    QByteArray verbOption; // as typed, for messages
    QByteArray name; // --set, --remove
    QByteArray value; // --set; "-" reads standard input
    SetKind kind = SetKind::Editor;
    TagOperation tagOperation = TagOperation::Add;
    QStringList tags; // --tag's names (trimmed, none empty), --find's one
    QByteArray backup; // --restore; "-" reads standard input
    QByteArray targetDirectory; // --to; empty when not given
    QByteArray match; // --match; empty when not given
    bool json = false; // --list
    bool bridgeStatus = false; // --list --bridge-status
    BridgeWay bridgeWay = BridgeWay::Empty; // --bridge's --to-desktop, --to-mac
    bool recursive = false;
    bool noDereference = false;
    bool yes = false;
    bool dryRun = false;
    QList<QByteArray> paths;

    QString error; // the command line is not understood: this says why (exit status 2)
    bool changesAttributes() const;
};

// True when the arguments (without the program's name) name one of the verbs above (or --json) before
// any "--".
bool isToolCommand(const QList<QByteArray> &arguments);

ToolRequest parseToolArguments(const QList<QByteArray> &arguments);

// The verbs with an example each, for --help.
QString toolHelpText();

} // namespace corvane
