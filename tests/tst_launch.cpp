#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/AppDelegate.h"
#include "app/LaunchSchedule.h"
#include "app/Preferences.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

using corvane::AppDelegate;
using corvane::Preferences;
namespace Key = corvane::PreferenceKey;

// The launch routine and the typed preference reads, against a real settings file in a temporary
// directory and a set clock.
class TestLaunch : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QTemporaryDir>> m_copies;

    QString settingsFile() const { return m_dir->filePath(QStringLiteral("Corvane/Corvane.conf")); }

    // Writes the settings file by hand, the way a user or another program might leave it.
    void writeSettingsFile(const QByteArray &lines)
    {
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("Corvane"))));
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\n" + lines);
    }

    // QSettings keeps what it last wrote for a file in memory, so reading the same path again would not
    // show what reached the disk. A copy under another name is parsed afresh from its bytes.
    std::unique_ptr<QSettings> readFromDisk()
    {
        m_copies.push_back(std::make_unique<QTemporaryDir>());
        const QString copy = m_copies.back()->filePath(QStringLiteral("copy.conf"));
        if (!QFile::copy(settingsFile(), copy))
            return nullptr;
        return std::make_unique<QSettings>(copy, QSettings::IniFormat);
    }

    // Starts the next launch from what the last one left on disk.
    void relaunchFromDisk()
    {
        auto fresh = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(fresh->filePath(QStringLiteral("Corvane"))));
        QVERIFY(QFile::copy(settingsFile(), fresh->filePath(QStringLiteral("Corvane/Corvane.conf"))));
        m_copies.push_back(std::move(m_dir));
        m_dir = std::move(fresh);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    }

