#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

using namespace Qt::StringLiterals;
using namespace corvane::test;

namespace {

// Python gives each file every kind of value a file carries: property lists of each type in both forms,
// a server's trailing NUL, plain text, bytes, an empty value, and names that are not UTF-8 or hold a
// line break, a backslash or "=".
const QString writer = uR"PY(
import datetime, os, plistlib, sys
B, X = plistlib.FMT_BINARY, plistlib.FMT_XML
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    d = os.path.join(root, 'd%d' % (i // 100))
    os.makedirs(d, exist_ok=True)
    p = os.path.join(d, 'f%d' % i)
    open(p, 'w').close()
    values = {
        'user.com.apple.metadata:kMDItemKeywords': plistlib.dumps(['k%d' % i, 'caf\u00e9', '\U0001F600'], fmt=B),
        'user.com.apple.metadata:kMDItemComment': plistlib.dumps('comment %d' % i, fmt=X) + b'\0',
        'user.com.apple.metadata:kMDItemDownloadedDate': plistlib.dumps([datetime.datetime(2000 + i % 30, 1, 2, 3, 4, 5)], fmt=B),
        'user.com.apple.metadata:_kMDItemUserTags': plistlib.dumps(['Red\n6', 'T%d' % i], fmt=X),
        'user.test.numbers': plistlib.dumps({'int': -i, 'big': 2**64 - 1, 'real': i / 7, 'yes': bool(i % 2)}, fmt=B),
        'user.test.data': plistlib.dumps(bytes(range(i % 256)) * 2, fmt=B),
        'user.test.nested': plistlib.dumps([[{'a': [i]}]], fmt=X),
        'user.xdg.comment': ('Gr\u00fc\u00dfe %d\nline' % i).encode(),
        'user.test.bytes': bytes([i % 256, 0, 255, 10]) * 64,
        'user.test.empty': b'',
        b'user.caf\xe9': b'\xff\x00\xfe',
        'user.line\nbreak': b'x',
        'user.back\\slash=eq': b'y',
        'user.com.apple.quarantine': b'0083;5f1e2a3b;Safari;%d' % i,
    }
    for name, value in values.items():
        os.setxattr(p, name, value)
    if i % 100 == 0:
        os.setxattr(d, 'user.folder', b'%d' % i)
)PY"_s;

// Every attribute of every file below a folder, as getfattr dumps them, keyed by the relative path.
const QString compare = uR"PY(
import json, subprocess, sys
def tree(root):
    out = subprocess.run(['getfattr', '-R', '-d', '-m', '-', '-e', 'base64', '.'], cwd=root,
                         capture_output=True, check=True).stdout
    files, current = {}, None
    for line in out.split(b'\n'):
        if line.startswith(b'# file: '):
            current = files.setdefault(line[8:], {})
        elif b'=' in line:
            name, value = line.split(b'=', 1)
            current[name] = value
    return files
a, b = tree(sys.argv[1]), tree(sys.argv[2])
assert a == b, [(k, a.get(k), b.get(k)) for k in set(a) | set(b) if a.get(k) != b.get(k)][:3]
print(len(a), sum(len(v) for v in a.values()))
)PY"_s;

} // namespace

