#include <QTest>

#include "app/AppDelegate.h"
#include "app/Preferences.h"
#include "support/SettingsSandbox.h"

#include <memory>

using corvane::AppDelegate;
using corvane::Preferences;
using corvane::test::SettingsSandbox;
namespace Key = corvane::PreferenceKey;

// The launch and termination routines against a real settings file in
// a temporary directory and a set clock.
class TestLaunch : public QObject {
    Q_OBJECT
    std::unique_ptr<SettingsSandbox> m_settings;

private slots:
    void init() { m_settings = std::make_unique<SettingsSandbox>(); }

    void schedule_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("checks");
        QTest::addColumn<QVariant>("lastCheckAfter"); // invalid: absent
        QTest::addColumn<double>("intervalAfter");
        QTest::addColumn<QString>("optOutAfter");
        // The clock reads 800000000.25 at launch and a quarter second more at each further reading: the
        // time recorded is taken after the check was started.
        const QVariant recorded(800000000.5);
        const auto last = [](double ago) {
            return "dateLastUpdateCheck=" + QByteArray::number(800000000.25 - ago, 'g', 17) + "\n";
        };
        const auto at = [](double ago) { return QVariant(800000000.25 - ago); };
        const QString no = QStringLiteral("false"), yes = QStringLiteral("true");

        QTest::newRow("first launch") << QByteArray() << 1 << recorded << 43200.0 << no;
        QTest::newRow("inside the interval") << last(43199) << 0 << at(43199) << 43200.0 << no;
        QTest::newRow("exactly the interval") << last(43200) << 0 << at(43200) << 43200.0 << no;
        QTest::newRow("just past the interval") << last(43200.5) << 1 << recorded << 43200.0 << no;
        QTest::newRow("opted out") << "noUpdateCheck=true\n" + last(1e6) << 0 << at(1e6) << 43200.0 << yes;
        QTest::newRow("interval 0.5") << "updateCheckInt=0.5\n" + last(100) << 0 << at(100) << 43200.0 << no;
        QTest::newRow("negative interval")
            << "updateCheckInt=-5\n" + last(5e4) << 1 << recorded << 43200.0 << no;
        QTest::newRow("interval 1.0, 1.5 s later")
            << "updateCheckInt=1\n" + last(1.5) << 1 << recorded << 1.0 << no;
        QTest::newRow("interval 1.0, 1 s later") << "updateCheckInt=1\n" + last(1) << 0 << at(1) << 1.0 << no;
        QTest::newRow("clock set back") << last(-5000) << 0 << at(-5000) << 43200.0 << no;
        QTest::newRow("nan interval") << "updateCheckInt=nan\n" + last(5e4) << 1 << recorded << 43200.0 << no;
        QTest::newRow("last check of text")
            << QByteArray("dateLastUpdateCheck=monday\n") << 1 << recorded << 43200.0 << no;
        QTest::newRow("opt-out of text")
            << QByteArray("noUpdateCheck=perhaps\n") << 1 << recorded << 43200.0 << no;
    }
    void schedule()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, checks);
        QFETCH(QVariant, lastCheckAfter);
        QFETCH(double, intervalAfter);
        QFETCH(QString, optOutAfter);
        QVERIFY(m_settings->write(stored));

        AppDelegate delegate;
        int started = 0;
        double clock = 800000000.25;
        delegate.setClockForTesting([&clock] { return (clock += 0.25) - 0.25; });
        delegate.setUpdateCheckForTesting([&started] { ++started; });
        delegate.applicationDidFinishLaunching();
        QCOMPARE(started, checks);

        const QVariant lastCheck = m_settings->onDisk(Key::dateLastUpdateCheck);
        QCOMPARE(lastCheck.isValid(), lastCheckAfter.isValid());
        if (lastCheck.isValid()) // exactly, not fuzzily: the time must survive the file
            QVERIFY(lastCheck.toDouble() == lastCheckAfter.toDouble());
        QCOMPARE(m_settings->onDisk(Key::updateCheckInterval).toDouble(), intervalAfter);
        QCOMPARE(m_settings->onDisk(Key::noUpdateCheck).toString(), optOutAfter);
    }

    void scratchpadTextLoadedAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("line"); // written by hand; empty: the text is stored by the app
        QTest::addColumn<QString>("text"); // what the launch loads
        QTest::newRow("none stored") << QByteArray("") << QString();
        QTest::newRow("empty text") << QByteArray("scratchpad=\n") << QString();
        QTest::newRow("list is not a text") << QByteArray("scratchpad=a, b\n") << QString();
        QTest::newRow("line breaks") << QByteArray() << QStringLiteral("one\ntwo\r\nthree\n");
        QTest::newRow("settings lookalikes")
            << QByteArray() << QStringLiteral("@Variant(\\0) [General] a, \"b\" C:\\x");
        QTest::newRow("non-ASCII") << QByteArray() << QStringLiteral("Grüße – 日本語 🙂");
    }
    void scratchpadTextLoadedAndWrittenBack()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QVERIFY(m_settings->write("noUpdateCheck=true\n" + line));
        if (line.isNull())
            Preferences().setString(Key::scratchpad, text);

        // Two launches, each from what the last left on disk: the text is loaded before any scratchpad
        // exists, and quitting without one writes it back unchanged, the empty text as a text.
        for (int launch = 0; launch < 2; ++launch) {
            QVERIFY(m_settings->relaunch());
            AppDelegate delegate;
            delegate.setUpdateCheckForTesting([] { QFAIL("opted out"); });
            delegate.applicationDidFinishLaunching();
            QCOMPARE(delegate.scratchpadContents, text);
            delegate.applicationWillTerminate();
            QCOMPARE(m_settings->onDisk(Key::scratchpad).typeId(), QMetaType::QString);
            QCOMPARE(m_settings->onDisk(Key::scratchpad).toString(), text);
        }
    }
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
