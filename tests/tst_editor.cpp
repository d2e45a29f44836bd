#include "app/Document.h"
#include "app/WindowController.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace corvane;
using namespace corvane::test;

namespace {
const QString keywords = QStringLiteral("com.apple.metadata:kMDItemKeywords");
const QString comment = QStringLiteral("com.apple.metadata:kMDItemComment");
using Bytes = std::optional<QByteArray>;

// Picks a list entry the way a user does, which the combo box reports as "activated".
void pick(ViewController *editor, int index)
{
    editor->xattrSelectCombobox()->setCurrentIndex(index);
    emit editor->xattrSelectCombobox()->activated(index);
}

void typeName(ViewController *editor, const QString &name)
{
    QLineEdit *field = editor->xattrSelectCombobox()->lineEdit();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, name);
    QTest::keyClick(field, Qt::Key_Return);
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    QTemporaryDir myDir;
    QString myPath;
    FileSnapshot myBefore;

    std::unique_ptr<EditorWindow> openWithComment(const Bytes &stored)
    {
        if (stored && !setAttributeWithTool(myPath, comment, *stored))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        return shown;
    }

private slots:
    void init()
    {
        myPath = myDir.filePath(QStringLiteral("notes.txt"));
        QFile file(myPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write("never read\n") == 11);
        file.close();
        myBefore = snapshotOf(myPath);
    }

    void cleanup()
    {
        // Whatever a test did to the attributes, the file's data and modification time are untouched.
        if (QFileInfo::exists(myPath))
            QVERIFY(snapshotOf(myPath) == myBefore);
        QFile::remove(myPath);
    }

