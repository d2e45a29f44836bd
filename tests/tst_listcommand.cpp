#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace corvane::test;

namespace {

// The attributes python writes with os.setxattr, and what the listing's JSON must hold for each.
const QString peer = uR"PY(
import base64, datetime, json, math, os, plistlib, struct, sys
D, BIN, XML = datetime.datetime, plistlib.FMT_BINARY, plistlib.FMT_XML
plists = {
    'user.com.apple.metadata:kMDItemWhereFroms': (['https://example.com/a.zip', 'https://example.com/'], BIN, b''),
    'user.com.apple.metadata:kMDItemDownloadedDate': ([D(2026, 12, 6, 9, 30, 15)], BIN, b''),
    'user.com.apple.metadata:_kMDItemUserTags': (['Red\n6', 'Work'], XML, b''),
    'user.test.nested': ({'a': [1, -2**63, 2**64 - 1, 0.5, True, b'\x00\x01'], 'b': {'c': D(1999, 1, 1)},
                          'q': 'say "hi" \\ \u00e9\U0001F600\t'}, BIN, b''),
    'user.test.reals': ([math.nan, math.inf, -math.inf, 1e300, -0.25], BIN, b''),
    'user.com.apple.metadata:kMDItemComment': ('with a NUL', BIN, b'\0'),
    'user.DosStream.com.apple.metadata\uf022kMDItemKeywords:$DATA': (['samba', 'keywords'], BIN, b'\0'),
}
others = {  # name: (bytes, kind, value in JSON)
    'user.com.apple.quarantine': (b'0083;5f1e2a3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5', 'quarantine',
        {'flags': '0083', 'time': '2020-07-27T01:13:31Z', 'agent': 'Safari',
         'id': 'F643CD5F-6071-46AB-83AB-390BA944DEC5'}),
    'user.com.apple.lastuseddate#PS': (struct.pack('<qq', 1765000000, 0), 'date', '2025-12-06T05:46:40Z'),
    'user.com.apple.FinderInfo': (bytes(range(32)), 'bytes', base64.b64encode(bytes(range(32))).decode()),
    b'user.caf\xe9': (b'\xff\x00', 'bytes', '/wA='),
}
labels = {'user.com.apple.metadata:kMDItemWhereFroms': 'Where from', 'user.com.apple.quarantine': 'Quarantine',
          'user.DosStream.com.apple.metadata\uf022kMDItemKeywords:$DATA': 'Keywords',
          'user.xdg.comment': 'Comment (desktop)'}
def expected(o):
    if isinstance(o, D): return o.strftime('%Y-%m-%dT%H:%M:%SZ')
    if isinstance(o, bytes): return base64.b64encode(o).decode()
    if isinstance(o, list): return [expected(x) for x in o]
    if isinstance(o, dict): return {k: expected(v) for k, v in o.items()}
    if isinstance(o, float) and not math.isfinite(o): return 'NaN' if math.isnan(o) else ('Infinity' if o > 0 else '-Infinity')
    return o
path = sys.argv[2]
if sys.argv[1] == 'write':
    for name, (value, fmt, suffix) in plists.items():
        os.setxattr(path, name, plistlib.dumps(value, fmt=fmt) + suffix)
    for name, (value, kind, json_value) in others.items():
        os.setxattr(path, name, value)
    sys.exit(0)
listing = json.load(sys.stdin)
assert list(listing) == ['files'] and len(listing['files']) == 1, listing
file = listing['files'][0]
assert file['path'] == path and file['error'] is None and 'pathBase64' not in file, file
want = {name.encode() if isinstance(name, str) else name: (kind, expected(value))
        for name, (value, fmt, suffix) in plists.items() for kind in ['array' if isinstance(value, list) else 'dictionary' if isinstance(value, dict) else 'string']}
want.update({name.encode() if isinstance(name, str) else name: (kind, value) for name, (_, kind, value) in others.items()})
want[b'user.xdg.comment'] = ('text', 'Gr\u00fc\u00dfe\n"from" Linux')
got = file['attributes']
names = [base64.b64decode(a['nameBase64']) if 'nameBase64' in a else a['name'].encode() for a in got]
assert names == sorted(want), (names, sorted(want))
for name, attribute in zip(names, got):
    kind, value = want[name]
    assert attribute['kind'] == kind, (name, attribute)
    assert attribute['value'] == value, (name, attribute['value'], value)
    assert attribute['size'] == len(os.getxattr(path, name)), (name, attribute)
    assert attribute['name'] == name.decode(errors='replace'), attribute
    mac = name.decode(errors='replace').replace('\uf022', ':')
    mac = mac[len('user.DosStream.'):-len(':$DATA')] if 'DosStream' in mac else mac[len('user.'):]
    assert attribute['macName'] == (mac if mac.startswith('com.apple.') else None), attribute
    if name.decode(errors='replace') in labels:
        assert attribute['label'] == labels[name.decode()], attribute
print('ok')
)PY"_s;

} // namespace

