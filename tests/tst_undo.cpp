#include "app/ApplicationMenus.h"
#include "attributes/AttributeHistory.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "window/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {
const QString comment = u"com.apple.metadata:kMDItemComment"_s;
using Bytes = std::optional<QByteArray>;

AttributeChange step(const QString &name, const Bytes &before, const Bytes &after)
{
    return { QUrl(), name, name, before, after };
}

void press(QKeyCombination keys)
{
    QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
}
} // namespace

// Saves and removals taken back byte for byte through Edit > Undo and Redo, as the user reaches them.
class TestUndo : public QObject {
    Q_OBJECT
    QTemporaryDir myDir;
    QString myPath;
    ApplicationMenus myMenus;

    // The file opened with Comment chosen and `typed` typed over the value field's text; Ctrl+S saved
    // it, going ahead if the editor asked before replacing what it could not show.
    std::unique_ptr<EditorWindow> saveOver(
        const Bytes &stored, const QString &typed, AlertRecorder &alerts)
    {
        if (stored && !setAttributeWithTool(myPath, comment, *stored))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        if (!QTest::qWaitForWindowActive(shown->window.get()))
            return nullptr;
        shown->editor->xattrSelectCombobox()->setFocus();
        shown->editor->xattrSelectCombobox()->setCurrentIndex(2);
        emit shown->editor->xattrSelectCombobox()->activated(2);
        shown->editor->contentTextbox()->setFocus();
        press(Qt::CTRL | Qt::Key_A);
        if (typed.isEmpty())
            press(QKeyCombination(Qt::Key_Delete));
        else
            QTest::keyClicks(QApplication::focusWidget(), typed);
        alerts.answerNext(typed.isEmpty() ? Alerts::Button::Remove : Alerts::Button::Replace);
        press(Qt::CTRL | Qt::Key_S);
        alerts.clear(); // an answer the save did not need must not answer a later question
        return shown;
    }

private slots:
    void init()
    {
        myPath = myDir.filePath(u"notes.txt"_s);
        QFile file(myPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    }
    void cleanup() { QFile::remove(myPath); }

    // What another program wrote comes back exactly after Corvane replaced or removed it.
    void undoRestoresBytes_data()
    {
        QTest::addColumn<Bytes>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("undoTitle");
        QTest::addColumn<QString>("shownAfterUndo");
        const QString save = u"Undo Save of “Comment”"_s;
        const QString removal = u"Undo Removal of “Comment”"_s;
        const QByteArray array = plistlibDump(u"['alpha', 'beta', 'gamma']"_s);
        QTest::newRow("array replaced") << Bytes(array) << u"new"_s << save << QString();
        QTest::newRow("xml string replaced")
            << Bytes(plistlibDump(u"'as xml'"_s, u"xml"_s)) << u"new"_s << save << u"as xml"_s;
        QTest::newRow("trailing nul replaced")
            << Bytes(plistlibBinaryString(u"samba"_s) + '\0') << u"new"_s << save << u"samba"_s;
        QTest::newRow("raw bytes removed")
            << Bytes(QByteArray("\x00\xff\x10raw", 6)) << QString() << removal << QString();
        QTest::newRow("absent, then saved") << Bytes() << u"first"_s << save << QString();
    }
    void undoRestoresBytes()
    {
        QFETCH(Bytes, stored);
        QFETCH(QString, typed);
        QFETCH(QString, undoTitle);
        QFETCH(QString, shownAfterUndo);
        AlertRecorder alerts;
        auto shown = saveOver(stored, typed, alerts);
        QVERIFY(shown);
        const Bytes written = attributeFromTool(myPath, comment);
        QCOMPARE(written.has_value(), !typed.isEmpty());

        // Out of the value field (a click on Save), the keys act on the history at once.
        shown->editor->saveButton()->setFocus();
        emit myMenus.editMenu()->aboutToShow();
        QCOMPARE(myMenus.undoAction()->text(), undoTitle);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), stored);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), shownAfterUndo);
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), written);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), typed);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), stored);
        QVERIFY(!myMenus.undoAction()->isEnabled());
    }

    // In the value field, typing is taken back first; once there is none, the save is next.
    void typingFirstThenSave()
    {
        AlertRecorder alerts;
        const QByteArray old = plistlibBinaryString(u"old"_s);
        auto shown = saveOver(old, u"new text"_s, alerts);
        QVERIFY(shown);
        const Bytes written = attributeFromTool(myPath, comment);
        QVERIFY(written && *written != old);
        QCOMPARE(QApplication::focusWidget(), shown->editor->contentTextbox());
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), written); // typing undone, the file untouched
        QCOMPARE(myMenus.undoAction()->isEnabled(), true);
        for (int guard = 0; guard < 20 && shown->editor->contentTextbox()->document()->isUndoAvailable();
             ++guard)
            press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), u"old"_s);
        QCOMPARE(myMenus.undoAction()->text(), u"Undo Save of “Comment”"_s);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), Bytes(old));
        QCOMPARE(alerts.count(), 0);
    }

    // Another program's value is not thrown away without a question; Cancel keeps it.
    void changedElsewhereAsksFirst()
    {
        AlertRecorder alerts;
        const QByteArray old = plistlibBinaryString(u"old"_s);
        auto shown = saveOver(old, u"mine"_s, alerts);
        QVERIFY(shown);
        const QByteArray theirs = plistlibBinaryString(u"theirs"_s);
        QVERIFY(setAttributeWithTool(myPath, comment, theirs));
        shown->editor->saveButton()->setFocus();
        press(Qt::CTRL | Qt::Key_Z); // default answer: Cancel
        QCOMPARE(alerts.count(), 1);
        QVERIFY(alerts.last().messageText.contains(u"“Comment”"_s));
        QCOMPARE(alerts.last().defaultButton, Alerts::Button::Cancel);
        QCOMPARE(attributeFromTool(myPath, comment), Bytes(theirs));
        alerts.answerNext(Alerts::Button::Undo);
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), Bytes(old));
    }

    // Undo acts on the file it was saved to, even once a drop put another file in the window; a file
    // that vanished fails with the editor's error text and leaves the history as it was.
    void recordedFileAndFailures()
    {
        AlertRecorder alerts;
        const QByteArray old = plistlibBinaryString(u"old"_s);
        auto shown = saveOver(old, u"new"_s, alerts);
        QVERIFY(shown);
        const QString other = myDir.filePath(u"other.txt"_s);
        QFile(other).open(QIODevice::WriteOnly);
        shown->editor->dragViewDidReceiveWithFileURLs({ QUrl::fromLocalFile(other) });
        shown->editor->saveButton()->setFocus();
        press(Qt::CTRL | Qt::Key_Z);
        QCOMPARE(attributeFromTool(myPath, comment), Bytes(old));
        QCOMPARE(attributeFromTool(other, comment), Bytes());

        QVERIFY(QFile::remove(myPath));
        alerts.clear();
        press(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().messageText, u"An error occurred in your last action:"_s);
        QCOMPARE(alerts.last().informativeText, u"setXattr error: No such file or directory"_s);
        QCOMPARE(myMenus.redoAction()->text(), u"Redo Save of “Comment”"_s);
        QVERIFY(myMenus.redoAction()->isEnabled());
        QFile::remove(other);
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
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
