#include "BuildConfig.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/SingleInstance.h"
#include "cli/AttributeTool.h"
#include "cli/ToolArguments.h"
#include "settings/Translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <cstdio>

using namespace corvane;

namespace {
void setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(build::version));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.corvane.Corvane"));
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// --help and --version: no display, no bus, nothing handed to a running Corvane.
int runWithoutDisplay(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    installTranslations();
    // Parsed again now that the catalogues are in: the help and the complaints in the user's language.
    CommandLine commandLine;
    commandLine.parse(argumentsOf(argc, argv));
    switch (commandLine.command()) {
    case CommandLine::Command::Help:
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return 0;
    case CommandLine::Command::Version:
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), build::version);
        return 0;
    case CommandLine::Command::List:
        return runAttributeTool(QList<QByteArray>(argv + std::min(argc, 1), argv + argc));
    case CommandLine::Command::Error:
    case CommandLine::Command::OpenWindows:
        break;
    }
    std::fprintf(stderr, "corvane: %s\n%s\n", qPrintable(commandLine.errorText()),
        qPrintable(QCoreApplication::translate("main", "Try 'corvane --help' for more information.")));
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    // The listing and the other attribute tools read their own command line as the bytes the system
    // passed, so that a file name that is not UTF-8 still names its file.
    if (const QList<QByteArray> arguments(argv + std::min(argc, 1), argv + argc); isToolCommand(arguments)) {
        QCoreApplication app(argc, argv);
        installTranslations();
        return runAttributeTool(arguments);
    }
    CommandLine commandLine;
    if (commandLine.parse(argumentsOf(argc, argv)) != CommandLine::Command::OpenWindows)
        return runWithoutDisplay(argc, argv);

    SingleInstance::withholdBusAutolaunch();
    QApplication app(argc, argv);
    installTranslations();

    // Before any window: a Corvane already serving this session takes the request, and this one ends.
    SingleInstance instance;
    SingleInstance::Request request;
    request.fileUrls = commandLine.absoluteFileUrls();
    if (commandLine.scratchpadRequested())
        request.action = SingleInstance::scratchpadAction;
    const SingleInstance::Role role = instance.start(request);
    if (role == SingleInstance::Role::HandedOver)
        return 0;
    if (role == SingleInstance::Role::Refused) {
        std::fprintf(stderr, "corvane: %s\n", qPrintable(instance.refusal()));
        return 1;
    }

    Application application;
    AppDelegate &delegate = application.delegate();
    DocumentController &documents = application.documents();
    // Beside another Corvane (no bus, or one that did not answer) only text the user changed here may
    // replace the stored scratchpad text: the other process may hold newer text of its own.
    delegate.setStoresUnchangedScratchpadText(role == SingleInstance::Role::Primary);

    instance.requests()->setHandlers({
        .open = [&documents](const QUrl &url) { return documents.openDocumentWithoutAlert(url); },
        .activate = [&documents] { documents.showFrontWindow(); },
        .runAction =
            [&delegate](const QString &action) {
                if (action == SingleInstance::scratchpadAction)
                    delegate.openScratchpad();
            },
    });

    for (const QString &url : request.fileUrls)
        documents.openDocumentWithContentsOfURL(QUrl(url));
    // Started by the bus for a launcher: the Activate, Open or action that made the bus start this
    // process follows at once and decides what to show.
    const bool awaitRequest = role == SingleInstance::Role::Primary && commandLine.startedByBus();
    if (documents.documents().isEmpty() && !commandLine.scratchpadRequested() && !awaitRequest)
        documents.showStartWindow();

    application.launch();
    // After the launch routine, which loads the text the scratchpad shows.
    if (commandLine.scratchpadRequested())
        QTimer::singleShot(0, &delegate, &AppDelegate::openScratchpad);
    if (awaitRequest) {
        // A bus start whose request never came (the caller gave up) must not linger without a window.
        QTimer::singleShot(SingleInstance::handOverTimeoutMs * 2, &app, [] {
            const QWidgetList windows = QApplication::topLevelWidgets();
            if (std::none_of(
                    windows.begin(), windows.end(), [](QWidget *window) { return window->isVisible(); }))
                QCoreApplication::quit();
        });
    }
    return app.exec();
}
