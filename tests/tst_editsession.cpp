// The editor's core without a window: changes are taken back only on the file they were made to.

#include "attributes/DraftStore.h"
#include "attributes/EditSession.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {
const QString comment = u"com.apple.metadata:kMDItemComment"_s;
using Bytes = std::optional<QByteArray>;

AttributeChange step(const QString &name, const Bytes &before, const Bytes &after)
{
    return { .file = {}, .identity = {}, .name = name, .label = name, .before = before, .after = after };
}
} // namespace

class TestEditSession : public QObject {
    Q_OBJECT

private slots:
    // "doc" had Comment "old" and Corvane saved "new" there; then something happened to the path.
    // "secret" is another file holding exactly what was saved: a path-only check would undo on it.
    void undoActsOnTheFileChanged_data()
    {
        QTest::addColumn<QString>("happened");
        QTest::addColumn<bool>("undone"); // else refused, nothing written anywhere
        QTest::newRow("nothing: undone") << u"nothing"_s << true;
        QTest::newRow("another file opened in the window: undone on doc") << u"opened"_s << true;
        QTest::newRow("replaced by a symbolic link to secret") << u"symlink"_s << false;
        QTest::newRow("secret renamed over it") << u"renamed"_s << false;
        QTest::newRow("deleted") << u"deleted"_s << false;
        QTest::newRow("secret renamed over it while the question was up") << u"during"_s << false;
    }
    void undoActsOnTheFileChanged()
    {
        QFETCH(QString, happened);
        QFETCH(bool, undone);
        TestFiles files;
        const QString doc = files.make(u"doc"_s), secret = files.make(u"secret"_s);
        const QByteArray old = plistlibBinaryString(u"old"_s), saved = plistlibBinaryString(u"new"_s);
        QVERIFY(setAttributeWithTool(doc, comment, old) && setAttributeWithTool(secret, comment, saved));
        EditSession session;
        session.setFile(QUrl::fromLocalFile(doc));
        QCOMPARE(session.apply(session.prepareSave(comment, u"Comment"_s, u"new"_s)), QString());
        QCOMPARE(attributeFromTool(doc, comment), Bytes(saved));
        QCOMPARE(session.undoText(), u"Undo Save of “Comment”"_s);

        if (happened == u"opened")
            session.setFile(QUrl::fromLocalFile(secret));
        else if (happened == u"symlink")
            QVERIFY(QFile::remove(doc) && QFile::link(secret, doc));
        else if (happened == u"renamed")
            QVERIFY(QFile::remove(doc) && QFile::rename(secret, doc));
        else if (happened == u"deleted")
            QVERIFY(QFile::remove(doc));
        const EditSession::Change undo = session.prepareUndo();
        if (happened == u"during")
            QVERIFY(QFile::remove(doc) && QFile::rename(secret, doc));
        const QString error = session.apply(undo);

        const QString secretNow = happened == u"renamed" || happened == u"during" ? doc : secret;
        if (undone) {
            QCOMPARE(error, QString());
            QCOMPARE(attributeFromTool(doc, comment), Bytes(old));
            QVERIFY(session.undoText().isEmpty());
        } else {
            QCOMPARE(
                error, u"doc is no longer the file that was changed: it was replaced or renamed since."_s);
            QCOMPARE(session.undoText(), u"Undo Save of “Comment”"_s); // kept, should the file come back
        }
        if (happened != u"deleted")
            QCOMPARE(attributeFromTool(secretNow, comment), Bytes(saved));
    }

    // The history forgets its oldest steps past its bounds, and a new step forgets what could be redone.
    void historyBounds()
    {
        AttributeHistory history;
        for (int i = 0; i < AttributeHistory::maxSteps + 20; ++i)
            history.record(step(QString::number(i), Bytes(), QByteArray("x")));
        QCOMPARE(history.size(), AttributeHistory::maxSteps);
        QCOMPARE(history.nextUndo()->name, QString::number(AttributeHistory::maxSteps + 19));

        // Values past Linux's 64 KiB exist on other systems; 40 steps of 512 KiB are past the byte bound.
        AttributeHistory large;
        const QByteArray value(256 * 1024, 'v');
        for (int i = 0; i < 40; ++i)
            large.record(step(QString::number(i), value, value));
        QVERIFY(large.bytes() <= AttributeHistory::maxBytes);
        QCOMPARE(large.size(), AttributeHistory::maxBytes / (2 * value.size()) - 1);
        QCOMPARE(large.nextUndo()->name, u"39"_s);

        large.didUndo();
        large.didUndo();
        QVERIFY(large.nextRedo());
        large.record(step(u"new"_s, Bytes(), Bytes()));
        QVERIFY(!large.nextRedo());
        QCOMPARE(large.nextUndo()->name, u"new"_s);
    }

    // Unsaved text on disk: found again by its file's path alone, a month at most, and a file that is
    // not what Corvane wrote is not read.
    void draftsOnDisk_data()
    {
        QTest::addColumn<int>("ageDays");
        QTest::addColumn<QByteArray>("replacedBy"); // what is in the file instead; empty: as stored
        QTest::addColumn<bool>("found");
        QTest::newRow("typed now") << 0 << QByteArray() << true;
        QTest::newRow("typed 29 days ago") << 29 << QByteArray() << true;
        QTest::newRow("typed 31 days ago") << 31 << QByteArray() << false;
        QTest::newRow("not JSON") << 0 << QByteArray("{\"drafts\": [") << false;
        QTest::newRow("another file's") << 0 << QByteArray(R"({"path":"/elsewhere","drafts":[]})") << false;
    }
    void draftsOnDisk()
    {
        QFETCH(int, ageDays);
        QFETCH(QByteArray, replacedBy);
        TestFiles files;
        const DraftStore store(files.path(u"drafts"_s));
        const QUrl doc = QUrl::fromLocalFile(files.make(u"doc"_s));
        const QDateTime typed = QDateTime::currentDateTimeUtc().addDays(-ageDays);
        const Draft draft { comment, u"Comment"_s, u"line\nGrüße"_s, valueFingerprint(std::nullopt), typed,
            {} };
        QVERIFY(store.store(doc, { draft }));
        const QStringList stored = QDir(store.directory()).entryList(QDir::Files);
        QCOMPARE(stored.size(), 1);
        QFile file(store.directory() + u'/' + stored.first());
        QCOMPARE(file.permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
        QVERIFY(file.open(replacedBy.isEmpty() ? QIODevice::Append : QIODevice::WriteOnly));
        file.write(replacedBy);
        QVERIFY(file.setFileTime(
            typed.toLocalTime(), QFileDevice::FileModificationTime)); // as if untouched since
        file.close();
        const QList<Draft> loaded = store.load(doc);
        QFETCH(bool, found);
        QCOMPARE(loaded.size(), found ? 1 : 0);
        if (found)
            QVERIFY(loaded.first().text == draft.text && loaded.first().shownFrom == draft.shownFrom);
        store.removeExpired();
        QCOMPARE(file.exists(), ageDays < 30); // untouched for a month: gone
        QVERIFY(store.store(doc, {})); // none left: no file
        QVERIFY(QDir(store.directory()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEditSession)
#include "tst_editsession.moc"
