#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

using namespace Qt::StringLiterals;
using namespace corvane::test;

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
C, K, T = ('user.com.apple.metadata:' + n for n in ('kMDItemComment', 'kMDItemKeywords', '_kMDItemUserTags'))
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
        struct Row {
            QList<QByteArray> arguments;
            QString before; // python, over the file `p`: C, K and T the comment, keywords and tags names
            QByteArray name;
            QString expected;
            QByteArray input = {};
            QString desktopTags = {};
            QByteArray preferences = {};
        };
        const auto row = [](const char *tag, const Row &r) {
            QTest::newRow(tag) << r.arguments << r.input << r.preferences << r.before << r.name << r.expected
                               << r.desktopTags;
        };
        // clang-format off
        // The editor's way: Save's forms.
        row("catalogue label, new", { { "--set", "Comment", "Grüße \"quoted\" & <b>" }, {}, comment, u"B('Grüße \"quoted\" & <b>')"_s });
        row("over XML: Save writes binary, keeps a server's NUL", { { "--set", "Comment", "new" }, u"put(C, X('old') + b'\\0')"_s, comment, u"B('new') + b'\\0'"_s });
        row("plain text found stays plain", { { "--set", "Comment", "new" }, u"put(C, b'old')"_s, comment, u"b'new'"_s });
        row("desktop label is plain text", { { "--set", "Comment (desktop)", "hi" }, {}, "user.xdg.comment", u"b'hi'"_s });
        row("bare full name goes into user.", { { "--set", "my.note", "x" }, {}, "user.my.note", u"B('x')"_s });
        row("standard input, last line break dropped", { { "--set", "Comment", "-" }, {}, comment, u"B('two\\nlines')"_s, "two\nlines\n" });
        row("empty text removes, as Save", { { "--set", "Comment", "" }, u"put(C, B('old'))"_s, comment, u"None"_s });
        // Typed forms.
        row("list, new", { { "--set", "Keywords", "-", "--kind", "list" }, {}, keywords, u"B(['a', 'b', ''])"_s, "a\r\nb\n\n" });
        row("list keeps XML", { { "--kind", "list", "--set", "Keywords", "x" }, u"put(K, X(['old']))"_s, keywords, u"X(['x'])"_s });
        row("dates", { { "--set", "Downloaded", "-", "--kind", "date" }, {}, "user.com.apple.metadata:kMDItemDownloadedDate", u"B([D(2026, 12, 6, 9, 30, 15), D(1998, 12, 31, 23)])"_s, "2026-12-06T09:30:15Z\n1999-01-01T00:00:00+01:00" });
        row("text over plain is a property list", { { "--set", "Comment", "t", "--kind", "text" }, u"put(C, b'plain')"_s, comment, u"B('t')"_s });
        row("plain", { { "--set", "Comment", "é", "--kind", "plain" }, {}, comment, u"'é'.encode()"_s });
        row("tags as a value keep their colours", { { "--set", "Tags", "Work\nRed", "--kind", "tags" }, u"put(T, B(['Red\\n6', 'Old']))"_s, tags, u"B(['Work', 'Red\\n6'])"_s });
        // Tags, both sides.
        row("tag add, both sides", { { "--tag", "add", "Work, Urgent,Work" }, u"put(T, X(['Red\\n6'])); put('user.xdg.tags', b'Red, Home')"_s, tags, u"X(['Red\\n6', 'Work', 'Urgent'])"_s, {}, u"b'Red,Home,Work,Urgent'"_s });
        row("tag remove, the last one removes the list", { { "--tag", "remove", "Red" }, u"put(T, B(['Red\\n6'])); put('user.xdg.tags', b'Red')"_s, tags, u"None"_s, {}, u"None"_s });
        row("tag set, bridge off", { { "--tag", "set", "A,B" }, u"put('user.xdg.tags', b'Old')"_s, tags, u"B(['A', 'B'])"_s, {}, u"b'Old'"_s, "bridgeTags=false\n" });
        row("tag add where all are there writes nothing", { { "--tag", "add", "A" }, u"put(T, B(['A\\n0'])); put('user.xdg.tags', b' A ,')"_s, tags, u"B(['A\\n0'])"_s, {}, u"b' A ,'"_s });
        row("remove by label", { { "--remove", "Where from" }, u"put('user.com.apple.metadata:kMDItemWhereFroms', B(['u']))"_s, "user.com.apple.metadata:kMDItemWhereFroms", u"None"_s });
        row("clear with --match leaves the rest", { { "--clear", "--match", "^user\\.x" }, u"put('user.xa', b'1'); put('user.keep', b'2')"_s, "user.keep", u"b'2'"_s });
        // clang-format on
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
        const auto row
            = [](const char *tag, const QList<QByteArray> &arguments, int exitCode, const QByteArray &err,
                  const QByteArray &out = {}) { QTest::newRow(tag) << arguments << exitCode << err << out; };
        // clang-format off
        row("no file", { "--remove", "Comment" }, 2, "corvane: --remove needs at least one file\n" + usage);
        row("two verbs", { "--clear", "--dump", "@" }, 2, "corvane: --clear and --dump cannot be combined: one verb at a time\n" + usage);
        row("unknown kind", { "--set", "A", "b", "--kind", "number", "@" }, 2, "corvane: --kind takes list, tags, date, text or plain, not “number”\n" + usage);
        row("option of another verb", { "--remove", "A", "--to", "x", "@" }, 2, "corvane: --to does not go with --remove\n" + usage);
        row("value not UTF-8", { "--set", "A", "\xff", "@" }, 2, "corvane: the value is not UTF-8 text\n" + usage);
        row("no date", { "--set", "A", "yesterday", "--kind", "date", "@" }, 2, "corvane: “yesterday” is no date; dates are ISO 8601, such as 2026-12-06T09:30:00Z\n");
        row("bad pattern", { "--clear", "--match", "(", "@" }, 2, "corvane: --match: Unmatched ( or \\(\n");
        row("missing file, the others done", { "--set", "A", "b", "--dry-run", "@-missing", "@" }, 1, "corvane: @-missing: No such file or directory\n", "@: would set user.A\n");
        row("tags that are no tags stay", { "--tag", "add", "X", "@" }, 1, "corvane: @: user.com.apple.metadata:_kMDItemUserTags: the Finder's tags hold a value that is no list of tags; left as it is\n");
        row("XML cannot hold it", { "--set", "Keywords", "a\x01", "--kind", "list", "@" }, 1, "corvane: @: user.com.apple.metadata:kMDItemKeywords: The value cannot be stored as an XML property list: a string holds the character U+0001, which XML cannot hold.\n");
        // clang-format on
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
