#include "cli/ToolArguments.h"

#include "cli/ToolStreams.h"

#include <QHash>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

struct VerbSpec {
    ToolVerb verb;
    int operands;
};

const QHash<QByteArray, VerbSpec> &verbs()
{
    static const QHash<QByteArray, VerbSpec> table = {
        { "--list", { ToolVerb::List, 0 } },
        { "--set", { ToolVerb::Set, 2 } },
        { "--remove", { ToolVerb::Remove, 1 } },
        { "--tag", { ToolVerb::Tag, 2 } },
        { "--clear", { ToolVerb::Clear, 0 } },
        { "--dump", { ToolVerb::Dump, 0 } },
        { "--restore", { ToolVerb::Restore, 1 } },
        { "--find", { ToolVerb::Find, 1 } },
        { "--undo-last", { ToolVerb::UndoLast, 0 } },
        { "--labels", { ToolVerb::Labels, 0 } },
        { "--bridge", { ToolVerb::Bridge, 0 } },
    };
    return table;
}

// A tag name a Finder list and a desktop list can both hold: no line break (the Finder's colour
// separator) and no other control character; the comma already separates them on the command line.
bool isTagName(const QString &name)
{
    return !name.isEmpty() && std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control;
    });
}

class Parser {
public:
    explicit Parser(const QList<QByteArray> &arguments)
        : m_arguments(arguments)
    { }

    ToolRequest parse()
    {
        bool optionsEnded = false;
        for (m_at = 0; m_at < m_arguments.size() && m_request.error.isEmpty(); ++m_at) {
            const QByteArray &argument = m_arguments[m_at];
            if (optionsEnded || !argument.startsWith('-') || argument == "-")
                m_request.paths.append(argument);
            else if (argument == "--")
                optionsEnded = true;
            else
                option(argument);
        }
        if (m_request.error.isEmpty())
            check();
        return m_request;
    }

private:
    void fail(const QString &error)
    {
        if (m_request.error.isEmpty())
            m_request.error = error;
    }

    QByteArray operand()
    {
        if (m_at + 1 >= m_arguments.size()) {
            fail(u"%1 needs more arguments"_s.arg(QString::fromUtf8(m_arguments[m_at])));
            return {};
        }
        return m_arguments[++m_at];
    }

    void option(const QByteArray &argument)
    {
        if (const auto verb = verbs().constFind(argument); verb != verbs().cend()) {
            if (m_request.verb != ToolVerb::None)
                return fail(u"%1 and %2 cannot be combined: one verb at a time"_s.arg(
                    QString::fromUtf8(m_request.verbOption), QString::fromUtf8(argument)));
            m_request.verb = verb->verb;
            m_request.verbOption = argument;
            verbOperands();
        } else if (argument == "-R" || argument == "--recursive") {
            m_request.recursive = true;
        } else if (argument == "-h" || argument == "--no-dereference") {
            m_request.noDereference = true;
        } else if (argument == "-Rh" || argument == "-hR") {
            m_request.recursive = m_request.noDereference = true;
        } else if (argument == "--json") {
            m_request.json = true;
        } else if (argument == "--bridge-status") {
            m_request.bridgeStatus = true;
        } else if (argument == "--to-desktop" || argument == "--to-mac") {
            const BridgeWay way = argument == "--to-mac" ? BridgeWay::ToMac : BridgeWay::ToDesktop;
            if (m_request.bridgeWay != BridgeWay::Empty && m_request.bridgeWay != way)
                return fail(u"--to-desktop and --to-mac cannot be combined: one way at a time"_s);
            m_request.bridgeWay = way;
        } else if (argument == "--yes") {
            m_request.yes = true;
        } else if (argument == "--dry-run") {
            m_request.dryRun = true;
        } else if (argument == "--match") {
            m_request.match = operand();
            if (m_request.match.isEmpty())
                fail(u"--match needs a pattern (\"-\" matches every name)"_s);
        } else if (argument == "--kind") {
            kind(operand());
        } else if (argument == "--to") {
            m_request.targetDirectory = operand();
            if (m_request.targetDirectory.isEmpty())
                fail(u"--to needs a directory"_s);
        } else {
            fail(u"unknown option: %1"_s.arg(QString::fromUtf8(argument)));
        }
    }

