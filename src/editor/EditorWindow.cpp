#include "editor/EditorWindow.h"

#include "editor/AttributeDetailArea.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"
#include "editor/EditorWidget.h"
#include "editor/NumberSpinBox.h"
#include "editor/TagsEditor.h"
#include "editor/TypedValueEditor.h"
#include "settings/Preferences.h"
#include "window/ApplicationActions.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace corvane {

namespace {
// The text control a key in the widget reaches: an editable combo box and a spin box hand their keys
// to their line edit.
QWidget *textControlOf(QWidget *widget)
{
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->lineEdit();
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(widget))
        return spin->findChild<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
    return widget;
}
} // namespace

EditorWindow::EditorWindow(ApplicationActions &actions, QWidget *parent)
    : MainWindow(actions, parent)
    , m_editor(new EditorWidget)
{
    setCentralWidget(m_editor);
    setWindowTitle(QStringLiteral("Corvane"));
    resize(720, 620);
    createActions();
    const QList<QAction *> &edit = m_editActions;
    createMenus({ .file = { m_save },
        .edit = { edit[0], edit[1], nullptr, edit[2], edit[3], edit[4], edit[5], nullptr, edit[6], nullptr,
            m_find, m_addAttribute },
        .view = { m_attributesPanel, nullptr, applicationActions().bridgeTagsAction() } });
    connect(m_editor, &EditorWidget::fileDropped, this, [this](const QUrl &file) {
        updateTitle();
        emit fileDropped(file);
    });

    // The Edit commands follow the control they act on: its focus, its selection, its typing.
    AttributesPanel *panel = m_editor->attributesPanel();
    QLineEdit *name = m_editor->attributeComboBox()->lineEdit();
    for (QLineEdit *line : { name, panel->filterField() }) {
        connect(line, &QLineEdit::selectionChanged, this, &EditorWindow::updateEditActions);
        connect(line, &QLineEdit::textChanged, this, &EditorWindow::updateEditActions);
    }
    for (QPlainTextEdit *text : { m_editor->valueEdit(), panel->detailText() }) {
        connect(text, &QPlainTextEdit::selectionChanged, this, &EditorWindow::updateEditActions);
        connect(text, &QPlainTextEdit::undoAvailable, this, &EditorWindow::updateEditActions);
        connect(text, &QPlainTextEdit::redoAvailable, this, &EditorWindow::updateEditActions);
    }
    connect(panel->view()->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &EditorWindow::updateEditActions);
    connect(panel, &AttributesPanel::listingShown, this, &EditorWindow::updateEditActions);
    connect(&m_editor->session(), &EditSession::historyChanged, this, &EditorWindow::updateEditActions);
    // The field's document is one of its own per attribute typed into: its history changes with it.
    connect(m_editor, &EditorWidget::draftsChanged, this, [this] {
        setWindowModified(m_editor->hasDrafts());
        updateEditActions();
    });
    connect(
        panel->detailArea(), &AttributeDetailArea::editingChanged, this, &EditorWindow::updateEditActions);
    QTableWidget *tagsTable = panel->detailArea()->valueEditor()->tagsEditor()->table();
    connect(tagsTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &EditorWindow::updateEditActions);
    // The menu bar takes the focus while Alt opens a menu: the commands still act where it was.
    connect(qApp, &QApplication::focusChanged, this, [this, tagsTable](QWidget *, QWidget *now) {
        if (now && now->window() == this && !qobject_cast<QMenuBar *>(now)) {
            m_editTarget = textControlOf(now);
            // A tag's name is edited in a line edit made for the purpose: it joins the text fields.
            if (auto *line = qobject_cast<QLineEdit *>(now); line && tagsTable->isAncestorOf(line)) {
                line->installEventFilter(this);
                connect(line, &QLineEdit::selectionChanged, this, &EditorWindow::updateEditActions,
                    Qt::UniqueConnection);
                connect(line, &QLineEdit::textChanged, this, &EditorWindow::updateEditActions,
                    Qt::UniqueConnection);
            }
            // Kept when the focus goes nowhere: a tag's editor closing takes its widget along.
            m_focusInDetail = m_editor->attributesPanel()->detailArea()->isAncestorOf(now);
            updateEditActions();
        }
    });
    for (QWidget *control : { static_cast<QWidget *>(m_editor->attributeComboBox()),
             static_cast<QWidget *>(m_editor->valueEdit()), static_cast<QWidget *>(panel->filterField()),
             static_cast<QWidget *>(panel->detailText()),
             static_cast<QWidget *>(panel->detailArea()->valueEditor()->textField()),
             static_cast<QWidget *>(panel->detailArea()->valueEditor()->linesField()),
             static_cast<QWidget *>(panel->detailArea()->valueEditor()->dateField()),
             static_cast<QWidget *>(panel->detailArea()->valueEditor()->numberField()) })
        control->installEventFilter(this);
    updateEditActions();
}

EditorWindow::~EditorWindow() = default;

