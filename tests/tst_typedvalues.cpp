// Every kind of value edited in the attributes panel's detail area of a real window, with keys, and
// read back from disk beside what python's plistlib writes for the value expected.

#include "attributes/DraftStore.h"
#include "editor/AttributeDetailArea.h"
#include "editor/AttributesModel.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"
#include "editor/DraftBar.h"
#include "editor/TagsEditor.h"
#include "editor/TypedValueEditor.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {
// Nine hours ahead of UTC all year round, without the zone database: local time is never UTC here.
const bool localTimeAhead = qputenv("TZ", "JST-9");

const QString tags = u"user.com.apple.metadata:_kMDItemUserTags"_s;
const QString keywords = u"user.com.apple.metadata:kMDItemKeywords"_s;

// Types the keys into the next modal dialog once it has the focus; notes its controls without a name.
void typeIntoNextDialog(const QString &keys, QStringList *unnamed)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(qApp, &QApplication::focusChanged, qApp, [=](QWidget *, QWidget *now) {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!now || !dialog || !dialog->isAncestorOf(now))
            return;
        QObject::disconnect(*connection);
        QTimer::singleShot(0, dialog, [=] {
            for (auto *control : dialog->findChildren<QWidget *>()) {
                if (control->isVisible() && (control->focusPolicy() & Qt::TabFocus)
                    && control->accessibleName().isEmpty() && !qobject_cast<QPushButton *>(control))
                    *unnamed << QString::fromLatin1(control->metaObject()->className());
            }
            typeKeys(keys);
        });
    });
}

} // namespace

class TestTypedValues : public QObject {
    Q_OBJECT
    TestFiles m_files;
    QString m_path;

    // The file with the attribute written by python, open in a window, its row current and its value
    // taken to the editor (Return), then back on the row, the focus in the detail area (Tab).
    std::unique_ptr<ShownEditor> openAt(const QString &name, const QByteArray &stored)
    {
        const QString value = u"bytes.fromhex('%1')"_s.arg(QString::fromLatin1(stored.toHex()));
        if (!setAttributesWithPython({ { m_path, name.toUtf8(), value } }))
            return nullptr;
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        AttributesPanel *panel = shown->editor->attributesPanel();
        if (!QTest::qWaitFor([&] { return focusRow(panel, name); }))
            return nullptr;
        typeKeys(u"{Return}"_s);
        if (!focusRow(panel, name))
            return nullptr;
        typeKeys(u"{Tab}"_s);
        if (!panel->detailArea()->isEditing()
            || !panel->detailArea()->isAncestorOf(QApplication::focusWidget()))
            return nullptr;
        return shown;
    }

private slots:
    void init() { QVERIFY(!(m_path = m_files.make(u"report.pdf"_s)).isEmpty()); }
    void cleanup()
    {
        QFile::remove(m_path);
        QDir(DraftStore().directory()).removeRecursively(); // an edit kept stays with its test
    }

    // Apply (Ctrl+S, or Return in a one-line field) writes the value in the form it was found in, as
    // plistlib writes it; Undo takes it back. A value changed and changed back writes nothing.
    void applyWritesTheFormFound_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("written"); // empty: nothing is written
        QTest::addColumn<QString>("field"); // what the value field shows afterwards

