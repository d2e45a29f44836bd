#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include "BuildConfig.h"
#include "support/DesktopSession.h"
#include "support/TestSupport.h"

#include <csignal>

using namespace corvane::test;
using namespace Qt::StringLiterals;
using Bus = DesktopSession::Bus;
Q_DECLARE_METATYPE(DesktopSession::Bus)

// The built corvane launched twice in a desktop session of the test's own: with a session bus the
// second launch hands its files to the first and ends; without one, or when the first does not
// answer, both run. The commands that need no display never hand anything over.
class TestSingleInstance : public QObject {
    Q_OBJECT

    // The file names in the mapped windows' titles ("a.txt — Corvane"), sorted.
    static QStringList windows(const DesktopSession &session)
    {
        QStringList names;
        for (const QString &title : session.mappedWindowTitles())
            names.append(title.section(u' ', 0, 0));
        names.sort();
        return names;
    }

    // Empty when the session runs and holds the settings, a.txt, b.txt and a folder x; else why not.
    static QString prepare(DesktopSession &session, const QByteArray &settings = {})
    {
        if (!session.failure().isEmpty())
            return session.failure();
        QFile file(session.settingsFile());
        if (!file.open(QIODevice::WriteOnly) || file.write("[General]\nnoUpdateCheck=true\n" + settings) < 0)
            return file.errorString();
        file.close();
        for (const char *name : { "a.txt", "b.txt" }) {
            QFile document(session.settingsDirectory() + u'/' + QString::fromLatin1(name));
            if (!document.open(QIODevice::WriteOnly))
                return document.errorString();
        }
        return QDir(session.settingsDirectory()).mkpath(u"x"_s) ? QString() : u"no x"_s;
    }

private slots:
    // Installs are checked with `corvane --version`, often on machines with no display at all.
    void commandsWithoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // expected in stdout, or stderr when failing
        const QString version = QString::fromLatin1(corvane::build::version);
        QTest::newRow("--version") << QStringList { u"--version"_s } << 0 << version;
        QTest::newRow("-v after Qt's -reverse, not read as -r -e -v")
            << QStringList { u"-reverse"_s, u"-v"_s } << 0 << version;
        QTest::newRow("--help with a file") << QStringList { u"--help"_s, u"a.txt"_s } << 0 << u"--version"_s;
        QTest::newRow("-h after -platform xcb")
            << QStringList { u"-platform"_s, u"xcb"_s, u"-h"_s } << 0 << u"files"_s;
        QTest::newRow("unknown option") << QStringList { u"--frobnicate"_s } << 2 << u"frobnicate"_s;
    }
    void commandsWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcessEnvironment clean; // no DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or bus
        clean.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
        clean.insert(u"HOME"_s, QDir::tempPath());
        const ProcessResult corvane = runProgram(corvaneProgram(), arguments, QByteArray(), 60000, clean);
        QCOMPARE(corvane.exitCode, exitCode); // -1 when it crashed or hung
        const QByteArray text = exitCode == 0 ? corvane.out : corvane.err;
        QVERIFY2(QString::fromLocal8Bit(text).contains(output), text.constData());
    }

    void secondLaunch_data()
    {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<bool>("stopFirst"); // a hung first Corvane
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<bool>("handsOver");
        QTest::addColumn<QStringList>("expected"); // the session's windows at the end
        const QString a = u"a.txt"_s, b = u"b.txt"_s;
        const QString scratchpad = u"Scratchpad"_s;
        const QString service = u"--gapplication-service"_s;
        // clang-format off
        QTest::newRow("bus: a new file and the open one") << Bus::Private << QStringList { a } << false << QStringList { b, a } << true << QStringList { a, b };
        QTest::newRow("bus: a folder opens like a file") << Bus::Private << QStringList { a } << false << QStringList { u"x"_s } << true << QStringList { a, u"x"_s };
        QTest::newRow("bus: the open file by another path") << Bus::Private << QStringList { a } << false << QStringList { u"./x/../a.txt"_s } << true << QStringList { a };
        QTest::newRow("bus: no file raises the window") << Bus::Private << QStringList { a } << false << QStringList {} << true << QStringList { a };
        QTest::newRow("bus: the scratchpad action") << Bus::Private << QStringList { a } << false << QStringList { u"--scratchpad"_s } << true << QStringList { scratchpad, a };
        QTest::newRow("bus: first one hung") << Bus::Private << QStringList { a } << true << QStringList { b } << false << QStringList { a, b };
        QTest::newRow("no bus address") << Bus::Unset << QStringList { a } << false << QStringList { b, a } << false << QStringList { a, a, b };
        QTest::newRow("no bus address, a user bus") << Bus::User << QStringList { a } << false << QStringList { b } << true << QStringList { a, b };
        QTest::newRow("no bus: a folder opens like a file") << Bus::Unset << QStringList { a } << false << QStringList { u"x"_s } << false << QStringList { a, u"x"_s };
        QTest::newRow("bus address leads nowhere") << Bus::Nowhere << QStringList { a } << false << QStringList { b } << false << QStringList { a, b };
        // Started by the bus for a launcher, it shows nothing until the request that follows.
        QTest::newRow("bus start, then Activate") << Bus::Private << QStringList { service } << false << QStringList {} << true << QStringList { u"Corvane"_s };
        QTest::newRow("bus start, then Open") << Bus::Private << QStringList { service } << false << QStringList { b } << true << QStringList { b };
        // clang-format on
    }
    void secondLaunch()
    {
        QFETCH(Bus, bus);
        QFETCH(QStringList, first);
        QFETCH(bool, stopFirst);
        QFETCH(QStringList, second);
        QFETCH(bool, handsOver);
        QFETCH(QStringList, expected);
        DesktopSession session(bus);
        const QString failure = prepare(session);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        QProcess *running = session.launch(first);
        if (first.contains(u"a.txt"_s)) {
            QTRY_COMPARE_WITH_TIMEOUT(windows(session), QStringList { u"a.txt"_s }, 60000);
        } else {
            QDBusConnection bus = QDBusConnection::connectToBus(
                session.busAddress(), QString::fromUtf8(QTest::currentDataTag()));
            QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(u"org.corvane.Corvane"_s), 60000);
            QDBusConnection::disconnectFromBus(QString::fromUtf8(QTest::currentDataTag()));
            QCOMPARE(windows(session), QStringList {});
        }
        if (stopFirst)
            QVERIFY(session.stopOutsideSettingsWrite(running));

        QProcess *later = session.launch(second);
        if (handsOver) {
            QVERIFY(later->waitForFinished(60000));
            QCOMPARE(later->exitStatus(), QProcess::NormalExit);
            QCOMPARE(later->exitCode(), 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), expected, 60000);
        QCOMPARE(later->state() == QProcess::Running, !handsOver);
        QCOMPARE(running->state(), QProcess::Running);
        QVERIFY(!session.autolaunchTried());
    }

    // Two launches at the same moment: the bus makes one the owner, and the other hands over to it.
    void simultaneousLaunchesEndWithOne()
    {
        DesktopSession session(Bus::Private);
        const QString failure = prepare(session);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QProcess *a = session.launch({ u"a.txt"_s });
        QProcess *b = session.launch({ u"b.txt"_s });
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), (QStringList { u"a.txt"_s, u"b.txt"_s }), 60000);
        QTRY_COMPARE_WITH_TIMEOUT(
            int(a->state() == QProcess::Running) + int(b->state() == QProcess::Running), 1, 60000);
        QProcess *ended = a->state() == QProcess::Running ? b : a;
        QCOMPARE(ended->exitStatus(), QProcess::NormalExit);
        QCOMPARE(ended->exitCode(), 0);
    }

    // Any program in the session may call Corvane as often and with as much as it likes: a flood of
    // files, actions and web addresses, then one request of a thousand files. Every call is answered at
    // once, no more windows open than the limit lets through, the failures make one alert, Corvane
    // lives on, and the text typed into its scratchpad before is on disk, even after a SIGKILL.
    void busRequestsNeitherNestNorFlood()
    {
        DesktopSession session(Bus::Private);
        const QString failure = prepare(session, "scratchpad=old\n");
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QStringList files;
        for (int i = 0; i < 4000; ++i) {
            QFile file(session.settingsDirectory() + u"/f%1"_s.arg(i));
            QVERIFY(file.open(QIODevice::WriteOnly));
            files.append(QUrl::fromLocalFile(file.fileName()).toString(QUrl::FullyEncoded));
        }
        QProcess *corvane = session.launch({ u"--scratchpad"_s });
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), QStringList { u"Scratchpad"_s }, 60000);
        QVERIFY(session.typeInto(u"Scratchpad"_s, u" typed"_s));
        const auto stored = [&session] {
            QFile file(session.settingsFile());
            return file.open(QIODevice::ReadOnly) && file.readAll().contains("scratchpad=old typed\n");
        };
        QTRY_VERIFY_WITH_TIMEOUT(stored(), 60000); // without quitting

        QDBusConnection bus = QDBusConnection::connectToBus(session.busAddress(), u"flood"_s);
        const auto call = [&bus](const QString &method, const QVariantList &arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(u"org.corvane.Corvane"_s,
                u"/org/corvane/Corvane"_s, u"org.freedesktop.Application"_s, method);
            message.setArguments(arguments);
            return bus.asyncCall(message, 120000);
        };
        const QVariant noData = QVariantMap();
        QElapsedTimer flooding;
        flooding.start();
        QList<QDBusPendingCall> floods; // each opening a window of its own: another file, or a scratchpad
        for (int i = 0; i < 4000; ++i) {
            floods.append(i % 20 == 19
                    ? call(u"ActivateAction"_s, { u"scratchpad"_s, QVariantList(), noData })
                    : call(u"Open"_s, { QStringList { files[i] }, noData }));
        }
        int taken = 0;
        for (QDBusPendingCall &pending : floods) {
            pending.waitForFinished();
            if (!pending.isError()) {
                ++taken;
                continue;
            }
            QCOMPARE(pending.error().type(), QDBusError::LimitsExceeded); // answered, not timed out
            QVERIFY2(pending.error().message().contains(u"200"_s), qPrintable(pending.error().message()));
        }
        // At most 200 in any ten seconds, however long the flood took to answer.
        QVERIFY2(
            taken > 0 && taken <= 200 * (1 + flooding.elapsed() / 10000), qPrintable(QString::number(taken)));
        QTRY_COMPARE_WITH_TIMEOUT(windows(session).size(), 1 + taken, 120000);

        QList<QDBusPendingCall> refused;
        for (int i = 0; i < 1000; ++i)
            refused.append(call(u"Open"_s, { QStringList { u"http://example.com/%1"_s.arg(i) }, noData }));
        refused.append(call(u"Open"_s, { files.mid(0, 1000), noData }));
        refused.append(call(u"Open"_s, { QStringList { u"file:///home/ann/t%00.evil"_s }, noData }));
        for (QDBusPendingCall &pending : refused)
            pending.waitForFinished();
        QCOMPARE(refused.last().error().type(), QDBusError::InvalidArgs);
        QVERIFY(refused[refused.size() - 2].error().message().contains(u"100"_s));
        QTRY_COMPARE_WITH_TIMEOUT(windows(session).count(u"Corvane"_s), 1, 60000); // the one alert

        QDBusConnection::disconnectFromBus(u"flood"_s);
        QCOMPARE(corvane->state(), QProcess::Running);
        QCOMPARE(windows(session).count(u"Corvane"_s), 1);

        // A later launch asking for more than one request may hold is told so, and opens nothing.
        QProcess *later = session.launch(QStringList(101, u"b.txt"_s));
        QVERIFY(later->waitForFinished(60000));
        QCOMPARE(later->exitCode(), 1);
        QVERIFY(later->readAllStandardError().contains("at most 100 files"));

        QCOMPARE(::kill(pid_t(corvane->processId()), SIGKILL), 0);
        QVERIFY(corvane->waitForFinished(60000));
        QVERIFY(stored());
    }

    // Without a bus, text typed into the first Corvane's scratchpad is what the settings hold once both
    // Corvanes have quit, in whichever order, the second one never having touched the text.
    void scratchpadTextSurvives_data()
    {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<bool>("typedInQuitsLast");
        QTest::newRow("no bus, the one typed in quits first") << Bus::Unset << false;
        QTest::newRow("no bus, the one typed in quits last") << Bus::Unset << true;
    }
    void scratchpadTextSurvives()
    {
        QFETCH(Bus, bus);
        QFETCH(bool, typedInQuitsLast);
        DesktopSession session(bus);
        const QString failure = prepare(session, "scratchpad=old\n");
        QVERIFY2(failure.isEmpty(), qPrintable(failure));

        QProcess *first = session.launch({ u"--scratchpad"_s });
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), QStringList { u"Scratchpad"_s }, 60000);
        QVERIFY(session.typeInto(u"Scratchpad"_s, u" typed"_s));
        QProcess *second = session.launch({ u"b.txt"_s });
        QTRY_VERIFY_WITH_TIMEOUT(windows(session).contains(u"b.txt"_s), 60000);

        QList<QProcess *> quitOrder { first, second };
        if (typedInQuitsLast)
            std::swap(quitOrder[0], quitOrder[1]);
        for (QProcess *process : quitOrder) {
            if (process->state() != QProcess::Running)
                continue; // handed over at launch
            QCOMPARE(::kill(pid_t(process->processId()), SIGTERM), 0);
            QVERIFY(process->waitForFinished(60000));
            QCOMPARE(process->exitCode(), 0);
        }
        QCOMPARE(QSettings(session.settingsFile(), QSettings::IniFormat).value(u"scratchpad"_s).toString(),
            u"old typed"_s);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
