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
#include <QScopeGuard>
#include <QPushButton>
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

QString systemText(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private:
    QTemporaryDir myDir;
    QString myPath;
    FileSnapshot myBefore;

    QString makeFile(const QString &name, const QByteArray &data = QByteArrayLiteral("data, never read\n"))
    {
        const QString path = myDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
            return QString();
        return path;
    }

    // Picks a list entry the way a user does: from the list, which is the combo box's "activated".
    static void pick(ViewController *editor, int index)
    {
        QComboBox *combo = editor->xattrSelectCombobox();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    static void typeName(ViewController *editor, const QString &name)
    {
        QLineEdit *field = editor->xattrSelectCombobox()->lineEdit();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, name);
    }

private slots:
    void init()
    {
        QVERIFY(myDir.isValid());
        myPath = makeFile(QStringLiteral("notes.txt"));
        QVERIFY(!myPath.isEmpty());
        myBefore = snapshotOf(myPath);
    }

    void cleanup()
    {
        // Whatever a test did to the attributes, the file's data and modification time are untouched.
        if (QFileInfo::exists(myPath))
            QVERIFY(snapshotOf(myPath) == myBefore);
        QFile::remove(myPath);
    }

    void openingShowsTheFileAndItsKeywords()
    {
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("alpha, beta"))));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("notes.txt"));
        QCOMPARE(editor->theSourcePath(), myPath);
        QCOMPARE(editor->theFilename(), QStringLiteral("notes.txt"));
        QCOMPARE(editor->theSourceURL(), QUrl::fromLocalFile(myPath));
        QCOMPARE(editor->xattrSelectCombobox()->count(), 16);
        QCOMPARE(editor->xattrSelectCombobox()->currentText(), QStringLiteral("Keywords"));
        QCOMPARE(editor->selectedAttributeName(), keywords);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("alpha, beta"));
    }

    void documentWithoutFileLoadsNothing()
    {
        auto shown = showEditor(QUrl());
        ViewController *editor = shown->editor;
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(editor->xattrSelectCombobox()->count(), 16);
        QCOMPARE(editor->xattrSelectCombobox()->itemText(15), QStringLiteral("ApplicationCategories"));
        QCOMPARE(editor->indexOfSelectedItem(), 0);
        QVERIFY(editor->theSourcePath().isEmpty());
        QVERIFY(editor->theSourceURL().isEmpty());

        // Nothing is read, and Save with no file touches nothing and shows nothing.
        AlertRecorder alerts;
        editor->contentTextbox()->setPlainText(QStringLiteral("kept"));
        pick(editor, 2);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("kept"));
        editor->doSaveButton();
        QCOMPARE(alerts.count(), 0);
    }

    void reappearingReselectsKeywordsAndRereads()
    {
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("k"))));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("unsaved"));
        QSignalSpy appeared(shown->window.get(), &WindowController::windowDidAppear);

        shown->window->showMinimized();
        shown->window->showNormal();
        QCOMPARE(appeared.count(), 0);   // un-minimizing keeps what was typed
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("unsaved"));

        shown->window->hide();
        shown->window->showWindow();
        QCOMPARE(appeared.count(), 1);
        QCOMPARE(shown->editor->indexOfSelectedItem(), 0);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("k"));
    }

    void attributeName_data()
    {
        QTest::addColumn<int>("picked");   // -1: none picked
        QTest::addColumn<QString>("typed");   // typed after picking; null: nothing typed
        QTest::addColumn<bool>("pressEnter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Comment picked") << 2 << QString() << false << comment;
        QTest::newRow("last entry picked") << 15 << QString() << false
                                           << QStringLiteral("com.apple.metadata:kMDItemApplicationCategories");
        QTest::newRow("typed name without prefix") << 0 << QStringLiteral("org.example.note") << false
                                                   << QStringLiteral("org.example.note");
        QTest::newRow("typed entry text stays typed") << 0 << QStringLiteral("Comment") << true
                                                      << QStringLiteral("Comment");
        QTest::newRow("lower-case entry is not matched to the list") << 0 << QStringLiteral("comment") << true
                                                                     << QStringLiteral("comment");
        QTest::newRow("start of an entry is not completed") << 0 << QStringLiteral("Key") << true
                                                            << QStringLiteral("Key");
        QTest::newRow("spaces kept") << 3 << QStringLiteral(" spaced name ") << true
                                     << QStringLiteral(" spaced name ");
        QTest::newRow("empty field") << 0 << QStringLiteral("") << true << QString();
    }
    void attributeName()
    {
        QFETCH(int, picked);
        QFETCH(QString, typed);
        QFETCH(bool, pressEnter);
        QFETCH(QString, expected);
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        editor->xattrSelectCombobox()->setFocus();
        pick(editor, picked);
        if (!typed.isNull())
            typeName(editor, typed);
        if (pressEnter)
            QTest::keyClick(editor->xattrSelectCombobox()->lineEdit(), Qt::Key_Return);
        // Leaving the field must not turn a typed name into a list entry either.
        editor->contentTextbox()->setFocus();
        QVERIFY(editor->contentTextbox()->hasFocus());
        QCOMPARE(editor->selectedAttributeName(), expected);
        if (!typed.isNull())
            QCOMPARE(editor->xattrSelectCombobox()->currentText(), typed);
    }

    void enterInTheNameFieldShowsTheTypedAttribute()
    {
        QVERIFY(setAttributeWithTool(myPath, QStringLiteral("org.example.note"),
                                     plistlibBinaryString(QStringLiteral("typed value"))));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        typeName(shown->editor, QStringLiteral("org.example.note"));
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QString());
        QTest::keyClick(shown->editor->xattrSelectCombobox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("typed value"));
    }

    void readingValues_data()
    {
        QTest::addColumn<QByteArray>("stored");   // empty with absent=true: no attribute
        QTest::addColumn<bool>("absent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("string in XML, entities decoded")
            << plistlibDump(QStringLiteral("'a<b>&c'"), QStringLiteral("xml")) << false << QStringLiteral("a<b>&c");
        QTest::newRow("binary ASCII string") << plistlibBinaryString(QStringLiteral("plain")) << false
                                             << QStringLiteral("plain");
        QTest::newRow("binary UTF-16 string") << plistlibBinaryString(QStringLiteral("© Zoë 東京"))
                                              << false << QStringLiteral("© Zoë 東京");
        QTest::newRow("old-style quoted string") << QByteArrayLiteral("\"old style\"") << false
                                                 << QStringLiteral("old style");
        QTest::newRow("multi-line string") << plistlibBinaryString(QStringLiteral("one\ntwo\n\nfour"))
                                           << false << QStringLiteral("one\ntwo\n\nfour");
        QTest::newRow("array of strings is not joined")
            << plistlibDump(QStringLiteral("['a', 'b', 'c']")) << false << QString();
        QTest::newRow("dictionary") << plistlibDump(QStringLiteral("{'k': 'v'}")) << false << QString();
        QTest::newRow("number") << plistlibDump(QStringLiteral("42")) << false << QString();
        QTest::newRow("zero bytes") << QByteArray() << false << QString();
        QTest::newRow("garbage") << QByteArrayLiteral("\x01\x02\xff not a plist") << false << QString();
        QTest::newRow("truncated binary plist") << plistlibBinaryString(QStringLiteral("cut")).left(12)
                                                << false << QString();
        QTest::newRow("missing attribute") << QByteArray() << true << QString();
    }
    void readingValues()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, absent);
        QFETCH(QString, shown);
        if (!absent)
            QVERIFY(setAttributeWithTool(myPath, comment, stored));
        AlertRecorder alerts;
        auto window = showEditor(QUrl::fromLocalFile(myPath));
        window->editor->contentTextbox()->setPlainText(QStringLiteral("previous text"));
        pick(window->editor, 2);
        QCOMPARE(window->editor->contentTextbox()->toPlainText(), shown);
        QCOMPARE(alerts.count(), 0);
    }

    void savingWritesPlistlibsBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain ASCII") << QStringLiteral("hello");
        QTest::newRow("markup characters") << QStringLiteral("a<b>&c");
        QTest::newRow("an entity typed as text") << QStringLiteral("&lt;");
        QTest::newRow("quotes and apostrophes") << QStringLiteral("say \"it's\"");
        QTest::newRow("one space is written, not removed") << QStringLiteral(" ");
        QTest::newRow("line breaks") << QStringLiteral("first\nsecond\n");
        QTest::newRow("non-ASCII as UTF-16") << QStringLiteral("Åsa Nyström ©");
        QTest::newRow("emoji outside the BMP") << QStringLiteral("tag 🏷");
    }
    void savingWritesPlistlibsBytes()
    {
        QFETCH(QString, text);
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->setPlainText(text);
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        QTest::keyClick(shown->editor->contentTextbox(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(alerts.count(), 0);

        const std::optional<QByteArray> stored = attributeFromTool(myPath, comment);
        QVERIFY(stored);
        QCOMPARE(*stored, plistlibBinaryString(text));
        QCOMPARE(plistlibReadString(*stored), text);
        // The fields keep what the user typed; nothing is re-read.
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), text);
        QCOMPARE(shown->editor->selectedAttributeName(), comment);
        // Corvane reads back what it wrote.
        pick(shown->editor, 0);
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), text);
    }

    void savingUnderATypedName()
    {
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        typeName(shown->editor, QStringLiteral("org.example.Typed"));
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("v"));
        QTest::mouseClick(shown->editor->saveButton(), Qt::LeftButton);
        QVERIFY(attributeFromTool(myPath, QStringLiteral("org.example.Typed")));
        QVERIFY(!attributeFromTool(myPath, keywords));
    }

    void removing_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("alertCount");
        QTest::newRow("an existing string is removed") << true << 0;
        QTest::newRow("nothing to remove is reported") << false << 1;
    }
    void removing()
    {
        QFETCH(bool, present);
        QFETCH(int, alertCount);
        if (present)
            QVERIFY(setAttributeWithTool(myPath, comment, plistlibBinaryString(QStringLiteral("old"))));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->clear();
        shown->editor->doSaveButton();
        QVERIFY(!attributeFromTool(myPath, comment));
        QCOMPARE(alerts.count(), alertCount);
        if (alertCount) {
            QCOMPARE(alerts.last().style, AlertRequest::Style::Critical);
            QCOMPARE(alerts.last().messageText, QStringLiteral("An error occurred in your last action:"));
            QCOMPARE(alerts.last().informativeText, QStringLiteral("removeXattr error: ") + systemText(ENODATA));
            QCOMPARE(alerts.last().buttons, QStringList{QStringLiteral("OK")});
        }
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QString());
    }

    void writeFailuresAreReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("code");
        // Root ignores permissions; an immutable file refuses root as well.
        QTest::newRow("read-only file") << QStringLiteral("read-only") << (geteuid() == 0 ? EPERM : EACCES);
        QTest::newRow("file vanished after opening") << QStringLiteral("vanished") << ENOENT;
        QTest::newRow("name too long") << QStringLiteral("long name") << ERANGE;
    }
    void writeFailuresAreReported()
    {
        QFETCH(QString, how);
        QFETCH(int, code);
        const QString path = makeFile(QStringLiteral("target.txt"));
        const auto restore = qScopeGuard([path] {
            runProgram(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QFile::remove(path);
        });
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(path));
        if (how == QLatin1String("read-only") && geteuid() == 0)
            QCOMPARE(runProgram(QStringLiteral("chattr"), {QStringLiteral("+i"), path}).exitCode, 0);
        else if (how == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        else if (how == QLatin1String("vanished"))
            QVERIFY(QFile::remove(path));
        else
            typeName(shown->editor, QString(300, QLatin1Char('n')));
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("value"));
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().messageText, QStringLiteral("An error occurred in your last action:"));
        QCOMPARE(alerts.last().informativeText, QStringLiteral("setXattr error: ") + systemText(code));
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("value"));
    }

    void textXmlCannotCarryIsReportedNotStored()
    {
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("bell \x07"));
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 1);
        QVERIFY(alerts.last().informativeText.startsWith(QStringLiteral("setXattr error: ")));
        QVERIFY(!attributeFromTool(myPath, comment));
    }

    // Save must not destroy a value the editor could not show without asking first.
    void unshownValuesAreOnlyReplacedOnConfirmation_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("described");
        const QByteArray array = plistlibDump(QStringLiteral("['a', 'b', 'c']"));
        const QByteArray garbage(112, '\x01');
        QTest::newRow("array kept on Cancel") << array << QStringLiteral("new") << false
                                              << QStringLiteral("an array of 3 items");
        QTest::newRow("array replaced on confirmation") << array << QStringLiteral("new") << true
                                                        << QStringLiteral("an array of 3 items");
        QTest::newRow("array not removed on Cancel") << array << QString() << false
                                                     << QStringLiteral("an array of 3 items");
        QTest::newRow("array removed on confirmation") << array << QString() << true
                                                       << QStringLiteral("an array of 3 items");
        QTest::newRow("bytes that are not text kept") << garbage << QStringLiteral("new") << false
                                                      << QStringLiteral("112 bytes");
        QTest::newRow("dictionary kept") << plistlibDump(QStringLiteral("{'k': 1, 'l': 2}")) << QString()
                                         << false << QStringLiteral("a dictionary");
    }
    void unshownValuesAreOnlyReplacedOnConfirmation()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(bool, confirm);
        QFETCH(QString, described);
        QVERIFY(setAttributeWithTool(myPath, comment, stored));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QString());
        shown->editor->contentTextbox()->setPlainText(typed);
        if (confirm)
            alerts.answerNext(firstButtonReturn + 1);
        shown->editor->doSaveButton();

        QCOMPARE(alerts.count(), 1);
        const AlertRequest &question = alerts.last();
        QVERIFY2(question.messageText.contains(comment), qPrintable(question.messageText));
        QVERIFY2(question.informativeText.contains(described), qPrintable(question.informativeText));
        QCOMPARE(question.buttons.first(), QStringLiteral("Cancel"));
        QCOMPARE(question.defaultButton, 0);
        QCOMPARE(question.escapeButton, 0);

        const std::optional<QByteArray> after = attributeFromTool(myPath, comment);
        if (!confirm)
            QCOMPARE(after, std::optional<QByteArray>(stored));
        else if (typed.isEmpty())
            QVERIFY(!after);
        else
            QCOMPARE(after, std::optional<QByteArray>(plistlibBinaryString(typed)));
    }

    void valueChangedElsewhereSinceShownIsAskedAbout()
    {
        QVERIFY(setAttributeWithTool(myPath, comment, plistlibBinaryString(QStringLiteral("shown"))));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("shown"));
        const QByteArray replaced = plistlibDump(QStringLiteral("['x', 'y']"));
        QVERIFY(setAttributeWithTool(myPath, comment, replaced));
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(attributeFromTool(myPath, comment), std::optional<QByteArray>(replaced));
    }

    void showableValuesAreSavedWithoutAQuestion_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("a string") << plistlibBinaryString(QStringLiteral("s"));
        QTest::newRow("zero bytes") << QByteArray();
        QTest::newRow("an XML string") << plistlibDump(QStringLiteral("'x'"), QStringLiteral("xml"));
    }
    void showableValuesAreSavedWithoutAQuestion()
    {
        QFETCH(QByteArray, stored);
        QVERIFY(setAttributeWithTool(myPath, comment, stored));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        shown->editor->contentTextbox()->setPlainText(QStringLiteral("replacement"));
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(attributeFromTool(myPath, comment),
                 std::optional<QByteArray>(plistlibBinaryString(QStringLiteral("replacement"))));
    }

    void controlsHaveNamesAndTabOrder()
    {
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        for (QWidget *control : {static_cast<QWidget *>(editor->xattrSelectCombobox()),
                                 static_cast<QWidget *>(editor->contentTextbox()),
                                 static_cast<QWidget *>(editor->saveButton())})
            QVERIFY2(!control->accessibleName().isEmpty(), control->objectName().toLatin1());
        QVERIFY(shown->window->accessibleName().isEmpty());
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        editor->xattrSelectCombobox()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor->contentTextbox()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor->saveButton()));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
