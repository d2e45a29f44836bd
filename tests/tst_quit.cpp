#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "app/Application.h"
#include "attributes/DraftStore.h"
#include "scratchpad/ScratchpadWindow.h"
#include "support/DesktopSession.h"
#include "support/EditorTestSupport.h"
#include "support/PrivateBus.h"
#include "support/SettingsSandbox.h"

#include <csignal>

using namespace corvane;

// No text typed into a scratchpad is lost at quit: open windows hand their text back before it is
// stored, the one typed into last deciding, however the application ends.
class TestQuit : public QObject {
    Q_OBJECT
    std::unique_ptr<test::SettingsSandbox> m_settings;

    static ScratchpadWindow *view(const AppDelegate &delegate, int window)
    {
        return delegate.scratchpadWindows().at(window);
    }

private slots:
    void init() { m_settings = std::make_unique<test::SettingsSandbox>(); }

    // The real event loop, ended each way, with the wiring main() runs (Application).
    void everyWayOfQuitting_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<int>("newest"); // the window typed into last, of two
        int newest = 0;
        for (const char *route :
            { "quit request, as at log-out", "Quit command by Ctrl+Q", "Quit command from the File menu",
                "closing the last window", "SIGTERM", "SIGINT", "SIGHUP" }) {
            QTest::newRow(route) << QString::fromLatin1(route) << newest;
            newest = 1 - newest;
        }
    }
    void everyWayOfQuitting()
    {
        QFETCH(QString, route);
        QFETCH(int, newest);
        Application application;
        AppDelegate &delegate = application.delegate();
        ApplicationActions &actions = application.actions();
        delegate.scratchpadText().setText(QStringLiteral("saved"));
        delegate.openScratchpad();
        delegate.openScratchpad();
        QVERIFY(QTest::qWaitForWindowActive(view(delegate, 1)));
        for (const int window : { 1 - newest, newest }) { // each window starts from the saved text
            view(delegate, window)->textEdit()->moveCursor(QTextCursor::End);
            QTest::keyClicks(view(delegate, window)->textEdit(),
                window == newest ? QStringLiteral(" newest") : QStringLiteral(" older"));
        }
        QCOMPARE(
            view(delegate, 1 - newest)->text(), QStringLiteral("saved older")); // nothing passes while open

        QTimer::singleShot(0, &delegate, [&delegate, &actions, route, newest] {
            if (route.startsWith(QLatin1String("quit request"))) {
                QCoreApplication::quit();
            } else if (route.endsWith(QLatin1String("Ctrl+Q"))) {
                QTest::keySequence(view(delegate, 1), QKeySequence(Qt::CTRL | Qt::Key_Q));
            } else if (route.endsWith(QLatin1String("menu"))) {
                QMenu *file = view(delegate, 1)->menuBar()->actions().first()->menu();
                file->popup(QPoint(0, 0));
                const QPoint quit = file->actionGeometry(actions.quitAction()).center();
                QTest::mouseMove(file, quit);
                QTest::mouseClick(file, Qt::LeftButton, {}, quit);
            } else if (route.startsWith(QLatin1String("closing"))) {
                view(delegate, newest)->close(); // the one closed last was given its text
                view(delegate, 1 - newest)->close();
            } else {
                ::raise(route == QLatin1String("SIGTERM")  ? SIGTERM
                        : route == QLatin1String("SIGINT") ? SIGINT
                                                           : SIGHUP);
            }
        });
        // A route that fails to quit must fail the case, not hang the run.
        QTimer::singleShot(60000, &delegate, [] { QCoreApplication::exit(3); });
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(m_settings->onDisk(QStringLiteral("scratchpad")).toString(), QStringLiteral("saved newest"));
        QCOMPARE(view(delegate, 1 - newest)->text(), QStringLiteral("saved newest")); // replaced, not merged
    }

    // The built application, the session's one Corvane on a bus of the test's own, sent a real signal by
    // another process, stores its text and exits normally.
    void realProcessStoresItsTextOnSignal_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void realProcessStoresItsTextOnSignal()
    {
        QFETCH(int, signalNumber);
        const QString program = test::corvaneProgram();
        QVERIFY2(QFile::exists(program), "build the corvane target first");
        const QString text = QStringLiteral("kept, \"quoted\"\nGrüße 🙂");
        QVERIFY(m_settings->write("noUpdateCheck=true\n"));
        QSettings(m_settings->file(), QSettings::IniFormat).setValue(QStringLiteral("scratchpad"), text);

        test::PrivateBus bus;
        QVERIFY2(!bus.address().isEmpty(), "dbus-daemon did not start");
        QProcess corvane;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_settings->directory());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        corvane.setProcessEnvironment(environment);
        corvane.start(program, {});
        QVERIFY(corvane.waitForStarted());

        // Once the launch routine has written the interval back, the text is only in the process;
        // taking it out of the file shows whether the signal brings it back.
        QTRY_VERIFY_WITH_TIMEOUT(m_settings->onDisk(QStringLiteral("updateCheckInt")).isValid(), 60000);
        QVERIFY(m_settings->write("noUpdateCheck=true\n"));
        QCOMPARE(::kill(pid_t(corvane.processId()), signalNumber), 0);
        QVERIFY(corvane.waitForFinished(60000));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(corvane.exitCode(), 0);
        QCOMPARE(m_settings->onDisk(QStringLiteral("scratchpad")).toString(), text);
    }

    // Text typed into an editor reaches the disk within seconds, without a quit: a process killed
    // outright loses no more than a quit does, and the file offers the text back when opened again.
    void killedProcessLosesNoTypedText()
    {
        test::DesktopSession session(test::DesktopSession::Bus::Private);
        QVERIFY2(session.failure().isEmpty(), qPrintable(session.failure()));
        test::TestFiles files;
        const QString path = files.make(QStringLiteral("notes.txt"));
        QProcess *corvane = session.launch({ path });
        QTRY_VERIFY_WITH_TIMEOUT(
            !session.mappedWindowTitles().filter(QStringLiteral("notes.txt")).isEmpty(), 30000);
        QVERIFY(session.typeInto(
            QStringLiteral("notes.txt"), QStringLiteral("typed before the crash"), QStringLiteral("alt+l")));
        QTRY_VERIFY_WITH_TIMEOUT(!DraftStore().load(QUrl::fromLocalFile(path)).isEmpty(), 30000);
        QCOMPARE(::kill(pid_t(corvane->processId()), SIGKILL), 0);
        QVERIFY(corvane->waitForFinished(30000));

        auto shown = test::showEditor(QUrl::fromLocalFile(path));
        QTest::keyClick(&shown->window, Qt::Key_R, Qt::AltModifier); // Restore, on the bar it offers
        QTRY_COMPARE(shown->editor->valueEdit()->toPlainText(), QStringLiteral("typed before the crash"));
    }
};

QTEST_MAIN(TestQuit)
#include "tst_quit.moc"