    void kind(const QByteArray &name)
    {
        static const QHash<QByteArray, SetKind> kinds
            = { { "text", SetKind::Text }, { "plain", SetKind::Plain }, { "list", SetKind::List },
                  { "tags", SetKind::Tags }, { "date", SetKind::Date } };
        if (!kinds.contains(name))
            return fail(
                u"--kind takes list, tags, date, text or plain, not “%1”"_s.arg(QString::fromUtf8(name)));
        m_request.kind = kinds.value(name);
        m_kindGiven = true;
    }

    void verbOperands()
    {
        switch (m_request.verb) {
        case ToolVerb::Set:
            m_request.name = operand();
            m_request.value = operand();
            break;
        case ToolVerb::Remove:
            m_request.name = operand();
            break;
        case ToolVerb::Tag: {
            const QByteArray operation = operand();
            if (operation == "add")
                m_request.tagOperation = TagOperation::Add;
            else if (operation == "remove")
                m_request.tagOperation = TagOperation::Remove;
            else if (operation == "set")
                m_request.tagOperation = TagOperation::Set;
            else if (m_request.error.isEmpty())
                return fail(u"--tag takes add, remove or set, then the tags"_s);
            tags(operand(), m_request.tagOperation == TagOperation::Set);
            break;
        }
        case ToolVerb::Find:
            tags(operand(), false);
            if (m_request.tags.size() > 1)
                fail(u"--find takes one tag"_s);
            break;
        case ToolVerb::Restore:
            m_request.backup = operand();
            break;
        default:
            break;
        }
    }

    void tags(const QByteArray &list, bool mayBeEmpty)
    {
        if (!m_request.error.isEmpty())
            return;
        const std::optional<QString> text = strictUtf8(list);
        if (!text)
            return fail(u"the tags are not UTF-8 text"_s);
        for (const QString &part : text->split(u',', Qt::SkipEmptyParts)) {
            const QString name = part.trimmed();
            if (name.isEmpty())
                continue;
            if (!isTagName(name))
                return fail(u"a tag name cannot hold a line break or another control character"_s);
            if (!m_request.tags.contains(name))
                m_request.tags.append(name);
        }
        if (m_request.tags.isEmpty() && !mayBeEmpty)
            fail(u"%1 needs a tag"_s.arg(QString::fromUtf8(m_request.verbOption)));
    }

    void check()
    {
        ToolRequest &r = m_request;
        const auto only = [&](bool given, const char *option, std::initializer_list<ToolVerb> with) {
            if (given && std::find(with.begin(), with.end(), r.verb) == with.end())
                fail(u"%1 does not go with %2"_s.arg(
                    QString::fromLatin1(option), QString::fromUtf8(r.verbOption)));
        };
        if (r.verb == ToolVerb::None)
            return fail(r.json ? u"--json goes with --list"_s : u"no verb given"_s);
        using enum ToolVerb;
        only(m_kindGiven, "--kind", { Set });
        only(!r.targetDirectory.isEmpty(), "--to", { Restore });
        only(r.json, "--json", { List });
        only(r.bridgeStatus, "--bridge-status", { List });
        if (r.bridgeStatus && !r.match.isEmpty())
            fail(u"--match does not go with --bridge-status: the pairs' names are fixed"_s);
        only(r.bridgeWay == BridgeWay::ToDesktop, "--to-desktop", { Bridge });
        only(r.bridgeWay == BridgeWay::ToMac, "--to-mac", { Bridge });
        only(!r.match.isEmpty(), "--match", { List, Clear, Dump, Restore });
        only(r.recursive, "-R", { List, Set, Remove, Tag, Clear, Dump, Find, Bridge });
        only(r.noDereference, "-h", { List, Set, Remove, Tag, Clear, Dump, Restore, Find, Bridge });
        only(r.yes, "--yes", { Clear, UndoLast });
        if (r.dryRun && !r.changesAttributes())
            fail(u"--dry-run goes with a verb that changes attributes"_s);
        const bool takesFiles = r.verb != Restore && r.verb != UndoLast && r.verb != Labels;
        if (takesFiles && r.paths.isEmpty())
            fail(u"%1 needs at least one file"_s.arg(QString::fromUtf8(r.verbOption)));
        if (!takesFiles && !r.paths.isEmpty())
            fail(u"%1 takes no files (unexpected “%2”)"_s.arg(
                QString::fromUtf8(r.verbOption), QString::fromUtf8(r.paths.first())));
        if ((r.verb == ToolVerb::Set || r.verb == ToolVerb::Remove) && r.name.isEmpty())
            fail(u"the attribute name is empty"_s);
        if (r.verb == ToolVerb::Set && r.value != "-" && !strictUtf8(r.value))
            fail(u"the value is not UTF-8 text"_s);
        if (r.verb == ToolVerb::Set && r.value == "-" && r.paths.contains("-"))
            fail(u"standard input cannot be both the value and a file"_s);
    }

