#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

using namespace Qt::StringLiterals;
using corvane::test::CorvaneTool;
using corvane::test::ProcessResult;
using corvane::test::runProgram;
using corvane::test::runPython;

namespace {

// Python's plistlib states what a file holds before a command and what one attribute must hold after
// it: `before` runs with `p` the file's path; `expected` is an expression for the exact bytes (None:
// absent) with B(v) and X(v) plistlib's binary and XML forms of v.
const QString prelude = uR"PY(
import os, sys, plistlib, datetime
p = sys.argv[1]
B = lambda v: plistlib.dumps(v, fmt=plistlib.FMT_BINARY)
X = lambda v: plistlib.dumps(v, fmt=plistlib.FMT_XML)
D = datetime.datetime
def put(name, value): os.setxattr(p, name, value)
)PY"_s;

QByteArray expectedBytes(const QString &path, const QString &expression, bool *ok)
{
    const ProcessResult result = runProgram(u"python3"_s,
        { u"-c"_s, prelude + u"v = %1\nprint('absent' if v is None else v.hex())"_s.arg(expression), path });
    *ok = result.exitCode == 0;
    return result.out.trimmed();
}

// The value as getfattr reads it, in hexadecimal, or "absent".
QByteArray getfattrBytes(const QString &path, const QByteArray &name)
{
    const ProcessResult result = runProgram(
        u"getfattr"_s, { u"--only-values"_s, u"--absolute-names"_s, u"-n"_s, QString::fromUtf8(name), path });
    return result.exitCode == 0 ? result.out.toHex() : "absent"_ba;
}

} // namespace

// --set, --remove, --tag and --clear run as a user runs them, checked against what python's plistlib
// writes for the value expected and against what getfattr reads.
class TestWriteCommand : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;

    QString newFile(const QString &before)
    {
        const QString path = m_dir.filePath(u"file %1"_s.arg(++m_files));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.close();
        if (runProgram(u"python3"_s, { u"-c"_s, prelude + before, path }).exitCode != 0)
            return {};
        return path;
    }

