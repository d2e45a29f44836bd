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
            fail(Cli::tr("%1 needs more arguments").arg(QString::fromUtf8(m_arguments[m_at])));
            return {};
        }
        return m_arguments[++m_at];
    }

    void option(const QByteArray &argument)
    {
        if (const auto verb = verbs().constFind(argument); verb != verbs().cend()) {
            if (m_request.verb != ToolVerb::None)
                return fail(Cli::tr("%1 and %2 cannot be combined: one verb at a time")
                                .arg(QString::fromUtf8(m_request.verbOption), QString::fromUtf8(argument)));
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
                return fail(Cli::tr("--to-desktop and --to-mac cannot be combined: one way at a time"));
            m_request.bridgeWay = way;
        } else if (argument == "--yes") {
            m_request.yes = true;
        } else if (argument == "--dry-run") {
            m_request.dryRun = true;
        } else if (argument == "--match") {
            m_request.match = operand();
            if (m_request.match.isEmpty())
                fail(Cli::tr("--match needs a pattern (\"-\" matches every name)"));
        } else if (argument == "--kind") {
            kind(operand());
        } else if (argument == "--to") {
            m_request.targetDirectory = operand();
            if (m_request.targetDirectory.isEmpty())
                fail(Cli::tr("--to needs a directory"));
        } else {
            fail(Cli::tr("unknown option: %1").arg(QString::fromUtf8(argument)));
        }
    }

    void kind(const QByteArray &name)
    {
        static const QHash<QByteArray, SetKind> kinds
            = { { "text", SetKind::Text }, { "plain", SetKind::Plain }, { "list", SetKind::List },
                  { "tags", SetKind::Tags }, { "date", SetKind::Date } };
        if (!kinds.contains(name))
            return fail(Cli::tr("--kind takes list, tags, date, text or plain, not “%1”")
                            .arg(QString::fromUtf8(name)));
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
                return fail(Cli::tr("--tag takes add, remove or set, then the tags"));
            tags(operand(), m_request.tagOperation == TagOperation::Set);
            break;
        }
        case ToolVerb::Find:
            tags(operand(), false);
            if (m_request.tags.size() > 1)
                fail(Cli::tr("--find takes one tag"));
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
            return fail(Cli::tr("the tags are not UTF-8 text"));
        for (const QString &part : text->split(u',', Qt::SkipEmptyParts)) {
            const QString name = part.trimmed();
            if (name.isEmpty())
                continue;
            if (!isTagName(name))
                return fail(Cli::tr("a tag name cannot hold a line break or another control character"));
            if (!m_request.tags.contains(name))
                m_request.tags.append(name);
        }
        if (m_request.tags.isEmpty() && !mayBeEmpty)
            fail(Cli::tr("%1 needs a tag").arg(QString::fromUtf8(m_request.verbOption)));
    }

    void check()
    {
        ToolRequest &r = m_request;
        const auto only = [&](bool given, const char *option, std::initializer_list<ToolVerb> with) {
            if (given && std::find(with.begin(), with.end(), r.verb) == with.end())
                fail(Cli::tr("%1 does not go with %2")
                         .arg(QString::fromLatin1(option), QString::fromUtf8(r.verbOption)));
        };
        if (r.verb == ToolVerb::None)
            return fail(r.json ? Cli::tr("--json goes with --list") : Cli::tr("no verb given"));
        using enum ToolVerb;
        only(m_kindGiven, "--kind", { Set });
        only(!r.targetDirectory.isEmpty(), "--to", { Restore });
        only(r.json, "--json", { List });
        only(r.bridgeStatus, "--bridge-status", { List });
        if (r.bridgeStatus && !r.match.isEmpty())
            fail(Cli::tr("--match does not go with --bridge-status: the pairs' names are fixed"));
        only(r.bridgeWay == BridgeWay::ToDesktop, "--to-desktop", { Bridge });
        only(r.bridgeWay == BridgeWay::ToMac, "--to-mac", { Bridge });
        only(!r.match.isEmpty(), "--match", { List, Clear, Dump, Restore });
        only(r.recursive, "-R", { List, Set, Remove, Tag, Clear, Dump, Find, Bridge });
        only(r.noDereference, "-h", { List, Set, Remove, Tag, Clear, Dump, Restore, Find, Bridge });
        only(r.yes, "--yes", { Clear, UndoLast });
        if (r.dryRun && !r.changesAttributes())
            fail(Cli::tr("--dry-run goes with a verb that changes attributes"));
        const bool takesFiles = r.verb != Restore && r.verb != UndoLast && r.verb != Labels;
        if (takesFiles && r.paths.isEmpty())
            fail(Cli::tr("%1 needs at least one file").arg(QString::fromUtf8(r.verbOption)));
        if (!takesFiles && !r.paths.isEmpty())
            fail(Cli::tr("%1 takes no files (unexpected “%2”)")
                     .arg(QString::fromUtf8(r.verbOption), QString::fromUtf8(r.paths.first())));
        if ((r.verb == ToolVerb::Set || r.verb == ToolVerb::Remove) && r.name.isEmpty())
            fail(Cli::tr("the attribute name is empty"));
        if (r.verb == ToolVerb::Set && r.value != "-" && !strictUtf8(r.value))
            fail(Cli::tr("the value is not UTF-8 text"));
        if (r.verb == ToolVerb::Set && r.value == "-" && r.paths.contains("-"))
            fail(Cli::tr("standard input cannot be both the value and a file"));
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
    // One text per section, so that a translator sees each whole.
    return u'\n'
        + Cli::tr(
            "Listing attributes without a window:\n"
            "  --list FILE...                Prints every attribute, decoded; --json for one JSON document.\n"
            "                                  corvane --list -R --match '^user\\.xdg\\.' ~/Downloads\n")
        + u'\n'
        + Cli::tr(
            "Changing attributes without a window (each run can be taken back with --undo-last):\n"
            "  --set NAME VALUE FILE...      Stores VALUE as the editor's Save does (\"-\": standard input;\n"
            "                                an empty VALUE removes the attribute). NAME is a catalogue "
            "entry\n"
            "                                (Keywords), a label (Where from, Tags) or a full name; a bare\n"
            "                                name goes into \"user.\".\n"
            "                                  corvane --set Comment \"Scanned 2024\" scan.pdf\n"
            "    --kind list|tags|date|text|plain\n"
            "                                Stores the value as a list (an item per line), Finder tags, a\n"
            "                                date (ISO 8601), a property-list string or plain text.\n"
            "                                  printf 'a\\nb\\n' | corvane --set Keywords - --kind list "
            "*.jpg\n"
            "  --remove NAME FILE...         Removes the attribute.\n"
            "                                  corvane --remove \"Where from\" download.zip\n"
            "  --tag add|remove|set TAG[,TAG...] FILE...\n"
            "                                Changes the Finder tags (and the desktop's user.xdg.tags while\n"
            "                                the preference bridgeTags is on).\n"
            "                                  corvane --tag add Work,Urgent report.pdf\n"
            "  --clear FILE...               Removes every \"user.\" attribute (asks first on a terminal).\n"
            "                                  corvane --clear --yes -R build/\n"
            "  --undo-last                   Puts back what the last of these runs changed.\n"
            "                                  corvane --undo-last\n")
        + u'\n'
        + Cli::tr(
            "Working with files from a Mac (Finder's tags, comment, where from and rating beside the "
            "desktop's):\n"
            "  --bridge FILE...              Copies each pair held on one side only onto the other side.\n"
            "                                  corvane --bridge -R ~/FromMac\n"
            "    --to-desktop, --to-mac      Copies every pair not in step that way, replacing what the "
            "other\n"
            "                                side holds.\n"
            "                                  corvane --bridge --to-desktop photo.jpg\n"
            "  --list --bridge-status FILE...\n"
            "                                Says for each pair whether the two sides are in step (--json "
            "too).\n")
        + u'\n'
        + Cli::tr(
            "Backing up, restoring and finding:\n"
            "  --dump FILE...                Prints every attribute's exact bytes (base64) and decoded value "
            "as\n"
            "                                JSON.\n"
            "                                  corvane --dump -R photos > backup.json\n"
            "  --restore BACKUP              Writes the dumped bytes back, paths taken relative to the\n"
            "                                directory of the dump (\"-\": standard input).\n"
            "                                  corvane --restore backup.json --to /mnt/copy\n"
            "  --find TAG DIR...             Prints every file under DIR carrying the tag, in Finder's tags "
            "or\n"
            "                                the desktop's.\n"
            "                                  corvane --find Work ~/Documents\n")
        + u'\n'
        + Cli::tr(
            "With these verbs:\n"
            "  -R, --recursive               Also every file and folder below each FILE.\n"
            "  -h, --no-dereference          Acts on symbolic links themselves, not on what they point to\n"
            "                                (-h alone is --help).\n"
            "  --match REGEX                 Only names matching the extended regular expression, as "
            "getfattr's\n"
            "                                -m (\"-\": every name); with --list, --clear, --dump and "
            "--restore.\n"
            "  --dry-run                     Says what would change, changing nothing.\n"
            "  --yes                         Asks nothing (--clear, --undo-last).\n"
            "  --to DIR                      With --restore: restores onto the copy in DIR.\n"
            "  --labels                      Prints the catalogue entries and labels NAME takes, one per "
            "line.\n")
        + u'\n'
        + Cli::tr("Exit status: 0 when everything was done, 1 when a file failed, 2 for a command line that "
                  "is not\n"
                  "understood. The full grammar of the output is in corvane(1).\n");
}

} // namespace corvane