    const QList<QByteArray> &m_arguments;
    qsizetype m_at = 0;
    bool m_kindGiven = false;
    ToolRequest m_request;
};

} // namespace

bool ToolRequest::changesAttributes() const
{
    switch (verb) {
    case ToolVerb::Set:
    case ToolVerb::Remove:
    case ToolVerb::Tag:
    case ToolVerb::Clear:
    case ToolVerb::Restore:
    case ToolVerb::UndoLast:
    case ToolVerb::Bridge:
        return true;
    default:
        return false;
    }
}

bool isToolCommand(const QList<QByteArray> &arguments)
{
    for (const QByteArray &argument : arguments) {
        if (argument == "--")
            return false;
        if (verbs().contains(argument) || argument == "--json")
            return true;
    }
    return false;
}

ToolRequest parseToolArguments(const QList<QByteArray> &arguments)
{
    return Parser(arguments).parse();
}

QString toolHelpText()
{
    return uR"(
Listing attributes without a window:
  --list FILE...                Prints every attribute, decoded; --json for one JSON document.
                                  corvane --list -R --match '^user\.xdg\.' ~/Downloads

Changing attributes without a window (each run can be taken back with --undo-last):
  --set NAME VALUE FILE...      Stores VALUE as the editor's Save does ("-": standard input;
                                an empty VALUE removes the attribute). NAME is a catalogue entry
                                (Keywords), a label (Where from, Tags) or a full name; a bare
                                name goes into "user.".
                                  corvane --set Comment "Scanned 2024" scan.pdf
    --kind list|tags|date|text|plain
                                Stores the value as a list (an item per line), Finder tags, a
                                date (ISO 8601), a property-list string or plain text.
                                  printf 'a\nb\n' | corvane --set Keywords - --kind list *.jpg
  --remove NAME FILE...         Removes the attribute.
                                  corvane --remove "Where from" download.zip
  --tag add|remove|set TAG[,TAG...] FILE...
                                Changes the Finder tags (and the desktop's user.xdg.tags while
                                the preference bridgeTags is on).
                                  corvane --tag add Work,Urgent report.pdf
  --clear FILE...               Removes every "user." attribute (asks first on a terminal).
                                  corvane --clear --yes -R build/
  --undo-last                   Puts back what the last of these runs changed.
                                  corvane --undo-last

Working with files from a Mac (Finder's tags, comment, where from and rating beside the desktop's):
  --bridge FILE...              Copies each pair held on one side only onto the other side.
                                  corvane --bridge -R ~/FromMac
    --to-desktop, --to-mac      Copies every pair not in step that way, replacing what the other
                                side holds.
                                  corvane --bridge --to-desktop photo.jpg
  --list --bridge-status FILE...
                                Says for each pair whether the two sides are in step (--json too).

Backing up, restoring and finding:
  --dump FILE...                Prints every attribute's exact bytes (base64) and decoded value as
                                JSON.
                                  corvane --dump -R photos > backup.json
  --restore BACKUP              Writes the dumped bytes back, paths taken relative to the
                                directory of the dump ("-": standard input).
                                  corvane --restore backup.json --to /mnt/copy
  --find TAG DIR...             Prints every file under DIR carrying the tag, in Finder's tags or
                                the desktop's.
                                  corvane --find Work ~/Documents

With these verbs:
  -R, --recursive               Also every file and folder below each FILE.
  -h, --no-dereference          Acts on symbolic links themselves, not on what they point to
                                (-h alone is --help).
  --match REGEX                 Only names matching the extended regular expression, as getfattr's
                                -m ("-": every name); with --list, --clear, --dump and --restore.
  --dry-run                     Says what would change, changing nothing.
  --yes                         Asks nothing (--clear, --undo-last).
  --to DIR                      With --restore: restores onto the copy in DIR.
  --labels                      Prints the catalogue entries and labels NAME takes, one per line.

Exit status: 0 when everything was done, 1 when a file failed, 2 for a command line that is not
understood. The full grammar of the output is in corvane(1).
)"_s;
}

} // namespace corvane
