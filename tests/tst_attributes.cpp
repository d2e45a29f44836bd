// Reading, writing, listing, recognising and decoding what other programs store on real files.

#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "attributes/AttributeDescription.h"
#include "attributes/AttributeJson.h"
#include "attributes/AttributeListing.h"
#include "attributes/AttributeNames.h"
#include "attributes/AttributeWatcher.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace corvane;
using namespace Qt::StringLiterals;
using namespace corvane::test;

Q_DECLARE_METATYPE(AttributeNameForm)

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

class TestAttributes : public QObject {
    Q_OBJECT
    std::unique_ptr<TestFiles> m_files;
    std::unique_ptr<TestFiles> m_rows;
    QString m_path;
    QByteArray m_encoded; // m_path as the system takes it
    QUrl m_url;
    struct stat m_before = {};
    bool m_immutable = false;

private slots:
    void init()
    {
        m_files = std::make_unique<TestFiles>();
        m_path = m_files->make(u"subject.txt"_s, "the file's own data\n");
        m_url = QUrl::fromLocalFile(m_path);
        m_encoded = QFile::encodeName(m_path);
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
        QVERIFY(setAttributeWithTool(m_path, QString::fromUtf8(onDisk), first + '+'));
        QCOMPARE(readExtendedAttribute(url, name), first + '+');
    }

