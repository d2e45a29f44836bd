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
using corvane::test::runProgram;

namespace {

const QString keywords = QStringLiteral("com.apple.metadata:kMDItemKeywords");
// A binary property list holding the string "tag", as the editor stores it.
const QByteArray typicalValue = QByteArray::fromHex("62706c6973743030537461670800000000000000010100000000000000"
                                                    "01000000000000000000000000000000000c");

QByteArray allByteValues(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i % 256);
    return bytes;
}

// Every attribute of the file as getfattr reports it (names decoded from its octal escapes).
QMap<QByteArray, QByteArray> getfattrDump(const QString &path)
{
    const auto result = runProgram(QStringLiteral("getfattr"),
                                   {QStringLiteral("-d"), QStringLiteral("-m"), QStringLiteral("-"),
                                    QStringLiteral("-e"), QStringLiteral("hex"), QStringLiteral("--absolute-names"),
                                    path});
    QMap<QByteArray, QByteArray> attributes;
    for (const QByteArray &line : result.out.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (line.startsWith('#') || equals < 0)
            continue;
        QByteArray name;
        for (qsizetype i = 0; i < equals; ++i) {
            const bool escape = line[i] == '\\' && i + 3 < equals;
            name += escape ? char(line.mid(i + 1, 3).toInt(nullptr, 8)) : line[i];
            i += escape ? 3 : 0;
        }
        attributes.insert(name, QByteArray::fromHex(line.mid(equals + 3)));
    }
    return attributes;
}

// Changes the attribute from another process, as a concurrent writer would. A null value removes it.
bool setWithSetfattr(const QString &path, const QByteArray &systemName, const QByteArray &value)
{
    QStringList arguments;
    if (value.isNull())
        arguments = {QStringLiteral("-x"), QString::fromUtf8(systemName), path};
    else
        arguments = {QStringLiteral("-n"), QString::fromUtf8(systemName), QStringLiteral("-v"),
                     value.isEmpty() ? QString() : QStringLiteral("0x") + QString::fromLatin1(value.toHex()), path};
    return runProgram(QStringLiteral("setfattr"), arguments).exitCode == 0;
}

