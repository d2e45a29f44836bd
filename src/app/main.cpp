#include "BuildConfig.h"
#include "app/AppDelegate.h"
#include "app/ApplicationMenus.h"
#include "app/DocumentController.h"
#include "attributes/ListCommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QUrl>

using namespace corvane;

int main(int argc, char *argv[])
{
    // The listing is for scripts and machines without a display: it runs before, and instead of,
    // anything that would need one, and takes the file names as the bytes the system passed.
    const QList<QByteArray> arguments(argv + std::min(argc, 1), argv + argc);
    if (isListCommand(arguments)) {
        QCoreApplication core(argc, argv);
        QFile out, err;
        if (!out.open(stdout, QIODevice::WriteOnly) || !err.open(stderr, QIODevice::WriteOnly))
            return 1;
        return runListCommand(arguments, out, err);
    }

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QString::fromLatin1(build::version));
    QApplication::setDesktopFileName(QStringLiteral("org.corvane.Corvane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QApplication::translate(
        "main", "Shows and edits the metadata extended attributes of files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        { QStringLiteral("list"),
            QApplication::translate(
                "main", "Print every extended attribute of the files, decoded, and exit.") },
        { QStringLiteral("json"), QApplication::translate("main", "With --list: print one JSON document.") },
    });
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QApplication::translate("main", "Files to open."),
                                 QStringLiteral("[files...]"));
    parser.process(app);

    AppDelegate delegate;
    ApplicationMenus menus;
    menus.connectToDelegate(&delegate);
    DocumentController documents;
    menus.setDocumentController(&documents);

    for (const QString &path : parser.positionalArguments())
        documents.openDocumentWithContentsOfURL(QUrl::fromLocalFile(QDir::current().absoluteFilePath(path)));
    if (documents.documents().isEmpty())
        documents.showStartWindow();

    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::applicationWillTerminate);
    QTimer::singleShot(0, &delegate, &AppDelegate::applicationDidFinishLaunching);
    return app.exec();
}
