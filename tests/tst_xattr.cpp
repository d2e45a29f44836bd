#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "attributes/AttributeListing.h"
#include "attributes/AttributeWatcher.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvane;
using namespace Qt::StringLiterals;
using corvane::test::runProgram;

namespace {

const QString keywords = u"com.apple.metadata:kMDItemKeywords"_s;
const QByteArray keywordsOnDisk = "user.com.apple.metadata:kMDItemKeywords"_ba;
// plistlib's binary property list of the string "tag", as the editor stores it.
const QByteArray typicalValue = QByteArray::fromHex(
    "62706c69737430305374616708000000000000010100000000000000010000000000000000000000000000000c");

QByteArray allByteValues(int size)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes += char(i);
    return bytes;
}

// Every attribute of the file as getfattr reports it (it escapes only '=', '\\' and unprintable bytes
// in names, which no test uses).
QMap<QByteArray, QByteArray> getfattrDump(const QString &path)
{
    const auto result
        = runProgram(u"getfattr"_s, { u"-d"_s, u"-m-"_s, u"-ehex"_s, u"--absolute-names"_s, path });
    QMap<QByteArray, QByteArray> attributes;
    for (const QByteArray &line : result.out.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (!line.startsWith('#') && equals > 0)
            attributes.insert(line.left(equals), QByteArray::fromHex(line.mid(equals + 3)));
    }
    return attributes;
}

void compareError(const PosixError &error, int expectedCode)
{
    QCOMPARE(error.code, expectedCode);
    QCOMPARE(error.domain, u"NSPOSIXErrorDomain"_s);
    QCOMPARE(error.description, QString::fromLocal8Bit(std::strerror(expectedCode)));
}

} // namespace

class TestXattr : public QObject {
    Q_OBJECT
    std::unique_ptr<corvane::test::TestFiles> m_files;
    QString m_path;
    QUrl m_url;
    struct stat m_before = {};
    bool m_immutable = false;

private slots:
    void init()
    {
        m_files = std::make_unique<corvane::test::TestFiles>();
        m_path = m_files->make(u"subject.txt"_s, "the file's own data\n");
        m_url = QUrl::fromLocalFile(m_path);
        QCOMPARE(::stat(QFile::encodeName(m_path).constData(), &m_before), 0);
    }

