#include "app/ApplicationMenus.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "support/TestSupport.h"
#include "window/WindowController.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
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

// Types over the name field as a user does, from the focus, and leaves it the given way.
void typeName(ViewController *editor, const QString &name, const QString &confirm = QStringLiteral("Return"))
{
    editor->xattrSelectCombobox()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), name);
    if (confirm == QLatin1String("click into the value"))
        QTest::mouseClick(editor->contentTextbox()->viewport(), Qt::LeftButton);
    else if (confirm == QLatin1String("click on Save"))
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    else
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(confirm));
}

// Types into the value field from the keyboard, at its end or over all of it; "\n" is the Return key.
void typeValue(ViewController *editor, const QString &keys, bool replace = false)
{
    editor->contentTextbox()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), replace ? Qt::Key_A : Qt::Key_End, Qt::ControlModifier);
    const QStringList lines = keys.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), lines.at(i));
    }
}

void pressSave()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<ApplicationMenus> myMenus; // File > Save carries Ctrl+S
    QTemporaryDir myDir;
    QString myPath;
    FileSnapshot myBefore;

    // The file opened with Comment chosen; `stored` is set as its Comment first.
    std::unique_ptr<EditorWindow> openWithComment(const Bytes &stored)
    {
        if (stored && !setAttributeWithTool(myPath, comment, *stored))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        pick(shown->editor, 2);
        return shown;
    }

