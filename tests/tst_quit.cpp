#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QShortcutEvent>
#include <QTest>
#include <QTimer>

#include "app/AppDelegate.h"
#include "app/ApplicationMenus.h"
#include "app/WindowController.h"
#include "scratchpad/ScratchpadView.h"

#include <csignal>
#include <memory>
#include <vector>

using corvane::AppDelegate;
using corvane::ApplicationMenus;
using corvane::ScratchpadView;
using corvane::WindowController;

// No text typed into a scratchpad is lost at quit: open windows hand their text back before it is
// stored, however the application ends.
class TestQuit : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QTemporaryDir>> m_copies;

    QString settingsFile() const { return m_dir->filePath(QStringLiteral("Corvane/Corvane.conf")); }

    // The stored text as the disk has it; QSettings would answer the same path from memory.
    QVariant storedText()
    {
        m_copies.push_back(std::make_unique<QTemporaryDir>());
        const QString copy = m_copies.back()->filePath(QStringLiteral("copy.conf"));
        if (!QFile::copy(settingsFile(), copy))
            return QVariant();
        return QSettings(copy, QSettings::IniFormat).value(QStringLiteral("scratchpad"));
    }

    static ScratchpadView *viewOf(WindowController *controller)
    {
        return qobject_cast<ScratchpadView *>(controller->contentViewController());
    }

    static void type(AppDelegate &delegate, int window, const QString &text)
    {
        QPlainTextEdit *editor = viewOf(delegate.mySPWindow.at(window))->scratchpadContents();
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor, text);
    }

    static QString corvaneProgram()
    {
        return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../src/corvane"));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    }

    // Each script line: "open" a window, "typeN text" into window N, "closeN" window N.
    void terminationHandsBackOpenText_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QString>("stored");
        QTest::newRow("no window opened") << QStringList{} << QStringLiteral("saved");
        QTest::newRow("one window typed into")
            << QStringList{QStringLiteral("open"), QStringLiteral("type0 +one")} << QStringLiteral("saved+one");
        QTest::newRow("two windows, second typed into last")
            << QStringList{QStringLiteral("open"), QStringLiteral("open"), QStringLiteral("type0 +a"),
                           QStringLiteral("type1 +b")}
            << QStringLiteral("saved+b");
        QTest::newRow("two windows, first typed into last")
            << QStringList{QStringLiteral("open"), QStringLiteral("open"), QStringLiteral("type1 +b"),
                           QStringLiteral("type0 +a")}
            << QStringLiteral("saved+a");
        QTest::newRow("open window never typed into")
            << QStringList{QStringLiteral("open"), QStringLiteral("open"), QStringLiteral("type1 +b"),
                           QStringLiteral("close1")}
            << QStringLiteral("saved+b");
        QTest::newRow("typed into after another closed")
            << QStringList{QStringLiteral("open"), QStringLiteral("open"), QStringLiteral("type1 +b"),
                           QStringLiteral("close1"), QStringLiteral("type0 +a")}
            << QStringLiteral("saved+b+a");
        QTest::newRow("all windows closed before quitting")
            << QStringList{QStringLiteral("open"), QStringLiteral("type0 +a"), QStringLiteral("close0")}
            << QStringLiteral("saved+a");
    }
    void terminationHandsBackOpenText()
    {
        QFETCH(QStringList, script);
        QFETCH(QString, stored);
        AppDelegate delegate;
        delegate.scratchpadContents = QStringLiteral("saved");
        for (const QString &step : script) {
            if (step == QLatin1String("open"))
                delegate.openScratchpad();
            else if (step.startsWith(QLatin1String("type")))
                type(delegate, step.mid(4, 1).toInt(), step.mid(6));
            else if (step.startsWith(QLatin1String("close")))
                delegate.mySPWindow.at(step.mid(5).toInt())->close();
        }
        delegate.applicationWillTerminate();
        QCOMPARE(delegate.scratchpadContents, stored);
        QCOMPARE(storedText().toString(), stored);
        // Every window now holds the kept text, so windows that close afterwards agree with it.
        for (const auto &controller : delegate.mySPWindow)
            QCOMPARE(viewOf(controller)->text(), stored);
    }

    // The real event loop quits the way each route makes it; aboutToQuit runs the termination routine
    // as main connects it.
    void everyWayOfQuittingKeepsTheText_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("quit request, as at log-out") << QStringLiteral("quit");
        QTest::newRow("Quit command by its shortcut") << QStringLiteral("shortcut");
        QTest::newRow("Quit command from the File menu") << QStringLiteral("menu");
        QTest::newRow("closing the last window") << QStringLiteral("close");
        QTest::newRow("SIGTERM") << QStringLiteral("SIGTERM");
        QTest::newRow("SIGINT") << QStringLiteral("SIGINT");
        QTest::newRow("SIGHUP") << QStringLiteral("SIGHUP");
    }
    void everyWayOfQuittingKeepsTheText()
    {
        QFETCH(QString, route);
        AppDelegate delegate;
        ApplicationMenus menus;
        menus.connectToDelegate(&delegate);
        delegate.scratchpadContents = QStringLiteral("saved");
        connect(qApp, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
        delegate.openScratchpad();
        delegate.openScratchpad();
        QVERIFY(QTest::qWaitForWindowActive(delegate.mySPWindow.at(1)));
        type(delegate, 1, QStringLiteral(" older"));
        type(delegate, 0, QStringLiteral(" newest"));

        QTimer::singleShot(0, &delegate, [&delegate, &menus, route] {
            if (route == QLatin1String("quit")) {
                QCoreApplication::quit();
            } else if (route == QLatin1String("shortcut")) {
                // What the shortcut map sends for Ctrl+Q; the offscreen platform binds no Quit key.
                QShortcutEvent pressed(QKeySequence(Qt::CTRL | Qt::Key_Q), 0);
                QCoreApplication::sendEvent(menus.quitAction(), &pressed);
            } else if (route == QLatin1String("menu")) {
                QMenu *file = menus.fileMenu();
                file->popup(QPoint(0, 0));
                const QPoint quitItem = file->actionGeometry(menus.quitAction()).center();
                QTest::mouseMove(file, quitItem);
                QTest::mouseClick(file, Qt::LeftButton, {}, quitItem);
            } else if (route == QLatin1String("close")) {
                // Closed newest first: the window closed last hands back the text it was given.
                delegate.mySPWindow.at(0)->close();
                delegate.mySPWindow.at(1)->close();
            } else {
                const int signalNumber = route == QLatin1String("SIGTERM") ? SIGTERM
                    : route == QLatin1String("SIGINT")                    ? SIGINT
                                                                          : SIGHUP;
                ::raise(signalNumber);
            }
        });
        // A route that fails to quit must fail the case, not hang the whole run.
        QTimer::singleShot(60000, &delegate, [] { QCoreApplication::exit(3); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(storedText().toString(), QStringLiteral("saved newest"));
    }

    // The built application, sent a real signal by another process: it stores the text it holds and
    // exits normally.
    void realProcessStoresItsTextOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void realProcessStoresItsTextOnSignal()
    {
        QFETCH(int, signalNumber);
        const QString program = corvaneProgram();
        QVERIFY2(QFile::exists(program), qPrintable(QStringLiteral("build the corvane target: ") + program));

        const QString text = QStringLiteral("kept, \"quoted\"\nGrüße 🙂");
        {
            QSettings settings(settingsFile(), QSettings::IniFormat);
            settings.setValue(QStringLiteral("noUpdateCheck"), true);
            settings.setValue(QStringLiteral("scratchpad"), text);
        }

        QProcess corvane;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        corvane.setProcessEnvironment(environment);
        corvane.start(program, {});
        QVERIFY(corvane.waitForStarted());

        // The launch routine writes the interval back once the event loop runs; then the text is only
        // in the process. Taking it out of the file shows whether the signal brings it back.
        const auto launched = [this] {
            QFile file(settingsFile());
            return file.open(QIODevice::ReadOnly) && file.readAll().contains("updateCheckInt=");
        };
        QTRY_VERIFY_WITH_TIMEOUT(launched(), 60000);
        {
            QFile file(settingsFile());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("[General]\nnoUpdateCheck=true\n");
        }
        QVERIFY(!storedText().isValid());

        QCOMPARE(::kill(pid_t(corvane.processId()), signalNumber), 0);
        QVERIFY(corvane.waitForFinished(60000));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(corvane.exitCode(), 0);
        QCOMPARE(storedText().toString(), text);
    }
};

QTEST_MAIN(TestQuit)
#include "tst_quit.moc"
