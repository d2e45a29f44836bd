#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {
const QString comment = u"com.apple.metadata:kMDItemComment"_s;
using Bytes = std::optional<QByteArray>;
} // namespace

// Saves and removals taken back byte for byte through Edit > Undo and Redo, as the user reaches them;
// each item reads what its key does at that moment.
class TestUndo : public QObject {
    Q_OBJECT
    TestFiles m_files;
    QString m_path;

    // The file opened with Comment chosen and `typed` typed over the value field's text; Ctrl+S saved
    // it, going ahead if the editor asked before replacing what it could not show.
    std::unique_ptr<ShownEditor> saveOver(const Bytes &stored, const QString &typed, AlertRecorder &alerts)
    {
        if (stored && !setAttributeWithTool(m_path, comment, *stored))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        if (!shown)
            return nullptr;
        shown->editor->attributeComboBox()->setCurrentIndex(2);
        emit shown->editor->attributeComboBox()->activated(2);
        shown->editor->valueEdit()->setFocus();
        typeKeys(u"{Ctrl+A}"_s);
        if (typed.isEmpty())
            typeKeys(u"{Delete}"_s);
        else
            QTest::keyClicks(QApplication::focusWidget(), typed);
        alerts.answerNext(typed.isEmpty() ? Alerts::Button::Remove : Alerts::Button::Replace);
        typeKeys(u"{Ctrl+S}"_s);
        alerts.clear(); // an answer the save did not need must not answer a later question
        return shown;
    }

private slots:
    void init() { QVERIFY(!(m_path = m_files.make(u"notes.txt"_s)).isEmpty()); }
    void cleanup() { QFile::remove(m_path); }

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
        QFETCH(QString, shownAfterUndo);
        AlertRecorder alerts;
        auto shown = saveOver(stored, typed, alerts);
        QVERIFY(shown);
        const Bytes written = attributeFromTool(m_path, comment);
        QCOMPARE(written.has_value(), !typed.isEmpty());

        // Out of the value field (a click on Save), the keys act on the history at once.
        shown->editor->saveButton()->setFocus();
        QAction *undo = actionNamed(&shown->window, u"undoAction"_s);
        QTEST(undo->iconText(), "undoTitle");
        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), stored);
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), shownAfterUndo);
        typeKeys(u"{Ctrl+Shift+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), written);
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), typed);
        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), stored);
        QVERIFY(!undo->isEnabled());
        QCOMPARE(alerts.count(), 0);
    }

    // In the value field, typing is taken back first, and Edit > Undo says so; once there is none, the
    // save is next, by the key or by the item clicked in the open menu.
    void typingFirstThenSave()
    {
        AlertRecorder alerts;
        const QByteArray old = plistlibBinaryString(u"old"_s);
        auto shown = saveOver(old, u"new text"_s, alerts);
        QVERIFY(shown);
        const Bytes written = attributeFromTool(m_path, comment);
        QVERIFY(written && *written != old);
        QCOMPARE(QApplication::focusWidget(), shown->editor->valueEdit());
        QAction *undo = actionNamed(&shown->window, u"undoAction"_s);
        QCOMPARE(undo->iconText(), u"Undo"_s);
        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), written); // typing undone, the file untouched
        for (int guard = 0; guard < 20 && undo->iconText() == u"Undo"_s; ++guard)
            typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), u"old"_s);
        QCOMPARE(undo->iconText(), u"Undo Save of “Comment”"_s);

        QVERIFY(clickMenuItem(&shown->window, undo)); // Alt+E, then the item clicked
        QCOMPARE(attributeFromTool(m_path, comment), Bytes(old));
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
        QVERIFY(setAttributeWithTool(m_path, comment, theirs));
        shown->editor->saveButton()->setFocus();
        typeKeys(u"{Ctrl+Z}"_s); // default answer: Cancel
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().messageText, u"“Comment” was changed by another program."_s);
        QCOMPARE(alerts.last().defaultButton, Alerts::Button::Cancel);
        QCOMPARE(attributeFromTool(m_path, comment), Bytes(theirs));
        alerts.answerNext(Alerts::Button::Undo);
        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), Bytes(old));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