void EditorWindow::createActions()
{
    m_save = new QAction(tr("&Save"), this);
    m_save->setObjectName(QStringLiteral("saveAction"));
    m_save->setShortcut(QKeySequence::Save);
    m_save->setStatusTip(tr("Store the value; an empty value removes the attribute"));
    // Ctrl+S stores what the focus is in: the value field's text, or the value edited below the list.
    connect(m_save, &QAction::triggered, this,
        [this] { savesDetail() ? m_editor->attributesPanel()->detailArea()->apply() : m_editor->save(); });

    addCommand(Command::Undo, tr("&Undo"), { QKeySequence(Qt::CTRL | Qt::Key_Z) });
    addCommand(Command::Redo, tr("&Redo"), { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) });
    addCommand(Command::Cut, tr("Cu&t"), QKeySequence::keyBindings(QKeySequence::Cut));
    addCommand(Command::Copy, tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy));
    addCommand(Command::Paste, tr("&Paste"), QKeySequence::keyBindings(QKeySequence::Paste));
    addCommand(Command::Delete, tr("&Delete"), { QKeySequence(Qt::Key_Delete) });
    addCommand(Command::SelectAll, tr("Select &All"), QKeySequence::keyBindings(QKeySequence::SelectAll));

    m_find = new QAction(tr("&Find..."), this);
    m_find->setObjectName(QStringLiteral("findAction"));
    m_find->setShortcuts(QKeySequence::Find);
    m_find->setStatusTip(tr("Filter the list of attributes"));
    connect(m_find, &QAction::triggered, this, [this] {
        if (!m_attributesPanel->isChecked())
            m_attributesPanel->trigger();
        QLineEdit *filter = m_editor->attributesPanel()->filterField();
        filter->setFocus(Qt::ShortcutFocusReason);
        filter->selectAll();
    });

    m_addAttribute = new QAction(tr("Add Attri&bute…"), this);
    m_addAttribute->setObjectName(QStringLiteral("addAttributeAction"));
    m_addAttribute->setStatusTip(tr("Add an attribute of a kind you choose to the file"));
    connect(m_addAttribute, &QAction::triggered, this, [this] {
        if (!m_attributesPanel->isChecked())
            m_attributesPanel->trigger(); // the new value is edited in the panel
        m_editor->attributesPanel()->detailArea()->addAttribute();
    });

    m_attributesPanel = new QAction(tr("&Attributes"), this);
    m_attributesPanel->setObjectName(QStringLiteral("attributesPanelAction"));
    m_attributesPanel->setCheckable(true);
    m_attributesPanel->setChecked(Preferences().boolForKey(PreferenceKey::showAttributesPanel, true));
    m_attributesPanel->setStatusTip(tr("Show or hide the list of every attribute of the file"));
    connect(m_attributesPanel, &QAction::triggered, this, [this](bool shown) {
        m_editor->attributesPanel()->setVisible(shown);
        Preferences preferences;
        preferences.setBool(PreferenceKey::showAttributesPanel, shown);
        preferences.sync();
        emit attributesPanelToggled(shown);
    });
}

QAction *EditorWindow::addCommand(Command command, const QString &text, const QList<QKeySequence> &keys)
{
    static const char *const names[] = { "undoAction", "redoAction", "cutAction", "copyAction", "pasteAction",
        "deleteAction", "selectAllAction" };
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(names[int(command)]));
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, command] { run(command); });
    m_editActions.append(action);
    return action;
}

QUrl EditorWindow::file() const
{
    return m_editor->session().file();
}

void EditorWindow::openFile(const QUrl &file)
{
    m_editor->openFile(file);
    updateTitle();
}

void EditorWindow::updateTitle()
{
    // [*] is where the title shows that unsaved text is kept.
    setWindowTitle(file().isEmpty() ? QStringLiteral("Corvane")
                                    : m_editor->session().fileName() + QStringLiteral("[*]"));
}

void EditorWindow::appeared()
{
    setWindowTitle(QStringLiteral("Corvane"));
    m_editor->reset();
    updateTitle();
}

void EditorWindow::disappearing()
{
    m_editor->storeLayout();
}

void EditorWindow::changeEvent(QEvent *event)
{
    MainWindow::changeEvent(event);
    // Coming back to the front: what another program wrote meanwhile shows (network file systems
    // report no changes).
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_editor->showOutsideChange();
}

void EditorWindow::setAttributesPanelShown(bool shown)
{
    m_attributesPanel->setChecked(shown);
    m_editor->attributesPanel()->setVisible(shown);
}

bool EditorWindow::focusHasTyping(bool undo) const
{
    QWidget *target = m_editTarget.data();
    if (auto *line = qobject_cast<QLineEdit *>(target))
        return !line->isReadOnly() && (undo ? line->isUndoAvailable() : line->isRedoAvailable());
    if (auto *text = qobject_cast<QPlainTextEdit *>(target))
        return !text->isReadOnly()
            && (undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable());
    return false;
}

