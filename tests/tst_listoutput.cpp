#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

using namespace Qt::StringLiterals;
using namespace corvane::test;

namespace {

// Every property list python's own plistlib test suite reads or writes (recorded while the suite
// runs), each as the value of a file's attribute where the file system holds it, beside values built
// to stress the JSON: lone surrogates, nesting at and past the limit, dates before 2001, with
// microseconds and out of range, reals beyond a double.
const QString vectors = uR"PY(
import os, plistlib, struct, sys, unittest
root = sys.argv[1]
seen = {}
real_loads, real_dumps = plistlib.loads, plistlib.dumps
def record(data):
    if isinstance(data, (bytes, bytearray)) and data:
        seen.setdefault(bytes(data), None)
def loads(data, *args, **kwargs):
    record(data)
    return real_loads(data, *args, **kwargs)
def dumps(*args, **kwargs):
    data = real_dumps(*args, **kwargs)
    record(data)
    return data
plistlib.loads, plistlib.dumps = loads, dumps
from test import test_plistlib
with open(os.devnull, 'w') as null:
    unittest.TextTestRunner(stream=null).run(unittest.defaultTestLoader.loadTestsFromModule(test_plistlib))
def binary(marker, trailer_top=0):
    # one object at offset 8, then a one-byte offset table
    return b'bplist00' + marker + bytes([8]) + bytes(6) + b'\x01\x01' + (1).to_bytes(8, 'big') + \
        (0).to_bytes(8, 'big') + (8 + len(marker)).to_bytes(8, 'big')
date = lambda seconds: binary(b'\x33' + struct.pack('>d', seconds))
xml = lambda body: b'<?xml version="1.0" encoding="UTF-8"?><plist version="1.0">' + body + b'</plist>'
named = {
    'lone': binary(b'\x61\xd8\x00'),
    'deepest': xml(b'<array>' * 247 + b'<dict/>' + b'</array>' * 247),
    'deeper': xml(b'<dict><key>k</key>' * 125 + b'<true/>' + b'</dict>' * 125),
    'before2001': date(-0.0005),
    'micro': date(123.000123),
    'far': date(1e13),
    'nan': date(float('nan')),
    'huge': xml(b'<array><real>1e400</real><real>-1.5E+400</real><real>1e-400</real></array>'),
}
written = 0
for i, value in enumerate(list(seen) + list(named.values())):
    name = list(named)[i - len(seen)] if i >= len(seen) else 'v%04d' % i
    path = os.path.join(root, name)
    open(path, 'w').close()
    try:
        os.setxattr(path, 'user.v', value)
        written += 1
    except OSError:
        os.unlink(path)
print(written)
)PY"_s;

// The JSON, read back by python as strictly as jq reads it: the document is UTF-8 without lone
// surrogates, and the values built above are what they should be.
const QString jsonCheck = uR"PY(
import base64, json, os, sys
document = json.load(sys.stdin)
json.dumps(document, ensure_ascii=False).encode('utf-8')
files = {os.path.basename(f['path']): f['attributes'][0] for f in document['files'] if f['attributes']}
def check(name, **expected):
    got = {key: files[name].get(key) for key in expected}
    assert got == expected, (name, got, expected)
check('lone', kind='string', value='\ufffd', valueBase64=base64.b64encode(os.getxattr(os.path.join(sys.argv[1], 'lone'), 'user.v')).decode())
check('deepest', kind='array', note=None)
check('deeper', kind='bytes', note='a property list nested more than 248 levels deep, which JSON readers refuse; shown as its bytes')
check('before2001', kind='date', value='2000-12-31T23:59:59.999500Z', seconds=None)
check('micro', kind='date', value='2001-01-01T00:02:03.000123Z')
check('far', kind='date', value=None, seconds=1e13)
check('nan', kind='date', value=None, seconds='NaN')
check('huge', kind='array', value=['Infinity', '-Infinity', 0.0])
print(len(files))
)PY"_s;

