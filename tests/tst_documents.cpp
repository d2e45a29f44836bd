#include "app/ApplicationMenus.h"
#include "app/DocumentController.h"
#include "app/SceneFactory.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "window/Document.h"
#include "window/DragView.h"
#include "window/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace corvane::test;

class TestDocuments : public QObject {
    Q_OBJECT
    QTemporaryDir mySettingsDir;
    QTemporaryDir myDir;
    std::unique_ptr<ApplicationMenus> myMenus;
    std::unique_ptr<DocumentController> myController;

    QString makeFile(const QString &name, const QByteArray &data = QByteArrayLiteral("x"))
    {
        const QString path = myDir.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
            return QString();
        return path;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Corvane"));
        QCoreApplication::setApplicationName(QStringLiteral("Corvane"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mySettingsDir.path());
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        QSettings().clear();
        myMenus = std::make_unique<ApplicationMenus>();
        myController = std::make_unique<DocumentController>();
        myMenus->setDocumentController(myController.get());
    }

    void cleanup()
    {
        myController.reset();
        myMenus.reset();
    }

    void anyFileOpensAsADocumentAndClosesWithoutAsking_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("ordinary file") << QStringLiteral("plain.txt") << QByteArrayLiteral("text") << false;
        QTest::newRow("zero-length file") << QStringLiteral("empty") << QByteArray() << false;
        QTest::newRow("hidden file") << QStringLiteral(".hidden") << QByteArrayLiteral("h") << false;
        QTest::newRow("file without read permission")
            << QStringLiteral("secret.bin") << QByteArrayLiteral("s") << true;
        QTest::newRow("name with spaces and accents")
            << QStringLiteral("Ünïcode name.txt") << QByteArrayLiteral("u") << false;
    }
    void anyFileOpensAsADocumentAndClosesWithoutAsking()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(bool, unreadable);
        const QString path = makeFile(name, data);
        QVERIFY(!path.isEmpty());
        if (unreadable)
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        AlertRecorder alerts;
        Document *document = myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(document);
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(document->fileURL(), QUrl::fromLocalFile(path));
        WindowController *window = document->windowController();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), name);
        QCOMPARE(window->document(), document);
        QVERIFY(qobject_cast<ViewController *>(window->contentViewController()));
        QCOMPARE(myController->recentDocumentURLs().value(0), QUrl::fromLocalFile(path));

        // Closing the window ends the document without asking; opening the file again makes a new one.
        QPointer<Document> closed = document;
        QVERIFY(QTest::qWaitForWindowActive(window));
        myMenus->closeAction()->trigger();
        QTRY_VERIFY(closed.isNull());
        QCOMPARE(alerts.count(), 0);
        QVERIFY(myController->documents().isEmpty());
        QVERIFY(myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path)));
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void anOpenFileIsRaisedNotOpenedAgain_data()
    {
        QTest::addColumn<QString>("again");
        QTest::newRow("same path") << QStringLiteral("sub/once.txt");
        QTest::newRow("path with dot segments") << QStringLiteral("sub/../sub/./once.txt");
        QTest::newRow("through a symbolic link") << QStringLiteral("link-to-once");
    }
    void anOpenFileIsRaisedNotOpenedAgain()
    {
        QFETCH(QString, again);
        const QString path = makeFile(QStringLiteral("sub/once.txt"));
        QFile::remove(myDir.filePath(QStringLiteral("link-to-once")));
        QVERIFY(QFile::link(path, myDir.filePath(QStringLiteral("link-to-once"))));
        Document *first = myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(first);
        first->windowController()->hide();
        QCOMPARE(
            myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(myDir.filePath(again))), first);
        QCOMPARE(myController->documents().size(), 1);
        QVERIFY(first->windowController()->isVisible());
    }

    void aMissingFileIsRefusedWithAMessage()
    {
        AlertRecorder alerts;
        QVERIFY(!myController->openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(myDir.filePath(QStringLiteral("nope")))));
        QVERIFY(!myController->openDocumentWithContentsOfURL(QUrl(QStringLiteral("https://example.org/f"))));
        QCOMPARE(alerts.count(), 2);
        QVERIFY(alerts.alerts().first().informativeText.contains(QStringLiteral("nope")));
        QVERIFY(myController->documents().isEmpty());
        QVERIFY(myController->recentDocumentURLs().isEmpty());
    }

    void recentDocuments()
    {
        QList<QUrl> opened;
        for (int i = 0; i < 12; ++i) {
            opened.prepend(QUrl::fromLocalFile(makeFile(QStringLiteral("r%1.txt").arg(i))));
            myController->noteNewRecentDocumentURL(opened.first());
        }
        myController->noteNewRecentDocumentURL(opened.at(3));
        const QList<QUrl> recent = myController->recentDocumentURLs();
        QCOMPARE(recent.size(), DocumentController::maximumRecentDocumentCount);
        QCOMPARE(recent.first(), opened.at(3)); // used again: first, and only once
        QCOMPARE(recent.count(opened.at(3)), 1);
        QCOMPARE(recent.at(1), opened.at(0));

        // The Open Recent menu lists them and opens the one chosen.
        emit myMenus->openRecentMenu()->aboutToShow();
        QList<QAction *> items = myMenus->openRecentMenu()->actions();
        QCOMPARE(items.first()->text(), opened.at(3).fileName());
        items.first()->trigger();
        QCOMPARE(myController->documents().size(), 1);
        QCOMPARE(myController->documents().first()->fileURL(), opened.at(3));

        myController->clearRecentDocuments();
        QVERIFY(myController->recentDocumentURLs().isEmpty());
        // A hand-edited value of another type, or relative paths, read as no recent files.
        QSettings().setValue(QStringLiteral("DocumentController/recentDocuments"), 42);
        QVERIFY(myController->recentDocumentURLs().isEmpty());
        QSettings().setValue(
            QStringLiteral("DocumentController/recentDocuments"), QStringList { QStringLiteral("rel/x") });
        QVERIFY(myController->recentDocumentURLs().isEmpty());
    }

    void openCommandStartsWhereTheLastEnded()
    {
        const QString path = makeFile(QStringLiteral("deep/er/chosen.txt"));
        QStringList startDirectories;
        myController->setFileChooserForTesting([&](const QString &start) {
            startDirectories.append(start);
            return QList<QUrl> { QUrl::fromLocalFile(path) };
        });
        myMenus->openAction()->trigger();
        myController->openDocument();
        QCOMPARE(startDirectories.size(), 2);
        QCOMPARE(startDirectories.first(), QDir::homePath());
        QCOMPARE(startDirectories.last(), QFileInfo(path).absolutePath());
        QCOMPARE(myController->documents().size(), 1);
    }

    void startWindowOpensDroppedFilesAndCloses()
    {
        myController->showStartWindow();
        QPointer<WindowController> start = myController->startWindow();
        QVERIFY(start && start->isVisible());
        QCOMPARE(start->windowTitle(), QStringLiteral("Corvane"));
        QVERIFY(!start->document());
        QVERIFY(start->menuBar()->actions().contains(myMenus->helpMenu()->menuAction()));
        auto *dropArea = start->findChild<DragView *>();
        auto *openButton = start->findChild<QPushButton *>(QStringLiteral("openButton"));
        QVERIFY(dropArea && openButton && !openButton->accessibleName().isEmpty());

        const QString path = makeFile(QStringLiteral("dropped.txt"));
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(path) });
        QVERIFY(dropArea->performDragOperation(&data));
        QTRY_COMPARE(myController->documents().size(), 1);
        QCOMPARE(myController->documents().first()->windowController()->windowTitle(),
            QStringLiteral("dropped.txt"));
        QTRY_VERIFY(start.isNull());
    }

    void everyWindowCarriesTheSharedMenus()
    {
        QAction *status = myMenus->updateStatusItem();
        QCOMPARE(status->text(), QStringLiteral("Update not checked"));
        QVERIFY(
            status->isCheckable() && !status->isChecked() && myMenus->helpMenu()->actions().contains(status));

        for (const QString &scene : { QStringLiteral("Document Window Controller"),
                 QStringLiteral("ScratchpadWindow"), QStringLiteral("Help Window") }) {
            std::unique_ptr<WindowController> window(instantiateScene(scene));
            QVERIFY2(window, qPrintable(scene));
            QVERIFY(window->contentViewController());
            for (QMenu *menu :
                { myMenus->fileMenu(), myMenus->editMenu(), myMenus->windowMenu(), myMenus->helpMenu() })
                QVERIFY(window->menuBar()->actions().contains(menu->menuAction()));
        }
        QVERIFY(!instantiateScene(QStringLiteral("No Such Scene")));

        QCOMPARE(myMenus->openAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(myMenus->closeAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