private slots:
    void initTestCase() { myMenus = std::make_unique<ApplicationMenus>(); }

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

    void openingShowingAgainAndControls()
    {
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("alpha, beta"))));
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("notes.txt"));
        QCOMPARE(editor->theSourcePath(), myPath);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("alpha, beta"));
        const QList<QWidget *> order
            = { editor->xattrSelectCombobox(), editor->contentTextbox(), editor->saveButton() };
        for (QWidget *control : order)
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY(shown->window->accessibleName().isEmpty());
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        order.first()->setFocus();
        for (QWidget *next : order.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }

        // Restoring a minimized window keeps what was typed; only a window shown again re-reads.
        pick(editor, 2);
        editor->contentTextbox()->setPlainText(QStringLiteral("unsaved"));
        shown->window->showMinimized();
        shown->window->showNormal();
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("unsaved"));
        shown->window->hide();
        shown->window->showWindow();
        QCOMPARE(editor->indexOfSelectedItem(), 0);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("alpha, beta"));

        // A document without a file: the list is filled, nothing is loaded, read or saved.
        AlertRecorder alerts;
        auto empty = showEditor(QUrl());
        QCOMPARE(empty->window->windowTitle(), QStringLiteral("Corvane"));
        QCOMPARE(empty->editor->xattrSelectCombobox()->count(), 16);
        QVERIFY(empty->editor->theSourcePath().isEmpty() && empty->editor->theSourceURL().isEmpty());
        empty->editor->contentTextbox()->setPlainText(QStringLiteral("kept"));
        pick(empty->editor, 2);
        empty->editor->doSaveButton();
        QCOMPARE(empty->editor->contentTextbox()->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(alerts.count(), 0);
    }

    // A typed name is used exactly as typed, even over a picked entry. However the user leaves the
    // field, its value is shown before anything can be saved under it: Save with a name never shown
    // only shows it.
    void attributeNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirm");
        QTest::newRow("typed name, Return") << QStringLiteral("org.example.note") << QStringLiteral("Return");
        QTest::newRow("full catalogue name, keypad Enter") << comment << QStringLiteral("Num+Enter");
        QTest::newRow("entry text typed stays typed, Tab")
            << QStringLiteral("Comment") << QStringLiteral("Tab");
        QTest::newRow("no case-insensitive match, click into the value")
            << QStringLiteral("comment") << QStringLiteral("click into the value");
        QTest::newRow("no completion, click on Save")
            << QStringLiteral("Key") << QStringLiteral("click on Save");
        QTest::newRow("spaces kept, Ctrl+S") << QStringLiteral(" spaced ") << QStringLiteral("Ctrl+S");
        QTest::newRow("empty field: no name") << QString() << QStringLiteral("Return");
    }
    void attributeNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, confirm);
        const QByteArray stored = plistlibBinaryString(QStringLiteral("shown"));
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("alpha"))));
        if (!typed.isEmpty())
            QVERIFY(setAttributeWithTool(myPath, typed, stored));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        ViewController *editor = shown->editor;
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        pick(editor, 3);
        typeName(editor, typed, confirm);
        QCOMPARE(editor->selectedAttributeName(), typed);
        QCOMPARE(
            editor->contentTextbox()->toPlainText(), typed.isEmpty() ? QString() : QStringLiteral("shown"));
        QCOMPARE(alerts.count(), 0);
        if (typed.isEmpty())
            return;
        QCOMPARE(attributeFromTool(myPath, typed), Bytes(stored));
        typeValue(editor, QStringLiteral("saved"), true);
        pressSave();
        QCOMPARE(attributeFromTool(myPath, typed), Bytes(plistlibBinaryString(QStringLiteral("saved"))));
    }

    void readingValues_data()
    {
        QTest::addColumn<Bytes>("stored");
        QTest::addColumn<QString>("shown");
        auto binary = [](const char *text) { return Bytes(plistlibBinaryString(QString::fromUtf8(text))); };
        QTest::newRow("string in XML, entities decoded")
            << Bytes(plistlibDump(QStringLiteral("'a<b>&c'"), QStringLiteral("xml")))
            << QStringLiteral("a<b>&c");
        QTest::newRow("binary ASCII, multi-line")
            << binary("one\ntwo\n\nfour") << QStringLiteral("one\ntwo\n\nfour");
        QTest::newRow("binary UTF-16") << binary("© Zoë 東京") << QStringLiteral("© Zoë 東京");
        QTest::newRow("old-style string")
            << Bytes(QByteArrayLiteral("\"old style\"")) << QStringLiteral("old style");
        QTest::newRow("array not joined")
            << Bytes(plistlibDump(QStringLiteral("['a', 'b', 'c']"))) << QString();
        QTest::newRow("zero bytes") << Bytes(QByteArray()) << QString();
        QTest::newRow("garbage") << Bytes(QByteArrayLiteral("\x01\x02\xff no plist")) << QString();
        QTest::newRow("missing attribute") << Bytes() << QString();
    }
    void readingValues()
    {
        QFETCH(Bytes, stored);
        QFETCH(QString, shown);
        AlertRecorder alerts;
        auto window = showEditor(QUrl::fromLocalFile(myPath));
        window->editor->contentTextbox()->setPlainText(QStringLiteral("previous"));
        QVERIFY(!stored || setAttributeWithTool(myPath, comment, *stored));
        pick(window->editor, 2);
        QCOMPARE(window->editor->contentTextbox()->toPlainText(), shown);
        QCOMPARE(alerts.count(), 0);
    }

    // The field must not change what it shows: unedited, the same string is saved; edited, no-break
    // spaces and U+2028 stay and line breaks keep the value's style. One trailing NUL stays as found.
    void valueTravelsUnchanged_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("typed"); // appended at the end; empty: no edit
        QTest::addColumn<QByteArray>("saved"); // plistlib's bytes, so any changed character or break shows
        auto row = [](const char *name, const QByteArray &stored, const QString &typed, const QString &saved,
                       bool nul = false) {
            const QByteArray end = nul ? QByteArray(1, '\0') : QByteArray();
            QTest::newRow(name) << stored + end << typed << plistlibBinaryString(saved) + end;
        };
        const QString mixed = QStringLiteral("a\u00A0b\r\nc\u2028d\re");
        const auto binary = [](const QString &text) { return plistlibBinaryString(text); };
        row("unedited", binary(mixed), {}, mixed);
        row("unedited, XML form", plistlibDump(QStringLiteral("'a\\u00a0<&>'"), QStringLiteral("xml")), {},
            QStringLiteral("a\u00A0<&>"));
        row("edited, CRLF value", binary(QStringLiteral("one\r\ntwo")), QStringLiteral("\nthree"),
            QStringLiteral("one\r\ntwo\r\nthree"));
        row("edited, CR value", binary(QStringLiteral("one\rtwo")), QStringLiteral("\nthree"),
            QStringLiteral("one\rtwo\rthree"));
        row("edited, mixed breaks become LF", binary(mixed), QStringLiteral("\nf"),
            QStringLiteral("a\u00A0b\nc\u2028d\ne\nf"));
        row("edited, U+2029 becomes a line break", binary(QStringLiteral("a\u2029b")), QStringLiteral("c"),
            QStringLiteral("a\nbc"));
        row("unedited, one trailing NUL", binary(mixed), {}, mixed, true);
        row("edited, one trailing NUL", binary(QStringLiteral("x")), QStringLiteral("y"),
            QStringLiteral("xy"), true);
    }
    void valueTravelsUnchanged()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        auto shown = openWithComment(stored);
        QVERIFY(shown);
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        if (!typed.isEmpty())
            typeValue(shown->editor, typed);
        shown->editor->contentTextbox()->setFocus();
        pressSave();
        QCOMPARE(attributeFromTool(myPath, comment), Bytes(saved));
    }

    // Save writes plistlib's bytes for the text, or removes the attribute for the empty text; it asks
    // first before it would destroy a value the editor could not show.
    void saving_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QString>("described"); // empty: no question is asked
        QTest::addColumn<bool>("changedSinceShown"); // stored by another program after the editor read it
        auto row = [](const char *name, const QByteArray &stored, const QString &typed, bool confirm = false,
                       const QString &described = {}, bool changed = false) {
            QTest::newRow(name) << stored << typed << confirm << described << changed;
        };
        const QByteArray old = plistlibBinaryString(QStringLiteral("old"));
        row("markup, an entity typed as text, quotes", old, QStringLiteral("a<b>&c &lt; say \"it's\""));
        row("one space is written", old, QStringLiteral(" "));
        row("line breaks, non-ASCII", old, QStringLiteral("first\nÅsa Nyström © 🏷\n"));
        row("empty text removes", old, QString());
        row("zero bytes replaced without a question", QByteArray(), QStringLiteral("new"));
        const QByteArray array = plistlibDump(QStringLiteral("['a', 'b', 'c']"));
        const QString three = QStringLiteral("an array of 3 items");
        row("array kept on Cancel", array, QStringLiteral("new"), false, three);
        row("array replaced on confirmation", array, QStringLiteral("new"), true, three);
        row("array not removed on Cancel", array, QString(), false, three);
        row("array removed on confirmation", array, QString(), true, three);
        row("array stored since shown, kept on Cancel", array, QStringLiteral("new"), false, three, true);
        row("bytes that are not text", QByteArray(112, '\x01'), QStringLiteral("new"), false,
            QStringLiteral("112 bytes"));
        row("dictionary", plistlibDump(QStringLiteral("{'k': 1}")), QString(), false,
            QStringLiteral("a dictionary"));
    }
    void saving()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(bool, confirm);
        QFETCH(QString, described);
        QFETCH(bool, changedSinceShown);
        AlertRecorder alerts;
        auto shown = openWithComment(changedSinceShown ? QByteArrayLiteral("\"seen\"") : stored);
        QVERIFY(shown);
        QVERIFY(!changedSinceShown || setAttributeWithTool(myPath, comment, stored));
        shown->editor->contentTextbox()->setPlainText(typed);
        if (confirm)
            alerts.answerNext(firstButtonReturn + 1);
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        QTest::keyClick(shown->editor->contentTextbox(), Qt::Key_S, Qt::ControlModifier);

        QCOMPARE(alerts.count(), described.isEmpty() ? 0 : 1);
        if (!described.isEmpty()) {
            const AlertRequest &question = alerts.last();
            QVERIFY2(question.messageText.contains(comment), qPrintable(question.messageText));
            QVERIFY2(question.informativeText.contains(described), qPrintable(question.informativeText));
            QCOMPARE(question.buttons.first(), QStringLiteral("Cancel"));
            QCOMPARE(question.defaultButton, 0);
            QCOMPARE(question.escapeButton, 0);
        }
        const bool written = described.isEmpty() || confirm;
        const Bytes expected = !written ? Bytes(stored)
            : typed.isEmpty()           ? Bytes()
                                        : Bytes(plistlibBinaryString(typed));
        QCOMPARE(attributeFromTool(myPath, comment), expected);
        // The fields stay as they were; choosing the attribute again shows what is stored now.
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), typed);
        QCOMPARE(shown->editor->selectedAttributeName(), comment);
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), written ? typed : QString());
    }

    // Reading stays silent, but a value that cannot be read does not pass for an absent one.
    void unreadableValueSaysWhy()
    {
        CORVANE_RUN_UNPRIVILEGED();
        QVERIFY(setAttributeWithTool(myPath, keywords, plistlibBinaryString(QStringLiteral("secret"))));
        QVERIFY(QFile::setPermissions(myPath, QFileDevice::Permissions()));
        const auto restore = qScopeGuard(
            [this] { QFile::setPermissions(myPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner); });
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(myPath));
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QString());
        QCOMPARE(shown->editor->contentTextbox()->placeholderText(),
            QStringLiteral("Cannot be read: permission denied"));
        QCOMPARE(alerts.count(), 0);
        QVERIFY(QFile::setPermissions(myPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->contentTextbox()->placeholderText(), QStringLiteral("No value"));
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        auto error = [](const char *action, int code) {
            return QString::fromLatin1(action) + QStringLiteral("Xattr error: ")
                + QString::fromLocal8Bit(std::strerror(code));
        };
        const QString v = QStringLiteral("v");
        QTest::newRow("nothing to remove")
            << QStringLiteral("remove") << QString() << error("remove", ENODATA);
        // Root ignores permissions; an immutable file refuses root as well.
        QTest::newRow("read-only file")
            << QStringLiteral("read-only") << v << error("set", geteuid() == 0 ? EPERM : EACCES);
        QTest::newRow("name too long") << QStringLiteral("long") << v << error("set", ERANGE);
        QTest::newRow("text XML cannot carry")
            << QStringLiteral("bell") << QStringLiteral("\x07") << QStringLiteral("setXattr error: ");
    }
    void failuresAreReported()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const auto restore = qScopeGuard([this] {
            runProgram(QStringLiteral("chattr"), { QStringLiteral("-i"), myPath });
            QFile::setPermissions(myPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        });
        AlertRecorder alerts;
        auto shown = openWithComment(std::nullopt);
        QVERIFY(QTest::qWaitForWindowActive(shown->window.get()));
        if (how == QLatin1String("read-only"))
            QVERIFY(geteuid() == 0
                    ? runProgram(QStringLiteral("chattr"), { QStringLiteral("+i"), myPath }).exitCode == 0
                    : QFile::setPermissions(myPath, QFileDevice::ReadOwner));
        else if (how == QLatin1String("long"))
            typeName(shown->editor, QString(300, QLatin1Char('n')));
        shown->editor->contentTextbox()->setPlainText(typed);
        shown->editor->doSaveButton();
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().style, AlertRequest::Style::Critical);
        QVERIFY2(
            alerts.last().informativeText.startsWith(expected), qPrintable(alerts.last().informativeText));
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), typed);
        QVERIFY(!attributeFromTool(myPath, comment));
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
