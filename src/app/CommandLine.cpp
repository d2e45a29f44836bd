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
    : myHelp({ QStringLiteral("h"), QStringLiteral("help") },
        QCoreApplication::translate("main", "Displays help on commandline options."))
    , myVersion({ QStringLiteral("v"), QStringLiteral("version") },
          QCoreApplication::translate("main", "Displays version information."))
    , myList(QStringLiteral("list"),
          QCoreApplication::translate("main", "Prints every extended attribute of the files, decoded, and exits."))
    , myJson(QStringLiteral("json"), QCoreApplication::translate("main", "With --list: prints one JSON document."))
    , myService(hidden(QCommandLineOption(QStringLiteral("gapplication-service"))))
    , myScratchpad(
          QStringLiteral("scratchpad"), QCoreApplication::translate("main", "Opens a scratchpad window."))
{
    myParser.setApplicationDescription(QCoreApplication::translate("main",
        "Shows and edits the metadata extended attributes of files. A Corvane already running in the "
        "desktop session opens the files instead."));
    // "-reverse" must not read as -r -e -v (--version) ...
    myParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    myParser.addOption(myHelp);
    myParser.addOption(myVersion);
    myParser.addOption(myList);
    myParser.addOption(myJson);
    myParser.addOption(myService);
    myParser.addOption(myScratchpad);
    for (const char *name : qtOptionsWithValue)
        myParser.addOption(
            hidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("value"))));
    for (const char *name : qtFlags)
        myParser.addOption(hidden(QCommandLineOption(QString::fromLatin1(name))));
    myParser.addPositionalArgument(QStringLiteral("files"),
        QCoreApplication::translate("main", "Files to open."), QStringLiteral("[files...]"));
}

CommandLine::Command CommandLine::parse(const QStringList &arguments)
{
    if (!myParser.parse(arguments)) {
        myError = myParser.errorText();
        return myCommand = Command::Error;
    }
    if (myParser.isSet(myHelp))
        myCommand = Command::Help;
    else if (myParser.isSet(myVersion))
        myCommand = Command::Version;
    else if (myParser.isSet(myList))
        myCommand = Command::List;
    else if (myParser.isSet(myJson)) {
        myError = QCoreApplication::translate("main", "--json goes with --list.");
        myCommand = Command::Error;
    } else
        myCommand = Command::OpenWindows;
    return myCommand;
}

QStringList CommandLine::files() const
{
    return myParser.positionalArguments();
}

QStringList CommandLine::absoluteFileUrls() const
{
    QStringList urls;
    for (const QString &path : files())
        urls.append(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)).toString(QUrl::FullyEncoded));
    return urls;
}

bool CommandLine::listAsJson() const
{
    return myParser.isSet(myJson);
}

bool CommandLine::startedByBus() const
{
    return myParser.isSet(myService);
}

bool CommandLine::scratchpadRequested() const
{
    return myParser.isSet(myScratchpad);
}

QString CommandLine::helpText() const
{
    return myParser.helpText() + toolHelpText();
}

} // namespace corvane