void compareError(const PosixError &error, int expectedCode)
{
    QCOMPARE(error.code, expectedCode);
    QCOMPARE(error.domain, QStringLiteral("NSPOSIXErrorDomain"));
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
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("subject.txt"));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the file's own data\n");
        file.close();
        m_url = QUrl::fromLocalFile(m_path);
        QCOMPARE(::stat(QFile::encodeName(m_path).constData(), &m_before), 0);
    }

    // Whatever a test did to the attributes, the file's data and modification time stay as they were.
    void cleanup()
    {
        detail::setBetweenProbeAndFetchHookForTesting({});
        if (m_immutable)
            runProgram(QStringLiteral("chattr"), {QStringLiteral("-i"), m_path});
        m_immutable = false;
        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(m_path).constData(), &after), 0);
        QCOMPARE(after.st_mtim.tv_sec, m_before.st_mtim.tv_sec);
        QCOMPARE(after.st_mtim.tv_nsec, m_before.st_mtim.tv_nsec);
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("the file's own data\n"));
    }

    void writeReplaceRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("catalogue name, typical value replaced by a longer one")
            << keywords << typicalValue << allByteValues(300);
        QTest::newRow("value with NUL and high bytes replaced by a shorter one")
            << QStringLiteral("user.bytes") << allByteValues(256) << QByteArray("x");
        QTest::newRow("null empty value, then a value") << keywords << QByteArray() << typicalValue;
        QTest::newRow("value replaced by an empty one") << keywords << typicalValue << QByteArray("");
        QTest::newRow("non-ASCII name") << QStringLiteral("com.example.café 日本") << QByteArray("a") << QByteArray("b");
        QTest::newRow("name of 255 bytes with its prefix")
            << QString(250, QLatin1Char('n')) << QByteArray("a") << allByteValues(100);
    }
    void writeReplaceRead()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        for (const QByteArray &value : {first, second}) {
            const auto failure = writeExtendedAttribute(m_url, name, value);
            QVERIFY2(!failure, qPrintable(failure ? failure->description : QString()));
            PosixError error;
            const auto read = readExtendedAttribute(m_url, name, &error);
            QVERIFY2(read, qPrintable(error.description));
            QCOMPARE(*read, value);
        }
        QVERIFY(!removeExtendedAttribute(m_url, name));
        QVERIFY(!readExtendedAttribute(m_url, name));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        const QString here = QStringLiteral("subject.txt");
        const QString read = QStringLiteral("read"), write = QStringLiteral("write"), remove = QStringLiteral("remove");
        QTest::newRow("read of an absent attribute") << read << here << keywords << QByteArray() << ENODATA;
        QTest::newRow("remove of an absent attribute") << remove << here << keywords << QByteArray() << ENODATA;
        QTest::newRow("read on a missing file") << read << QStringLiteral("gone") << keywords << QByteArray() << ENOENT;
        QTest::newRow("write on a missing file") << write << QStringLiteral("gone") << keywords << QByteArray("v")
                                                 << ENOENT;
        QTest::newRow("write through a dangling link") << write << QStringLiteral("dangling") << keywords
                                                       << QByteArray("v") << ENOENT;
        QTest::newRow("write with the empty name") << write << here << QString() << QByteArray("v") << ERANGE;
        QTest::newRow("write with a 256-byte name") << write << here << QString(251, QLatin1Char('n'))
                                                    << QByteArray("v") << ERANGE;
        QTest::newRow("read with a 256-byte name") << read << here << QString(251, QLatin1Char('n')) << QByteArray()
                                                   << ERANGE;
        QTest::newRow("write of 64 KiB and one byte") << write << here << keywords << QByteArray(65537, 'v') << E2BIG;
        QTest::newRow("name cut short by an embedded NUL")
            << write << here << QStringLiteral("user.a") + QChar(0) + QStringLiteral("b") << QByteArray("v") << EINVAL;
        QTest::newRow("path cut short by an embedded NUL")
            << write << here + QChar(0) + QStringLiteral("x") << keywords << QByteArray("v") << ENOENT;
    }
    void refusals()
    {
        QFETCH(QString, operation);
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("gone")), m_dir->filePath(QStringLiteral("dangling"))));
        QVERIFY(!writeExtendedAttribute(m_url, QStringLiteral("user.a"), "kept"));
        const auto before = getfattrDump(m_path);
        const QUrl url = QUrl::fromLocalFile(m_dir->path() + QLatin1Char('/') + path);

        PosixError error;
        if (operation == QLatin1String("read"))
            QVERIFY(!readExtendedAttribute(url, name, &error));
        else if (operation == QLatin1String("write"))
            error = writeExtendedAttribute(url, name, value).value_or(PosixError());
        else
            error = removeExtendedAttribute(url, name).value_or(PosixError());
        compareError(error, expected);
        QCOMPARE(getfattrDump(m_path), before);
    }

    void changeBetweenProbeAndFetch_data()
    {
        QTest::addColumn<QByteArray>("initial");
        QTest::addColumn<QByteArray>("changedTo"); // null: removed
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("expectedError");
        QTest::newRow("shrinks: only the fetched bytes, no zero padding")
            << QByteArray(100, 'a') << QByteArray("short") << QByteArray("short") << 0;
        QTest::newRow("shrinks to empty") << QByteArray("abc") << QByteArray("") << QByteArray("") << 0;
        QTest::newRow("grows: the fetch's ERANGE") << QByteArray("short") << QByteArray(100, 'b') << QByteArray()
                                                   << ERANGE;
        QTest::newRow("empty grows: ERANGE, not a phantom length") << QByteArray("") << QByteArray("abc")
                                                                   << QByteArray() << ERANGE;
        QTest::newRow("removed: the fetch is made and fails") << QByteArray("abc") << QByteArray() << QByteArray()
                                                              << ENODATA;
        QTest::newRow("empty removed: the zero-size fetch is still made")
            << QByteArray("") << QByteArray() << QByteArray() << ENODATA;
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
            QVERIFY(setWithSetfattr(m_path, systemAttributeName(keywords), changedTo));
        });
        PosixError error;
        const auto read = readExtendedAttribute(m_url, keywords, &error);
        QCOMPARE(hookCalls, 1);
        if (expectedError) {
            QVERIFY(!read);
            compareError(error, expectedError);
        } else {
            QVERIFY2(read, qPrintable(error.description));
            QCOMPARE(*read, expected);
        }
    }

    void symbolicLinkActsOnTarget()
    {
        const QString linkPath = m_dir->filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(m_path, linkPath));
        const QUrl link = QUrl::fromLocalFile(linkPath);
        QVERIFY(!writeExtendedAttribute(link, keywords, typicalValue));
        QCOMPARE(getfattrDump(m_path).value(systemAttributeName(keywords)), typicalValue);
        QCOMPARE(readExtendedAttribute(link, keywords).value_or(QByteArray()), typicalValue);
        QVERIFY(!removeExtendedAttribute(link, keywords));
        QVERIFY(getfattrDump(m_path).isEmpty());
    }

    void readOnlyFileRefusesWrite()
    {
        QVERIFY(!writeExtendedAttribute(m_url, keywords, typicalValue));
        // Permission bits do not stop root; the immutable flag does.
        if (::geteuid() == 0) {
            const auto chattr = runProgram(QStringLiteral("chattr"), {QStringLiteral("+i"), m_path});
            if (chattr.exitCode != 0)
                QSKIP("running as root without the right to set the immutable flag: no file refuses root here");
            m_immutable = true;
        } else {
            QVERIFY(QFile::setPermissions(m_path, QFile::ReadOwner));
        }
        const auto writeError = writeExtendedAttribute(m_url, keywords, "changed");
        const auto removeError = removeExtendedAttribute(m_url, keywords);
        QVERIFY(writeError && removeError);
        compareError(*writeError, m_immutable ? EPERM : EACCES);
        compareError(*removeError, m_immutable ? EPERM : EACCES);
        QCOMPARE(readExtendedAttribute(m_url, keywords).value_or(QByteArray()), typicalValue);
    }

    // 64 KiB is the system's limit, but most file systems hold less in one attribute.
    void valueBeyondFileSystemCapacityKeepsOldValue()
    {
        QVERIFY(!writeExtendedAttribute(m_url, keywords, typicalValue));
        const QByteArray large = allByteValues(65536);
        const auto failure = writeExtendedAttribute(m_url, keywords, large);
        if (failure) {
            QVERIFY2(failure->code == ENOSPC || failure->code == E2BIG, qPrintable(failure->description));
            compareError(*failure, failure->code);
        }
        QCOMPARE(readExtendedAttribute(m_url, keywords).value_or(QByteArray()), failure ? typicalValue : large);
    }

    void systemName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("catalogue name into user.") << keywords << QByteArray("user.com.apple.metadata:kMDItemKeywords");
        QTest::newRow("user. kept") << QStringLiteral("user.x") << QByteArray("user.x");
        QTest::newRow("trusted. kept") << QStringLiteral("trusted.x") << QByteArray("trusted.x");
        QTest::newRow("security. kept") << QStringLiteral("security.selinux") << QByteArray("security.selinux");
        QTest::newRow("system. kept") << QStringLiteral("system.posix_acl_access")
                                      << QByteArray("system.posix_acl_access");
        QTest::newRow("empty stays empty") << QString() << QByteArray();
        QTest::newRow("namespaces are case-sensitive") << QStringLiteral("User.x") << QByteArray("user.User.x");
        QTest::newRow("namespace without its dot") << QStringLiteral("userx") << QByteArray("user.userx");
        QTest::newRow("UTF-8") << QStringLiteral("é") << QByteArray("user.\xc3\xa9");
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
        QTest::addColumn<QByteArray>("systemName");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("catalogue name, typical value")
            << keywords << QByteArray("user.com.apple.metadata:kMDItemKeywords") << typicalValue;
        QTest::newRow("empty value") << QStringLiteral("user.e") << QByteArray("user.e") << QByteArray("");
        QTest::newRow("non-ASCII name") << QStringLiteral("com.example.café") << QByteArray("user.com.example.caf\xc3\xa9")
                                        << QByteArray("\x00\xff\x41", 3);
        QTest::newRow("name with = and backslash") << QStringLiteral("a=b\\c") << QByteArray("user.a=b\\c")
                                                   << QByteArray("v");
        QTest::newRow("every byte value") << keywords << QByteArray("user.com.apple.metadata:kMDItemKeywords")
                                          << allByteValues(2048);
    }
    void attrToolsAgree()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, systemName);
        QFETCH(QByteArray, value);
        QVERIFY(!writeExtendedAttribute(m_url, name, value));
        QMap<QByteArray, QByteArray> expected;
        expected.insert(systemName, value);
        QCOMPARE(getfattrDump(m_path), expected);

        QVERIFY(setWithSetfattr(m_path, systemName, QByteArray()));
        PosixError error;
        QVERIFY(!readExtendedAttribute(m_url, name, &error));
        compareError(error, ENODATA);

        const QByteArray other = value + "+";
        QVERIFY(setWithSetfattr(m_path, systemName, other));
        QCOMPARE(readExtendedAttribute(m_url, name).value_or(QByteArray()), other);
    }

    void errorTextIsStrerrorAlone_data()
    {
        QTest::addColumn<int>("code");
        for (int code : {ENODATA, ERANGE, E2BIG, EPERM, ENOTSUP, 0, 4242, -1})
            QTest::newRow(qPrintable(QString::number(code))) << code;
    }
    void errorTextIsStrerrorAlone()
    {
        QFETCH(int, code);
        compareError(posixError(code), code);
    }
};

QTEST_GUILESS_MAIN(TestXattr)
#include "tst_xattr.moc"