// `corvane --list`, run as a user or a script runs it.
class TestListCommand : public QObject {
    Q_OBJECT
    TestFiles m_files;

private slots:
    // QTemporaryDir cannot name a file whose name is not UTF-8, so it could not remove it.
    void cleanupTestCase() { ::unlink(QFile::encodeName(m_files.path(u"caf"_s)) + "\xe9"); }

    // Python writes arrays, dates, nested dictionaries, Samba's stream form and the records, setfattr
    // writes plain text; python reads the JSON back and compares it with what it wrote.
    void jsonMatchesWhatWasWritten()
    {
        const QString path = m_files.make(u"from a Mac.pdf"_s, "%PDF");
        const auto written = runProgram(u"python3"_s, { u"-c"_s, peer, u"write"_s, path });
        QVERIFY2(written.exitCode == 0, written.err.constData());
        QVERIFY(setAttributeWithTool(path, u"user.xdg.comment"_s, u"Grüße\n\"from\" Linux"_s.toUtf8()));

        const ProcessResult listing = CorvaneTool().run({ "--list", "--json", QFile::encodeName(path) });
        QCOMPARE(listing.err, QByteArray());
        QCOMPARE(listing.exitCode, 0);
        const auto checked = runProgram(u"python3"_s, { u"-c"_s, peer, u"check"_s, path }, listing.out);
        QVERIFY2(checked.exitCode == 0, (checked.err + listing.out).constData());
        QCOMPARE(checked.out, "ok\n"_ba);
    }

    void textForm()
    {
        const QString path = m_files.make(u"text form"_s);
        QVERIFY(setAttributeWithTool(path, u"user.xdg.comment"_s, u"two\nlines"_s.toUtf8()));
        QVERIFY(setAttributesWithPython({ { path, "user.com.apple.metadata:kMDItemKeywords",
                                              u"plistlib.dumps(['a', 'b\"'], fmt=plistlib.FMT_BINARY)"_s },
            { path, "user.line\nbreak", u"b'\\x01'"_s } }));
        const ProcessResult listing
            = CorvaneTool().run({ "--list", QFile::encodeName(path), QFile::encodeName(path) });
        QCOMPARE(listing.exitCode, 0);
        const QByteArray block = "# file: " + path.toUtf8()
            + "\n"
              "user.com.apple.metadata:kMDItemKeywords (Keywords, list of 2 texts) = [\"a\",\"b\\\"\"]\n"
              "user.line\\012break (line\\012break, 1 byte) = \"AQ==\"\n"
              "user.xdg.comment (Comment (desktop), plain text) = \"two\\nlines\"\n"
              "\n";
        QCOMPARE(listing.out, block + block);
    }

    // Names that would hide or disguise themselves (a right-to-left override, bytes that are not UTF-8,
    // line breaks, a backslash, a no-break space) are escaped in octal, and every name parses back to
    // its exact bytes; values that would expand a thousandfold are given as their bytes with the reason.
    void namesParseBackAndBombsSayWhy()
    {
        const QString path = m_files.make(u"names"_s);
        const QString script = uR"PY(
import os, plistlib, re, sys
path, B = sys.argv[2], plistlib.FMT_BINARY
names = [b'user.bidi\xe2\x80\xaeexe.txt', b'user.caf\xe9', b'user.caf\xe8', b'user.back\\slash', b'user.\\134 as typed',
         b'user.line\nbreak\x7f', b'user.no-break\xc2\xa0space', b'user.Gr\xc3\xbc\xc3\x9fe']
bombs = {b'user.shared': plistlib.dumps([[True] * 240] * 120, fmt=B),
         b'user.keys': plistlib.dumps([{'\x01' * 1000: True}] * 970, fmt=B)}
if sys.argv[1] == 'write':
    for name in names:
        os.setxattr(path, name, b'x')
    for name, value in bombs.items():
        os.setxattr(path, name, value)
    sys.exit(0)
text = sys.stdin.buffer.read()
assert b'\xe2\x80\xae' not in text and b'\xe9' not in text and b'\xa0' not in text, text
assert b'user.Gr\xc3\xbc\xc3\x9fe (Gr\xc3\xbc\xc3\x9fe, ' in text, text  # printable text stays as it is
lines = text.split(b'\n')
assert lines[0] == b'# file: ' + os.fsencode(path) and lines[-2:] == [b'', b''], lines
unescape = lambda field: re.sub(rb'\\([0-7]{3})', lambda m: bytes([int(m.group(1), 8)]), field)
parsed = {unescape(line.split(b' (', 1)[0]): line for line in lines[1:-2]}
assert sorted(parsed) == sorted(names + list(bombs)), sorted(parsed)
for name in bombs:
    assert b' bytes: a property list that would expand to more than 64 times its size' in parsed[name], parsed[name]
print('ok')
)PY"_s;
        const auto written = runProgram(u"python3"_s, { u"-c"_s, script, u"write"_s, path });
        QVERIFY2(written.exitCode == 0, written.err.constData());
        const ProcessResult listing = CorvaneTool().run({ "--list", QFile::encodeName(path) });
        QCOMPARE(listing.exitCode, 0);
        const auto checked = runProgram(u"python3"_s, { u"-c"_s, script, u"check"_s, path }, listing.out);
        QVERIFY2(checked.exitCode == 0, (checked.err + listing.out.left(2000)).constData());

