#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include "editor/xattr/ExtendedAttributes.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <cstring>
#include <memory>
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
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i);
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

// Changes the attribute from another process, as a concurrent writer would; a null value removes it.
bool setfattr(const QString &path, const QByteArray &systemName, const QByteArray &value)
{
    const QString name = QString::fromUtf8(systemName);
    const QString hex = value.isEmpty() ? QString() : "0x"_L1 + QString::fromLatin1(value.toHex());
    return runProgram(u"setfattr"_s,
               value.isNull() ? QStringList { u"-x"_s, name, path }
                              : QStringList { u"-n"_s, name, u"-v"_s, hex, path })
               .exitCode
        == 0;
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
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QUrl m_url;
    struct stat m_before = {};
    bool m_immutable = false;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_path = m_dir->filePath(u"subject.txt"_s);
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("the file's own data\n") == 20);
        file.close();
        m_url = QUrl::fromLocalFile(m_path);
        QCOMPARE(::stat(QFile::encodeName(m_path).constData(), &m_before), 0);
    }

    // Whatever a test did to the attributes, the file's data and modification time are as they were.
    void cleanup()
    {
        detail::setBetweenProbeAndFetchHookForTesting({});
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

    void writeReplaceRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("typical value replaced by a longer one")
            << keywords << typicalValue << allByteValues(300);
        QTest::newRow("NUL and high bytes, then shorter") << u"user.b"_s << allByteValues(256) << "x"_ba;
        QTest::newRow("null empty value, then a value") << keywords << QByteArray() << typicalValue;
        QTest::newRow("value replaced by an empty one") << keywords << typicalValue << ""_ba;
        QTest::newRow("non-ASCII name") << u"com.example.café 日本"_s << "a"_ba
                                        << "b"_ba;
        QTest::newRow("255-byte name with its prefix") << QString(250, u'n') << "a"_ba << allByteValues(100);
    }
    void writeReplaceRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        for (const QByteArray &value : { first, second }) {
            QCOMPARE(
                writeExtendedAttribute(m_url, name, value).value_or(PosixError()).description, QString());
            QCOMPARE(readExtendedAttribute(m_url, name), value);
        }
        QVERIFY(!removeExtendedAttribute(m_url, name));
        QVERIFY(!readExtendedAttribute(m_url, name));
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
        QTest::newRow("read with a 256-byte name") << 'r' << here << longName << ERANGE;
        QTest::newRow("write of 64 KiB and one byte") << 'W' << here << keywords << E2BIG;
        QTest::newRow("name cut short by a NUL") << 'w' << here << u"user.a\0b"_s << EINVAL;
        QTest::newRow("path cut short by a NUL") << 'w' << u"subject.txt\0x"_s << keywords << ENOENT;
    }
    void refusals()
    {
        QFETCH(char, operation);
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(int, expected);
        QVERIFY(QFile::link(m_dir->filePath(u"gone"_s), m_dir->filePath(u"dangling"_s)));
        QVERIFY(!writeExtendedAttribute(m_url, u"user.a"_s, "kept"));
        const auto before = getfattrDump(m_path);
        const QUrl url = QUrl::fromLocalFile(m_dir->path() + u'/' + file);
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

    void changeBetweenProbeAndFetch_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QByteArray>("changedTo"); // null: removed
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("expectedError");
        QTest::newRow("shrinks: fetched bytes, no zero padding") << QByteArray(100, 'a') << "short"_ba
                                                                 << "short"_ba << 0;
        QTest::newRow("shrinks to empty") << "abc"_ba
                                          << ""_ba
                                          << ""_ba << 0;
        QTest::newRow("grows: the fetch's ERANGE")
            << "short"_ba << QByteArray(100, 'b') << QByteArray() << ERANGE;
        QTest::newRow("empty grows: ERANGE, not a phantom length") << ""_ba
                                                                   << "abc"_ba << QByteArray() << ERANGE;
        QTest::newRow("removed: the fetch is made and fails")
            << "abc"_ba << QByteArray() << QByteArray() << ENODATA;
        QTest::newRow("empty removed: the zero-size fetch is made")
            << ""_ba << QByteArray() << QByteArray() << ENODATA;
    }
    void changeBetweenProbeAndFetch()
    {
        QFETCH(QByteArray, initial);
        QFETCH(QByteArray, changedTo);
        QFETCH(QByteArray, expected);
        QFETCH(int, expectedError);
        QVERIFY(!writeExtendedAttribute(m_url, keywords, initial));
        int hookCalls = 0;
        detail::setBetweenProbeAndFetchHookForTesting([&] {
            ++hookCalls;
            QVERIFY(setfattr(m_path, keywordsOnDisk, changedTo));
        });
        PosixError error;
        const auto read = readExtendedAttribute(m_url, keywords, &error);
        QCOMPARE(hookCalls, 1);
        QCOMPARE(read, expectedError ? std::nullopt : std::optional(expected));
        if (expectedError)
            compareError(error, expectedError);
    }

    void symbolicLinkActsOnTarget()
    {
        QVERIFY(QFile::link(m_path, m_dir->filePath(u"link"_s)));
        const QUrl link = QUrl::fromLocalFile(m_dir->filePath(u"link"_s));
        QVERIFY(!writeExtendedAttribute(link, keywords, typicalValue));
        QCOMPARE(getfattrDump(m_path).value(keywordsOnDisk), typicalValue);
        QCOMPARE(readExtendedAttribute(link, keywords), typicalValue);
        QVERIFY(!removeExtendedAttribute(link, keywords));
        QVERIFY(getfattrDump(m_path).isEmpty());
    }

    void readOnlyFileRefusesChanges()
    {
        QVERIFY(!writeExtendedAttribute(m_url, keywords, typicalValue));
        // Permission bits do not stop root; the immutable flag does.
        if (::geteuid() == 0) {
            if (runProgram(u"chattr"_s, { u"+i"_s, m_path }).exitCode != 0)
                QSKIP("root without the right to set the immutable flag: no file here refuses root");
            m_immutable = true;
        } else {
            QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));
        }
        const int expected = m_immutable ? EPERM : EACCES;
        compareError(writeExtendedAttribute(m_url, keywords, "changed").value_or(PosixError()), expected);
        compareError(removeExtendedAttribute(m_url, keywords).value_or(PosixError()), expected);
        QCOMPARE(readExtendedAttribute(m_url, keywords), typicalValue);
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
        QFETCH(QByteArray, expected);
        QCOMPARE(systemAttributeName(name), expected);
    }

    // getfattr and setfattr (Debian's attr) see and set the same names and bytes as we do.
    void attrToolsAgree_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("onDisk");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("catalogue name, typical value") << keywords << keywordsOnDisk << typicalValue;
        QTest::newRow("empty value") << u"user.e"_s << "user.e"_ba
                                     << ""_ba;
        QTest::newRow("non-ASCII name") << u"café"_s << "user.caf\xc3\xa9"_ba
                                        << "\0\xff"_ba;
        QTest::newRow("every byte value") << keywords << keywordsOnDisk << allByteValues(2048);
    }
    void attrToolsAgree()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, onDisk);
        QFETCH(QByteArray, value);
        QVERIFY(!writeExtendedAttribute(m_url, name, value));
        QCOMPARE(getfattrDump(m_path), (QMap<QByteArray, QByteArray> { { onDisk, value } }));
        QVERIFY(setfattr(m_path, onDisk, QByteArray()));
        PosixError error;
        QVERIFY(!readExtendedAttribute(m_url, name, &error));
        compareError(error, ENODATA);
        QVERIFY(setfattr(m_path, onDisk, value + '+'));
        QCOMPARE(readExtendedAttribute(m_url, name), value + '+');
    }
};

QTEST_GUILESS_MAIN(TestXattr)
#include "tst_xattr.moc"
