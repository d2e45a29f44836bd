#include "app/Application.h"
#include "app/Document.h"
#include "attributes/ExtendedAttributes.h"
#include "editor/AttributeDetailArea.h"
#include "editor/AttributesModel.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"
#include "editor/TypedValueEditor.h"
#include "settings/Preferences.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "support/SettingsSandbox.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {

// What a file from a Mac carries, written by python as another program writes it.
QList<PythonAttribute> fromAMac(const QString &path)
{
    const QString &p = path;
    return {
        { p, "user.com.apple.metadata:kMDItemWhereFroms",
            u"plistlib.dumps(['https://example.com/a.zip', 'https://example.com/'], fmt=plistlib.FMT_BINARY)"_s },
        { p, "user.com.apple.metadata:kMDItemComment",
            u"plistlib.dumps('From the Mac', fmt=plistlib.FMT_BINARY)"_s },
        { p, "user.com.apple.quarantine", u"b'0083;5f1e2a3b;Safari;F643CD5F-6071-46AB-83AB-390BA944DEC5'"_s },
        { p, "user.xdg.comment", u"b'Sent by Ann'"_s },
        { p, "user.DosStream.com.apple.metadata\xef\x80\xa2kMDItemKeywords:$DATA",
            u"plistlib.dumps(['samba'], fmt=plistlib.FMT_BINARY) + b'\\0'"_s }
    };
}

const QString whereFroms = u"user.com.apple.metadata:kMDItemWhereFroms"_s;
const QString sambaKeywords = u"user.DosStream.com.apple.metadata\uF022kMDItemKeywords:$DATA"_s;

// What the detail area shows: the text edited in its own kind, else the whole value read-only.
QString detailShown(const AttributesPanel *panel)
{
    if (!panel->detailArea()->isEditing())
        return panel->detailText()->toPlainText();
    auto *text = qobject_cast<QPlainTextEdit *>(panel->detailArea()->valueEditor()->currentWidget());
    return text ? text->toPlainText() : QString();
}

// Right-clicks the widget at `at` and clicks the item of that text in the menu it opens.
void rightClick(QWidget *widget, const QPoint &at, const QString &item)
{
    QTimer::singleShot(0, widget, [item] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu ? menu->actions() : QList<QAction *>())
            if (action->text() == item)
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        if (QApplication::activePopupWidget())
            QApplication::activePopupWidget()->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &event);
}

QStringList shown(const AttributesPanel *panel, int role = Qt::DisplayRole)
{
    QStringList texts;
    const QAbstractItemModel *model = panel->proxyModel();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, 0).data(role).toString();
    return texts;
}

} // namespace

// The attributes panel in a real editor window over a real file, driven by keys as a user drives it.
class TestAttributesPanel : public QObject {
    Q_OBJECT
    SettingsSandbox m_settings;
    TestFiles m_files;
    QString m_path;
    std::unique_ptr<ShownEditor> m_shown;
    std::optional<AlertRecorder> m_alerts; // answers in the user's place; a test clears what it expects

    AttributesPanel *panel() const { return m_shown->editor->attributesPanel(); }

private slots:
    void init()
    {
        m_alerts.emplace();
        m_path = m_files.make(u"from-a-mac.pdf"_s);
        QVERIFY(setAttributesWithPython(fromAMac(m_path)));
        m_shown = showEditor(QUrl::fromLocalFile(m_path));
        QVERIFY(m_shown);
        QTRY_COMPARE(panel()->proxyModel()->rowCount(), 5);
        QCOMPARE(panel()->statusLabel()->text(), u"5 attributes"_s);
    }

    void cleanup()
    {
        m_shown.reset();
        QFile::remove(m_path);
        QCOMPARE(m_alerts->count(), 0);
    }

    void filterNarrowsByNameOrValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("nothing typed: all, sorted by label")
            << QString()
            << QStringList { u"Comment"_s, u"Comment (desktop)"_s, u"Keywords"_s, u"Quarantine"_s,
                   u"Where from"_s };
        QTest::newRow("label") << u"quar"_s << QStringList { u"Quarantine"_s };
        QTest::newRow("full name") << u"xdg"_s << QStringList { u"Comment (desktop)"_s };
        QTest::newRow("value, any case") << u"SENT BY"_s << QStringList { u"Comment (desktop)"_s };
        QTest::newRow("value inside a list") << u"a.zip"_s << QStringList { u"Where from"_s };
        QTest::newRow("nothing") << u"no such thing"_s << QStringList {};
    }

    void filterNarrowsByNameOrValue()
    {
        QFETCH(QString, typed);
        panel()->filterField()->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTEST(shown(panel()), "labels");
    }

    // From anywhere to the filter and on to the value, by keys alone, with the count said throughout.
    void keyboardFromTheFilterToTheValue()
    {
        EditorWidget *editor = m_shown->editor;
        QVERIFY(!panel()->detailText()->isVisible()); // no row chosen: the list takes the room
        editor->valueEdit()->setFocus();
        typeKeys(u"{Ctrl+F}"_s);
        QCOMPARE(QApplication::focusWidget(), panel()->filterField());
        QTest::keyClicks(QApplication::focusWidget(), u"<b>z"_s);
        QCOMPARE(panel()->statusLabel()->text(), u"No attribute matches “<b>z”"_s);
        QCOMPARE(panel()->statusLabel()->textFormat(), Qt::PlainText); // shown as typed, never as markup
        typeKeys(u"{Escape}"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"comment"_s);
        QCOMPARE(panel()->statusLabel()->text(), u"2 of 5 attributes"_s);
        typeKeys(u"{Down}"_s);
        QCOMPARE(QApplication::focusWidget(), panel()->view());
        QCOMPARE(panel()->view()->currentIndex().data().toString(), u"Comment"_s);
        panel()->filterField()->setFocus();
        typeKeys(u"{Escape}"_s);
        QCOMPARE(panel()->filterField()->text(), QString());
        QCOMPARE(panel()->statusLabel()->text(), u"5 attributes"_s);
    }

    // The rows' context menu, and the columns shown and their widths kept for the next window.
    void contextMenusAndRememberedColumns()
    {
        const auto chooseInRowMenu = [this](const QString &name, const QString &item) {
            QVERIFY(focusRow(panel(), name));
            rightClick(panel()->view()->viewport(),
                panel()->view()->visualRect(panel()->view()->currentIndex()).center(), item);
            m_shown->window.activateWindow(); // the focus comes back from the menu
            QVERIFY(QTest::qWaitForWindowActive(&m_shown->window));
        };
        QVERIFY(panel()->view()->isColumnHidden(AttributesModel::NameColumn)); // until asked for
        chooseInRowMenu(whereFroms, u"Copy &Name"_s);
        QCOMPARE(QApplication::clipboard()->text(), whereFroms);
        chooseInRowMenu(u"user.xdg.comment"_s, u"&Edit in the Editor"_s);
        QCOMPARE(m_shown->editor->selectedAttributeName(), u"user.xdg.comment"_s);
        chooseInRowMenu(whereFroms, u"Show &Full Names"_s);
        QVERIFY(!panel()->view()->isColumnHidden(AttributesModel::NameColumn));
        panel()->view()->header()->resizeSection(AttributesModel::LabelColumn, 211);
        // The splitter between the value and the list, dragged down.
        auto *splitter = m_shown->window.findChild<QSplitter *>();
        const QList<int> before = splitter->sizes();
        QSplitterHandle *handle = splitter->handle(1);
        QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
        QTest::mouseMove(handle, handle->rect().center() + QPoint(0, 40));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->rect().center() + QPoint(0, 40));
        QCOMPARE(splitter->sizes().first(), before.first() + 40);
        m_shown->window.close();
        auto next = showEditor(QUrl::fromLocalFile(m_path));
        AttributesTreeView *view = next->editor->attributesPanel()->view();
        QVERIFY(!view->isColumnHidden(AttributesModel::NameColumn));
        QCOMPARE(view->columnWidth(AttributesModel::LabelColumn), 211);
        QCOMPARE(next->window.findChild<QSplitter *>()->sizes().first(), before.first() + 40);
    }

    // A typed name is labelled by its full name, in the list and in Undo, beside the catalogue's entry.
    void typedNameIsToldApartFromTheCatalogues()
    {
        EditorWidget *editor = m_shown->editor;
        editor->attributeComboBox()->setFocus();
        typeKeys(u"{Ctrl+A}"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"Comment"_s);
        typeKeys(u"{Tab}"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"Typed"_s);
        typeKeys(u"{Ctrl+S}"_s);
        QCOMPARE(editor->session().undoText(), u"Undo Save of “user.Comment”"_s);
        QTRY_VERIFY(shown(panel()).contains(u"user.Comment"_s));
        QVERIFY(shown(panel()).contains(u"Comment"_s));
    }

    // However many windows are open, each follows what other programs write: the process holds one
    // inotify instance, of the few (128 by default) a user may hold.
    void manyWindowsStillFollowOtherPrograms()
    {
        std::vector<std::unique_ptr<AttributesPanel>> others(130);
        for (auto &other : others) {
            other = std::make_unique<AttributesPanel>();
            other->setFile(QUrl::fromLocalFile(m_files.make(u"other%1"_s.arg(&other - &others[0]))));
        }
        auto late = showEditor(QUrl::fromLocalFile(m_path));
        // The listing that follows the window's activation may catch the first write; only the watch
        // catches the second.
        for (const int rows : { 6, 7 }) {
            QVERIFY(setAttributeWithTool(m_path, u"user.late%1"_s.arg(rows), "1"));
            QTRY_COMPARE(late->editor->attributesPanel()->proxyModel()->rowCount(), rows);
        }
    }

    void tabOrderAndAccessibleNames()
    {
        m_shown->editor->saveButton()->setFocus();
        typeKeys(u"{Tab}"_s);
        QCOMPARE(QApplication::focusWidget(), panel()->filterField());
        typeKeys(u"{Tab}"_s);
        QCOMPARE(QApplication::focusWidget(), panel()->view());
        QVERIFY(!panel()->filterField()->accessibleName().isEmpty());
        QVERIFY(!panel()->view()->accessibleName().isEmpty());
        QVERIFY(!panel()->detailText()->accessibleName().isEmpty());
        QStringList columns;
        for (int column = 0; column < AttributesModel::ColumnCount; ++column)
            columns
                << panel()->model()->headerData(column, Qt::Horizontal, Qt::AccessibleTextRole).toString();
        QCOMPARE(columns.removeDuplicates(), qsizetype(0));
        QVERIFY(!columns.contains(QString()));
        // A right click on the header opens its menu, whose last item shows or hides the full name.
        const bool hidden = panel()->view()->isColumnHidden(AttributesModel::NameColumn);
        QHeaderView *header = panel()->view()->header();
        rightClick(header->viewport(), QPoint(5, 5), header->actions().last()->text());
        QCOMPARE(panel()->view()->isColumnHidden(AttributesModel::NameColumn), !hidden);
    }

    void enterTakesTheRowToTheEditor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("child");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("fieldText"); // empty: the editor keeps what it showed
        QTest::addColumn<int>("pickedIndex");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("field"); // what the value field shows then

        QTest::newRow("catalogue entry") << u"user.com.apple.metadata:kMDItemComment"_s << -1 << false
                                         << u"Comment"_s << 2 << u"From the Mac"_s << u"From the Mac"_s;
        QTest::newRow("catalogue entry, double-click")
            << u"user.com.apple.metadata:kMDItemComment"_s << -1 << true << u"Comment"_s << 2
            << u"From the Mac"_s << u"From the Mac"_s;
        QTest::newRow("typed name, plain text")
            << u"user.xdg.comment"_s << -1 << false << u"user.xdg.comment"_s << -1 << u"Sent by Ann"_s
            << u"Sent by Ann"_s;
        QTest::newRow("samba stream is read-only")
            << sambaKeywords << -1 << false << QString() << 0 << u"samba"_s << QString();
        QTest::newRow("child row stays")
            << whereFroms << 1 << false << QString() << 0 << u"https://example.com/"_s << QString();
    }

    void enterTakesTheRowToTheEditor()
    {
        QFETCH(QString, name);
        QFETCH(int, child);
        QFETCH(bool, doubleClick);
        QFETCH(QString, fieldText);
        EditorWidget *editor = m_shown->editor;
        const QString before = editor->attributeComboBox()->currentText();
        QVERIFY(focusRow(panel(), name, child));
        if (doubleClick) {
            const QRect cell = panel()->view()->visualRect(panel()->view()->currentIndex());
            // What the window system sends: a click, then the second press as a double-click.
            QTest::mouseClick(panel()->view()->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(panel()->view()->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            typeKeys(u"{Return}"_s);
        }
        QTEST(detailShown(panel()), "detail");
        // The focus goes where the value can be read: the value field, or the detail area (marked).
        QCOMPARE(QApplication::focusWidget(),
            fieldText.isEmpty() ? static_cast<QWidget *>(panel()->detailText()) : editor->valueEdit());
        QCOMPARE(editor->attributeComboBox()->currentText(), fieldText.isEmpty() ? before : fieldText);
        QTEST(int(editor->pickedIndex()), "pickedIndex");
        QTEST(editor->valueEdit()->toPlainText(), "field");
        if (!fieldText.isEmpty())
            QCOMPARE(QString::fromUtf8(systemAttributeName(editor->selectedAttributeName())), name);
    }

    void copyCopiesTheRowsValue_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("child");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<bool>("removable");
        QTest::newRow("list, one item a line")
            << whereFroms << -1 << u"https://example.com/a.zip\nhttps://example.com/"_s << true;
        QTest::newRow("item of a list, its own value")
            << whereFroms << 0 << u"https://example.com/a.zip"_s << false;
        QTest::newRow("plain text") << u"user.xdg.comment"_s << -1 << u"Sent by Ann"_s << true;
        QTest::newRow("samba stream, read-only") << sambaKeywords << -1 << u"samba"_s << false;
    }

    // Ctrl+C and Edit > Copy, clicked in the open menu, do the same on the list's row; Edit > Delete is
    // there for the rows Delete removes, and Delete leaves the others as they are, without a question.
    void copyCopiesTheRowsValue()
    {
        QFETCH(QString, name);
        QFETCH(int, child);
        QFETCH(bool, removable);
        QVERIFY(focusRow(panel(), name, child));
        QAction *copy = actionNamed(&m_shown->window, u"copyAction"_s);
        QVERIFY(copy->isEnabled());
        QCOMPARE(actionNamed(&m_shown->window, u"deleteAction"_s)->isEnabled(), removable);
        QApplication::clipboard()->clear();
        typeKeys(u"{Ctrl+C}"_s);
        QTEST(QApplication::clipboard()->text(), "copied");
        QApplication::clipboard()->clear();
        QVERIFY(clickMenuItem(&m_shown->window, copy));
        QTEST(QApplication::clipboard()->text(), "copied");
        if (removable)
            return;
        const std::optional<QByteArray> stored = attributeFromTool(m_path, name);
        typeKeys(u"{Delete}"_s);
        QVERIFY(stored && attributeFromTool(m_path, name) == stored);
        QVERIFY2(panel()->statusLabel()->text().contains(u"cannot be removed"_s),
            qPrintable(panel()->statusLabel()->text()));
    }

    void deleteAsksThenRemovesAndUndoRestores()
    {
        const std::optional<QByteArray> stored = attributeFromTool(m_path, whereFroms.mid(5));
        QVERIFY(stored);
        QVERIFY(focusRow(panel(), whereFroms));
        typeKeys(u"{Delete}"_s); // answered with the default: Cancel
        QCOMPARE(m_alerts->count(), 1);
        QCOMPARE(m_alerts->last().messageText, u"Remove the attribute “Where from”?"_s);
        QVERIFY(m_alerts->last().informativeText.contains(whereFroms));
        QVERIFY(m_alerts->last().informativeText.contains(u"list of 2 texts"_s));
        QCOMPARE(m_alerts->last().defaultButton, Alerts::Button::Cancel);
        QCOMPARE(attributeFromTool(m_path, whereFroms.mid(5)), stored);

        // The editor shows Comment, chosen from its list; the panel removes it under its listed name.
        const QString comment = u"user.com.apple.metadata:kMDItemComment"_s;
        const std::optional<QByteArray> storedComment = attributeFromTool(m_path, comment.mid(5));
        EditorWidget *editor = m_shown->editor;
        QVERIFY(focusRow(panel(), comment));
        typeKeys(u"{Return}"_s);
        QCOMPARE(editor->valueEdit()->toPlainText(), u"From the Mac"_s);
        QVERIFY(focusRow(panel(), comment));
        m_alerts->answerNext(Alerts::Button::Remove);
        typeKeys(u"{Delete}"_s);
        QCOMPARE(m_alerts->count(), 2);
        QCOMPARE(attributeFromTool(m_path, comment.mid(5)), std::nullopt);
        // The row that takes its place is the current one, for the next key.
        QTRY_COMPARE(panel()->view()->currentIndex().data(AttributesModel::FullNameRole).toString(),
            u"user.xdg.comment"_s);
        QCOMPARE(editor->valueEdit()->toPlainText(), QString());
        QCOMPARE(editor->session().undoText(), u"Undo Removal of “Comment”"_s);

        typeKeys(u"{Ctrl+Z}"_s);
        QCOMPARE(attributeFromTool(m_path, comment.mid(5)), storedComment);
        QTRY_VERIFY(shown(panel(), AttributesModel::FullNameRole).contains(comment));
        QCOMPARE(editor->valueEdit()->toPlainText(), u"From the Mac"_s);
        QCOMPARE(m_alerts->count(), 2);
        m_alerts->clear();
    }

    void failedRemovalShowsTheEditorsAlert()
    {
        // Another program removes the attribute while the question is on screen.
        m_alerts->setWhileShown([&](const AlertRequest &) {
            if (m_alerts->count() == 1)
                setAttributeWithTool(m_path, whereFroms, QByteArray());
        });
        m_alerts->answerNext(Alerts::Button::Remove);
        QVERIFY(focusRow(panel(), whereFroms));
        typeKeys(u"{Delete}"_s);
        QCOMPARE(m_alerts->count(), 2);
        QCOMPARE(m_alerts->last().informativeText, u"removeXattr error: No data available"_s);
        QVERIFY(m_shown->editor->session().undoText().isEmpty());
        m_alerts->clear();
    }

    void rereadsWhatOthersWrite()
    {
        QVERIFY(setAttributeWithTool(m_path, u"user.xdg.origin.url"_s, "https://example.org/"));
        QTRY_VERIFY(shown(panel(), AttributesModel::FullNameRole).contains(u"user.xdg.origin.url"_s));

        // A script writing a hundred attributes is merged into a few listings.
        const int burst = panel()->listingsShown();
        QCOMPARE(
            runPython(
                u"import os\nfor i in range(100): os.setxattr('%1', f'user.burst{i}', b'x')\n"_s.arg(m_path))
                .exitCode,
            0);
        QTRY_COMPARE(panel()->proxyModel()->rowCount(), 106);
        QVERIFY2(panel()->listingsShown() - burst <= 10,
            qPrintable(QString::number(panel()->listingsShown() - burst)));
    }

    // A value that would expand a thousandfold is one row of bytes; the status and the detail say why.
    void valueTooLargeToExpandSaysWhy()
    {
        QVERIFY(setAttributesWithPython({ { m_path, "user.shared",
            u"plistlib.dumps([[True] * 240] * 120, fmt=plistlib.FMT_BINARY)"_s } }));
        QTRY_COMPARE(panel()->proxyModel()->rowCount(), 6);
        QCOMPARE(panel()->statusLabel()->text(), u"6 attributes; 1 shown as bytes, too large to expand"_s);
        QVERIFY(focusRow(panel(), u"user.shared"_s));
        const QModelIndex row = panel()->view()->currentIndex();
        QVERIFY(panel()->proxyModel()->rowCount(row) == 0
            && row.siblingAtColumn(AttributesModel::KindColumn).data().toString().endsWith(u" bytes"_s));
        QVERIFY(panel()->detailText()->toPlainText().startsWith(
            u"Shown as its bytes: this property list would expand to more than 64 times"_s));
    }

    // A folder opened from a file manager: its own attributes, kept as current as a file's.
    void aFolderIsListedAndRereadLikeAFile()
    {
        const QString folder = m_files.path(u"folder"_s);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(setAttributesWithPython(fromAMac(folder)));
        auto opened = showEditor(QUrl::fromLocalFile(folder));
        QVERIFY(opened);
        AttributesPanel *folderPanel = opened->editor->attributesPanel();
        QTRY_COMPARE(folderPanel->proxyModel()->rowCount(), 5);
        // The listing that follows the window's activation may catch the first write; only the
        // folder's own watch catches the second.
        for (const QString &name : { u"user.xdg.tags"_s, u"user.xdg.origin.url"_s }) {
            QVERIFY(setAttributeWithTool(folder, name, "x"));
            QTRY_VERIFY(shown(folderPanel, AttributesModel::FullNameRole).contains(name));
        }
    }

    void rereadsAfterSave()
    {
        EditorWidget *editor = m_shown->editor;
        QVERIFY(focusRow(panel(), u"user.xdg.comment"_s));
        typeKeys(u"{Return}"_s);
        editor->valueEdit()->setFocus();
        typeKeys(u"{Ctrl+A}"_s);
        QTest::keyClicks(QApplication::focusWidget(), u"Saved here"_s);
        typeKeys(u"{Ctrl+S}"_s);
        // The desktop's comment stays plain text, which the desktop reads; nothing was asked.
        QCOMPARE(attributeFromTool(m_path, u"user.xdg.comment"_s), QByteArray("Saved here"));
        QTRY_COMPARE(
            panel()->view()->currentIndex().siblingAtColumn(AttributesModel::PreviewColumn).data().toString(),
            u"Saved here"_s);
        QCOMPARE(
            panel()->view()->currentIndex().siblingAtColumn(AttributesModel::KindColumn).data().toString(),
            u"plain text"_s);
    }

    void renamedOrDeletedFileShowsSoWithoutAlert()
    {
        QVERIFY(QFile::rename(m_path, m_path + u".moved"_s));
        QTRY_VERIFY(panel()->statusLabel()->text().contains(u"renamed or deleted"_s));
        QCOMPARE(panel()->proxyModel()->rowCount(), 0);
        QVERIFY(QFile::rename(m_path + u".moved"_s, m_path));
        // Back at its path, the window coming back to the front finds it again.
        m_shown->window.activateWindow();
        QApplication::postEvent(&m_shown->window, new QEvent(QEvent::WindowActivate));
        QTRY_COMPARE(panel()->proxyModel()->rowCount(), 5);
    }

    // A path the system cannot list (one under a file) says why in the panel, not in an alert.
    // A file system without extended attributes is said the same way in the panel and the field.
    void unlistableFileShowsTheReasonInThePanel_data()
    {
        QTest::addColumn<QString>("path"); // under the test's file, or absolute
        QTest::addColumn<QString>("status");
        QTest::newRow("under a file")
            << u"/inside"_s << u"The attributes cannot be listed: Not a directory"_s;
        QTest::newRow("no extended attributes")
            << u"/proc/version"_s << u"This file system keeps no extended attributes."_s;
    }
    void unlistableFileShowsTheReasonInThePanel()
    {
        QFETCH(QString, path);
        QFETCH(QString, status);
        auto opened = showEditor(QUrl::fromLocalFile(path.startsWith(u"/proc"_s) ? path : m_path + path));
        QVERIFY(opened);
        QTRY_COMPARE(opened->editor->attributesPanel()->statusLabel()->text(), status);
        if (path.startsWith(u"/proc"_s))
            QCOMPARE(opened->editor->valueEdit()->placeholderText() + u'.', status);
    }

    // View > Attributes shows or hides the panel in every editor window, and is remembered; a hidden
    // panel lists nothing, even when the file changes.
    void viewMenuTogglesThePanelAndRemembersIt()
    {
        const QString other = m_files.make(u"other.pdf"_s);
        QVERIFY(setAttributesWithPython(fromAMac(other)));
        Application application;
        EditorWindow *first
            = application.documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(m_path))->window();
        AttributesPanel *firstPanel = first->editor()->attributesPanel();
        QTRY_COMPARE(firstPanel->proxyModel()->rowCount(), 5);
        QAction *toggle = actionNamed(first, u"attributesPanelAction"_s);
        QVERIFY(toggle->isChecked() && QTest::qWaitForWindowActive(first));
        QVERIFY(clickMenuItem(first, toggle));
        QVERIFY(!firstPanel->isVisible());
        // The value field takes the room the panel had.
        QTRY_VERIFY(first->editor()->valueEdit()->height() > first->height() / 2);
        QCOMPARE(m_settings.onDisk(PreferenceKey::showAttributesPanel).toString(), u"false"_s);

        EditorWindow *second
            = application.documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(other))->window();
        AttributesPanel *secondPanel = second->editor()->attributesPanel();
        QVERIFY(!secondPanel->isVisible() && !actionNamed(second, u"attributesPanelAction"_s)->isChecked());
        // The fixture's own window shows the first file with its panel: once it has listed a change
        // made to both files, the hidden panel had every chance to list it too.
        for (const QString &path : { m_path, other })
            QVERIFY(setAttributeWithTool(path, u"user.added"_s, "1"));
        QTRY_COMPARE(panel()->proxyModel()->rowCount(), 6);
        QCOMPARE(secondPanel->listingsShown(), 0);

        QVERIFY(QTest::qWaitForWindowActive(second));
        QVERIFY(clickMenuItem(second, actionNamed(second, u"attributesPanelAction"_s)));
        QVERIFY(firstPanel->isVisible() && secondPanel->isVisible() && toggle->isChecked());
        QTRY_COMPARE(secondPanel->proxyModel()->rowCount(), 6);
        QCOMPARE(m_settings.onDisk(PreferenceKey::showAttributesPanel).toString(), u"true"_s);
    }

    void preferenceReadsAbsentAsShown_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("shown");
        QTest::newRow("absent") << QByteArray() << true;
        QTest::newRow("false") << QByteArray("showAttributesPanel=false\n") << false;
        QTest::newRow("not a boolean") << QByteArray("showAttributesPanel=maybe\n") << true;
    }

    void preferenceReadsAbsentAsShown()
    {
        QFETCH(QByteArray, line);
        SettingsSandbox sandbox;
        QVERIFY(sandbox.write(line));
        QTEST(Preferences().boolForKey(PreferenceKey::showAttributesPanel, true), "shown");
    }
};

QTEST_MAIN(TestAttributesPanel)
#include "tst_attributespanel.moc"
