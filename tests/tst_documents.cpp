#include "app/Application.h"
#include "app/Document.h"
#include "app/StartWindow.h"
#include "help/HelpWindow.h"
#include "scratchpad/ScratchpadWindow.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "window/DropArea.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>

#include <cerrno>
#include <cstring>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

// Opening files as documents, the start window, and the menus every kind of window carries, all
// through one Application as main() makes it.
class TestDocuments : public QObject {
    Q_OBJECT
    TestFiles m_files;
    std::unique_ptr<Application> m_app;

    DocumentController &documents() { return m_app->documents(); }
    ApplicationActions &actions() { return m_app->actions(); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(u"Corvane"_s);
        QCoreApplication::setApplicationName(u"Corvane"_s);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void init()
    {
        QSettings().clear();
        m_app = std::make_unique<Application>();
    }
    void cleanup() { m_app.reset(); }

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
        const QString path
            = m_files.make(name, name == QLatin1String("empty") ? QByteArray() : name.toUtf8());
        QVERIFY(!path.isEmpty());
        if (name == QLatin1String("secret.bin"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        AlertRecorder alerts;
        Document *document = documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(document);
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(document->fileURL(), QUrl::fromLocalFile(path));
        EditorWindow *window = document->window();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), name + u"[*]"_s); // where the unsaved-text mark goes
        QCOMPARE(documents().recentDocumentURLs().value(0), QUrl::fromLocalFile(path));

        // Closing the window ends the document without asking; opening the file again makes a new one.
        QPointer<Document> closed = document;
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keySequence(window, actions().closeAction()->shortcut());
        QTRY_VERIFY(closed.isNull());
        QCOMPARE(alerts.count(), 0);
        QVERIFY(documents().documents().isEmpty());
        QVERIFY(documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path)));
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
        const QString path = m_files.make(u"sub/once.txt"_s);
        QFile::remove(m_files.path(u"link-to-once"_s));
        QVERIFY(QFile::link(path, m_files.path(u"link-to-once"_s)));
        Document *first = documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(first);
        first->window()->hide();
        QCOMPARE(documents().openDocumentWithContentsOfURL(m_files.url(again)), first);
        QCOMPARE(documents().documents().size(), 1);
        QVERIFY(first->window()->isVisible());
    }

    // A file that is not there, or not local, is refused with the system's reason.
    void unopenableFilesSayWhy()
    {
        CORVANE_RUN_UNPRIVILEGED();
        const QString locked = m_files.make(u"locked/inside.txt"_s);
        QVERIFY(QFile::setPermissions(QFileInfo(locked).absolutePath(), QFileDevice::Permissions()));
        AlertRecorder alerts;
        QVERIFY(!documents().openDocumentWithContentsOfURL(m_files.url(u"nope"_s)));
        QVERIFY(!documents().openDocumentWithContentsOfURL(QUrl(u"https://example.org/f"_s)));
        QVERIFY(!documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(locked)));
        QFile::setPermissions(QFileInfo(locked).absolutePath(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(alerts.count(), 3);
        QVERIFY(alerts.alerts().at(0).informativeText.contains(u"There is no file at"_s));
        QVERIFY(alerts.alerts().at(1).informativeText.contains(u"is not a local file"_s));
        QVERIFY2(alerts.last().informativeText.contains(QString::fromLocal8Bit(std::strerror(EACCES))),
            qPrintable(alerts.last().informativeText));
        QVERIFY(documents().documents().isEmpty());
        QVERIFY(documents().recentDocumentURLs().isEmpty());
    }

    void recentDocuments()
    {
        QList<QUrl> opened;
        for (int i = 0; i < 12; ++i) {
            opened.prepend(QUrl::fromLocalFile(m_files.make(u"r%1.txt"_s.arg(i))));
            documents().noteNewRecentDocumentURL(opened.first());
        }
        documents().noteNewRecentDocumentURL(opened.at(3));
        const QList<QUrl> recent = documents().recentDocumentURLs();
        QCOMPARE(recent.size(), DocumentController::maximumRecentDocumentCount);
        QCOMPARE(recent.first(), opened.at(3)); // used again: first, and only once
        QCOMPARE(recent.count(opened.at(3)), 1);
        QCOMPARE(recent.at(1), opened.at(0));

        // The Open Recent menu lists them and opens the one chosen.
        QMenu *menu = actions().openRecentMenu();
        menu->popup(QPoint(20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QCOMPARE(menu->actions().first()->text(), opened.at(3).fileName());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().first()).center());
        QCOMPARE(documents().documents().size(), 1);
        QCOMPARE(documents().documents().first()->fileURL(), opened.at(3));

        // Two files of one name say where each is, in the menu (an & shown as itself) and in the start
        // window, where Enter opens the one chosen.
        const QString a = m_files.make(u"a/R&D.txt"_s), b = m_files.make(u"b/R&D.txt"_s);
        documents().noteNewRecentDocumentURL(QUrl::fromLocalFile(a));
        documents().noteNewRecentDocumentURL(QUrl::fromLocalFile(b));
        menu->popup(QPoint(20, 20));
        QCOMPARE(menu->actions().first()->text(), u"R&&D.txt — "_s + QFileInfo(b).absolutePath());
        menu->close();
        documents().showStartWindow();
        auto *list = documents().startWindow()->findChild<QListWidget *>();
        QVERIFY(QTest::qWaitForWindowActive(documents().startWindow()));
        QCOMPARE(list->item(1)->text(), u"R&D.txt — "_s + QFileInfo(a).absolutePath());
        QCOMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QVERIFY(documents().documentForURL(QUrl::fromLocalFile(a)));

        documents().clearRecentDocuments();
        QVERIFY(documents().recentDocumentURLs().isEmpty());
        // A hand-edited value of another type, or relative paths, read as no recent files.
        QSettings().setValue(u"DocumentController/recentDocuments"_s, 42);
        QVERIFY(documents().recentDocumentURLs().isEmpty());
        QSettings().setValue(u"DocumentController/recentDocuments"_s, QStringList { u"rel/x"_s });
        QVERIFY(documents().recentDocumentURLs().isEmpty());
    }

    // The start window's Open button and Ctrl+O in an editor choose from where the last choice ended;
    // a file dropped onto the start window opens and closes it.
    void startWindowAndOpenCommand()
    {
        const QString chosen = m_files.make(u"deep/er/chosen.txt"_s);
        QStringList startDirectories;
        documents().setFileChooserForTesting([&](const QString &start) {
            startDirectories.append(start);
            return QList<QUrl> { QUrl::fromLocalFile(chosen) };
        });
        documents().showStartWindow();
        QPointer<StartWindow> start = documents().startWindow();
        QVERIFY(start && QTest::qWaitForWindowActive(start));
        auto *openButton = start->findChild<QPushButton *>(u"openButton"_s);
        QVERIFY(openButton && !openButton->accessibleName().isEmpty());
        QTest::mouseClick(openButton, Qt::LeftButton);
        QTRY_VERIFY(start.isNull());
        QCOMPARE(documents().documents().size(), 1);
        EditorWindow *editor = documents().documents().first()->window();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keySequence(editor, actions().openAction()->shortcut());
        QCOMPARE(startDirectories, (QStringList { QDir::homePath(), QFileInfo(chosen).absolutePath() }));

        documents().showStartWindow();
        start = documents().startWindow();
        const QString dropped = m_files.make(u"dropped.txt"_s);
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(dropped) });
        QVERIFY(dragOnto(start->findChild<DropArea *>(), &data).second);
        QTRY_COMPARE(documents().documents().size(), 2);
        QCOMPARE(documents().documents().last()->fileURL(), QUrl::fromLocalFile(dropped));
        QTRY_VERIFY(start.isNull());

        // A file dropped onto an editor is the document's now, and goes into Open Recent.
        const QString later = m_files.make(u"dropped later.txt"_s);
        data.setUrls({ QUrl::fromLocalFile(later) });
        QVERIFY(dragOnto(editor->editor()->dropArea(), &data).second);
        QCOMPARE(documents().documents().first()->fileURL(), QUrl::fromLocalFile(later));
        QCOMPARE(documents().recentDocumentURLs().value(0), QUrl::fromLocalFile(later));
        // File > Open starts next to the file in front.
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        QTest::keySequence(editor, actions().openAction()->shortcut());
        QCOMPARE(startDirectories.last(), QFileInfo(later).absolutePath());
    }

    // The update status is shown, not chosen; the update check marks it in every window.
    void updateStatus()
    {
        QAction *status = actions().updateStatusAction();
        QVERIFY(!status->isEnabled() && !status->isChecked());
        emit m_app->delegate().checkedForUpdate();
        QCOMPARE(status->text(), u"Checked for update"_s);
        QVERIFY(status->isChecked());
    }

    // In every kind of window each Alt key is its own, and every shortcut a menu shows does its work
    // from the keyboard where its item is enabled, and only there.
    void menusOfEveryWindow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("start window") << u"start"_s;
        QTest::newRow("editor") << u"editor"_s;
        QTest::newRow("help") << u"help"_s;
        QTest::newRow("scratchpad") << u"scratchpad"_s;
    }
    void menusOfEveryWindow()
    {
        QFETCH(QString, kind);
        QTest::failOnWarning(QRegularExpression(u"Ambiguous shortcut"_s));
        AlertRecorder alerts;
        AppDelegate &delegate = m_app->delegate();
        int chooserCalls = 0;
        documents().setFileChooserForTesting([&](const QString &) { return ++chooserCalls, QList<QUrl>(); });
        QSignalSpy quits(actions().quitAction(), &QAction::triggered);
        const QString path = m_files.make(u"keys.txt"_s, "x");
        const auto open = [&]() -> QMainWindow * {
            if (kind == u"start") {
                documents().showStartWindow();
                return documents().startWindow();
            }
            if (kind == u"editor")
                return documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path))->window();
            kind == u"help" ? delegate.openHelp() : delegate.openScratchpad();
            return kind == u"help" ? static_cast<QMainWindow *>(delegate.helpWindows().constLast())
                                   : delegate.scratchpadWindows().constLast();
        };
        QPointer<QMainWindow> window = open();
        const auto bringBack = [&] {
            if (!window || !window->isVisible())
                window = open();
            window->showNormal();
            window->activateWindow();
            return QTest::qWaitForWindowActive(window);
        };
        QVERIFY(bringBack());

        QCOMPARE(clashingMnemonics(window).join(u"; "), QString());
        QList<QAction *> shown;
        for (QAction *menu : window->menuBar()->actions())
            for (QAction *item : menu->menu()->actions())
                if (!item->shortcut().isEmpty())
                    shown << item;

        // The text the Edit menu acts on: the editor's value, the scratchpad's text, the help page.
        auto *text = window->findChild<QPlainTextEdit *>(kind == u"editor" ? u"valueEdit"_s : QString());
        QTextEdit *help = kind == u"help" ? window->findChild<QTextBrowser *>() : nullptr;
        if (text)
            text->setFocus(Qt::TabFocusReason);
        else if (help)
            help->setFocus(Qt::TabFocusReason);
        const auto press = [&](QAction *action) { QTest::keySequence(window, action->shortcut()); };
        const auto named = [&](const char *title) {
            for (QAction *action : std::as_const(shown))
                if (action->iconText() == QLatin1String(title))
                    return action;
            return static_cast<QAction *>(nullptr);
        };
        // Each Edit item on the text, by its key and clicked in the open menu, in turn: both do the same.
        QList<QAction *> tried;
        const auto step = [&](const char *title, int i) {
            tried << named(title);
            return i % 2 ? clickMenuItem(window, named(title)) : (press(named(title)), true);
        };
        if (text) {
            QVERIFY(
                !named("Undo")->isEnabled() && !named("Copy")->isEnabled() && named("Paste")->isEnabled());
            QTest::keyClicks(QApplication::focusWidget(), u"ab"_s);
            // The item, the text after it, and whether it puts "ab" on the clipboard.
            const QList<std::tuple<const char *, QString, bool>> steps = { { "Select All", u"ab"_s, false },
                { "Copy", u"ab"_s, true }, { "Cut", {}, true }, { "Paste", u"ab"_s, false },
                { "Paste", u"abab"_s, false }, { "Undo", u"ab"_s, false }, { "Redo", u"abab"_s, false },
                { "Select All", u"abab"_s, false }, { "Delete", {}, false } };
            for (int i = 0; i < steps.size(); ++i) {
                const auto &[title, after, copies] = steps[i];
                if (copies)
                    QGuiApplication::clipboard()->clear();
                QVERIFY2(step(title, i), title);
                QCOMPARE(text->toPlainText(), after);
                QVERIFY(!copies || QGuiApplication::clipboard()->text() == u"ab"_s);
            }
            text->setFocus();
        } else if (help) {
            QVERIFY(!named("Copy")->isEnabled() && step("Select All", 0) && step("Copy", 1));
            QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"Corvane Help"_s));
        }
        if (kind == u"editor") {
            QTest::keyClicks(QApplication::focusWidget(), u"kept"_s);
            press(named("Save"));
            QCOMPARE(QFile(path).size(), 1); // the data untouched, the value stored
            QVERIFY(runProgram(u"getfattr"_s, { u"-d"_s, path }).out.contains("kMDItemKeywords"));
            tried << named("Save") << named("Find");
            press(named("Find"));
            QCOMPARE(QApplication::focusWidget()->objectName(), u"attributesFilter"_s);
        } else if (kind == u"scratchpad") {
            const double size = qobject_cast<ScratchpadWindow *>(window)->fontSize();
            for (QAction *step : { named("Larger Text"), named("Smaller Text") }) {
                for (const QKeySequence &key : step->shortcuts())
                    QTest::keySequence(window, key);
                tried << step;
            }
            QCOMPARE(qobject_cast<ScratchpadWindow *>(window)->fontSize(), size + 1);
        }
        press(actions().openAction());
        QCOMPARE(chooserCalls, 1);
        const qsizetype helpWindows = delegate.helpWindows().size();
        press(actions().helpAction());
        QCOMPARE(delegate.helpWindows().size(), helpWindows + 1);
        // No shortcut a menu of the window shows goes untried (the window's own go with it below).
        tried << actions().openAction() << actions().helpAction() << actions().minimizeAction()
              << actions().closeAction() << actions().quitAction();
        for (QAction *action : std::as_const(shown))
            QVERIFY2(!action->isEnabled() || tried.contains(action), qPrintable(action->text()));
        QVERIFY(bringBack());
        press(actions().minimizeAction());
        QTRY_VERIFY(window->isMinimized());
        for (const QKeySequence &key : actions().closeAction()->shortcuts()) {
            QVERIFY(bringBack());
            const bool deletes = window->testAttribute(Qt::WA_DeleteOnClose); // else hidden, kept
            QTest::keySequence(window, key);
            QTRY_VERIFY(deletes ? window.isNull() : !window->isVisible());
        }
        // The quit key is pressed last: a quit request closes the windows (the quit test runs the
        // real event loop to its end).
        QVERIFY(bringBack());
        press(actions().quitAction());
        QCOMPARE(quits.size(), 1);
        QCOMPARE(alerts.count(), 0);
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