void EditorWindow::run(Command command)
{
    QWidget *target = m_editTarget.data();
    AttributesPanel *panel = m_editor->attributesPanel();
    auto *line = qobject_cast<QLineEdit *>(target);
    auto *text = qobject_cast<QPlainTextEdit *>(target);
    TagsEditor *tags = panel->detailArea()->valueEditor()->tagsEditor();
    if (target == tags->table() && command != Command::Undo && command != Command::Redo) {
        if (command == Command::Cut || command == Command::Copy)
            tags->copySelectedTags();
        if (command == Command::Cut || command == Command::Delete)
            tags->removeCurrentTag();
        if (command == Command::Paste)
            tags->pasteTags();
        if (command == Command::SelectAll)
            tags->table()->selectAll();
        return updateEditActions();
    }
    switch (command) {
    case Command::Undo:
    case Command::Redo: {
        const bool undo = command == Command::Undo;
        if (!focusHasTyping(undo))
            undo ? m_editor->undo() : m_editor->redo();
        else if (line)
            undo ? line->undo() : line->redo();
        else if (text)
            undo ? text->undo() : text->redo();
        break;
    }
    case Command::Cut:
        line ? line->cut() : text ? text->cut() : void();
        break;
    case Command::Copy:
        if (target == panel->view())
            panel->copyCurrentRow();
        else
            line ? line->copy() : text ? text->copy() : void();
        break;
    case Command::Paste:
        line ? line->paste() : text ? text->paste() : void();
        break;
    case Command::Delete:
        if (target == panel->view())
            panel->removeCurrentRow();
        else
            line ? line->del() : text ? text->textCursor().removeSelectedText() : void();
        break;
    case Command::SelectAll:
        line ? line->selectAll() : text ? text->selectAll() : void();
        break;
    }
    updateEditActions();
}

bool EditorWindow::savesDetail() const
{
    const AttributeDetailArea *detail = m_editor->attributesPanel()->detailArea();
    return detail->isEditing() && m_focusInDetail;
}

void EditorWindow::updateEditActions()
{
    const AttributeDetailArea *detail = m_editor->attributesPanel()->detailArea();
    m_save->setText(savesDetail() ? tr("&Apply Change to “%1”").arg(detail->editedLabel()) : tr("&Save"));
    m_addAttribute->setEnabled(!file().isEmpty());

    QWidget *target = m_editTarget.data();
    const auto *line = qobject_cast<QLineEdit *>(target);
    const auto *text = qobject_cast<QPlainTextEdit *>(target);
    const bool editable = (line && !line->isReadOnly()) || (text && !text->isReadOnly());
    const bool selection = (line && line->hasSelectedText()) || (text && text->textCursor().hasSelection());
    const AttributesPanel *panel = m_editor->attributesPanel();
    const bool list = target == panel->view();

    for (const bool undo : { true, false }) {
        QAction *action = m_editActions[int(undo ? Command::Undo : Command::Redo)];
        const bool typing = focusHasTyping(undo);
        const QString change = undo ? m_editor->session().undoText() : m_editor->session().redoText();
        action->setText(typing || change.isEmpty()
                ? (undo ? tr("&Undo") : tr("&Redo"))
                : QLatin1Char('&') + QString(change).replace(QLatin1Char('&'), QLatin1String("&&")));
        action->setEnabled(typing || !change.isEmpty());
    }
    const TagsEditor *tags = panel->detailArea()->valueEditor()->tagsEditor();
    if (target == tags->table()) { // the tags as items: each command acts on the selected ones
        const bool selected = tags->hasSelectedTags();
        for (const Command command : { Command::Cut, Command::Copy, Command::Delete })
            m_editActions[int(command)]->setEnabled(selected);
        m_editActions[int(Command::Paste)]->setEnabled(true);
        m_editActions[int(Command::SelectAll)]->setEnabled(tags->table()->rowCount() > 0);
        return;
    }
    m_editActions[int(Command::Cut)]->setEnabled(editable && selection);
    m_editActions[int(Command::Copy)]->setEnabled(selection || (list && panel->hasCurrentRow()));
    m_editActions[int(Command::Paste)]->setEnabled(editable);
    m_editActions[int(Command::Delete)]->setEnabled(
        (editable && selection) || (list && panel->canRemoveCurrentRow()));
    m_editActions[int(Command::SelectAll)]->setEnabled(line || text);
}

bool EditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Text fields claim Ctrl+Z and Ctrl+Shift+Z for themselves even with nothing to undo. Then the keys
    // belong to the window's Undo and Redo, which take back its last change.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        const bool undo = pressed == m_editActions[int(Command::Undo)]->shortcut();
        if ((undo || pressed == m_editActions[int(Command::Redo)]->shortcut()) && !focusHasTyping(undo)) {
            key->ignore();
            return true;
        }
    }
    return MainWindow::eventFilter(watched, event);
}

} // namespace corvane
