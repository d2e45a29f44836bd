#include <QTest>

#include "app/AppDelegate.h"
#include "settings/Preferences.h"
#include "support/SettingsSandbox.h"
#include "window/ApplicationActions.h"

#include <QFile>

#include <memory>

#include <sys/stat.h>

using corvane::AppDelegate;
namespace Key = corvane::PreferenceKey;

// The launch and termination routines against a real settings file and a set clock.
class TestLaunch : public QObject {
    Q_OBJECT
    std::unique_ptr<corvane::test::SettingsSandbox> m_settings;

private slots:
    void init() { m_settings = std::make_unique<corvane::test::SettingsSandbox>(); }

    void schedule_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("ago"); // of the last check; NaN: none recorded
        QTest::addColumn<int>("checks");
        QTest::addColumn<double>("intervalAfter");
        const double none = qQNaN();
        // clang-format off
        QTest::newRow("first launch") << QByteArray() << none << 1 << 43200.0;
        QTest::newRow("inside the interval") << QByteArray() << 43199.0 << 0 << 43200.0;
        QTest::newRow("exactly the interval") << QByteArray() << 43200.0 << 0 << 43200.0;
        QTest::newRow("opted out") << QByteArray("noUpdateCheck=true\n") << 1e6 << 0 << 43200.0;
        QTest::newRow("interval 0.5") << QByteArray("updateCheckInt=0.5\n") << 100.0 << 0 << 43200.0;
        QTest::newRow("negative interval") << QByteArray("updateCheckInt=-5\n") << 5e4 << 1 << 43200.0;
        QTest::newRow("interval 1.0, 1.5 s later") << QByteArray("updateCheckInt=1\n") << 1.5 << 1 << 1.0;
        QTest::newRow("nan interval") << QByteArray("updateCheckInt=nan\n") << 5e4 << 1 << 43200.0;
        QTest::newRow("last check of text") << QByteArray("dateLastUpdateCheck=monday\n") << none << 1 << 43200.0;
        QTest::newRow("opt-out of text") << QByteArray("noUpdateCheck=perhaps\n") << none << 1 << 43200.0;
        // clang-format on
    }
    void schedule()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, ago);
        QFETCH(int, checks);
        // The clock reads `launch` first and a quarter second more at each further reading: the time
        // recorded is taken after the check was started.
        const double launch = 800000000.25;
        const QByteArray last = "dateLastUpdateCheck=" + QByteArray::number(launch - ago, 'g', 17) + "\n";
        QVERIFY(m_settings->write(stored + (qIsNaN(ago) ? QByteArray() : last)));
        corvane::ApplicationActions actions;
        AppDelegate delegate(actions);
        int started = 0;
        double clock = launch;
        delegate.setClockForTesting([&clock] { return (clock += 0.25) - 0.25; });
        delegate.setUpdateCheckForTesting([&started] { ++started; });
        delegate.applicationDidFinishLaunching();
        QCOMPARE(started, checks);

        const QVariant lastCheck = m_settings->onDisk(Key::dateLastUpdateCheck);
        QVERIFY(lastCheck.isValid());
        // exactly, not fuzzily: the time must survive the file
        QVERIFY(lastCheck.toDouble() == (checks ? launch + 0.25 : launch - ago));
        QTEST(m_settings->onDisk(Key::updateCheckInterval).toDouble(), "intervalAfter");
        QCOMPARE(m_settings->onDisk(Key::noUpdateCheck).toString(),
            stored == "noUpdateCheck=true\n" ? QStringLiteral("true") : QStringLiteral("false"));
    }

    void scratchpadTextLoadedAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("line"); // written by hand; null: the text is stored by the app
        QTest::addColumn<QString>("text"); // what the launch loads
        QTest::newRow("none stored") << QByteArray("") << QString();
        QTest::newRow("list is not a text") << QByteArray("scratchpad=a, b\n") << QString();
        QTest::newRow("line breaks, settings lookalikes, non-ASCII")
            << QByteArray()
            << QStringLiteral("one\ntwo\r\n@Variant(\\0) [General] a, \"b\" C:\\x Grüße 日本語 🙂\n");
    }
    void scratchpadTextLoadedAndWrittenBack()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QVERIFY(m_settings->write("noUpdateCheck=true\n" + line));
        if (line.isNull())
            corvane::Preferences().setString(Key::scratchpad, text);

        // Two launches, each from what the last left on disk: the text is loaded before any scratchpad
        // exists, and quitting without one writes it back unchanged, the empty text as a text.
        for (int launch = 0; launch < 2; ++launch) {
            QVERIFY(m_settings->relaunch());
            corvane::ApplicationActions actions;
            AppDelegate delegate(actions);
            delegate.setUpdateCheckForTesting([] { QFAIL("opted out"); });
            delegate.applicationDidFinishLaunching();
            QCOMPARE(delegate.scratchpadText().text(), text);
            delegate.applicationWillTerminate();
            QCOMPARE(m_settings->onDisk(Key::scratchpad).typeId(), QMetaType::QString);
            QCOMPARE(m_settings->onDisk(Key::scratchpad).toString(), text);
        }
    }

    // Each write locks, rewrites and renames the file: a launch and quit that change no value leave it
    // as it was, the same file, not a rewritten copy.
    void unchangedValuesAreNotRewritten()
    {
        QVERIFY(m_settings->write("noUpdateCheck=false\nupdateCheckInt=43200\ndateLastUpdateCheck=800000000\n"
                                  "scratchpad=kept\n"));
        struct stat before = {}, after = {};
        QCOMPARE(::stat(QFile::encodeName(m_settings->file()).constData(), &before), 0);
        corvane::ApplicationActions actions;
        AppDelegate delegate(actions);
        delegate.setClockForTesting([] { return 800000001.0; });
        delegate.setUpdateCheckForTesting([] { QFAIL("not due"); });
        delegate.applicationDidFinishLaunching();
        delegate.applicationWillTerminate();
        QCOMPARE(::stat(QFile::encodeName(m_settings->file()).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        QCOMPARE(m_settings->onDisk(Key::scratchpad).toString(), QStringLiteral("kept"));
    }
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