        // The JSON gives the bombs' exact bytes and the note; names keep their exact bytes in base64.
        const ProcessResult json = CorvaneTool().run({ "--list", "--json", QFile::encodeName(path) });
        QCOMPARE(json.exitCode, 0);
        const QJsonArray attributes = QJsonDocument::fromJson(json.out)
                                          .object()[u"files"_s]
                                          .toArray()[0]
                                          .toObject()[u"attributes"_s]
                                          .toArray();
        QCOMPARE(attributes.size(), 10);
        for (const QJsonValue &value : attributes) {
            const QJsonObject attribute = value.toObject();
            const bool bomb
                = attribute[u"name"_s] == u"user.shared"_s || attribute[u"name"_s] == u"user.keys"_s;
            QCOMPARE(attribute.contains(u"note"_s), bomb);
            if (bomb)
                QCOMPARE(QByteArray::fromBase64(attribute[u"value"_s].toString().toLatin1()),
                    attributeFromTool(path, attribute[u"name"_s].toString().mid(5)).value_or("?"));
        }
    }

    void exitStatusAndMessages_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments"); // "@" stands for the test's directory
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("err");
        QTest::addColumn<QList<QByteArray>>("errors"); // each file's error in the JSON, "" for none
        const QByteArray plain = "@/plain", missing = "@/missing", notUtf8 = "@/caf\xe9";
        QTest::newRow("one file missing") << QList<QByteArray> { "--json", "--list", plain, missing, notUtf8 }
                                          << 1 << "corvane: " + missing + ": No such file or directory\n"
                                          << QList<QByteArray> { "", "No such file or directory", "" };
        QTest::newRow("all failing") << QList<QByteArray> { "--list", "--json", missing, "@/plain/x" } << 1
                                     << "corvane: " + missing
                + ": No such file or directory\ncorvane: @/plain/x: "
                  "Not a directory\n" << QList<QByteArray> { "No such file or directory", "Not a directory" };
        QTest::newRow("a file named like an option, after --") << QList<QByteArray> { "--list", "--json",
            "--", "@/--json" } << 0 << QByteArray() << QList<QByteArray> { "" };
        const QByteArray usage = "Try 'corvane --help' for more information.\n";
        QTest::newRow("no file") << QList<QByteArray> { "--list", "--json" } << 2
                                 << "corvane: --list needs at least one file\n" + usage
                                 << QList<QByteArray>();
        QTest::newRow("--json alone") << QList<QByteArray> { "--json", plain } << 2
                                      << "corvane: --json goes with --list\n" + usage << QList<QByteArray>();
        QTest::newRow("unknown option") << QList<QByteArray> { "--list", "-x", plain } << 2
                                        << "corvane: unknown option: -x\n" + usage << QList<QByteArray>();
    }
    void exitStatusAndMessages()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QList<QByteArray>, errors);
        const QByteArray dir = QFile::encodeName(m_files.path(QString()));
        for (const char *name : { "/plain", "/caf\xe9", "/--json" })
            QVERIFY(::close(::open(dir + name, O_CREAT | O_WRONLY, 0644)) == 0);
        for (QByteArray &argument : arguments)
            argument.replace('@', dir);
        const ProcessResult listing = CorvaneTool().run(arguments);
        QTEST(listing.exitCode, "exitCode");
        QTEST(QByteArray(listing.err).replace(dir, "@"), "err");
        if (errors.isEmpty()) {
            QCOMPARE(listing.out, QByteArray());
            return;
        }
        QJsonParseError parseError;
        const QJsonArray files
            = QJsonDocument::fromJson(listing.out, &parseError).object()[u"files"_s].toArray();
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(files.size(), errors.size());
        // The files are always the last arguments.
        const QList<QByteArray> paths = arguments.mid(arguments.size() - errors.size());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QJsonObject file = files[i].toObject();
            QCOMPARE(file[u"error"_s].toString().toUtf8(), errors[i]);
            QCOMPARE(file[u"error"_s].isNull(), errors[i].isEmpty());
            QCOMPARE(file[u"path"_s].toString(), QString::fromUtf8(paths[i]));
            const bool utf8 = QString::fromUtf8(paths[i]).toUtf8() == paths[i];
            QCOMPARE(file.contains(u"pathBase64"_s), !utf8);
            if (!utf8)
                QCOMPARE(QByteArray::fromBase64(file[u"pathBase64"_s].toString().toLatin1()), paths[i]);
        }
    }
};

QTEST_GUILESS_MAIN(TestListCommand)
#include "tst_listcommand.moc"
