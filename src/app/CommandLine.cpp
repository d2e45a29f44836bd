#include "app/CommandLine.h"

#include "cli/ToolArguments.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

namespace corvane {

namespace {
// What QGuiApplication and QApplication take from the command line themselves.
const char *const qtOptionsWithValue[] = { "platform", "platformpluginpath", "platformtheme", "plugin",
    "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "display", "geometry",
    "title", "name", "icon", "qmljsdebugger" };
const char *const qtFlags[] = { "reverse", "widgetcount", "nograb", "dograb", "sync" };

QCommandLineOption hidden(QCommandLineOption option)
{
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}
} // namespace

CommandLine::CommandLine()
    : m_help({ QStringLiteral("h"), QStringLiteral("help") },
        QCoreApplication::translate("main", "Displays help on commandline options."))
    , m_version({ QStringLiteral("v"), QStringLiteral("version") },
          QCoreApplication::translate("main", "Displays version information."))
    // The attribute tools' help (toolHelpText) describes these with the other verbs.
    , m_list(hidden(QCommandLineOption(QStringLiteral("list"))))
    , m_json(hidden(QCommandLineOption(QStringLiteral("json"))))
    , m_service(hidden(QCommandLineOption(QStringLiteral("gapplication-service"))))
    , m_scratchpad(
          QStringLiteral("scratchpad"), QCoreApplication::translate("main", "Opens a scratchpad window."))
{
    m_parser.setApplicationDescription(QCoreApplication::translate("main",
        "Shows and edits the metadata extended attributes of files. A Corvane already running in the "
        "desktop session opens the files instead."));
    // "-reverse" must not read as -r -e -v (--version) ...
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_list);
    m_parser.addOption(m_json);
    m_parser.addOption(m_service);
    m_parser.addOption(m_scratchpad);
    for (const char *name : qtOptionsWithValue)
        m_parser.addOption(
            hidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"))));
    for (const char *name : qtFlags)
        m_parser.addOption(hidden(QCommandLineOption(QString::fromLatin1(name))));
    m_parser.addPositionalArgument(QCoreApplication::translate("main", "files"),
        QCoreApplication::translate("main", "Files to open."),
        QCoreApplication::translate("main", "[files...]"));
}

CommandLine::Command CommandLine::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return m_command = Command::Error;
    }
    if (m_parser.isSet(m_help))
        m_command = Command::Help;
    else if (m_parser.isSet(m_version))
        m_command = Command::Version;
    else if (m_parser.isSet(m_list))
        m_command = Command::List;
    else if (m_parser.isSet(m_json)) {
        m_error = QCoreApplication::translate("main", "--json goes with --list.");
        m_command = Command::Error;
    } else
        m_command = Command::OpenWindows;
    return m_command;
}

QStringList CommandLine::files() const
{
    return m_parser.positionalArguments();
}

QStringList CommandLine::absoluteFileUrls() const
{
    QStringList urls;
    for (const QString &path : files())
        urls.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)).toString(QUrl::FullyEncoded));
    return urls;
}

bool CommandLine::startedByBus() const
{
    return m_parser.isSet(m_service);
}

bool CommandLine::scratchpadRequested() const
{
    return m_parser.isSet(m_scratchpad);
}

QString CommandLine::helpText() const
{
    return m_parser.helpText() + toolHelpText();
}

} // namespace corvane