    // Whatever a test did to the attributes, the file's data and modification time are as they were.
    void cleanup()
    {
        detail::setBetweenListProbeAndFetchHookForTesting({});
        if (std::exchange(m_immutable, false))
            runProgram(u"chattr"_s, { u"-i"_s, m_path });
        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(m_path).constData(), &after), 0);
        QCOMPARE(after.st_mtim.tv_sec, m_before.st_mtim.tv_sec);
        QCOMPARE(after.st_mtim.tv_nsec, m_before.st_mtim.tv_nsec);
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), "the file's own data\n"_ba);
    }

    // Written, replaced, read and removed by us, seen by getfattr, set by setfattr and read by us.
    void roundTrips_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        const QString file = u"subject.txt"_s;
        // clang-format off
        QTest::newRow("typical value replaced by a longer one") << file << keywords << keywordsOnDisk << typicalValue << allByteValues(300);
        QTest::newRow("NUL and high bytes, then shorter") << file << u"user.b"_s << "user.b"_ba << allByteValues(256) << QByteArray("x");
        QTest::newRow("null empty value, then a value") << file << keywords << keywordsOnDisk << QByteArray() << typicalValue;
        QTest::newRow("value replaced by an empty one") << file << keywords << keywordsOnDisk << typicalValue << QByteArray("");
        QTest::newRow("non-ASCII name") << file << u"com.example.café 日本"_s << u"user.com.example.café 日本"_s.toUtf8() << QByteArray("\0\xff", 2) << QByteArray("b");
        QTest::newRow("255-byte name with its prefix") << file << QString(250, u'n') << "user." + QByteArray(250, 'n') << QByteArray("a") << allByteValues(100);
        QTest::newRow("through a symbolic link, acting on its target") << u"link"_s << keywords << keywordsOnDisk << typicalValue << QByteArray("b");
        // clang-format on
    }
    void roundTrips()
    {
        QFETCH(QString, via);
        QFETCH(QString, name);
        QFETCH(QByteArray, onDisk);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QVERIFY(QFile::link(m_path, m_files->path(u"link"_s)));
        const QUrl url = m_files->url(via);
        for (const QByteArray &value : { first, second }) {
            QCOMPARE(writeExtendedAttribute(url, name, value).value_or(PosixError()).description, QString());
            QCOMPARE(getfattrDump(m_path), (QMap<QByteArray, QByteArray> { { onDisk, value } }));
            QCOMPARE(readExtendedAttribute(url, name), value);
        }
        QVERIFY(!removeExtendedAttribute(url, name));
        QVERIFY(getfattrDump(m_path).isEmpty());
        PosixError error;
        QVERIFY(!readExtendedAttribute(url, name, &error));
        compareError(error, ENODATA);
        QVERIFY(corvane::test::setAttributeWithTool(m_path, QString::fromUtf8(onDisk), first + '+'));
        QCOMPARE(readExtendedAttribute(url, name), first + '+');
    }

    void refusals_data()
    {
        QTest::addColumn<char>("operation");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const QString here = u"subject.txt"_s, longName(251, u'n');
        QTest::newRow("read of an absent attribute") << 'r' << here << keywords << ENODATA;
        QTest::newRow("remove of an absent attribute") << 'x' << here << keywords << ENODATA;
        QTest::newRow("read on a missing file") << 'r' << u"gone"_s << keywords << ENOENT;
        QTest::newRow("write on a missing file") << 'w' << u"gone"_s << keywords << ENOENT;
        QTest::newRow("write through a dangling link") << 'w' << u"dangling"_s << keywords << ENOENT;
        QTest::newRow("write with the empty name") << 'w' << here << QString() << ERANGE;
        QTest::newRow("write with a 256-byte name") << 'w' << here << longName << ERANGE;
        QTest::newRow("write of 64 KiB and one byte") << 'W' << here << keywords << E2BIG;
        QTest::newRow("name cut short by a NUL") << 'w' << here << u"user.a\0b"_s << EINVAL;
        QTest::newRow("path cut short by a NUL") << 'w' << u"subject.txt\0x"_s << keywords << ENOENT;
        // Permission bits do not stop root; the immutable flag does.
        const int readOnly = ::geteuid() == 0 ? EPERM : EACCES;
        QTest::newRow("write on a read-only file") << 'w' << u"read-only"_s << u"user.a"_s << readOnly;
        QTest::newRow("remove on a read-only file") << 'x' << u"read-only"_s << u"user.a"_s << readOnly;
    }
    void refusals()
    {
        QFETCH(char, operation);
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(int, expected);
        QVERIFY(QFile::link(m_files->path(u"gone"_s), m_files->path(u"dangling"_s)));
        QVERIFY(!writeExtendedAttribute(m_url, u"user.a"_s, "kept"));
        const auto before = getfattrDump(m_path);
        if (file == u"read-only"_s) {
            file = u"subject.txt"_s;
            if (::geteuid() != 0)
                QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));
            else if (!(m_immutable = runProgram(u"chattr"_s, { u"+i"_s, m_path }).exitCode == 0))
                QSKIP("root without the right to set the immutable flag: no file here refuses root");
        }
        const QUrl url = QUrl::fromLocalFile(m_files->path(file));
        PosixError error;
        if (operation == 'r')
            QVERIFY(!readExtendedAttribute(url, name, &error));
        else if (operation == 'x')
            error = removeExtendedAttribute(url, name).value_or(PosixError());
        else
            error = writeExtendedAttribute(url, name, operation == 'W' ? QByteArray(65537, 'v') : "v"_ba)
                        .value_or(PosixError());
        compareError(error, expected);
        QCOMPARE(getfattrDump(m_path), before);
    }

    // One read loop serves the editor and the listing: a probe and a fetch (the hook runs between them,
    // once per attempt), read again while the value grows, up to a bound.
    void changeBetweenProbeAndFetch_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QByteArray>("changedTo"); // null: removed
        QTest::addColumn<bool>("everyTime"); // changed again before every fetch, growing each time
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("expectedError");
        QTest::addColumn<int>("attempts");
        const QByteArray abc("abc"), removed, big(100, 'b');
        const int bound = attributeReadAttempts;
        // clang-format off
        QTest::newRow("rewritten unchanged: one probe, one fetch") << abc << abc << false << abc << 0 << 1;
        QTest::newRow("shrinks: fetched bytes, no zero padding") << QByteArray(100, 'a') << abc << false << abc << 0 << 1;
        QTest::newRow("grows: read again") << abc << big << false << big << 0 << 2;
        QTest::newRow("empty grows: read again, not a phantom length") << QByteArray() << abc << false << abc << 0 << 2;
        QTest::newRow("grows before every fetch: ERANGE at the bound") << abc << big << true << removed << ERANGE << bound;
        QTest::newRow("removed: the fetch is made and fails") << abc << removed << false << removed << ENODATA << 1;
        // clang-format on
    }
    void changeBetweenProbeAndFetch()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QByteArray, changedTo);
        QFETCH(bool, everyTime);
        QFETCH(QByteArray, expected);
        QFETCH(int, expectedError);
        QVERIFY(!writeExtendedAttribute(m_url, keywords, initial));
        int hookCalls = 0;
        detail::setBetweenListProbeAndFetchHookForTesting([&] {
            ++hookCalls;
            if (hookCalls == 1 || everyTime)
                QVERIFY(corvane::test::setAttributeWithTool(
                    m_path, keywords, everyTime ? changedTo.repeated(hookCalls) : changedTo));
        });
        PosixError error;
        const auto read = readExtendedAttribute(m_url, keywords, &error);
        QTEST(hookCalls, "attempts");
        QCOMPARE(read, expectedError ? std::nullopt : std::optional(expected));
        if (expectedError)
            compareError(error, expectedError);
    }

    void systemName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("catalogue name into user.") << keywords << keywordsOnDisk;
        QTest::newRow("Linux namespaces kept") << u"trusted.x"_s << "trusted.x"_ba;
        QTest::newRow("empty stays empty") << QString() << QByteArray();
        QTest::newRow("namespaces are case-sensitive") << u"User.x"_s << "user.User.x"_ba;
        QTest::newRow("namespace without its dot") << u"security"_s << "user.security"_ba;
    }
    void systemName()
    {
        QFETCH(QString, name);
        QTEST(systemAttributeName(name), "expected");
    }

    // Another program's attribute change is heard even when the user's other programs hold every
    // inotify instance: here the process has no file descriptor left as the watch is made, as when
    // inotify_init is refused, and Qt falls back to polling modification times, which it leaves alone.
    void othersChangesHeardWithoutInotify()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizers' type checks need file descriptors of their own");
#endif
        int lowestFree = 0;
        while (::fcntl(lowestFree, F_GETFD) != -1)
            ++lowestFree;
        rlimit limits {};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &limits), 0);
        const rlimit none { rlim_t(lowestFree), limits.rlim_max };
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &none), 0);
        AttributeWatcher &watcher = AttributeWatcher::shared();
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limits), 0);
        QSignalSpy heard(&watcher, &AttributeWatcher::changed);
        watcher.watch(m_path);
        QVERIFY(
            runProgram(u"setfattr"_s, { u"-n"_s, u"user.other"_s, u"-v"_s, u"1"_s, m_path }).exitCode == 0);
        QTRY_COMPARE(heard.value(0).value(0).toString(), m_path);
        watcher.unwatch(m_path);
    }
};

QTEST_GUILESS_MAIN(TestXattr)
#include "tst_xattr.moc"