private slots:
    void init()
    {
        // A fresh directory per case, so no case sees a settings file another case left or cached.
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    }

    void typedReads_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<double>("asDouble");
        QTest::addColumn<QVariant>("asString");   // invalid: no string

        const QVariant none;
        QTest::newRow("absent") << QByteArray() << false << 0.0 << none;
        QTest::newRow("true") << QByteArray("true") << true << 0.0 << QVariant(QStringLiteral("true"));
        QTest::newRow("false") << QByteArray("false") << false << 0.0 << QVariant(QStringLiteral("false"));
        QTest::newRow("YES") << QByteArray("YES") << true << 0.0 << QVariant(QStringLiteral("YES"));
        QTest::newRow("number one") << QByteArray("1") << true << 1.0 << QVariant(QStringLiteral("1"));
        QTest::newRow("decimal") << QByteArray("12.5") << false << 12.5 << QVariant(QStringLiteral("12.5"));
        QTest::newRow("exponent") << QByteArray("4.32e4") << false << 43200.0
                                  << QVariant(QStringLiteral("4.32e4"));
        QTest::newRow("negative") << QByteArray("-3") << false << -3.0 << QVariant(QStringLiteral("-3"));
        QTest::newRow("word") << QByteArray("abc") << false << 0.0 << QVariant(QStringLiteral("abc"));
        QTest::newRow("nan is no number") << QByteArray("nan") << false << 0.0 << QVariant(QStringLiteral("nan"));
        QTest::newRow("inf is no number") << QByteArray("inf") << false << 0.0 << QVariant(QStringLiteral("inf"));
        QTest::newRow("empty text") << QByteArray("") << false << 0.0 << QVariant(QString());
        QTest::newRow("list is no string") << QByteArray("a, b") << false << 0.0 << none;
        QTest::newRow("bytes are no string") << QByteArray("@ByteArray(abc)") << false << 0.0 << none;
        QTest::newRow("rectangle is nothing") << QByteArray("@Rect(1 2 3 4)") << false << 0.0 << none;
    }
    void typedReads()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, asBool);
        QFETCH(double, asDouble);
        QFETCH(QVariant, asString);
        if (!stored.isNull())
            writeSettingsFile("value=" + stored + "\n");

        const Preferences preferences;
        const QString key = QStringLiteral("value");
        QCOMPARE(preferences.boolForKey(key), asBool);
        QCOMPARE(preferences.doubleForKey(key), asDouble);
        const std::optional<QString> text = preferences.stringForKey(key);
        QCOMPARE(text.has_value(), asString.isValid());
        if (text)
            QCOMPARE(*text, asString.toString());
    }

    void doublesSurviveTheFileExactly_data()
    {
        QTest::addColumn<double>("value");
        QTest::newRow("a time with microseconds") << 786543210.123456;
        QTest::newRow("one tenth") << 0.1;
        QTest::newRow("smallest step above 12") << std::nextafter(12.0, 13.0);
        QTest::newRow("large") << 1.0e300;
    }
    void doublesSurviveTheFileExactly()
    {
        QFETCH(double, value);
        {
            Preferences writer;
            writer.setDouble(Key::dateLastUpdateCheck, value);
            writer.sync();
        }
        relaunchFromDisk();
        const double read = Preferences().doubleForKey(Key::dateLastUpdateCheck);
        QVERIFY2(std::memcmp(&read, &value, sizeof value) == 0, qPrintable(QString::number(read, 'g', 17)));
    }

    void schedule_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("now");
        QTest::addColumn<int>("checks");
        QTest::addColumn<QVariant>("lastCheckAfter");   // invalid: absent
        QTest::addColumn<double>("intervalAfter");
        QTest::addColumn<bool>("optOutAfter");

        const double now = 800000000.0;
        // The clock moves on by a quarter second at each reading: the time recorded is taken after the
        // check was started.
        const QVariant recorded(now + 0.25);
        const QVariant absent;
        const auto last = [](double t) { return QByteArray("dateLastUpdateCheck=") + QByteArray::number(t, 'g', 17) + '\n'; };

        QTest::newRow("first launch") << QByteArray() << now << 1 << recorded << 43200.0 << false;
        QTest::newRow("second launch inside the interval")
            << last(now - 43199.0) << now << 0 << QVariant(now - 43199.0) << 43200.0 << false;
        QTest::newRow("exactly the interval is not due")
            << last(now - 43200.0) << now << 0 << QVariant(now - 43200.0) << 43200.0 << false;
        QTest::newRow("just past the interval") << last(now - 43200.5) << now << 1 << recorded << 43200.0 << false;
        QTest::newRow("opted out, never checked")
            << QByteArray("noUpdateCheck=true\n") << now << 0 << absent << 43200.0 << true;
        QTest::newRow("opted out, long overdue") << QByteArray("noUpdateCheck=true\n") + last(1.0) << now << 0
                                                 << QVariant(1.0) << 43200.0 << true;
        QTest::newRow("opted back in") << QByteArray("noUpdateCheck=false\n") << now << 1 << recorded << 43200.0
                                       << false;
        QTest::newRow("interval 0.5 means 12 hours")
            << QByteArray("updateCheckInt=0.5\n") + last(now - 100.0) << now << 0 << QVariant(now - 100.0)
            << 43200.0 << false;
        QTest::newRow("negative interval means 12 hours")
            << QByteArray("updateCheckInt=-5\n") + last(now - 50000.0) << now << 1 << recorded << 43200.0
            << false;
        QTest::newRow("interval 1.0 stays, due after 1.5 s")
            << QByteArray("updateCheckInt=1\n") + last(now - 1.5) << now << 1 << recorded << 1.0 << false;
        QTest::newRow("interval 1.0, exactly one second is not due")
            << QByteArray("updateCheckInt=1\n") + last(now - 1.0) << now << 0 << QVariant(now - 1.0) << 1.0
            << false;
        QTest::newRow("a day's interval is kept") << QByteArray("updateCheckInt=86400\n") + last(now - 50000.0)
                                                  << now << 0 << QVariant(now - 50000.0) << 86400.0 << false;
        QTest::newRow("last check in the future, clock set back")
            << last(now + 5000.0) << now << 0 << QVariant(now + 5000.0) << 43200.0 << false;
        QTest::newRow("interval of text reads as absent")
            << QByteArray("updateCheckInt=daily\n") + last(now - 50000.0) << now << 1 << recorded << 43200.0
            << false;
        QTest::newRow("nan interval reads as absent")
            << QByteArray("updateCheckInt=nan\n") + last(now - 50000.0) << now << 1 << recorded << 43200.0
            << false;
        QTest::newRow("last check of text reads as never")
            << QByteArray("dateLastUpdateCheck=yesterday\n") << now << 1 << recorded << 43200.0 << false;
        QTest::newRow("infinite last check reads as never")
            << QByteArray("dateLastUpdateCheck=inf\n") << now << 1 << recorded << 43200.0 << false;
        QTest::newRow("opt-out of text reads as false")
            << QByteArray("noUpdateCheck=perhaps\n") << now << 1 << recorded << 43200.0 << false;
    }
    void schedule()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, now);
        QFETCH(int, checks);
        QFETCH(QVariant, lastCheckAfter);
        QFETCH(double, intervalAfter);
        QFETCH(bool, optOutAfter);
        writeSettingsFile(stored);

        AppDelegate delegate;
        int started = 0;
        double clock = now;
        delegate.setClockForTesting([&clock] {
            const double reading = clock;
            clock += 0.25;
            return reading;
        });
        delegate.setUpdateCheckForTesting([&started] { ++started; });
        delegate.applicationDidFinishLaunching();
        QCOMPARE(started, checks);
        QVERIFY(delegate.scratchpadContents.isEmpty());

        const auto disk = readFromDisk();
        QVERIFY(disk);
        QSettings &file = *disk;
        QCOMPARE(file.contains(Key::dateLastUpdateCheck), lastCheckAfter.isValid());
        if (lastCheckAfter.isValid())
            QCOMPARE(file.value(Key::dateLastUpdateCheck).toDouble(), lastCheckAfter.toDouble());
        QCOMPARE(file.value(Key::updateCheckInterval).toDouble(), intervalAfter);
        QCOMPARE(file.value(Key::noUpdateCheck).toString(), optOutAfter ? QStringLiteral("true")
                                                                        : QStringLiteral("false"));
    }

    void savedTextLoadedAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("stored");      // the line in the settings file, empty for none
        QTest::addColumn<QString>("text");           // what the scratchpad holds
        QTest::addColumn<QString>("written");        // what termination leaves in the file

        QTest::newRow("no stored text") << QByteArray() << QString() << QString();
        QTest::newRow("empty text") << QByteArray("scratchpad=\n") << QString() << QString();
        QTest::newRow("list of words is not a text") << QByteArray("scratchpad=a, b\n") << QString() << QString();
        QTest::newRow("bytes are not a text") << QByteArray("scratchpad=@ByteArray(x)\n") << QString() << QString();
    }
    void savedTextLoadedAndWrittenBack()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, text);
        QFETCH(QString, written);
        writeSettingsFile("noUpdateCheck=true\n" + stored);

        {
            AppDelegate delegate;
            delegate.setUpdateCheckForTesting([] { QFAIL("no check when opted out"); });
            delegate.applicationDidFinishLaunching();
            QCOMPARE(delegate.scratchpadContents, text);
            delegate.applicationWillTerminate();
        }
        const auto disk = readFromDisk();
        QVERIFY(disk);
        QSettings &file = *disk;
        // Always written, the empty text included: an empty scratchpad is a state to keep, not a removal.
        QVERIFY(file.contains(Key::scratchpad));
        QCOMPARE(file.value(Key::scratchpad).typeId(), QMetaType::QString);
        QCOMPARE(file.value(Key::scratchpad).toString(), written);
    }

    void textsRoundTripUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("shopping: milk");
        QTest::newRow("commas and quotes") << QStringLiteral("a, b \"c\" 'd'; e=f");
        QTest::newRow("line breaks") << QStringLiteral("one\ntwo\r\nthree\n");
        QTest::newRow("looks like a settings value") << QStringLiteral("@Variant(\\0\\0) @ByteArray(x)");
        QTest::newRow("backslashes and brackets") << QStringLiteral("C:\\temp\\new [General]");
        QTest::newRow("non-ASCII") << QStringLiteral("Grüße – 日本語 🙂");
        QTest::newRow("only spaces") << QStringLiteral("   ");
    }
    void textsRoundTripUnchanged()
    {
        QFETCH(QString, text);
        Preferences writer;
        writer.setString(Key::scratchpad, text);
        writer.setBool(Key::noUpdateCheck, true);
        writer.sync();

        // A launch loads the text before any scratchpad exists, and a quit writes the same text back.
        for (int launch = 0; launch < 2; ++launch) {
            relaunchFromDisk();
            AppDelegate delegate;
            delegate.applicationDidFinishLaunching();
            QCOMPARE(delegate.scratchpadContents, text);
            delegate.applicationWillTerminate();
        }
    }

    void untitledDocumentIsNeverWanted()
    {
        AppDelegate delegate;
        QVERIFY(!delegate.applicationShouldOpenUntitledFile());
    }
};

QTEST_MAIN(TestLaunch)
#include "tst_launch.moc"
