#include "app/AppDelegate.h"
#include "app/ApplicationMenus.h"
#include "app/DocumentController.h"
#include "app/SceneFactory.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "support/TestSupport.h"
#include "window/Document.h"
#include "window/DragView.h"
#include "window/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cerrno>
#include <cstring>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

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
        QCoreApplication::setOrganizationName(u"Corvane"_s);
        QCoreApplication::setApplicationName(u"Corvane"_s);
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
        QTest::newRow("name with spaces and accents") << u"Ünïcode name.txt"_s;
        QTest::newRow("zero-length file") << u"empty"_s;
        QTest::newRow("hidden file") << u".hidden"_s;
        QTest::newRow("file without read permission") << u"secret.bin"_s;
    }
    void anyFileOpensAsADocumentAndClosesWithoutAsking()
    {
        QFETCH(QString, name);
        const QString path = makeFile(name, name == QLatin1String("empty") ? QByteArray() : name.toUtf8());
        QVERIFY(!path.isEmpty());
        if (name == QLatin1String("secret.bin"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        AlertRecorder alerts;
        Document *document = myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(document);
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(document->fileURL(), QUrl::fromLocalFile(path));
        WindowController *window = document->windowController();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), name);
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
        QTest::newRow("same path") << u"sub/once.txt"_s;
        QTest::newRow("path with dot segments") << u"sub/../sub/./once.txt"_s;
        QTest::newRow("through a symbolic link") << u"link-to-once"_s;
    }
    void anOpenFileIsRaisedNotOpenedAgain()
    {
        QFETCH(QString, again);
        const QString path = makeFile(u"sub/once.txt"_s);
        QFile::remove(myDir.filePath(u"link-to-once"_s));
        QVERIFY(QFile::link(path, myDir.filePath(u"link-to-once"_s)));
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
        QVERIFY(!myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(myDir.filePath(u"nope"_s))));
        QVERIFY(!myController->openDocumentWithContentsOfURL(QUrl(u"https://example.org/f"_s)));
        QCOMPARE(alerts.count(), 2);
        QVERIFY(alerts.alerts().first().informativeText.contains(u"nope"_s));
        QVERIFY(myController->documents().isEmpty());
        QVERIFY(myController->recentDocumentURLs().isEmpty());
    }

    // A file the user may not reach exists all the same: the message gives the system's reason.
    void anUnreachableFileSaysWhy()
    {
        CORVANE_RUN_UNPRIVILEGED();
        const QString path = makeFile(u"locked/inside.txt"_s);
        const QString folder = QFileInfo(path).absolutePath();
        QVERIFY(QFile::setPermissions(folder, QFileDevice::Permissions()));
        AlertRecorder alerts;
        QVERIFY(!myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path)));
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(alerts.count(), 1);
        QVERIFY2(alerts.last().informativeText.contains(QString::fromLocal8Bit(std::strerror(EACCES))),
            qPrintable(alerts.last().informativeText));
    }

    void recentDocuments()
    {
        QList<QUrl> opened;
        for (int i = 0; i < 12; ++i) {
            opened.prepend(QUrl::fromLocalFile(makeFile(u"r%1.txt"_s.arg(i))));
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
        QSettings().setValue(u"DocumentController/recentDocuments"_s, 42);
        QVERIFY(myController->recentDocumentURLs().isEmpty());
        QSettings().setValue(u"DocumentController/recentDocuments"_s, QStringList { u"rel/x"_s });
        QVERIFY(myController->recentDocumentURLs().isEmpty());
    }

    void openCommandStartsWhereTheLastEnded()
    {
        const QString path = makeFile(u"deep/er/chosen.txt"_s);
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
        QVERIFY(!start->document());
        QVERIFY(start->menuBar()->actions().contains(myMenus->helpMenu()->menuAction()));
        auto *dropArea = start->findChild<DragView *>();
        auto *openButton = start->findChild<QPushButton *>(u"openButton"_s);
        QVERIFY(dropArea && openButton && !openButton->accessibleName().isEmpty());

        const QString path = makeFile(u"dropped.txt"_s);
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(path) });
        QVERIFY(dropArea->performDragOperation(&data));
        QTRY_COMPARE(myController->documents().size(), 1);
        QCOMPARE(myController->documents().first()->fileURL(), QUrl::fromLocalFile(path));
        QTRY_VERIFY(start.isNull());

        // A file dropped onto an editor, after a web link, is the one loaded and goes into Open Recent.
        Document *document = myController->documents().first();
        const QString other = makeFile(u"dropped later.txt"_s);
        data.setUrls({ QUrl(u"https://example.org/page"_s), QUrl::fromLocalFile(other) });
        QVERIFY(document->windowController()->findChild<DragView *>()->performDragOperation(&data));
        QCOMPARE(document->fileURL(), QUrl::fromLocalFile(other));
        QCOMPARE(myController->recentDocumentURLs().value(0), QUrl::fromLocalFile(other));
    }

    // The update status is shown, not chosen: a click on it changes nothing.
    void updateStatusIsNoChoice()
    {
        QAction *status = myMenus->updateStatusItem();
        QMenu *help = myMenus->helpMenu();
        help->popup(QPoint(20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QTest::mouseClick(help, Qt::LeftButton, {}, help->actionGeometry(status).center());
        QVERIFY(!status->isChecked());
        help->close();

        QVERIFY(!instantiateScene(u"No Such Scene"_s));
    }

    // Every shortcut a menu shows does its work from the keyboard in each kind of window where its item
    // is enabled; Save only in an editor, Edit commands only on text, the changing ones on editable text.
    void menuShortcutsWorkInEveryWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("text"); // 0: no text control, 1: read-only text, 2: editable text
        QTest::newRow("start window") << u"start"_s << 0;
        QTest::newRow("editor") << u"editor"_s << 2;
        QTest::newRow("help") << u"help"_s << 1;
        QTest::newRow("scratchpad") << u"scratchpad"_s << 2;
    }
    void menuShortcutsWorkInEveryWindow()
    {
        QFETCH(QString, kind);
        QFETCH(int, text);
        const bool editor = kind == QLatin1String("editor");
        QTest::failOnWarning(QRegularExpression(u"Ambiguous shortcut"_s));
        AppDelegate delegate;
        myMenus->connectToDelegate(&delegate);
        int chooserCalls = 0;
        myController->setFileChooserForTesting(
            [&](const QString &) { return ++chooserCalls, QList<QUrl>(); });
        QSignalSpy quits(myMenus->quitAction(), &QAction::triggered);

        const QString path = makeFile(u"keys.txt"_s);
        const auto open = [&]() -> WindowController * {
            if (kind == QLatin1String("start")) {
                myController->showStartWindow();
                return myController->startWindow();
            }
            if (kind == QLatin1String("editor"))
                return myController->openDocumentWithContentsOfURL(QUrl::fromLocalFile(path))
                    ->windowController();
            kind == QLatin1String("help") ? delegate.openHelp() : delegate.openScratchpad();
            return (kind == QLatin1String("help") ? delegate.myHelpWindow : delegate.mySPWindow).constLast();
        };
        QPointer<WindowController> window = open();
        const auto bringBack = [&] {
            window->showWindow();
            return QTest::qWaitForWindowActive(window);
        };
        QVERIFY(bringBack());
        // The editor's value field, the scratchpad's text, the help page.
        QWidget *content = window->contentViewController();
        QWidget *field = content->findChild<QPlainTextEdit *>();
        if (!field)
            field = content->findChild<QTextEdit *>();
        if (field)
            field->setFocus(Qt::TabFocusReason);
        const auto press = [&](const QKeySequence &key) { QTest::keySequence(window, key); };
        const auto fieldText = [&] { return field->property("plainText").toString(); };

        QList<QAction *> tested;
        QList<QAction *> edit = myMenus->editMenu()->actions();
        edit.removeIf([](QAction *a) { return a->isSeparator() || a->shortcut().isEmpty(); });
        QCOMPARE(edit.size(), 6); // Undo, Redo, Cut, Copy, Paste, Select All
        // Undo and Redo have nothing to take back yet: no typing, no save.
        for (QAction *action : edit)
            QCOMPARE(action->isEnabled(),
                action != edit[0] && action != edit[1]
                    && (text == 2 || (text == 1 && (action == edit[3] || action == edit[5]))));
        if (text == 2) {
            QTest::keyClicks(QApplication::focusWidget(), u"ab"_s);
            QVERIFY(edit[0]->isEnabled());
            press(edit[5]->shortcut()); // Select All
            press(edit[3]->shortcut()); // Copy
            QCOMPARE(QGuiApplication::clipboard()->text(), u"ab"_s);
            QGuiApplication::clipboard()->clear();
            press(edit[2]->shortcut()); // Cut
            QCOMPARE(fieldText(), QString());
            QCOMPARE(QGuiApplication::clipboard()->text(), u"ab"_s);
            press(edit[4]->shortcut()); // Paste
            press(edit[4]->shortcut());
            QCOMPARE(fieldText(), u"abab"_s);
            press(edit[0]->shortcut()); // Undo
            QCOMPARE(fieldText(), u"ab"_s);
            press(edit[1]->shortcut()); // Redo
            QCOMPARE(fieldText(), u"abab"_s);
            tested << edit;
        } else if (text == 1) {
            press(edit[5]->shortcut());
            press(edit[3]->shortcut());
            QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"Corvane Help"_s));
            tested << edit[3] << edit[5];
        }

        QCOMPARE(myMenus->saveAction()->isEnabled(), editor);
        if (editor) {
            press(myMenus->saveAction()->shortcut());
            QCOMPARE(QFile(path).size(), 1); // the data untouched, the value stored
            QVERIFY(runProgram(u"getfattr"_s, { u"-d"_s, path }).out.contains("kMDItemKeywords"));
            tested << myMenus->saveAction();
        }
        for (const QKeySequence &key : myMenus->openAction()->shortcuts())
            press(key);
        QCOMPARE(chooserCalls, myMenus->openAction()->shortcuts().size());
        for (const QKeySequence &key : myMenus->helpAction()->shortcuts())
            press(key);
        QCOMPARE(delegate.myHelpWindow.size(),
            int(kind == QLatin1String("help")) + myMenus->helpAction()->shortcuts().size());
        QVERIFY(bringBack());
        QAction *minimize = myMenus->windowMenu()->actions().first();
        for (const QKeySequence &key : minimize->shortcuts()) {
            press(key);
            QTRY_VERIFY(window->isMinimized());
            QVERIFY(bringBack());
        }
        const auto bringBackOrReopen = [&] {
            if (!window || !window->isVisible())
                window = open();
            return bringBack();
        };
        for (const QKeySequence &key : myMenus->closeAction()->shortcuts()) {
            QVERIFY(bringBackOrReopen());
            // Gone, or hidden where the window is kept for the process.
            const bool deletes = window->testAttribute(Qt::WA_DeleteOnClose);
            press(key);
            QTRY_VERIFY(deletes ? window.isNull() : !window->isVisible());
        }
        // The quit key is pressed last: a quit request closes the windows (the quit test runs the
        // real event loop to its end).
        for (const QKeySequence &key : myMenus->quitAction()->shortcuts()) {
            QVERIFY(bringBackOrReopen());
            press(key);
        }
        QCOMPARE(quits.size(), myMenus->quitAction()->shortcuts().size());
        tested << myMenus->openAction() << myMenus->helpAction() << minimize << myMenus->quitAction()
               << myMenus->closeAction();

        // No shortcut a menu shows goes untried.
        for (QMenu *menu :
            { myMenus->fileMenu(), myMenus->editMenu(), myMenus->windowMenu(), myMenus->helpMenu() }) {
            for (QAction *action : menu->actions())
                QVERIFY2(action->shortcut().isEmpty() || !action->isEnabled() || tested.contains(action),
                    qPrintable(action->text()));
        }
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
