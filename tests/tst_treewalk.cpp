#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace corvane::test;

namespace {

// A tree with a file, a folder, a link to a file outside and a link to a folder outside, each outside
// thing carrying an attribute of its own; python writes the tags.
const QString builder = uR"PY(
import os, plistlib, sys
base = sys.argv[1]
for d in ['tree/sub', 'outside/dir']:
    os.makedirs(os.path.join(base, d))
def touch(p, **attributes):
    open(os.path.join(base, p), 'w').close()
    for name, value in attributes.items():
        os.setxattr(os.path.join(base, p), name.replace('_', '.'), value)
tags = 'user.com.apple.metadata:_kMDItemUserTags'
touch('outside/file'); touch('outside/dir/inner')
touch('tree/finder'); os.setxattr(os.path.join(base, 'tree/finder'), tags, plistlib.dumps(['Red\n6', 'Work'], fmt=plistlib.FMT_XML))
touch('tree/sub/desktop', user_xdg_tags=b'Home, Red')
touch('tree/sub/other', user_xdg_tags=b'Reddish')
open(os.path.join(base.encode(), b'tree/sub/caf\xe9'), 'w').close()
os.setxattr(os.path.join(base.encode(), b'tree/sub/caf\xe9'), tags, plistlib.dumps(['Red']) + b'\0')
os.symlink('../outside/file', os.path.join(base, 'tree/link'))
os.symlink('../outside/dir', os.path.join(base, 'tree/dirlink'))
)PY"_s;

QByteArray getfattrAll(const QString &path)
{
    return runProgram(u"getfattr"_s, { u"-R"_s, u"-d"_s, u"-m"_s, u"-"_s, u"--absolute-names"_s, path }).out;
}

} // namespace

// -R, -h and --match as getfattr has them, and --find; the walk never leaves the tree through a link.
class TestTreeWalk : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_base;

private slots:
    void initTestCase()
    {
        m_base = m_dir.path();
        const ProcessResult built = runProgram(u"python3"_s, { u"-c"_s, builder, m_base });
        QVERIFY2(built.exitCode == 0, built.err.constData());
    }
    void cleanupTestCase() { ::unlink(QFile::encodeName(m_base) + "/tree/sub/caf\xe9"); }

    // Folders come before what they hold; links inside the tree are passed over, as getfattr -R passes
    // them, and with -h the calls act on the links themselves, where Linux keeps no user attributes.
    void linksInsideTheTree_data()
    {
        QTest::addColumn<QList<QByteArray>>("options");
        QTest::addColumn<int>("visited");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArrayList>("errors");
        QTest::newRow("followed nowhere") << QList<QByteArray>() << 6 << 0 << QByteArrayList();
        QTest::newRow("-h") << QList<QByteArray> { "-h" } << 8 << 1
                            << QByteArrayList {
                                   "corvane: tree/dirlink: user.my.mark: Operation not permitted",
                                   "corvane: tree/link: user.my.mark: Operation not permitted"
                               };
    }
    void linksInsideTheTree()
    {
        QFETCH(QList<QByteArray>, options);
        CorvaneTool corvane;
        const QByteArray outsideBefore = getfattrAll(m_base + u"/outside"_s);
        const ProcessResult plan = corvane.run(
            QList<QByteArray> { "--set", "my.mark", "x", "-R", "tree", "--dry-run" } + options, {}, m_base);
        QCOMPARE(plan.err, QByteArray());
        QCOMPARE(plan.exitCode, 0);
        QByteArrayList visited = plan.out.split('\n');
        visited.removeAll({});
        const QByteArrayList expected
            = { "tree: would set user.my.mark", "tree/sub: would set user.my.mark" };
        QVERIFY(visited.indexOf(expected[0]) == 0);
        QVERIFY(visited.indexOf(expected[1]) < visited.indexOf("tree/sub/desktop: would set user.my.mark"));
        QTEST(int(visited.size()), "visited");
        const ProcessResult set
            = corvane.run(QList<QByteArray> { "--set", "my.mark", "x", "-R", "tree" } + options, {}, m_base);
        QTEST(set.exitCode, "exitCode");
        QByteArrayList errors = set.err.split('\n');
        errors.removeAll({});
        std::sort(errors.begin(), errors.end());
        QTEST(errors, "errors");
        QCOMPARE(getfattrAll(m_base + u"/outside"_s), outsideBefore);
        QCOMPARE(corvane.run({ "--undo-last" }).exitCode, 0);
    }

    // A folder that cannot be read is reported and the walk goes on.
    void unreadableFolder()
    {
        CORVANE_RUN_UNPRIVILEGED();
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.filePath(u"locked"_s)) && QDir().mkpath(dir.filePath(u"open"_s)));
        QVERIFY(setAttributeWithTool(dir.filePath(u"open"_s), u"user.a"_s, "1"));
        QVERIFY(QFile::setPermissions(dir.filePath(u"locked"_s), QFile::Permissions()));
        CorvaneTool corvane;
        const ProcessResult listing = corvane.run({ "--list", "-R", "." }, {}, dir.path());
        QFile::setPermissions(
            dir.filePath(u"locked"_s), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(listing.exitCode, 1);
        QCOMPARE(listing.err, "corvane: ./locked: Permission denied\n"_ba);
        QVERIFY(listing.out.contains("# file: ./open\nuser.a (a, plain text) = \"1\"\n"));
    }

    void listingMatchesNames()
    {
        CorvaneTool corvane;
        const ProcessResult listing
            = corvane.run({ "--list", "-R", "--match", "xdg\\.tags$", "tree" }, {}, m_base);
        QCOMPARE(listing.exitCode, 0);
        QCOMPARE(listing.out.count("\n# file: ") + 1, 6);
        QCOMPARE(listing.out.count(" = "), 2);
        QVERIFY(listing.out.contains("# file: tree/sub/caf\\351\n\n"));
        QVERIFY(listing.out.contains("user.xdg.tags (Tags (desktop), plain text) = \"Home, Red\"\n"));
    }

    // --find: either side's tag names, exactly; file names printed as the listing prints them.
    void findsEitherSide_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<QByteArrayList>("found");
        QTest::newRow("both sides") << "Red"_ba
                                    << QByteArrayList { "tree/finder", "tree/sub/caf\\351",
                                           "tree/sub/desktop" };
        QTest::newRow("Finder only") << "Work"_ba << QByteArrayList { "tree/finder" };
        QTest::newRow("a prefix is no tag") << "Re"_ba << QByteArrayList();
        QTest::newRow("case counts") << "red"_ba << QByteArrayList();
    }
    void findsEitherSide()
    {
        QFETCH(QByteArray, tag);
        CorvaneTool corvane;
        const ProcessResult found = corvane.run({ "--find", tag, "tree" }, {}, m_base);
        QCOMPARE(found.err, QByteArray());
        QCOMPARE(found.exitCode, 0);
        QByteArrayList lines = found.out.split('\n');
        lines.removeAll({});
        std::sort(lines.begin(), lines.end());
        QTEST(lines, "found");
    }
};

QTEST_GUILESS_MAIN(TestTreeWalk)
#include "tst_treewalk.moc"