    void opening()
    {
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("alpha, beta"))));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("notes.txt"));
        QCOMPARE(shown->editor->theSourcePath(), myPath);
        QCOMPARE(shown->editor->theFilename(), QStringLiteral("notes.txt"));
        QCOMPARE(shown->editor->xattrSelectCombobox()->count(), 16);
        QCOMPARE(shown->editor->selectedAttributeName(), keywords);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("alpha, beta"));

        // A document without a file: the list is filled, nothing is loaded, read or saved.
        AlertRecorder alerts;
        auto empty = showEditor(QUrl());
        QCOMPARE(empty->window->windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(empty->editor->xattrSelectCombobox()->itemText(15), QStringLiteral("ApplicationCategories"));
        QVERIFY(empty->editor->theSourcePath().isEmpty() && empty->editor->theSourceURL().isEmpty());
        empty->editor->contentTextbox()->setPlainText(QStringLiteral("kept"));
        pick(empty->editor, 2);
        empty->editor->doSaveButton();
        QCOMPARE(empty->editor->contentTextbox()->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(alerts.count(), 0);
    }

    void onlyAShownAgainWindowRereads()
    {
        QVERIFY(setAttributeWithTool(myPath, keywords, QByteArrayLiteral("\"k\"")));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("unsaved"));
        shown->window->showMinimized();
        shown->window->showNormal();
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("unsaved"));
        shown->window->hide();
        shown->window->showWindow();
        QCOMPARE(shown->editor->indexOfSelectedItem(), 0);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("k"));
    }

    void attributeNames_data()
    {
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("typed");   // null: nothing typed; else typed and confirmed with Enter
        QTest::addColumn<QString>("expected");
        QTest::newRow("Comment picked") << 2 << QString() << comment;
        QTest::newRow("last entry picked") << 15 << QString()
                                           << QStringLiteral("com.apple.metadata:kMDItemApplicationCategories");
        QTest::newRow("typed name, no prefix") << 0 << QStringLiteral("org.example.note") << QStringLiteral("org.example.note");
        QTest::newRow("entry text typed stays typed") << 0 << QStringLiteral("Comment") << QStringLiteral("Comment");
        QTest::newRow("no case-insensitive match") << 0 << QStringLiteral("comment") << QStringLiteral("comment");
        QTest::newRow("no completion") << 0 << QStringLiteral("Key") << QStringLiteral("Key");
        QTest::newRow("spaces kept") << 3 << QStringLiteral(" spaced ") << QStringLiteral(" spaced ");
        QTest::newRow("empty field") << 0 << QStringLiteral("") << QString();
    }
    void attributeNames()
    {
        QFETCH(int, picked);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        if (!expected.isEmpty())
            QVERIFY(setAttributeWithTool(myPath, expected, QByteArrayLiteral("\"shown\"")));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        editor->xattrSelectCombobox()->setFocus();
        pick(editor, picked);
        if (!typed.isNull())
            typeName(editor, typed);
        // Leaving the field must not turn a typed name into a list entry either.
        editor->contentTextbox()->setFocus();
        QCOMPARE(editor->selectedAttributeName(), expected);
        QCOMPARE(editor->contentTextbox()->toPlainText(), expected.isEmpty() ? QString() : QStringLiteral("shown"));
        if (expected.isEmpty())
            return;
        editor->contentTextbox()->setPlainText(QStringLiteral("saved"));
        editor->doSaveButton();
        QCOMPARE(attributeFromTool(myPath, expected), Bytes(plistlibBinaryString(QStringLiteral("saved"))));
    }

    void readingValues_data()
    {
        QTest::addColumn<Bytes>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("string in XML, entities decoded")
            << Bytes(plistlibDump(QStringLiteral("'a<b>&c'"), QStringLiteral("xml"))) << QStringLiteral("a<b>&c");
        QTest::newRow("binary ASCII") << Bytes(plistlibBinaryString(QStringLiteral("plain"))) << QStringLiteral("plain");
        QTest::newRow("binary UTF-16") << Bytes(plistlibBinaryString(QStringLiteral("© Zoë 東京")))
                                       << QStringLiteral("© Zoë 東京");
        QTest::newRow("old-style string") << Bytes(QByteArrayLiteral("\"old style\"")) << QStringLiteral("old style");
        QTest::newRow("multi-line") << Bytes(plistlibBinaryString(QStringLiteral("one\ntwo\n\nfour")))
                                    << QStringLiteral("one\ntwo\n\nfour");
        QTest::newRow("array not joined") << Bytes(plistlibDump(QStringLiteral("['a', 'b', 'c']"))) << QString();
        QTest::newRow("dictionary") << Bytes(plistlibDump(QStringLiteral("{'k': 'v'}"))) << QString();
        QTest::newRow("number") << Bytes(plistlibDump(QStringLiteral("42"))) << QString();
        QTest::newRow("zero bytes") << Bytes(QByteArray()) << QString();
        QTest::newRow("garbage") << Bytes(QByteArrayLiteral("\x01\x02\xff no plist")) << QString();
        QTest::newRow("truncated binary") << Bytes(plistlibBinaryString(QStringLiteral("cut")).left(12)) << QString();
        QTest::newRow("missing attribute") << Bytes() << QString();
    }
    void readingValues()
    {
        QFETCH(Bytes, stored);
        QFETCH(QString, shown);
        AlertRecorder alerts;
        auto window = showEditor(QUrl::fromLocalFile(myPath));
        window->editor->contentTextbox()->setPlainText(QStringLiteral("previous"));
        if (stored)
            QVERIFY(setAttributeWithTool(myPath, comment, *stored));
        pick(window->editor, 2);
        QCOMPARE(window->editor->contentTextbox()->toPlainText(), shown);
        QCOMPARE(alerts.count(), 0);
    }

    void saving_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("hello");
        QTest::newRow("markup characters") << QStringLiteral("a<b>&c");
        QTest::newRow("an entity typed as text") << QStringLiteral("&lt;");
        QTest::newRow("quotes") << QStringLiteral("say \"it's\"");
        QTest::newRow("one space is written") << QStringLiteral(" ");
        QTest::newRow("line breaks") << QStringLiteral("first\nsecond\n");
        QTest::newRow("non-ASCII") << QStringLiteral("Åsa Nyström © 🏷");
        QTest::newRow("empty text removes") << QString();
    }
    void saving()
    {
        QFETCH(QString, text);
        AlertRecorder alerts;
        auto shown = openWithComment(plistlibBinaryString(QStringLiteral("old")));
        QVERIFY(shown);
        shown->editor->contentTextbox()->setPlainText(text);
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        QTest::keyClick(shown->editor->contentTextbox(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(alerts.count(), 0);
        const Bytes stored = attributeFromTool(myPath, comment);
        QCOMPARE(stored, text.isEmpty() ? Bytes() : Bytes(plistlibBinaryString(text)));
        if (stored)
            QCOMPARE(plistlibReadString(*stored), text);
        // Nothing is re-read; Corvane shows what it wrote when the attribute is chosen again.
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), text);
        QCOMPARE(shown->editor->selectedAttributeName(), comment);
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), text);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("expected");
        auto text = [](int code) { return QString::fromLocal8Bit(std::strerror(code)); };
        QTest::newRow("nothing to remove") << QStringLiteral("remove") << QStringLiteral("removeXattr error: ") + text(ENODATA);
        // Root ignores permissions; an immutable file refuses root as well.
        QTest::newRow("read-only file") << QStringLiteral("read-only")
                                        << QStringLiteral("setXattr error: ") + text(geteuid() == 0 ? EPERM : EACCES);
        QTest::newRow("file vanished") << QStringLiteral("vanished") << QStringLiteral("setXattr error: ") + text(ENOENT);
        QTest::newRow("name too long") << QStringLiteral("long") << QStringLiteral("setXattr error: ") + text(ERANGE);
        QTest::newRow("text XML cannot carry") << QStringLiteral("bell") << QStringLiteral("setXattr error: ");
    }
    void failuresAreReported()
    {
        QFETCH(QString, how);
        QFETCH(QString, expected);
        const auto restore = qScopeGuard([this] {
            runProgram(QStringLiteral("chattr"), {QStringLiteral("-i"), myPath});
            QFile::setPermissions(myPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        });
        AlertRecorder alerts;
        auto shown = openWithComment(std::nullopt);
        if (how == QLatin1String("read-only") && geteuid() == 0)
            QCOMPARE(runProgram(QStringLiteral("chattr"), {QStringLiteral("+i"), myPath}).exitCode, 0);
        else if (how == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(myPath, QFileDevice::ReadOwner));
        else if (how == QLatin1String("vanished"))
            QVERIFY(QFile::remove(myPath));
        else if (how == QLatin1String("long"))
            typeName(shown->editor, QString(300, QLatin1Char('n')));
        shown->editor->contentTextbox()->setPlainText(how == QLatin1String("remove") ? QString()
                                                      : how == QLatin1String("bell")   ? QStringLiteral("\x07")
                                                                                       : QStringLiteral("v"));
        const QString typed = shown->editor->contentTextbox()->toPlainText();
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().style, AlertRequest::Style::Critical);
        QCOMPARE(alerts.last().messageText, QStringLiteral("An error occurred in your last action:"));
        QVERIFY2(alerts.last().informativeText.startsWith(expected), qPrintable(alerts.last().informativeText));
        QCOMPARE(alerts.last().buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), typed);
        QVERIFY(!attributeFromTool(myPath, comment));
    }

    // Save must not destroy, without asking, a value the editor could not show.
    void unshownValues_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("storedAfterShowing");   // changed by another program since shown
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("described");   // empty: no question is asked
        const QByteArray array = plistlibDump(QStringLiteral("['a', 'b', 'c']"));
        const QString three = QStringLiteral("an array of 3 items");
        QTest::newRow("array kept on Cancel") << array << false << QStringLiteral("new") << false << three;
        QTest::newRow("array replaced on confirmation") << array << false << QStringLiteral("new") << true << three;
        QTest::newRow("array not removed on Cancel") << array << false << QString() << false << three;
        QTest::newRow("array removed on confirmation") << array << false << QString() << true << three;
        QTest::newRow("changed since shown") << array << true << QStringLiteral("new") << false << three;
        QTest::newRow("bytes that are not text") << QByteArray(112, '\x01') << false << QStringLiteral("new")
                                                 << false << QStringLiteral("112 bytes");
        QTest::newRow("dictionary") << plistlibDump(QStringLiteral("{'k': 1}")) << false << QString() << false
                                    << QStringLiteral("a dictionary");
        QTest::newRow("a string: no question") << plistlibBinaryString(QStringLiteral("s")) << false
                                               << QStringLiteral("new") << false << QString();
        QTest::newRow("zero bytes: no question") << QByteArray() << false << QStringLiteral("new") << false << QString();
    }
    void unshownValues()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, storedAfterShowing);
        QFETCH(QString, typed);
        QFETCH(bool, confirm);
        QFETCH(QString, described);
        AlertRecorder alerts;
        auto shown = openWithComment(storedAfterShowing ? Bytes(QByteArrayLiteral("\"seen\"")) : Bytes(stored));
        QVERIFY(shown);
        if (storedAfterShowing)
            QVERIFY(setAttributeWithTool(myPath, comment, stored));
        shown->editor->contentTextbox()->setPlainText(typed);
        if (confirm)
            alerts.answerNext(firstButtonReturn + 1);
        shown->editor->doSaveButton();

        QCOMPARE(alerts.count(), described.isEmpty() ? 0 : 1);
        const bool written = described.isEmpty() || confirm;
        if (!described.isEmpty()) {
            const AlertRequest &question = alerts.last();
            QVERIFY2(question.messageText.contains(comment), qPrintable(question.messageText));
            QVERIFY2(question.informativeText.contains(described), qPrintable(question.informativeText));
            QCOMPARE(question.buttons.first(), QStringLiteral("Cancel"));
            QCOMPARE(question.defaultButton, 0);
            QCOMPARE(question.escapeButton, 0);
        }
        const Bytes expected = !written ? Bytes(stored) : typed.isEmpty() ? Bytes() : Bytes(plistlibBinaryString(typed));
        QCOMPARE(attributeFromTool(myPath, comment), expected);
    }

    void controlsHaveNamesAndTabOrder()
    {
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        const QList<QWidget *> order = {editor->xattrSelectCombobox(), editor->contentTextbox(), editor->saveButton()};
        for (QWidget *control : order)
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY(shown->window->accessibleName().isEmpty());
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        order.first()->setFocus();
        for (QWidget *next : order.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
