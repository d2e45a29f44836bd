#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QUrl>

#include "BuildConfig.h"
#include "support/DesktopSession.h"
#include "support/TestSupport.h"

#include <csignal>

using corvane::test::corvaneProgram;
using corvane::test::DesktopSession;
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
        QTest::newRow("unknown option") << QStringList { u"--frobnicate"_s } << 1 << u"frobnicate"_s;
    }
    void commandsWithoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcess corvane;
        QProcessEnvironment clean;
        clean.insert(u"PATH"_s, qEnvironmentVariable("PATH"));
        clean.insert(u"HOME"_s, QDir::tempPath());
        corvane.setProcessEnvironment(clean); // no DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM or bus
        corvane.start(corvaneProgram(), arguments);
        QVERIFY(corvane.waitForFinished(60000));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(corvane.exitCode(), exitCode);
        const QByteArray text
            = exitCode == 0 ? corvane.readAllStandardOutput() : corvane.readAllStandardError();
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
        QTest::newRow("bus: the open file by another path") << Bus::Private << QStringList { a } << false << QStringList { u"./x/../a.txt"_s } << true << QStringList { a };
        QTest::newRow("bus: no file raises the window") << Bus::Private << QStringList { a } << false << QStringList {} << true << QStringList { a };
        QTest::newRow("bus: the scratchpad action") << Bus::Private << QStringList { a } << false << QStringList { u"--scratchpad"_s } << true << QStringList { scratchpad, a };
        QTest::newRow("bus: first one hung") << Bus::Private << QStringList { a } << true << QStringList { b } << false << QStringList { a, b };
        QTest::newRow("no bus address") << Bus::Unset << QStringList { a } << false << QStringList { b, a } << false << QStringList { a, a, b };
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
            QCOMPARE(::kill(pid_t(running->processId()), SIGSTOP), 0);

        QProcess *later = session.launch(second);
        if (handsOver) {
            QVERIFY(later->waitForFinished(60000));
            QCOMPARE(later->exitStatus(), QProcess::NormalExit);
            QCOMPARE(later->exitCode(), 0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), expected, 60000);
        QCOMPARE(later->state() == QProcess::Running, !handsOver);
        QCOMPARE(running->state(), QProcess::Running);
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

    // What any program on the session bus may send is bounded: a flood of files is refused whole, a
    // name longer than any path is passed over, and the rest of the request still opens.
    void openRequestsAreBounded()
    {
        DesktopSession session(Bus::Private);
        const QString failure = prepare(session);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        session.launch({ u"a.txt"_s });
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), QStringList { u"a.txt"_s }, 60000);

        QDBusConnection bus = QDBusConnection::connectToBus(session.busAddress(), u"caller"_s);
        const QString b = QUrl::fromLocalFile(session.settingsDirectory() + u"/b.txt"_s).toString();
        const auto open = [&bus](const QStringList &uris) {
            QDBusMessage call = QDBusMessage::createMethodCall(u"org.corvane.Corvane"_s,
                u"/org/corvane/Corvane"_s, u"org.freedesktop.Application"_s, u"Open"_s);
            call << uris << QVariantMap();
            return bus.call(call, QDBus::Block, 60000).type();
        };
        QCOMPARE(open(QStringList(1001, b)), QDBusMessage::ErrorMessage);
        const QString tooLong = u"file:///"_s + QString(20000, u'x');
        QCOMPARE(open({ tooLong, b }), QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(windows(session), (QStringList { u"a.txt"_s, u"b.txt"_s }), 60000);
        QDBusConnection::disconnectFromBus(u"caller"_s);
    }

    // Text typed into the first Corvane's scratchpad is what the settings hold once every Corvane has
    // quit, in whichever order, also when a second one that never touched the text ran beside it.
    void scratchpadTextSurvives_data()
    {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<bool>("typedInQuitsLast");
        QTest::newRow("bus") << Bus::Private << true;
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