        const QString comment = u"user.com.apple.metadata:kMDItemComment"_s;
        QTest::newRow("text") << comment << plistlibDump(u"'From the Mac'"_s)
                              << u"{Ctrl+A}To the Mac{Ctrl+S}"_s << plistlibDump(u"'To the Mac'"_s)
                              << u"To the Mac"_s;
        QTest::newRow("text in XML, changed back")
            << comment << plistlibDump(u"'Note'"_s, u"xml"_s) << u"{End}x{Backspace}{Ctrl+S}"_s
            << QByteArray() << u"Note"_s;
        QTest::newRow("plain text keeps its NUL")
            << u"user.xdg.comment"_s << QByteArray("Sent by Ann\0", 12) << u"{End} and Bob{Ctrl+S}"_s
            << QByteArray("Sent by Ann and Bob\0", 20) << u"Sent by Ann and Bob"_s;
        QTest::newRow("list of texts, empty lines ignored")
            << keywords << plistlibDump(u"['sun', 'sea']"_s) << u"{Ctrl+End}{Return}{Return}sand{Ctrl+S}"_s
            << plistlibDump(u"['sun', 'sea', 'sand']"_s) << QString();
        // Work is removed; Urgent is added, and blue chosen by its first letter.
        QTest::newRow("tags removed, added, coloured")
            << tags << plistlibDump(u"['Work\\n6', 'Home', 'Later\\n4']"_s)
            << u"{Delete}{Alt+T}Urgent{Tab}b{Return}{Ctrl+S}"_s
            << plistlibDump(u"['Home', 'Later\\n4', 'Urgent\\n4']"_s) << QString();
        QTest::newRow("a tag added and removed again")
            << tags << plistlibDump(u"['Work\\n0']"_s) << u"{Alt+T}x{Return}{Delete}{Ctrl+S}"_s
            << QByteArray() << QString();
        // 17:00 UTC shows as 02:00 the next day here; the year typed over its section.
        QTest::newRow("date in local time, Return applies")
            << u"user.com.apple.metadata:kMDItemDueDate"_s
            << plistlibDump(u"__import__('datetime').datetime(2027, 1, 15, 17, 0)"_s) << u"2030{Return}"_s
            << plistlibDump(u"__import__('datetime').datetime(2030, 1, 15, 17, 0)"_s) << QString();
        QTest::newRow("date stepped up and down again")
            << u"user.com.apple.metadata:kMDItemDueDate"_s
            << plistlibDump(u"__import__('datetime').datetime(2027, 1, 15, 17, 0, 0, 250000)"_s)
            << u"{Up}{Down}{Return}"_s << QByteArray() << QString();
        QTest::newRow("list of dates, one a line in local time")
            << u"user.com.apple.metadata:kMDItemDownloadedDate"_s
            << plistlibDump(u"[__import__('datetime').datetime(2026, 12, 6, 9, 30)]"_s)
            << u"{Ctrl+End}{Return}2027-01-01 09:00:00{Ctrl+S}"_s
            << plistlibDump(u"[__import__('datetime').datetime(2026, 12, 6, 9, 30), "
                            u"__import__('datetime').datetime(2027, 1, 1, 0, 0)]"_s)
            << QString();
        QTest::newRow("whole number past 32 bits")
            << u"user.test.count"_s << plistlibDump(u"42"_s) << u"{Ctrl+A}-5000000000{Return}"_s
            << plistlibDump(u"-5000000000"_s) << QString();
        QTest::newRow("real in XML") << u"user.test.ratio"_s << plistlibDump(u"0.5"_s, u"xml"_s)
                                     << u"{Ctrl+A}2.25{Up}{Return}"_s << plistlibDump(u"3.25"_s, u"xml"_s)
                                     << QString();
        QTest::newRow("boolean") << u"user.test.flag"_s << plistlibDump(u"True"_s) << u"{Space}{Return}"_s
                                 << plistlibDump(u"False"_s) << QString();
        QTest::newRow("boolean toggled twice") << u"user.test.flag"_s << plistlibDump(u"True"_s)
                                               << u"{Space}{Space}{Return}"_s << QByteArray() << QString();
    }
    void applyWritesTheFormFound()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, written);
        AlertRecorder alerts;
        auto shown = openAt(name, stored);
        QVERIFY(shown);
        AttributeDetailArea *detail = shown->editor->attributesPanel()->detailArea();
        QAction *save = actionNamed(&shown->window, u"saveAction"_s);
        QCOMPARE(save->text(), u"&Apply Change to “%1”"_s.arg(detail->editedLabel()));
        QFETCH(QString, keys);
        typeKeys(keys);
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(attributeFromTool(m_path, name.mid(5)), written.isEmpty() ? stored : written);
        QTEST(shown->editor->valueEdit()->toPlainText(), "field");
        const QString undo = shown->editor->session().undoText();
        if (written.isEmpty()) {
            QVERIFY2(undo.isEmpty(), qPrintable(undo));
            return;
        }
        QCOMPARE(undo, u"Undo Change of “%1”"_s.arg(detail->editedLabel()));
        QVERIFY(!detail->isEdited());
        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, name.mid(5)), stored);
        // The value field shows what the attribute holds again; so does the detail area, without a step.
        QCOMPARE(shown->editor->valueEdit()->toPlainText(), QString(shown->editor->session().shownText()));
        QTRY_VERIFY(detail->isEditing() && !detail->isEdited());
    }

    // What another program writes meanwhile is not overwritten without a question; the edit stays.
    void changedSinceShownAsksFirst()
    {
        AlertRecorder alerts;
        auto shown = openAt(keywords, plistlibDump(u"['sun']"_s));
        QVERIFY(shown);
        AttributesPanel *panel = shown->editor->attributesPanel();
        typeKeys(u"{Ctrl+End}{Return}sea"_s);
        const int listings = panel->listingsShown();
        const QByteArray theirs = plistlibDump(u"['theirs']"_s);
        QVERIFY(setAttributesWithPython({ { m_path, keywords.toUtf8(),
            u"bytes.fromhex('%1')"_s.arg(QString::fromLatin1(theirs.toHex())) } }));
        QTRY_VERIFY(panel->listingsShown() > listings);
        typeKeys(u"{Ctrl+S}"_s); // answered with the default: Cancel
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().messageText, u"“Keywords” was changed by another program."_s);
        QCOMPARE(attributeFromTool(m_path, keywords.mid(5)), theirs);
        QCOMPARE(panel->detailArea()->valueEditor()->linesField()->toPlainText(), u"sun\nsea"_s);
        alerts.answerNext(Alerts::Button::Replace);
        typeKeys(u"{Ctrl+S}"_s);
        QCOMPARE(attributeFromTool(m_path, keywords.mid(5)), plistlibDump(u"['sun', 'sea']"_s));
    }

    // An edit not applied outlives choosing another row, and closing the window: marked in the list
    // and the title, it is there again, as left, when its row is chosen again (after Restore in a new
    // window), and Apply writes it.
    void editNotAppliedIsKept_data()
    {
        QTest::addColumn<bool>("closed"); // else another row is chosen
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("keys"); // typed before leaving the row
        QTest::addColumn<QString>("then"); // typed once back
        QTest::addColumn<QByteArray>("written");
        for (const bool closed : { false, true }) {
            const auto row = [closed](const char *name) -> QTestData & {
                return QTest::addRow("%s%s", name, closed ? ", window closed" : "") << closed;
            };
            row("list of texts") << keywords << plistlibDump(u"['sun']"_s) << u"{Ctrl+End}{Return}sea"_s
                                 << u"{Ctrl+S}"_s << plistlibDump(u"['sun', 'sea']"_s);
            row("tags") << tags << plistlibDump(u"['Work\\n6']"_s) << u"{Alt+T}Home{Return}"_s
                        << u"{Ctrl+S}"_s << plistlibDump(u"['Work\\n6', 'Home']"_s);
            row("number half typed") << u"user.test.count"_s << plistlibDump(u"42"_s) << u"{Ctrl+A}-"_s
                                     << u"{End}7{Return}"_s << plistlibDump(u"-7"_s);
        }
        QTest::newRow("boolean") << false << u"user.test.flag"_s << plistlibDump(u"True"_s) << u"{Space}"_s
                                 << u"{Return}"_s << plistlibDump(u"False"_s);
        QTest::newRow("date, window closed")
            << true << u"user.com.apple.metadata:kMDItemDueDate"_s
            << plistlibDump(u"__import__('datetime').datetime(2027, 1, 15, 17, 0)"_s) << u"2030"_s
            << u"{Return}"_s << plistlibDump(u"__import__('datetime').datetime(2030, 1, 15, 17, 0)"_s);
    }
    void editNotAppliedIsKept()
    {
        QFETCH(bool, closed);
        QFETCH(QString, name);
        QFETCH(QByteArray, stored);
        const QString other = u"user.xdg.comment"_s;
        QVERIFY(setAttributesWithPython({ { m_path, other.toUtf8(), u"b'plain'"_s } }));
        auto shown = openAt(name, stored);
        QVERIFY(shown);
        QFETCH(QString, keys);
        typeKeys(keys);
        QVERIFY(shown->window.isWindowModified());
        if (closed) {
            typeKeys(u"{Ctrl+W}"_s);
            QTRY_VERIFY(!shown->window.isVisible());
            shown.reset();
            shown = showEditor(QUrl::fromLocalFile(m_path));
            QVERIFY(QTest::qWaitFor([&] { return shown->window.findChild<DraftBar *>(); }));
            typeKeys(u"{Alt+R}"_s); // Restore
        } else {
            QVERIFY(focusRow(shown->editor->attributesPanel(), other));
        }
        AttributesPanel *panel = shown->editor->attributesPanel();
        QTRY_COMPARE(panel->detailArea()->editedNames(), QStringList { name });
        QVERIFY(shown->window.isWindowModified());
        QVERIFY(QTest::qWaitFor([&] { return focusRow(panel, name); }));
        QVERIFY(panel->view()->currentIndex().data(AttributesModel::DraftedRole).toBool());
        typeKeys(u"{Tab}"_s);
        QFETCH(QString, then);
        typeKeys(then);
        QTEST(attributeFromTool(m_path, name.mid(5)).value_or(QByteArray()), "written");
        QVERIFY(!shown->window.isWindowModified());
        QTRY_VERIFY(QDir(DraftStore().directory()).isEmpty(QDir::Files));
    }

    // The Edit commands and their keys act on the tags: the selected ones, or the name being typed.
    void editCommandsOnTags()
    {
        auto shown = openAt(tags, plistlibDump(u"['Work\\n6', 'Home']"_s));
        QVERIFY(shown);
        TagsEditor *editor = shown->editor->attributesPanel()->detailArea()->valueEditor()->tagsEditor();
        const auto names = [editor] {
            QStringList names;
            for (const FinderTag &tag : editor->tags())
                names << finderTagText(tag);
            return names;
        };
        typeKeys(u"{Ctrl+A}{Ctrl+X}"_s);
        QCOMPARE(names(), QStringList());
        QCOMPARE(QGuiApplication::clipboard()->text(), u"Work\nHome"_s);
        typeKeys(u"{Ctrl+V}"_s); // colours kept
        QCOMPARE(names(), QStringList({ u"Work\n6"_s, u"Home"_s }));
        QVERIFY(clickMenuItem(&shown->window, actionNamed(&shown->window, u"copyAction"_s)));
        QCOMPARE(QGuiApplication::clipboard()->text(), u"Home"_s);
        QVERIFY(clickMenuItem(&shown->window, actionNamed(&shown->window, u"deleteAction"_s)));
        QCOMPARE(names(), QStringList { u"Work\n6"_s });
        // Another program's text: a tag a line.
        QGuiApplication::clipboard()->setText(u"Travel\n\nLater\n"_s);
        QVERIFY(clickMenuItem(&shown->window, actionNamed(&shown->window, u"pasteAction"_s)));
        QCOMPARE(names(), QStringList({ u"Work\n6"_s, u"Travel"_s, u"Later"_s }));
        // A name being typed: its own undo first, then the clipboard.
        typeKeys(u"{F2}{Ctrl+A}Soon{Ctrl+Z}{Ctrl+A}{Ctrl+C}{Escape}"_s);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"Later"_s);
        QCOMPARE(names().last(), u"Later"_s);
    }

    // Escape and Revert bring back what is stored, and write nothing.
    void escapeOrRevertBringsBackTheStoredValue_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("Revert") << false;
    }
    void escapeOrRevertBringsBackTheStoredValue()
    {
        QFETCH(bool, escape);
        const QByteArray stored = plistlibDump(u"['sun']"_s);
        auto shown = openAt(keywords, stored);
        QVERIFY(shown);
        AttributeDetailArea *detail = shown->editor->attributesPanel()->detailArea();
        typeKeys(u"{Ctrl+A}moon"_s);
        QVERIFY(detail->applyButton()->isEnabled());
        escape ? typeKeys(u"{Escape}"_s) : QTest::mouseClick(detail->revertButton(), Qt::LeftButton);
        QCOMPARE(detail->valueEditor()->linesField()->toPlainText(), u"sun"_s);
        QVERIFY(!detail->applyButton()->isEnabled());
        QCOMPARE(attributeFromTool(m_path, keywords.mid(5)), stored);
        QVERIFY(shown->editor->session().undoText().isEmpty());
    }

    // Edit > Add Attribute and the + button ask for a name and a kind; the new value, typed in the
    // detail area, is written in the form macOS or the desktop writes for that name.
    void addAttribute_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<QString>("dialogKeys");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("tags, from the Edit menu")
            << true << u"Tags{Return}"_s << u"Urgent{Tab}r{Return}{Ctrl+S}"_s << tags
            << plistlibDump(u"['Urgent\\n6']"_s);
        QTest::newRow("where from, with +")
            << false << u"Where from{Return}"_s << u"https://a.example/{Return}https://b.example/{Ctrl+S}"_s
            << u"user.com.apple.metadata:kMDItemWhereFroms"_s
            << plistlibDump(u"['https://a.example/', 'https://b.example/']"_s);
        QTest::newRow("a bare name goes to user., a list chosen by its first letter")
            << false << u"org.example.topics{Tab}l{Return}"_s << u"a{Return}b{Ctrl+S}"_s
            << u"user.org.example.topics"_s << plistlibDump(u"['a', 'b']"_s);
        QTest::newRow("desktop name: plain text")
            << true << u"user.xdg.comment{Return}"_s << u"hello{Ctrl+S}"_s << u"user.xdg.comment"_s
            << QByteArray("hello");
    }
    void addAttribute()
    {
        QFETCH(bool, fromMenu);
        QFETCH(QString, dialogKeys);
        QFETCH(QString, name);
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        QVERIFY(shown);
        AttributesPanel *panel = shown->editor->attributesPanel();
        QStringList unnamed;
        typeIntoNextDialog(dialogKeys, &unnamed);
        if (fromMenu) {
            QVERIFY(clickMenuItem(&shown->window, actionNamed(&shown->window, u"addAttributeAction"_s)));
        } else {
            panel->detailArea()->addButton()->setFocus();
            typeKeys(u"{Space}"_s);
        }
        // The window has the focus back, in the new value.
        QTRY_VERIFY(panel->detailArea()->isEdited()
            && panel->detailArea()->valueEditor()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(unnamed.join(u' '), QString());
        QFETCH(QString, keys);
        typeKeys(keys);
        QTEST(attributeFromTool(m_path, name.mid(5)).value_or(QByteArray()), "written");
        // Once listed, the new attribute is the list's row, still shown in its kind.
        QTRY_COMPARE(panel->view()->currentIndex().data(AttributesModel::FullNameRole).toString(), name);
        QVERIFY(panel->detailArea()->isEditing() && !panel->detailArea()->isEdited());
    }

    // Tab goes through the tags and every button of the area, each with a name for assistive tools.
    void keyboardPathThroughTheTags()
    {
        auto shown = openAt(tags, plistlibDump(u"['Work\\n6']"_s));
        QVERIFY(shown);
        AttributeDetailArea *detail = shown->editor->attributesPanel()->detailArea();
        typeKeys(u"{Alt+T}Home{Return}"_s); // so that Revert and Apply take the focus too
        QStringList names;
        for (int i = 0; i < 6; ++i) {
            names << QApplication::focusWidget()->accessibleName();
            typeKeys(u"{Tab}"_s);
        }
        QCOMPARE(names,
            QStringList(
                { u"Tags"_s, u"Add Tag"_s, u"Remove Tag"_s, u"Add Attribute"_s, u"Revert"_s, u"Apply"_s }));
        QVERIFY(detail->isEdited());
    }
};

QTEST_MAIN(TestTypedValues)
#include "tst_typedvalues.moc"