// --dump and --restore: exact bytes back, onto the same files or onto a copy without attributes.
class TestDumpRestore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // A thousand files of about 4 KiB of attributes each: dumped, copied without their attributes,
    // restored onto the copy; getfattr finds every byte of every attribute in both trees.
    void restoreOntoCopy()
    {
        CorvaneTool corvane;
        const QString work = m_dir.filePath(u"copy"_s);
        QVERIFY(QDir().mkpath(work + u"/original"_s));
        QVERIFY(
            runProgram(u"python3"_s, { u"-c"_s, writer, work + u"/original"_s, u"1000"_s }).exitCode == 0);

        const ProcessResult dump = corvane.run({ "--dump", "-R", "original" }, {}, work);
        QCOMPARE(dump.err, QByteArray());
        QCOMPARE(dump.exitCode, 0);
        QFile dumpFile(work + u"/backup.json"_s);
        QVERIFY(dumpFile.open(QIODevice::WriteOnly) && dumpFile.write(dump.out) == dump.out.size());
        dumpFile.close();
        // Any JSON parser takes the dump.
        const ProcessResult parsed
            = runPython(u"import json, sys; print(len(json.load(sys.stdin)['files']))"_s, dump.out);
        QCOMPARE(parsed.out, "1011\n"_ba); // the folders too

        // `cp -r` copies no extended attributes.
        const QString copy = work + u"/elsewhere"_s;
        QVERIFY(QDir().mkpath(copy));
        QVERIFY(runProgram(u"cp"_s, { u"-r"_s, work + u"/original"_s, copy }).exitCode == 0);

        const ProcessResult dryRun
            = corvane.run({ "--restore", "backup.json", "--to", "elsewhere", "--dry-run" }, {}, work);
        QCOMPARE(dryRun.exitCode, 0);
        QCOMPARE(dryRun.out.count('\n'), 1010); // the folder d0 has no attribute
        QVERIFY(dryRun.out.contains(
            "elsewhere/original/d3/f312: would set user.back\\134slash=eq, user.caf\\351, "));
        QCOMPARE(runProgram(u"getfattr"_s, { u"-R"_s, u"-d"_s, u"-m"_s, u"-"_s, copy }).out, QByteArray());

        const ProcessResult restore
            = corvane.run({ "--restore", "backup.json", "--to", "elsewhere" }, {}, work);
        QCOMPARE(restore.err, QByteArray());
        QCOMPARE(restore.exitCode, 0);
        QCOMPARE(QByteArray(dryRun.out).replace(": would set ", ": set "), restore.out);
        const ProcessResult same
            = runProgram(u"python3"_s, { u"-c"_s, compare, work + u"/original"_s, copy + u"/original"_s });
        QVERIFY2(same.exitCode == 0, same.err.constData());
        QCOMPARE(same.out, "1010 14010\n"_ba); // the files and nine of the ten folders

        // Restored again: nothing left to do. A dump another program reformatted restores the same.
        const ProcessResult again
            = corvane.run({ "--restore", "backup.json", "--to", "elsewhere" }, {}, work);
        QCOMPARE(again.out, QByteArray());
        QCOMPARE(again.exitCode, 0);
        const ProcessResult reformatted
            = runPython(u"import json, sys; print(json.dumps(json.load(sys.stdin), indent=1))"_s, dump.out);
        QVERIFY(QDir().mkpath(work + u"/third"_s));
        QVERIFY(runProgram(u"cp"_s, { u"-r"_s, work + u"/original"_s, work + u"/third"_s }).exitCode == 0);
        const ProcessResult fromReformatted
            = corvane.run({ "--restore", "-", "--to", "third" }, reformatted.out, work);
        QCOMPARE(fromReformatted.err, QByteArray());
        QCOMPARE(fromReformatted.exitCode, 0);
        const ProcessResult third = runProgram(
            u"python3"_s, { u"-c"_s, compare, work + u"/original"_s, work + u"/third/original"_s });
        QVERIFY2(third.exitCode == 0, third.err.constData());

        // A restore is a run like any other: undone, the copy holds no attribute again.
        QCOMPARE(corvane.run({ "--undo-last" }, {}, work).exitCode, 0);
        QCOMPARE(corvane.run({ "--undo-last" }, {}, work).exitCode, 0);
        const ProcessResult bare = runProgram(u"getfattr"_s, { u"-R"_s, u"-d"_s, u"-m"_s, u"-"_s, copy });
        QCOMPARE(bare.out, QByteArray());
    }

    // A dump names paths relative to where it was made, or absolute ones outside it; --to puts both
    // below the copy, --match takes only some names.
    void pathsAndNames()
    {
        CorvaneTool corvane;
        const QString outside = m_dir.filePath(u"outside"_s);
        QVERIFY(
            setAttributesWithPython({ { outside, "user.a", u"b'1'"_s }, { outside, "user.b", u"b'2'"_s } }));
        const ProcessResult dump
            = corvane.run({ "--dump", "--match", "^user\\.a$", QFile::encodeName(outside) });
        QCOMPARE(dump.exitCode, 0);
        QVERIFY(dump.out.contains("{\"path\": \"" + QFile::encodeName(outside) + "\", "));
        QVERIFY(!dump.out.contains("user.b"));

        const QString copy = m_dir.filePath(u"rooted"_s);
        QVERIFY(QDir().mkpath(copy + QFileInfo(outside).path()));
        QVERIFY(QFile::copy(outside, copy + outside));
        const ProcessResult restore
            = corvane.run({ "--restore", "-", "--to", QFile::encodeName(copy) }, dump.out);
        QCOMPARE(restore.err, QByteArray());
        QCOMPARE(restore.out, QFile::encodeName(copy + outside) + ": set user.a\n");
    }

    // Each refusal exits 1 and leaves the file as it was (but for the good line beside a damaged one).
    void refusals_data()
    {
        QTest::addColumn<QByteArray>("dump");
        QTest::addColumn<QByteArray>("err");
        const auto dump = [](const QByteArray &files) {
            return "{\"corvaneDump\": 1, \"base\": \"@\", \"files\": [\n" + files + "]}\n";
        };
        const auto file = [](const char *path, const char *bytes) {
            return "{\"path\": \"" + QByteArray(path)
                + "\", \"attributes\": [{\"name\": \"user.a\", \"bytes\": \"" + bytes + "\"}]}\n";
        };
        // clang-format off
        QTest::newRow("not JSON") << "hello"_ba << "corvane: -: not JSON: illegal value; nothing is restored\n"_ba;
        QTest::newRow("another JSON") << "{\"files\": []}"_ba << "corvane: -: is no dump of this version of Corvane; nothing is restored\n"_ba;
        QTest::newRow("a path leading out") << dump(file("../escape", "MQ==")) << "corvane: the dump: a file's path is missing or leads outside the restore (\"..\"); skipped\n"_ba;
        QTest::newRow("bytes that are no base64") << dump(file("f", "M*==")) << "corvane: @/f: user.a: the dump holds no bytes for it (it could not be read then)\n"_ba;
        QTest::newRow("a damaged line, the others restored") << dump("{\"path\": \"f\", \"attri\n" + file("f", "MQ==")) << "corvane: -: a line that is no file of the dump (unterminated string), skipped\n"_ba;
        QTest::newRow("a file that is not there") << dump(file("gone", "MQ==")) << "corvane: @/gone: No such file or directory\n"_ba;
        // clang-format on
    }
    void refusals()
    {
        QFETCH(QByteArray, dump);
        QTemporaryDir base;
        QFile file(base.filePath(u"f"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QByteArray path = QFile::encodeName(base.path());
        CorvaneTool corvane;
        const ProcessResult restore = corvane.run({ "--restore", "-" }, dump.replace('@', path));
        QCOMPARE(restore.exitCode, 1);
        QTEST(QByteArray(restore.err).replace(path, "@"), "err");
        const ProcessResult left = runProgram(u"getfattr"_s, { u"-d"_s, base.filePath(u"f"_s) });
        QCOMPARE(left.out.contains("user.a"), QByteArray(QTest::currentDataTag()).startsWith("a damaged"));
    }
};

QTEST_GUILESS_MAIN(TestDumpRestore)
#include "tst_dumprestore.moc"
