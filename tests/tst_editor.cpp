#include "attributes/DraftStore.h"
#include "editor/AttributesModel.h"
#include "editor/AttributesPanel.h"
#include "editor/DraftBar.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <unistd.h>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

namespace {
const QString keywords = u"com.apple.metadata:kMDItemKeywords"_s;
const QString comment = u"com.apple.metadata:kMDItemComment"_s;
using Bytes = std::optional<QByteArray>;

// Picks a list entry the way a user does, which the combo box reports as "activated".
void pick(EditorWidget *editor, int index)
{
    editor->attributeComboBox()->setCurrentIndex(index);
    emit editor->attributeComboBox()->activated(index);
}

// Types over the name field as a user does, from the focus, and leaves it the given way.
void typeName(EditorWidget *editor, const QString &name, const QString &confirm = u"Return"_s)
{
    editor->attributeComboBox()->setFocus(Qt::TabFocusReason);
    typeKeys(u"{Ctrl+A}{Backspace}"_s + name);
    if (confirm == QLatin1String("click into the value"))
        QTest::mouseClick(editor->valueEdit()->viewport(), Qt::LeftButton);
    else if (confirm == QLatin1String("click on Save"))
        QTest::mouseClick(editor->saveButton(), Qt::LeftButton);
    else
        QTest::keySequence(QApplication::focusWidget(), QKeySequence(confirm));
}

// Types into the value field from the keyboard, at its end or over all of it; "\n" is the Return key.
void typeValue(EditorWidget *editor, const QString &keys, bool replace = false)
{
    editor->valueEdit()->setFocus(Qt::TabFocusReason);
    typeKeys(
        (replace ? u"{Ctrl+A}{Backspace}"_s : u"{Ctrl+End}"_s) + QString(keys).replace(u'\n', u"{Return}"_s));
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    TestFiles m_files;
    QString m_path;
    FileSnapshot m_before;
    std::optional<AlertRecorder> m_alerts; // answers in the user's place; a test clears what it expects

    // The file opened with Comment chosen; `stored` is set as its Comment first.
    std::unique_ptr<ShownEditor> openWithComment(const Bytes &stored)
    {
        if (stored && !setAttributeWithTool(m_path, comment, *stored))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        if (shown)
            pick(shown->editor, 2);
        return shown;
    }

private slots:
    void init()
    {
        m_path = m_files.make(u"notes.txt"_s, "never read\n");
        QVERIFY(!m_path.isEmpty());
        m_before = snapshotOf(m_path);
        m_alerts.emplace();
    }

    void cleanup()
    {
        // Whatever a test did to the attributes, the file's data and modification time are untouched.
        if (QFileInfo::exists(m_path))
            QVERIFY(snapshotOf(m_path) == m_before);
        QFile::remove(m_path);
        QDir(DraftStore().directory()).removeRecursively(); // unsaved text stays with its test
        QCOMPARE(m_alerts->count(), 0);
    }

    void openingShowingAgainAndControls()
    {
        QVERIFY(setAttributeWithTool(m_path, keywords, plistlibBinaryString(u"alpha, beta"_s)));
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        EditorWidget *editor = shown->editor;
        QCOMPARE(shown->window.windowTitle(), u"notes.txt[*]"_s);
        QCOMPARE(editor->valueEdit()->toPlainText(), u"alpha, beta"_s);
        const QList<QWidget *> order
            = { editor->attributeComboBox(), editor->valueEdit(), editor->saveButton() };
        for (QWidget *control : order)
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        QVERIFY(shown->window.accessibleName().isEmpty());
        order.first()->setFocus();
        for (QWidget *next : order.mid(1)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // The value's label takes the focus there by its Alt key (menus open by theirs in clickMenuItem).
        QTest::keyClick(&shown->window, Qt::Key_L, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), editor->valueEdit());

        // The path fits the window: cut in the middle, whole in its tool tip.
        shown->window.resize(shown->window.minimumSizeHint());
        QTRY_VERIFY(editor->findChild<QLabel *>(u"fileLabel"_s)->text().contains(u'…'));
        QCOMPARE(editor->findChild<QLabel *>(u"fileLabel"_s)->toolTip(), m_path);

        // Restoring a minimized window keeps what was typed; a window shown again shows the first
        // entry, and keeps what was typed for the other.
        pick(editor, 2);
        typeValue(editor, u"unsaved"_s);
        shown->window.showMinimized();
        shown->window.showNormal();
        QCOMPARE(editor->valueEdit()->toPlainText(), u"unsaved"_s);
        shown->window.hide();
        shown->window.showAndRaise();
        QCOMPARE(editor->pickedIndex(), 0);
        QCOMPARE(editor->valueEdit()->toPlainText(), u"alpha, beta"_s);
        pick(editor, 2);
        QCOMPARE(editor->valueEdit()->toPlainText(), u"unsaved"_s);

        // A document without a file: the list is filled, nothing is loaded, read or saved.
        auto empty = showEditor(QUrl());
        QCOMPARE(empty->window.windowTitle(), u"Corvane"_s);
        QCOMPARE(empty->editor->attributeComboBox()->count(), 16);
        empty->editor->valueEdit()->setPlainText(u"kept"_s);
        pick(empty->editor, 2);
        QTest::mouseClick(empty->editor->saveButton(), Qt::LeftButton);
        QCOMPARE(empty->editor->valueEdit()->toPlainText(), u"kept"_s);
    }

    // Text typed and not saved is kept per attribute with its undo history, marked, and kept on disk
    // when the window goes; opened again, the file offers it back until it is restored or discarded.
    void draftsAreKeptAndOffered_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::newRow("restored, then saved") << true;
        QTest::newRow("discarded") << false;
    }
    void draftsAreKeptAndOffered()
    {
        QFETCH(bool, restore);
        QVERIFY(setAttributeWithTool(m_path, keywords, plistlibBinaryString(u"alpha"_s)));
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        typeValue(shown->editor, u" typed"_s);
        QVERIFY(shown->window.isWindowModified());
        const QAbstractItemModel *list = shown->editor->attributesPanel()->model();
        QTRY_VERIFY(list->index(0, 0).data(AttributesModel::DraftedRole).toBool()); // Keywords, marked
        pick(shown->editor, 2);
        pick(shown->editor, 0);
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), u"alpha typed"_s);
        typeKeys(u"{Ctrl+Z}"_s); // the typing, not a save
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), u"alpha"_s);
        typeValue(shown->editor, u" again"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!shown->window.isVisible());
        shown.reset();

        auto again = showEditor(QUrl::fromLocalFile(m_path));
        auto *bar = again->window.findChild<DraftBar *>();
        QVERIFY(bar && bar->isVisible());
        QVERIFY2(bar->text().contains(QRegularExpression(u"^Unsaved text from .+ for Keywords$"_s)),
            qPrintable(bar->text()));
        QCOMPARE(again->editor->valueEdit()->toPlainText(), u"alpha"_s);
        QTest::keyClick(&again->window, restore ? Qt::Key_R : Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(!bar->isVisible()); // a button pressed by its key clicks a moment later
        QCOMPARE(again->editor->valueEdit()->toPlainText(), restore ? u"alpha again"_s : u"alpha"_s);
        QCOMPARE(again->window.isWindowModified(), restore);
        if (restore)
            typeKeys(u"{Ctrl+S}"_s);
        QVERIFY(!again->window.isWindowModified());
        QTRY_VERIFY(QDir(DraftStore().directory()).isEmpty(QDir::Files));
        QCOMPARE(attributeFromTool(m_path, keywords),
            Bytes(plistlibBinaryString(restore ? u"alpha again"_s : u"alpha"_s)));
    }

    // Another program's write shows at once in a field without unsaved text; text typed stays, and
    // Save asks before it replaces what the other program stored.
    void anotherProgramsWriteIsNeverOverwrittenUnseen()
    {
        auto shown = openWithComment(plistlibBinaryString(u"first"_s));
        QVERIFY(setAttributeWithTool(m_path, comment, plistlibBinaryString(u"theirs"_s)));
        QTRY_COMPARE(shown->editor->valueEdit()->toPlainText(), u"theirs"_s);
        typeValue(shown->editor, u" mine"_s);
        const int listed = shown->editor->attributesPanel()->listingsShown();
        QVERIFY(setAttributeWithTool(m_path, comment, plistlibBinaryString(u"theirs again"_s)));
        QTRY_VERIFY(shown->editor->attributesPanel()->listingsShown() > listed); // heard it
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), u"theirs mine"_s);
        typeKeys(u"{Ctrl+S}"_s);
        QCOMPARE(m_alerts->count(), 1);
        QCOMPARE(attributeFromTool(m_path, comment), Bytes(plistlibBinaryString(u"theirs again"_s)));
        m_alerts->clear(); // its words and answers: the "stored since shown" rows of saving()
    }

    // A typed name is used exactly as typed, even over a picked entry. However the user leaves the
    // field, its value is shown before anything can be saved under it: Save with a name never shown
    // only shows it.
    void attributeNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<bool>("plain"); // Save writes plain UTF-8 text under the desktop's names
        QTest::newRow("typed name, Return") << u"org.example.note"_s << u"Return"_s << false;
        QTest::newRow("full catalogue name, keypad Enter") << comment << u"Num+Enter"_s << false;
        QTest::newRow("entry text typed stays typed, Tab") << u"Comment"_s << u"Tab"_s << false;
        QTest::newRow("no case-insensitive match, click into the value")
            << u"comment"_s << u"click into the value"_s << false;
        QTest::newRow("no completion, click on Save") << u"Key"_s << u"click on Save"_s << false;
        QTest::newRow("spaces kept, Ctrl+S") << u" spaced "_s << u"Ctrl+S"_s << false;
        QTest::newRow("empty field: no name") << QString() << u"Return"_s << false;
        QTest::newRow("desktop name: a string saved as plain text")
            << u"user.xdg.comment"_s << u"Return"_s << true;
        QTest::newRow("baloo name too") << u"user.baloo.rating"_s << u"Return"_s << true;
    }
    void attributeNames()
    {
        QFETCH(QString, typed);
        QFETCH(QString, confirm);
        QFETCH(bool, plain);
        const QByteArray stored = plistlibBinaryString(u"shown"_s);
        QVERIFY(setAttributeWithTool(m_path, keywords, plistlibBinaryString(u"alpha"_s)));
        if (!typed.isEmpty())
            QVERIFY(setAttributeWithTool(m_path, typed, stored));
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        EditorWidget *editor = shown->editor;
        pick(editor, 3);
        typeName(editor, typed, confirm);
        QCOMPARE(editor->selectedAttributeName(), typed);
        QCOMPARE(editor->valueEdit()->toPlainText(), typed.isEmpty() ? QString() : u"shown"_s);
        if (typed.isEmpty())
            return;
        QCOMPARE(attributeFromTool(m_path, typed), Bytes(stored));
        typeValue(editor, u"saved"_s, true);
        typeKeys(u"{Ctrl+S}"_s);
        QCOMPARE(attributeFromTool(m_path, typed),
            Bytes(plain ? QByteArray("saved") : plistlibBinaryString(u"saved"_s)));
    }

    void readingValues_data()
    {
        QTest::addColumn<Bytes>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("placeholder"); // what the field says once it is emptied
        const QString noValue = u"No value"_s;
        auto binary = [](const char *text) { return Bytes(plistlibBinaryString(QString::fromUtf8(text))); };
        QTest::newRow("binary ASCII, multi-line")
            << binary("one\ntwo\n\nfour") << u"one\ntwo\n\nfour"_s << noValue;
        QTest::newRow("old-style string")
            << Bytes(QByteArrayLiteral("\"old style\"")) << u"old style"_s << noValue;
        QTest::newRow("plain text, as the desktop writes it")
            << Bytes(QByteArrayLiteral("Sent by Ann\0")) << u"Sent by Ann"_s << noValue;
        QTest::newRow("array not joined")
            << Bytes(plistlibDump(u"['a', 'b', 'c']"_s)) << QString()
            << u"Holds a list of 3 texts: change it in the attributes list below"_s;
        QTest::newRow("empty string") << binary("") << QString() << u"Holds an empty text"_s;
        QTest::newRow("zero bytes") << Bytes(QByteArray("")) << QString() << u"Holds an empty text"_s;
        QTest::newRow("garbage") << Bytes(QByteArrayLiteral("\x01\x02\xff no plist")) << QString()
                                 << u"Holds 12 bytes: change it in the attributes list below"_s;
        QTest::newRow("missing attribute") << Bytes() << QString() << noValue;
    }
    void readingValues()
    {
        QFETCH(Bytes, stored);
        QFETCH(QString, shown);
        auto window = showEditor(QUrl::fromLocalFile(m_path));
        window->editor->valueEdit()->setPlainText(u"previous"_s);
        QVERIFY(!stored || setAttributeWithTool(m_path, comment, *stored));
        pick(window->editor, 2);
        QCOMPARE(window->editor->valueEdit()->toPlainText(), shown);
        QTEST(window->editor->valueEdit()->placeholderText(), "placeholder");
        // With the list hidden, the field says how to show it.
        QFETCH(QString, placeholder);
        if (placeholder.endsWith(u"list below"_s)) {
            QAction *panelItem = actionNamed(&window->window, u"attributesPanelAction"_s);
            QVERIFY(clickMenuItem(&window->window, panelItem));
            QCOMPARE(window->editor->valueEdit()->placeholderText(),
                QString(placeholder)
                    .replace(u"change it in the attributes list below"_s,
                        u"show the attributes list with View > Attributes to change it"_s));
            QVERIFY(clickMenuItem(&window->window, panelItem)); // shown again, as the next rows want it
            QCOMPARE(window->editor->valueEdit()->placeholderText(), placeholder);
        }
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
        const QString mixed = u"a\u00A0b\r\nc\u2028d\re"_s;
        const auto binary = [](const QString &text) { return plistlibBinaryString(text); };
        row("unedited", binary(mixed), {}, mixed);
        row("unedited, XML form", plistlibDump(u"'a\\u00a0<&>'"_s, u"xml"_s), {}, u"a\u00A0<&>"_s);
        row("edited, CRLF value", binary(u"one\r\ntwo"_s), u"\nthree"_s, u"one\r\ntwo\r\nthree"_s);
        row("edited, CR value", binary(u"one\rtwo"_s), u"\nthree"_s, u"one\rtwo\rthree"_s);
        row("edited, mixed breaks become LF", binary(mixed), u"\nf"_s, u"a\u00A0b\nc\u2028d\ne\nf"_s);
        row("edited, U+2029 becomes a line break", binary(u"a\u2029b"_s), u"c"_s, u"a\nbc"_s);
        row("unedited, one trailing NUL", binary(mixed), {}, mixed, true);
        row("edited, one trailing NUL", binary(u"x"_s), u"y"_s, u"xy"_s, true);
    }
    void valueTravelsUnchanged()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        auto shown = openWithComment(stored);
        QVERIFY(shown);
        if (!typed.isEmpty())
            typeValue(shown->editor, typed);
        shown->editor->valueEdit()->setFocus();
        typeKeys(u"{Ctrl+S}"_s);
        QCOMPARE(attributeFromTool(m_path, comment), Bytes(saved));
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
        QTest::addColumn<QByteArray>("writtenAs"); // empty: plistlib's binary string of the text
        auto row = [](const char *name, const QByteArray &stored, const QString &typed, bool confirm = false,
                       const QString &described = {}, bool changed = false, const QByteArray &written = {}) {
            QTest::newRow(name) << stored << typed << confirm << described << changed << written;
        };
        const QByteArray old = plistlibBinaryString(u"old"_s);
        row("one space is written", old, u" "_s);
        row("empty text removes", old, QString());
        row("zero bytes replaced without a question", QByteArray(""), u"new"_s);
        const QByteArray array = plistlibDump(u"['a', 'b', 'c']"_s);
        const QString three = u"It holds list of 3 texts, which"_s; // in the attributes panel's words
        row("array kept on Cancel", array, u"new"_s, false, three);
        row("array replaced on confirmation", array, u"new"_s, true, three);
        row("array not removed on Cancel", array, QString(), false, three);
        row("array removed on confirmation", array, QString(), true, three);
        row("array stored since shown, kept on Cancel", array, u"new"_s, false,
            u"now holds list of 3 texts"_s, true);
        row("text stored since shown, kept on Cancel", old, u"new"_s, false,
            u"The value it holds now is lost."_s, true);
        row("text stored since shown, replaced on confirmation", old, u"new"_s, true,
            u"The value it holds now"_s, true);
        row("bytes that are not text", QByteArray(112, '\x01'), u"new"_s, false, u"holds 112 bytes,"_s);
        // Plain text stays plain, NUL and all: nothing is lost, so nothing is asked.
        row("plain text stays plain", "Sent by Ann", u"Sent by Bob"_s, false, {}, false, "Sent by Bob");
        row("plain text keeps its NUL", QByteArray("a b\0", 4), u"c d"_s, false, {}, false,
            QByteArray("c d\0", 4));
    }
    void saving()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, typed);
        QFETCH(bool, confirm);
        QFETCH(QString, described);
        QFETCH(bool, changedSinceShown);
        QFETCH(QByteArray, writtenAs);
        auto shown = openWithComment(changedSinceShown ? QByteArrayLiteral("\"seen\"") : stored);
        QVERIFY(shown);
        QVERIFY(!changedSinceShown || setAttributeWithTool(m_path, comment, stored));
        typeValue(shown->editor, typed, true);
        if (confirm)
            m_alerts->answerNext(typed.isEmpty() ? Alerts::Button::Remove : Alerts::Button::Replace);
        typeKeys(u"{Ctrl+S}"_s);

        QCOMPARE(m_alerts->count(), described.isEmpty() ? 0 : 1);
        if (!described.isEmpty()) {
            const AlertRequest &question = m_alerts->last();
            QVERIFY2(question.messageText.contains(
                         changedSinceShown ? u"“Comment” was changed by another program"_s : u"“Comment”?"_s),
                qPrintable(question.messageText));
            QVERIFY2(question.informativeText.contains(described), qPrintable(question.informativeText));
            QCOMPARE(question.defaultButton, Alerts::Button::Cancel);
            QCOMPARE(question.escapeButton, Alerts::Button::Cancel);
        }
        const bool written = described.isEmpty() || confirm;
        const Bytes expected = !written ? Bytes(stored)
            : typed.isEmpty()           ? Bytes()
            : writtenAs.isEmpty()       ? Bytes(plistlibBinaryString(typed))
                                        : Bytes(writtenAs);
        QCOMPARE(attributeFromTool(m_path, comment), expected);
        // The fields stay as they were, the text not saved is kept and marked; choosing the attribute
        // again shows it, or what is stored now.
        QCOMPARE(shown->window.isWindowModified(), !written && !typed.isEmpty());
        pick(shown->editor, 0);
        pick(shown->editor, 2);
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), typed);
        m_alerts->clear();
    }

    // Reading stays silent, but a value that cannot be read does not pass for an absent one.
    void unreadableValueSaysWhy()
    {
        CORVANE_RUN_UNPRIVILEGED();
        QVERIFY(setAttributeWithTool(m_path, keywords, plistlibBinaryString(u"secret"_s)));
        QVERIFY(QFile::setPermissions(m_path, QFileDevice::Permissions()));
        const auto restore = qScopeGuard(
            [this] { QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner); });
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), QString());
        QCOMPARE(shown->editor->valueEdit()->placeholderText(), u"Cannot be read: permission denied"_s);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        auto error = [](const char *action, int code) {
            return QString::fromLatin1(action) + u"Xattr error: "_s
                + QString::fromLocal8Bit(std::strerror(code));
        };
        const QString v = u"v"_s;
        QTest::newRow("nothing to remove") << u"remove"_s << QString() << error("remove", ENODATA);
        // Root ignores permissions; an immutable file refuses root as well.
        QTest::newRow("read-only file")
            << u"read-only"_s << v << error("set", geteuid() == 0 ? EPERM : EACCES);
        QTest::newRow("name too long") << u"long"_s << v << error("set", ERANGE);
        QTest::newRow("text XML cannot carry")
            << u"bell"_s << u"\x07"_s << u"setXattr error: The text contains the control character U+0007"_s;
    }
    void failuresAreReported()
    {
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const auto restore = qScopeGuard([this] {
            runProgram(u"chattr"_s, { u"-i"_s, m_path });
            QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        });
        auto shown = openWithComment(std::nullopt);
        if (how == QLatin1String("read-only"))
            QVERIFY(geteuid() == 0 ? runProgram(u"chattr"_s, { u"+i"_s, m_path }).exitCode == 0
                                   : QFile::setPermissions(m_path, QFileDevice::ReadOwner));
        else if (how == QLatin1String("long"))
            typeName(shown->editor, QString(300, QLatin1Char('n')));
        shown->editor->valueEdit()->setPlainText(typed);
        QTest::mouseClick(shown->editor->saveButton(), Qt::LeftButton);
        QCOMPARE(m_alerts->count(), 1);
        QCOMPARE(m_alerts->last().style, AlertRequest::Style::Critical);
        QCOMPARE(m_alerts->last().messageText, u"An error occurred in your last action:"_s);
        QCOMPARE(m_alerts->last().detailedText,
            u"Attribute: %1\nFile: notes.txt"_s.arg(
                how == u"long"_s ? u"user."_s + QString(300, u'n') : u"Comment"_s));
        QVERIFY2(m_alerts->last().informativeText.startsWith(expected),
            qPrintable(m_alerts->last().informativeText));
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), typed);
        QVERIFY(!attributeFromTool(m_path, comment));
        m_alerts->clear();
    }
};

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