    void refusals_data()
    {
        QTest::addColumn<char>("operation");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const QString here = u"subject.txt"_s, longName(251, u'n');
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
                QVERIFY(setAttributeWithTool(
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
        QTest::newRow("Linux namespaces kept") << u"trusted.x"_s << "trusted.x"_ba;
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
        QVERIFY(setAttributeWithTool(m_path, u"user.other"_s, "1"));
        QTRY_COMPARE(heard.value(0).value(0).toString(), m_path);
        watcher.unwatch(m_path);
    }

    void names_data()
    {
        QTest::addColumn<QByteArray>("systemName");
        QTest::addColumn<QString>("nameSpace");
        QTest::addColumn<AttributeNameForm>("form");
        QTest::addColumn<QString>("macName");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("editorCanWrite");
        QTest::addColumn<int>("catalogueIndex");
        using F = AttributeNameForm;
        const QString keywords = u"com.apple.metadata:kMDItemKeywords"_s;
        const QString user = u"user"_s, none;
        // clang-format off
        QTest::newRow("catalogue name as Corvane and rsync store it") << "user.com.apple.metadata:kMDItemKeywords"_ba << user << F::User << keywords << u"Keywords"_s << true << 0;
        QTest::newRow("quarantine") << "user.com.apple.quarantine"_ba << user << F::User << u"com.apple.quarantine"_s << u"Quarantine"_s << true << -1;
        QTest::newRow("Samba stream: U+F022 for the colon, read-only") << u"user.DosStream.com.apple.metadata\uF022kMDItemWhereFroms:$DATA"_s.toUtf8() << user << F::SambaStream << u"com.apple.metadata:kMDItemWhereFroms"_s << u"Where from"_s << false << -1;
        QTest::newRow("Samba stream of a catalogue name is not the catalogue entry") << u"user.DosStream.com.apple.metadata\uF022kMDItemKeywords:$DATA"_s.toUtf8() << user << F::SambaStream << keywords << u"Keywords"_s << false << -1;
        QTest::newRow("Samba stream of a Windows name") << "user.DosStream.Zone.Identifier:$DATA"_ba << user << F::SambaStream << none << u"Zone identifier"_s << false << -1;
        QTest::newRow("HFS+ driver's form, read-only") << "osx.com.apple.FinderInfo"_ba << u"osx"_s << F::HfsPlus << u"com.apple.FinderInfo"_s << u"Finder info"_s << false << -1;
        QTest::newRow("freedesktop comment carries no macOS name") << "user.xdg.comment"_ba << user << F::Plain << none << u"Comment (desktop)"_s << true << -1;
        QTest::newRow("unknown user name: the name without user.") << "user.myapp.rating"_ba << user << F::Plain << none << u"myapp.rating"_s << true << -1;
        QTest::newRow("unknown Apple name: the macOS name") << "user.com.apple.TextEncoding"_ba << user << F::User << u"com.apple.TextEncoding"_s << u"com.apple.TextEncoding"_s << true << -1;
        QTest::newRow("Apple-looking name outside user.") << "trusted.com.apple.quarantine"_ba << u"trusted"_s << F::Plain << none << u"trusted.com.apple.quarantine"_s << false << -1;
        QTest::newRow("security namespace") << "security.selinux"_ba << u"security"_s << F::Plain << none << u"SELinux context"_s << false << -1;
        QTest::newRow("not UTF-8: read-only") << "user.caf\xe9"_ba << user << F::Plain << none << u"caf\uFFFD"_s << false << -1;
        QTest::newRow("user. alone") << "user."_ba << user << F::Plain << none << u"user."_s << true << -1;
        // clang-format on
    }
    void names()
    {
        QFETCH(QByteArray, systemName);
        const AttributeName name = recogniseAttributeName(systemName);
        QCOMPARE(name.systemName, systemName);
        QTEST(name.nameSpace, "nameSpace");
        QTEST(name.form, "form");
        QTEST(name.macName, "macName");
        QTEST(name.label, "label");
        QTEST(name.editorCanWrite, "editorCanWrite");
        QTEST(int(name.catalogueIndex), "catalogueIndex");
    }

    // Each value written by python onto its own file, then listed, read and decoded by us.
    void descriptions_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("kindLabel");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QString>("copyText");
        QTest::addColumn<bool>("trailingNul");
        QTest::addColumn<QString>("file");
        struct Row {
            const char *tag;
            QByteArray name;
            QString value, kind, kindLabel, preview, copyText = {}; // null: as the preview
            bool trailingNul = false;
        };
        const auto bin = [](const char *value) {
            return u"plistlib.dumps(%1, fmt=plistlib.FMT_BINARY)"_s.arg(QString::fromUtf8(value));
        };
        const QByteArray comment = "user.xdg.comment", n = "user.n", quarantine = "user.com.apple.quarantine";
        const QString array = u"array"_s, text = u"text"_s, plain = u"plain text"_s, real = u"real"_s,
                      bytes = u"bytes"_s;
        const QString quarantineCopy
            = u"flags: 0083\ntime: 2020-07-27T01:13:31Z\nagent: Safari\nid: F643CD5F-6071-46AB-83AB-390BA944DEC5"_s;
        // clang-format off
        const QList<Row> rows = {
            { "keywords: a list of texts", "user.com.apple.metadata:kMDItemKeywords"_ba, bin("['beach', 'family', 'Zoë']"), array, u"list of 3 texts"_s, u"beach, family, Zoë"_s, u"beach\nfamily\nZoë"_s },
            { "where from: an XML list of one", "user.com.apple.metadata:kMDItemWhereFroms"_ba, u"plistlib.dumps(['https://example.com/a'])"_s, array, u"list of 1 text"_s, u"https://example.com/a"_s },
            { "downloaded: a list of one date", "user.com.apple.metadata:kMDItemDownloadedDate"_ba, bin("[datetime.datetime(2026, 12, 6, 9, 30)]"), array, u"list of 1 date"_s, u"2026-12-06T09:30:00Z"_s },
            { "nested dictionary", "user.test.nested"_ba, bin("{'name': 'Zoë', 'tags': ['a', 'b'], 'when': datetime.datetime(2001, 1, 1), 'n': -3, 'ok': True, 'none': {}, 'more': [[1, 2.5], {'k': 'v'}]}"), u"dictionary"_s, u"dictionary of 7 entries"_s, u"more: ((1, 2.5), {k: v}); n: -3; name: Zoë; none: {}; ok: true; tags: (a, b); when: 2001-01-01T00:00:00Z"_s, u"more:\n  (1, 2.5)\n  {k: v}\nn: -3\nname: Zoë\nnone: {}\nok: true\ntags:\n  a\n  b\nwhen: 2001-01-01T00:00:00Z"_s },
            { "largest unsigned integer, 128 bits on disk", n, bin("2**64 - 1"), u"integer"_s, u"whole number"_s, u"18446744073709551615"_s },
            { "real", n, bin("0.1"), real, u"number"_s, u"0.1"_s },
            { "real that is whole", n, bin("-2.0"), real, u"number"_s, u"-2.0"_s },
            { "not a number", n, bin("float('nan')"), real, u"number"_s, u"NaN"_s },
            { "mixed list", n, bin("['a', 1, 2.5, False]"), array, u"list of 4 items"_s, u"a, 1, 2.5, false"_s, u"a\n1\n2.5\nfalse"_s },
            { "list of numbers", n, bin("[1, 2.5]"), array, u"list of 2 numbers"_s, u"1, 2.5"_s, u"1\n2.5"_s },
            { "empty list", n, bin("[]"), array, u"empty list"_s, {} },
            { "data", n, bin("b'\\x00\\xff'"), u"data"_s, u"2 bytes of data"_s, u"00ff"_s },
            { "plain text with a line break", comment, u"b'Holiday\\nphotos'"_s, text, plain, u"Holiday\u21B5photos"_s, u"Holiday\nphotos"_s },
            { "text followed by one NUL", "user.xdg.origin.url"_ba, u"b'https://example.com/x\\0'"_s, text, plain, u"https://example.com/x"_s, {}, true },
            { "text that reads as an old-style list stays text", comment, u"b'(draft)'"_s, text, plain, u"(draft)"_s },
            { "old-style list that is not plain text", comment, u"b'(\"a\\x01\")'"_s, array, u"list of 1 text"_s, u"a "_s, u"a\x01"_s },
            { "property list followed by one NUL", "user.com.apple.metadata:kMDItemComment"_ba, bin("'hi'") + u" + b'\\0'"_s, u"string"_s, u"text"_s, u"hi"_s, {}, true },
            { "Samba stream: list and its NUL", u"user.DosStream.com.apple.metadata\uF022kMDItemWhereFroms:$DATA"_s.toUtf8(), bin("['https://a.example/']") + u" + b'\\0'"_s, array, u"list of 1 text"_s, u"https://a.example/"_s, {}, true },
            { "Samba stream: bytes without their NUL", "user.DosStream.AFP_AfpInfo:$DATA"_ba, u"b'AFP\\0\\1\\0'"_s, bytes, u"5 bytes"_s, u"4146500001"_s, {}, true },
            { "quarantine", quarantine, u"b'0083;5f1e2a3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5'"_s, u"quarantine"_s, u"quarantine record"_s, QString(quarantineCopy).replace(u'\n', u"; "_s), quarantineCopy },
            { "quarantine without an id, with a NUL", quarantine, u"b'0081;5f1e2a3b;Chrome;\\0'"_s, u"quarantine"_s, u"quarantine record"_s, u"flags: 0081; time: 2020-07-27T01:13:31Z; agent: Chrome; id: "_s, u"flags: 0081\ntime: 2020-07-27T01:13:31Z\nagent: Chrome\nid: "_s, true },
            { "quarantine that is not a record: text", quarantine, u"b'0083;later;Safari'"_s, text, plain, u"0083;later;Safari"_s },
            { "quarantine form under another name: text", comment, u"b'0083;5f1e2a3b;Safari'"_s, text, plain, u"0083;5f1e2a3b;Safari"_s },
            { "last used date", "user.com.apple.lastuseddate#PS"_ba, u"struct.pack('<qq', 1765000000, 500000000)"_s, u"date"_s, u"date"_s, u"2025-12-06T05:46:40.500Z"_s },
            { "last used date, the earliest seconds: long before 2001", "user.com.apple.lastuseddate#PS"_ba, u"struct.pack('<qq', -2**63, 0)"_s, u"date"_s, u"date"_s, u"-9223372037833082880.0 seconds from 2001-01-01T00:00:00Z"_s },
            { "last used date, nanoseconds out of range: bytes", "user.com.apple.lastuseddate#PS"_ba, u"struct.pack('<qq', 1, 10**9)"_s, bytes, u"16 bytes"_s, u"010000000000000000ca9a3b00000000"_s },
            { "Finder info: bytes", "user.com.apple.FinderInfo"_ba, u"bytes(32)"_s, bytes, u"32 bytes"_s, QString(64, u'0') },
            { "empty value", "user.e"_ba, u"b''"_s, text, plain, {} },
            { "not UTF-8: bytes", "user.c"_ba, u"b'caf\\xe9'"_s, bytes, u"4 bytes"_s, u"636166e9"_s },
            { "two NULs: bytes", "user.c"_ba, u"b'ab\\0\\0'"_s, bytes, u"4 bytes"_s, u"61620000"_s },
            { "long text: preview cut at 200", comment, u"b'x' * 300"_s, text, plain, QString(199, u'x') + u'\u2026', QString(300, u'x') },
        };
        // clang-format on
        m_rows = std::make_unique<test::TestFiles>();
        QList<PythonAttribute> written;
        for (const Row &row : rows) {
            written.append({ m_rows->path(QString::number(written.size())), row.name, row.value });
            QTest::newRow(row.tag) << row.name << row.kind << row.kindLabel << row.preview
                                   << (row.copyText.isNull() ? row.preview : row.copyText) << row.trailingNul
                                   << written.last().path;
        }
        QVERIFY(setAttributesWithPython(written));
    }
    void descriptions()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, file);
        const QByteArray path = QFile::encodeName(file);
        const FileDescription described = describeFileAttributes(path);
        QCOMPARE(described.attributes.size(), 1);
        const AttributeDescription &attribute = described.attributes.front();
        QCOMPARE(attribute.name.systemName, name);
        QVERIFY(!attribute.error);
        QVERIFY(!attribute.tooLargeToExpand);
        QCOMPARE(attribute.size, qsizetype(::getxattr(path.constData(), name.constData(), nullptr, 0)));
        QTEST(kindName(attribute.value.kind()), "kind");
        QTEST(kindLabel(attribute.value), "kindLabel");
        QTEST(preview(attribute.value), "preview");
        QTEST(copyText(attribute.value), "copyText");
        QTEST(attribute.trailingNul, "trailingNul");
    }

    // What a value may expand to is paid for by its size: shared references and escaped keys that
    // would write out a hundred times their size are shown as their bytes, long flat lists decode.
    void expansionPaidForByTheInput_data()
    {
        QTest::addColumn<QString>("plist"); // a Python expression
        QTest::addColumn<QString>("kind"); // in words; empty: too large, shown as its bytes
        const QString bytes;
        QTest::newRow("list of 120 references to one list of 240") << u"[[True] * 240] * 120"_s << bytes;
        QTest::newRow("970 references to a dictionary keyed by 1,000 escaped bytes")
            << u"[{'\\x01' * 1000: True}] * 970"_s << bytes;
        QTest::newRow("one long text referenced 1,500 times") << u"['a' * 2000] * 1500"_s << bytes;
        QTest::newRow("32,001 one-letter texts")
            << u"[chr(97 + i % 26) for i in range(32001)]"_s << u"list of 32001 texts"_s;
        QTest::newRow("31,000 true") << u"[True] * 31000"_s << u"list of 31000 true or false values"_s;
        QTest::newRow("escaped keys within their budget")
            << u"[{'\\x01' * 10: True}] * 20"_s << u"list of 20 dictionaries"_s;
        QTest::newRow("shared, within its budget: references stay shared")
            << u"[['ab'] * 40] * 20"_s << u"list of 20 lists"_s;
    }
    void expansionPaidForByTheInput()
    {
        QFETCH(QString, plist);
        QFETCH(QString, kind);
        const auto written = runPythonPerLine(
            u"[plistlib.dumps(eval(line), fmt=plistlib.FMT_BINARY)]"_s, { plist.toUtf8() });
        QCOMPARE(written.size(), 1);
        const QByteArray value = written[0][0];
        const AttributeName name = recogniseAttributeName("user.test");
        const AttributeDescription described = describeAttribute(name, value);
        const ExpansionCost cost = expansionCost(described.value);
        QVERIFY(cost.fitsWithin(ExpansionBudget().allowance(name.systemName.size() + value.size())));
        QVERIFY(valueToJson(described.value).size() <= cost.bytes);
        QVERIFY(copyText(described.value).size() <= cost.bytes);
        QCOMPARE(described.tooLargeToExpand, kind.isEmpty());
        if (kind.isEmpty()) {
            QCOMPARE(described.value.kind(), ValueKind::Bytes);
            QCOMPARE(described.value.bytes(), value);
            QVERIFY(attributeToJson(described).contains("\"note\": \"a property list that would expand"));
            return;
        }
        QCOMPARE(kindLabel(described.value), kind);
        const QList<ValueNode> &items = described.value.children();
        if (!items.front().isContainer())
            return;
        // Each reference is the one list the property list holds, not a copy of it.
        QVERIFY(std::all_of(items.cbegin(), items.cend(),
            [&](const ValueNode &item) { return item.identity() == items.front().identity(); }));
    }

    // The floor above a value's own share is the listing's, not each value's: a file of many values
    // that each need it cannot add it up.
    void expansionFloorSharedByTheListing()
    {
        const auto written = runPythonPerLine(
            u"[plistlib.dumps(['x' * 1000] * int(line), fmt=plistlib.FMT_BINARY)]"_s, { "76" });
        QCOMPARE(written.size(), 1);
        const QByteArray value = written[0][0];
        const AttributeName name = recogniseAttributeName("user.a");
        const qsizetype share = ExpansionBudget::perInputByte * (name.systemName.size() + value.size());
        // The value needs more than half the floor besides its own share.
        const ExpansionCost cost = expansionCost(describeAttribute(name, value).value);
        QVERIFY2(cost.bytes > share + ExpansionBudget::floor.bytes / 2
                && cost.bytes <= share + ExpansionBudget::floor.bytes,
            qPrintable(u"%1 over its share"_s.arg(cost.bytes - share)));
        ExpansionBudget listing;
        QVERIFY(!describeAttribute(name, value, &listing).tooLargeToExpand);
        QVERIFY(describeAttribute(name, value, &listing).tooLargeToExpand);
    }

    // Root sees trusted. names; they are listed and decoded like any other, and are not the editor's.
    void otherNamespacesListed()
    {
        if (::setxattr(m_encoded.constData(), "trusted.corvane", "kept", 4, 0) != 0)
            QSKIP("only root may write trusted. attributes");
        QCOMPARE(::setxattr(m_encoded.constData(), "user.a", "x", 1, 0), 0);
        const FileDescription file = describeFileAttributes(m_encoded);
        QCOMPARE(file.attributes.size(), 2);
        const AttributeDescription &trusted = file.attributes[0];
        QCOMPARE(trusted.name.systemName, "trusted.corvane"_ba);
        QCOMPARE(copyText(trusted.value), u"kept"_s);
        QCOMPARE(file.attributes[1].name.systemName, "user.a"_ba);
    }

    void listingFailures_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("expected");
        QTest::newRow("missing file") << "/nonexistent/corvane"_ba << ENOENT;
        QTest::newRow("path cut short by a NUL") << QByteArray("/tmp\0x", 6) << ENOENT;
        QTest::newRow("not a directory") << "/etc/hostname/x"_ba << ENOTDIR;
    }
    void listingFailures()
    {
        QFETCH(QByteArray, path);
        QFETCH(int, expected);
        PosixError error;
        QVERIFY(!listExtendedAttributes(path, &error));
        QCOMPARE(error.code, expected);
        QCOMPARE(error.description, QString::fromLocal8Bit(std::strerror(expected)));
        const FileDescription file = describeFileAttributes(path);
        QVERIFY(file.error);
        QCOMPARE(file.error->code, expected);
    }

    // Another program changes the names between our size probe and our fetch.
    void listChangesWhileRead_data()
    {
        QTest::addColumn<int>("growths"); // how many probes are followed by a new attribute
        QTest::addColumn<bool>("shrinks");
        QTest::addColumn<int>("expectedNames"); // -1: ERANGE
        QTest::newRow("grows once: read again") << 1 << false << 2;
        QTest::newRow("grows on all but the last attempt")
            << attributeReadAttempts - 1 << false << attributeReadAttempts;
        QTest::newRow("keeps growing: ERANGE, bounded") << 1000 << false << -1;
        QTest::newRow("shrinks: the names fetched") << 0 << true << 1;
    }
    void listChangesWhileRead()
    {
        QFETCH(int, growths);
        QFETCH(bool, shrinks);
        QFETCH(int, expectedNames);
        const QByteArray path = m_encoded;
        QCOMPARE(::setxattr(path.constData(), "user.first", "1", 1, 0), 0);
        QCOMPARE(::setxattr(path.constData(), "user.second-with-a-longer-name", "2", 1, 0), 0);
        if (!shrinks)
            QCOMPARE(::removexattr(path.constData(), "user.second-with-a-longer-name"), 0);
        int probes = 0;
        detail::setBetweenListProbeAndFetchHookForTesting([&] {
            ++probes;
            if (shrinks)
                ::removexattr(path.constData(), "user.second-with-a-longer-name");
            else if (probes <= growths)
                ::setxattr(
                    path.constData(), ("user.added" + QByteArray::number(probes)).constData(), "x", 1, 0);
        });
        PosixError error;
        const auto names = listExtendedAttributes(path, &error);
        if (expectedNames < 0) {
            QVERIFY(!names);
            QCOMPARE(error.code, ERANGE);
            QCOMPARE(probes, attributeReadAttempts);
        } else {
            QVERIFY(names);
            QCOMPARE(names->size(), expectedNames);
            QVERIFY(names->contains("user.first"));
        }
    }

    // What getfattr lists, we list, on a file system that holds a thousand attributes.
    void thousandAttributesLikeGetfattr()
    {
        QTemporaryDir mountPoint;
        if (::mount("tmpfs", QFile::encodeName(mountPoint.path()).constData(), "tmpfs", 0, "size=32m") != 0)
            QSKIP(qPrintable(u"ext4 holds only about 4 KiB of attributes per file, and mounting a tmpfs "
                             "for more was refused: "_s
                + QString::fromLocal8Bit(std::strerror(errno))));
        const auto unmount = qScopeGuard([&] { ::umount(QFile::encodeName(mountPoint.path()).constData()); });
        const QString path = mountPoint.filePath(u"many"_s);
        QList<PythonAttribute> many, longNames;
        for (int i = 0; i < 1000; ++i) {
            many.append(
                { path, u"user.com.apple.metadata:kMDItemTest%1"_s.arg(i, 4, 10, QChar(u'0')).toUtf8(),
                    u"plistlib.dumps(['item %1', %1], fmt=plistlib.FMT_BINARY)"_s.arg(i) });
            longNames.append({ path, "user." + QByteArray(200, 'n') + QByteArray::number(i), u"b''"_s });
        }
        QVERIFY(setAttributesWithPython(many));
        const FileDescription file = describeFileAttributes(QFile::encodeName(path));
        QVERIFY(!file.error);
        QCOMPARE(file.attributes.size(), 1000);
        const auto dump = runProgram(u"getfattr"_s, { u"-d"_s, u"-m-"_s, u"--absolute-names"_s, path });
        QCOMPARE(dump.out.count("\nuser.com.apple.metadata:kMDItemTest"), 1000);
        for (int i : { 0, 999 }) {
            const AttributeDescription &attribute = file.attributes[i];
            QCOMPARE(
                attribute.name.macName, u"com.apple.metadata:kMDItemTest%1"_s.arg(i, 4, 10, QChar(u'0')));
            QCOMPARE(preview(attribute.value), u"item %1, %1"_s.arg(i));
        }

        // Names beyond the kernel's 64 KiB for a list: its reason, not a partial list.
        QVERIFY(setAttributesWithPython(longNames));
        const FileDescription tooMany = describeFileAttributes(QFile::encodeName(path));
        QVERIFY(tooMany.error);
        QCOMPARE(tooMany.error->code, E2BIG);
    }
};

QTEST_GUILESS_MAIN(TestAttributes)
#include "tst_attributes.moc"
