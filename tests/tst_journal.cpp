#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/CorvaneTool.h"

using namespace Qt::StringLiterals;
using namespace corvane::test;

const QString comment = u"user.com.apple.metadata:kMDItemComment"_s;

// Each run that changes attributes is journalled first and taken back by --undo-last, which asks
// before replacing what another program wrote since.
class TestJournal : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    // A folder of files, some already carrying a comment, so a run both replaces and creates.
    QString tree(const QString &name, int files)
    {
        const QString root = m_dir.filePath(name);
        QDir().mkpath(root + u"/sub"_s);
        for (int i = 0; i < files; ++i) {
            const QString path = root + (i % 2 ? u"/sub/f%1"_s : u"/f%1"_s).arg(i);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                return {};
            file.close();
            if (i % 3 == 0 && !setAttributeWithTool(path, comment, QByteArray("\x00\xff", 2) + char(i % 256)))
                return {};
        }
        return root;
    }

    static QByteArray dump(const QString &root)
    {
        return runProgram(
            u"bash"_s, { u"-c"_s, u"cd \"$1\" && getfattr -R -d -m - -e base64 ."_s, u"-"_s, root })
            .out;
    }

private slots:
    // A mistaken --set -R over a thousand files is one command away from undone, byte for byte; runs
    // are taken back newest first, each once.
    void undoRestoresEveryByte()
    {
        CorvaneTool corvane;
        const QString root = tree(u"thousand"_s, 1000);
        QVERIFY(!root.isEmpty());
        const QByteArray original = dump(root);

        QCOMPARE(corvane.run({ "--tag", "add", "Work", "-R", QFile::encodeName(root) }).exitCode, 0);
        const QByteArray tagged = dump(root);
        QCOMPARE(corvane.run({ "--set", "Comment", "oops", "-R", QFile::encodeName(root) }).exitCode, 0);
        QVERIFY(dump(root) != tagged);

        const ProcessResult undo = corvane.run({ "--undo-last" });
        QCOMPARE(undo.err, QByteArray());
        QCOMPARE(undo.exitCode, 0);
        QVERIFY(undo.out.startsWith("Undoing the run of "));
        QVERIFY(undo.out.contains(": corvane --set Comment oops -R "));
        QCOMPARE(undo.out.count('\n'), 1 + 1002); // the files and the two folders
        QCOMPARE(dump(root), tagged);
        QCOMPARE(corvane.run({ "--undo-last" }).exitCode, 0);
        QCOMPARE(dump(root), original);

        const ProcessResult nothing = corvane.run({ "--undo-last" });
        QCOMPARE(nothing.exitCode, 1);
        QCOMPARE(nothing.err,
            "corvane: the journal (" + QFile::encodeName(corvane.journalDirectory())
                + ") holds no run to undo\n");
    }

    // What another program wrote since the run is replaced only on the user's word: without a terminal
    // --undo-last refuses and says how, on one it asks, and --yes answers for the user.
    void changedSinceAsks_data()
    {
        QTest::addColumn<QByteArray>("how"); // "plain", "terminal" or "--yes"
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("undone");
        QTest::newRow("no terminal") << "plain"_ba << QByteArray() << 1 << false;
        QTest::newRow("terminal, no") << "terminal"_ba
                                      << "n"_ba << 1 << false;
        QTest::newRow("terminal, yes") << "terminal"_ba
                                       << "y"_ba << 0 << true;
        QTest::newRow("--yes") << "--yes"_ba << QByteArray() << 0 << true;
    }
    void changedSinceAsks()
    {
        QFETCH(QByteArray, how);
        QFETCH(QByteArray, answer);
        CorvaneTool corvane;
        const QString root = tree(u"changed-"_s + QString::fromLatin1(QTest::currentDataTag()), 3);
        QVERIFY(!root.isEmpty());
        const QByteArray original = dump(root);
        QCOMPARE(corvane.run({ "--set", "Comment", "mine", "-R", QFile::encodeName(root) }).exitCode, 0);
        QVERIFY(setAttributeWithTool(root + u"/sub/f1"_s, comment, "theirs"));
        const QByteArray changed = dump(root);

        const ProcessResult undo = how == "terminal" ? corvane.runOnTerminal({ "--undo-last" }, answer)
            : how == "--yes"                         ? corvane.run({ "--undo-last", "--yes" })
                                                     : corvane.run({ "--undo-last" });
        QTEST(undo.exitCode, "exitCode");
        const QByteArray said = undo.err + undo.out;
        QVERIFY2(said.contains("1 value changed since that run:\n  " + QFile::encodeName(root)
                     + "/sub/f1: user.com.apple.metadata:kMDItemComment\n"),
            said.constData());
        if (how == "plain")
            QVERIFY(
                undo.err.endsWith("corvane: nothing is put back: that would replace what they hold now. To "
                                  "replace it anyway, run corvane --undo-last --yes (--dry-run shows what it "
                                  "would do)\n"));
        QFETCH(bool, undone);
        QCOMPARE(dump(root), undone ? original : changed);
        // A run not taken back stays in the journal for another try.
        QCOMPARE(QDir(corvane.journalDirectory()).entryList(QDir::Files).size(), undone ? 0 : 1);
    }

    // --clear asks on a terminal unless --yes; a script without one is not asked. --dry-run changes
    // nothing and journals nothing.
    void clearAsks_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<QByteArray>("answer"); // empty: not on a terminal
        QTest::addColumn<bool>("cleared");
        QTest::newRow("terminal, no") << QList<QByteArray> { "--clear" } << "no"_ba << false;
        QTest::newRow("terminal, yes") << QList<QByteArray> { "--clear" } << "yes"_ba << true;
        QTest::newRow("terminal, --yes") << QList<QByteArray> { "--clear", "--yes" } << QByteArray() << true;
        QTest::newRow("script") << QList<QByteArray> { "--clear" } << QByteArray() << true;
        QTest::newRow("dry run") << QList<QByteArray> { "--clear", "--dry-run" } << QByteArray() << false;
    }
    void clearAsks()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(QByteArray, answer);
        QFETCH(bool, cleared);
        CorvaneTool corvane;
        const QString root = tree(u"clear-"_s + QString::fromLatin1(QTest::currentDataTag()), 6);
        QVERIFY(!root.isEmpty());
        const QByteArray original = dump(root);
        arguments << "-R" << QFile::encodeName(root);
        const ProcessResult clear = QByteArray(QTest::currentDataTag()).startsWith("terminal")
            ? corvane.runOnTerminal(arguments, answer)
            : corvane.run(arguments);
        QCOMPARE(clear.exitCode, answer == "no" ? 1 : 0);
        if (!answer.isEmpty())
            QVERIFY2(clear.out.contains("Remove 2 attributes from 2 file(s)? [y/N] ")
                    != arguments.contains("--yes"),
                clear.out.constData());
        QCOMPARE(dump(root).isEmpty(), cleared);
        if (!cleared)
            QCOMPARE(dump(root), original);
        QCOMPARE(QDir(corvane.journalDirectory()).entryList(QDir::Files).size(), cleared ? 1 : 0);
    }

    // The journal keeps the newest runs only, and every file in it is the user's alone.
    void journalIsBounded()
    {
        CorvaneTool corvane;
        const QString file = m_dir.filePath(u"bounded"_s);
        QFile(file).open(QIODevice::WriteOnly);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(
                corvane.run({ "--set", "Comment", QByteArray::number(i), QFile::encodeName(file) }).exitCode,
                0);
        const QDir journal(corvane.journalDirectory());
        const QFileInfoList runs = journal.entryInfoList(QDir::Files);
        QCOMPARE(runs.size(), 10);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        for (const QFileInfo &run : runs)
            QCOMPARE(run.permissions() & others, QFile::Permissions());
        QCOMPARE(QFileInfo(journal.path()).permissions() & others, QFile::Permissions());
        QCOMPARE(corvane.run({ "--undo-last" }).exitCode, 0);
        const ProcessResult comment = runProgram(u"python3"_s,
            { u"-c"_s,
                u"import os, plistlib, sys; print(plistlib.loads(os.getxattr(sys.argv[1], 'user.com.apple.metadata:kMDItemComment')))"_s,
                file });
        QCOMPARE(comment.out, "10\n"_ba);
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