// Names that defeat a naive split, parsed back from the text form by its grammar:
// NAME " (" LABEL ", " KIND ") = " VALUE, with \ooo escapes in NAME and LABEL.
const QString namesCheck = uR"PY(
import os, re, sys
path = sys.argv[1]
names = [b'user.caf\xe9', 'user.a (b) = c'.encode(), b'user.x=y', b'user.back\\012slash', 'user.line\u2028sep'.encode(),
         'user.c1\x85x'.encode(), 'user.bidi\u202e'.encode(), b'user.tab\there', b'user.comma, label', b'user.end ',
         b'user.nl\nx', 'user.\u00e9t\u00e9'.encode()]
if sys.argv[2] == 'write':
    for name in names:
        os.setxattr(path, name, b'1')
    sys.exit(0)
unescape = lambda text: re.sub(rb'\\([0-7]{3})', lambda m: bytes([int(m.group(1), 8)]), text)
lines = sys.stdin.buffer.read().split(b'\n')
assert lines[0] == b'# file: ' + path.encode(), lines[0]
got = []
for line in lines[1:]:
    if not line:
        continue
    name, rest = line.split(b' (', 1)
    label, rest = rest.split(b', ', 1)
    kind, value = rest.split(b') = ', 1)
    assert b'\\' not in unescape(name) or b'\\' in name, line
    got.append(unescape(name))
assert sorted(got) == sorted(map(os.fsencode, os.listxattr(path))) == sorted(names), (got, names)
print(len(got))
)PY"_s;

} // namespace

// What --list writes parses back: every JSON reader takes the document, and every line of the text
// form splits into exactly the name it stands for.
class TestListOutput : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void plistlibVectorsParseAnywhere()
    {
        const QString root = m_dir.filePath(u"vectors"_s);
        QVERIFY(QDir().mkpath(root));
        const ProcessResult written = runProgram(u"python3"_s, { u"-c"_s, vectors, root });
        QVERIFY2(written.exitCode == 0, written.err.constData());
        QVERIFY2(written.out.trimmed().toInt() > 400, written.out.constData());

        CorvaneTool corvane;
        const ProcessResult listing = corvane.run({ "--list", "--json", "-R", QFile::encodeName(root) });
        QCOMPARE(listing.exitCode, 0);
        const ProcessResult jq = runProgram(u"jq"_s, { u"-e"_s, u".files | length"_s }, listing.out);
        QVERIFY2(jq.exitCode == 0, jq.err.constData());
        QCOMPARE(jq.out.trimmed().toInt(), written.out.trimmed().toInt() + 1); // and the folder
        const ProcessResult python = runProgram(u"python3"_s, { u"-c"_s, jsonCheck, root }, listing.out);
        QVERIFY2(python.exitCode == 0, python.err.constData());

        // The text form's values are the same JSON, one per line.
        const ProcessResult text = corvane.run({ "--list", "-R", QFile::encodeName(root) });
        QCOMPARE(text.exitCode, 0);
        QByteArray values;
        for (const QByteArray &line : text.out.split('\n')) {
            if (line.contains(") = "))
                values += line.mid(line.indexOf(") = ") + 4) + '\n';
        }
        QCOMPARE(runProgram(u"jq"_s, { u"-e"_s, u"."_s }, values).exitCode, 0);
    }

    void namesParseBack()
    {
        const QString path = m_dir.filePath(u"names"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(runProgram(u"python3"_s, { u"-c"_s, namesCheck, path, u"write"_s }).exitCode == 0);
        CorvaneTool corvane;
        const ProcessResult listing = corvane.run({ "--list", QFile::encodeName(path) });
        QCOMPARE(listing.exitCode, 0);
        const ProcessResult parsed
            = runProgram(u"python3"_s, { u"-c"_s, namesCheck, path, u"read"_s }, listing.out);
        QVERIFY2(parsed.exitCode == 0, (parsed.err + listing.out).constData());
        QCOMPARE(parsed.out, "12\n"_ba);
    }
};

QTEST_GUILESS_MAIN(TestListOutput)
#include "tst_listoutput.moc"