private slots:
    void initTestCase() { QVERIFY2(QFile::exists(CorvaneTool::program()), "build the corvane target first"); }

    void changes_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments"); // the file follows
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("preferences");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QByteArray>("name"); // the attribute checked
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("expectedDesktopTags"); // user.xdg.tags; empty: not checked

        const QByteArray comment = "user.com.apple.metadata:kMDItemComment";
        const QByteArray keywords = "user.com.apple.metadata:kMDItemKeywords";
        const QByteArray tags = "user.com.apple.metadata:_kMDItemUserTags";
        const QString none;
        // The editor's way: Save's forms.
        QTest::newRow("catalogue label, new")
            << QList<QByteArray> { "--set", "Comment", "Grüße \"quoted\" & <b>" } << QByteArray()
            << QByteArray() << none << comment << u"B('Grüße \"quoted\" & <b>')"_s << QString();
        QTest::newRow("over XML: Save writes binary, keeps a server's NUL")
            << QList<QByteArray> { "--set", "Comment", "new" } << QByteArray() << QByteArray()
            << u"put('%1', X('old') + b'\\0')"_s.arg(QString::fromUtf8(comment)) << comment
            << u"B('new') + b'\\0'"_s << QString();
        QTest::newRow("plain text found stays plain")
            << QList<QByteArray> { "--set", "Comment", "new" } << QByteArray() << QByteArray()
            << u"put('%1', b'old')"_s.arg(QString::fromUtf8(comment)) << comment << u"b'new'"_s << QString();
        QTest::newRow("desktop label is plain text")
            << QList<QByteArray> { "--set", "Comment (desktop)", "hi" } << QByteArray() << QByteArray()
            << none << "user.xdg.comment"_ba << u"b'hi'"_s << QString();
        QTest::newRow("bare full name goes into user.")
            << QList<QByteArray> { "--set", "my.note", "x" } << QByteArray() << QByteArray() << none
            << "user.my.note"_ba << u"B('x')"_s << QString();
        QTest::newRow("standard input, last line break dropped")
            << QList<QByteArray> { "--set", "Comment", "-" } << "two\nlines\n"_ba << QByteArray() << none
            << comment << u"B('two\\nlines')"_s << QString();
        QTest::newRow("empty text removes, as Save")
            << QList<QByteArray> { "--set", "Comment", "" } << QByteArray() << QByteArray()
            << u"put('%1', B('old'))"_s.arg(QString::fromUtf8(comment)) << comment << u"None"_s << QString();
        // Typed forms.
        QTest::newRow("list, new") << QList<QByteArray> { "--set", "Keywords", "-", "--kind", "list" }
                                   << "a\r\nb\n\n"_ba << QByteArray() << none << keywords
                                   << u"B(['a', 'b', ''])"_s << QString();
        QTest::newRow("list keeps XML")
            << QList<QByteArray> { "--kind", "list", "--set", "Keywords", "x" } << QByteArray()
            << QByteArray() << u"put('%1', X(['old']))"_s.arg(QString::fromUtf8(keywords)) << keywords
            << u"X(['x'])"_s << QString();
        QTest::newRow("dates") << QList<QByteArray> { "--set", "Downloaded", "-", "--kind", "date" }
                               << "2026-12-06T09:30:15Z\n1999-01-01T00:00:00+01:00"_ba << QByteArray() << none
                               << "user.com.apple.metadata:kMDItemDownloadedDate"_ba
                               << u"B([D(2026, 12, 6, 9, 30, 15), D(1998, 12, 31, 23)])"_s << QString();
        QTest::newRow("text over plain is a property list")
            << QList<QByteArray> { "--set", "Comment", "t", "--kind", "text" } << QByteArray() << QByteArray()
            << u"put('%1', b'plain')"_s.arg(QString::fromUtf8(comment)) << comment << u"B('t')"_s
            << QString();
        QTest::newRow("plain") << QList<QByteArray> { "--set", "Comment", "é", "--kind", "plain" }
                               << QByteArray() << QByteArray() << none << comment << u"'é'.encode()"_s
                               << QString();
        QTest::newRow("tags as a value keep their colours")
            << QList<QByteArray> { "--set", "Tags", "Work\nRed", "--kind", "tags" } << QByteArray()
            << QByteArray() << u"put('%1', B(['Red\\n6', 'Old']))"_s.arg(QString::fromUtf8(tags)) << tags
            << u"B(['Work', 'Red\\n6'])"_s << QString();
        // Tags, both sides.
        QTest::newRow("tag add, both sides")
            << QList<QByteArray> { "--tag", "add", "Work, Urgent,Work" } << QByteArray() << QByteArray()
            << u"put('%1', X(['Red\\n6'])); put('user.xdg.tags', b'Red, Home')"_s.arg(QString::fromUtf8(tags))
            << tags << u"X(['Red\\n6', 'Work', 'Urgent'])"_s << u"b'Red,Home,Work,Urgent'"_s;
        QTest::newRow("tag remove, the last one removes the list")
            << QList<QByteArray> { "--tag", "remove", "Red" } << QByteArray() << QByteArray()
            << u"put('%1', B(['Red\\n6'])); put('user.xdg.tags', b'Red')"_s.arg(QString::fromUtf8(tags))
            << tags << u"None"_s << u"None"_s;
        QTest::newRow("tag set, bridge off")
            << QList<QByteArray> { "--tag", "set", "A,B" } << QByteArray() << "bridgeTags=false\n"_ba
            << u"put('user.xdg.tags', b'Old')"_s << tags << u"B(['A', 'B'])"_s << u"b'Old'"_s;
        QTest::newRow("tag add where all are there writes nothing")
            << QList<QByteArray> { "--tag", "add", "A" } << QByteArray() << QByteArray()
            << u"put('%1', B(['A\\n0'])); put('user.xdg.tags', b' A ,')"_s.arg(QString::fromUtf8(tags))
            << tags << u"B(['A\\n0'])"_s << u"b' A ,'"_s;
        QTest::newRow("remove by label")
            << QList<QByteArray> { "--remove", "Where from" } << QByteArray() << QByteArray()
            << u"put('user.com.apple.metadata:kMDItemWhereFroms', B(['u']))"_s
            << "user.com.apple.metadata:kMDItemWhereFroms"_ba << u"None"_s << QString();
        QTest::newRow("clear with --match leaves the rest")
            << QList<QByteArray> { "--clear", "--match", "^user\\.x" } << QByteArray() << QByteArray()
            << u"put('user.xa', b'1'); put('user.keep', b'2')"_s << "user.keep"_ba << u"b'2'"_s << QString();
    }
    void changes()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, name);
        QFETCH(QString, expectedDesktopTags);
        CorvaneTool corvane;
        QFETCH(QByteArray, preferences);
        QVERIFY(corvane.setPreferences(preferences));
        QFETCH(QString, before);
        const QString path = newFile(before);
        QVERIFY(!path.isEmpty());
        QFETCH(QByteArray, input);
        const ProcessResult result = corvane.run(arguments << QFile::encodeName(path), input);
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QByteArray());

        bool ok = false;
        QFETCH(QString, expected);
        const QByteArray want = expectedBytes(path, expected, &ok);
        QVERIFY(ok);
        QCOMPARE(getfattrBytes(path, name), want);
        if (!expectedDesktopTags.isEmpty()) {
            const QByteArray desktop = expectedBytes(path, expectedDesktopTags, &ok);
            QVERIFY(ok);
            QCOMPARE(getfattrBytes(path, "user.xdg.tags"), desktop);
        }
    }

    // What cannot be done is said, with the exit status scripts test, and leaves the file as it was: a
    // side of the tags Corvane cannot change keeps the other side as it is too.
    void refusals_data()
    {
        QTest::addColumn<QList<QByteArray>>(
            "arguments"); // "@" is a file holding user.com.apple.metadata:_kMDItemUserTags
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QByteArray>("out");
        const QByteArray usage = "Try 'corvane --help' for more information.\n";
        QTest::newRow("no file") << QList<QByteArray> { "--remove", "Comment" } << 2
                                 << "corvane: --remove needs at least one file\n" + usage << QByteArray();
        QTest::newRow("two verbs") << QList<QByteArray> { "--clear", "--dump", "@" } << 2
                                   << "corvane: --clear and --dump cannot be combined: one verb at a time\n"
                + usage << QByteArray();
        QTest::newRow("unknown kind")
            << QList<QByteArray> { "--set", "A", "b", "--kind", "number", "@" } << 2
            << "corvane: --kind takes list, tags, date, text or plain, not “number”\n" + usage
            << QByteArray();
        QTest::newRow("option of another verb")
            << QList<QByteArray> { "--remove", "A", "--to", "x", "@" } << 2
            << "corvane: --to does not go with --remove\n" + usage << QByteArray();
        QTest::newRow("value not UTF-8") << QList<QByteArray> { "--set", "A", "\xff", "@" } << 2
                                         << "corvane: the value is not UTF-8 text\n" + usage << QByteArray();
        QTest::newRow("no date") << QList<QByteArray> { "--set", "A", "yesterday", "--kind", "date", "@" }
                                 << 2
                                 << "corvane: “yesterday” is no date; dates are ISO 8601, such as "
                                    "2026-12-06T09:30:00Z\n"_ba
                                 << QByteArray();
        QTest::newRow("bad pattern") << QList<QByteArray> { "--clear", "--match", "(", "@" } << 2
                                     << "corvane: --match: Unmatched ( or \\(\n"_ba << QByteArray();
        QTest::newRow("missing file, the others done")
            << QList<QByteArray> { "--set", "A", "b", "--dry-run", "@-missing", "@" } << 1
            << "corvane: @-missing: No such file or directory\n"_ba
            << "@: would set user.A\n"_ba;
        QTest::newRow("tags that are no tags stay")
            << QList<QByteArray> { "--tag", "add", "X", "@" } << 1
            << "corvane: @: user.com.apple.metadata:_kMDItemUserTags: the "
               "Finder's tags hold a value that is no list of tags; left as "
               "it is\n"_ba
            << QByteArray();
        QTest::newRow("XML cannot hold it")
            << QList<QByteArray> { "--set", "Keywords", "a\x01", "--kind", "list", "@" } << 1
            << "corvane: @: user.com.apple.metadata:kMDItemKeywords: The value "
               "cannot be stored as an XML property list: a string holds the "
               "character U+0001, which XML cannot hold.\n"_ba
            << QByteArray();
    }
    void refusals()
    {
        QFETCH(QList<QByteArray>, arguments);
        const QString path = newFile(u"put('user.com.apple.metadata:_kMDItemUserTags', X([1, 'two']))\n"
                                     "put('user.com.apple.metadata:kMDItemKeywords', X(['k']))"_s);
        QVERIFY(!path.isEmpty());
        const QByteArray file = QFile::encodeName(path);
        for (QByteArray &argument : arguments)
            argument.replace('@', file);
        CorvaneTool corvane;
        const QByteArray tags = "user.com.apple.metadata:_kMDItemUserTags";
        const QByteArray before = getfattrBytes(path, tags);
        const ProcessResult result = corvane.run(arguments);
        QTEST(QByteArray(result.err).replace(file, "@"), "err");
        QTEST(result.exitCode, "exitCode");
        QTEST(QByteArray(result.out).replace(file, "@"), "out");
        QCOMPARE(getfattrBytes(path, tags), before);
        QVERIFY(!QDir(corvane.journalDirectory()).exists() || QDir(corvane.journalDirectory()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWriteCommand)
#include "tst_writecommand.moc"
