#include "app/ApplicationMenus.h"

#include "app/AppDelegate.h"
#include "app/DocumentController.h"
#include "editor/ViewController.h"
#include "settings/Preferences.h"
#include "window/WindowController.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QUrl>
#include <QWindow>

namespace corvane {

namespace {
const char changesTextProperty[] = "corvaneChangesText";
ApplicationMenus *theSharedMenus = nullptr;

ViewController *activeEditor()
{
    auto *window = qobject_cast<WindowController *>(QApplication::activeWindow());
    return window ? qobject_cast<ViewController *>(window->contentViewController()) : nullptr;
}

// The text control the Edit commands act on: the active window's focus, an editable combo box's line
// edit standing for the combo box.
QWidget *focusedTextControl()
{
    QWidget *window = QApplication::activeWindow();
    QWidget *focused = window ? window->focusWidget() : nullptr;
    if (auto *combo = qobject_cast<QComboBox *>(focused))
        focused = combo->lineEdit();
    if (qobject_cast<QLineEdit *>(focused) || qobject_cast<QPlainTextEdit *>(focused)
        || qobject_cast<QTextEdit *>(focused))
        return focused;
    return nullptr;
}

// The Edit commands act on whichever text control has the focus; controls without the command
// (a button) simply do not answer.
void sendToFocusedText(const char *slot)
{
    QWidget *focused = focusedTextControl();
    if (!focused)
        return;
    const int index = focused->metaObject()->indexOfMethod(slot);
    if (index >= 0)
        focused->metaObject()->method(index).invoke(focused);
}
} // namespace

ApplicationMenus::ApplicationMenus(QObject *parent)
    : QObject(parent)
{
    // The menus have no parent widget because many menu bars show them; this object owns them.
    myFileMenu = new QMenu(tr("&File"));
    myEditMenu = new QMenu(tr("&Edit"));
    myWindowMenu = new QMenu(tr("&Window"));
    myHelpMenu = new QMenu(tr("&Help"));
    myViewMenu = new QMenu(tr("&View"));
    buildFileMenu();
    buildEditMenu();
    buildViewMenu();
    buildWindowMenu();
    buildHelpMenu();
    theSharedMenus = this;
    WindowController::setMenuBarInstaller([this](QMainWindow *window) { installMenuBar(window); });
    // The menus are shared, so what they offer follows the window in front and its focused control.
    connect(qApp, &QApplication::focusChanged, this, &ApplicationMenus::followFocus);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &ApplicationMenus::followFocus);
}

void ApplicationMenus::updateCommandStates()
{
    mySaveAction->setEnabled(activeEditor() != nullptr);
    QWidget *text = focusedTextControl();
    const bool editable = text && !text->property("readOnly").toBool();
    for (QAction *action : std::as_const(myEditActions))
        action->setEnabled(text && (editable || !action->property(changesTextProperty).toBool()));
    updateUndoRedo();
    updateViewMenu();
}

ApplicationMenus::~ApplicationMenus()
{
    if (theSharedMenus == this) {
        theSharedMenus = nullptr;
        WindowController::setMenuBarInstaller(nullptr);
    }
    delete myFileMenu;
    delete myEditMenu;
    delete myWindowMenu;
    delete myHelpMenu;
    delete myViewMenu;
}

ApplicationMenus *ApplicationMenus::shared()
{
    return theSharedMenus;
}

void ApplicationMenus::buildFileMenu()
{
    myOpenAction = myFileMenu->addAction(tr("&Open..."));
    myOpenAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(myOpenAction, &QAction::triggered, this, [this] {
        if (myDocumentController)
            myDocumentController->openDocument();
    });

    myOpenRecentMenu = myFileMenu->addMenu(tr("Open &Recent"));
    connect(myOpenRecentMenu, &QMenu::aboutToShow, this, &ApplicationMenus::rebuildOpenRecentMenu);
    rebuildOpenRecentMenu();

    mySaveAction = myFileMenu->addAction(tr("&Save"));
    mySaveAction->setShortcut(QKeySequence::Save);
    mySaveAction->setEnabled(false);
    connect(mySaveAction, &QAction::triggered, this, [] {
        if (ViewController *editor = activeEditor())
            editor->doSaveButton();
    });

    myFileMenu->addSeparator();
    myCloseAction = myFileMenu->addAction(tr("&Close"));
    // Ctrl+W is what Linux users press, and the platform's Close may be another key (Ctrl+F4). A key
    // given twice makes its shortcut ambiguous, and Qt then triggers nothing at all.
    QList<QKeySequence> closeKeys { QKeySequence(Qt::CTRL | Qt::Key_W) };
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!closeKeys.contains(key))
            closeKeys.append(key);
    }
    myCloseAction->setShortcuts(closeKeys);
    connect(myCloseAction, &QAction::triggered, this, [] {
        if (QWidget *window = QApplication::activeWindow())
            window->close();
    });

    myFileMenu->addSeparator();
    myQuitAction = myFileMenu->addAction(tr("&Quit"));
    myQuitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    myQuitAction->setMenuRole(QAction::QuitRole);
    // quit() asks every window to close before the loop ends, as a log-out does, so each window hands
    // its state over (a scratchpad its text) before the termination routine stores it.
    connect(myQuitAction, &QAction::triggered, this, [] { QCoreApplication::quit(); });
}

void ApplicationMenus::rebuildOpenRecentMenu()
{
    myOpenRecentMenu->clear();
    const QList<QUrl> recent
        = myDocumentController ? myDocumentController->recentDocumentURLs() : QList<QUrl>();
    for (const QUrl &url : recent) {
        QAction *item = myOpenRecentMenu->addAction(url.fileName());
        item->setToolTip(url.toLocalFile());
        item->setStatusTip(url.toLocalFile());
        item->setEnabled(QFileInfo::exists(url.toLocalFile()));
        connect(item, &QAction::triggered, this, [this, url] {
            if (myDocumentController)
                myDocumentController->openDocumentWithContentsOfURL(url);
        });
    }
    if (!recent.isEmpty())
        myOpenRecentMenu->addSeparator();
    QAction *clear = myOpenRecentMenu->addAction(tr("Clear Menu"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, [this] {
        if (myDocumentController)
            myDocumentController->clearRecentDocuments();
    });
}

void ApplicationMenus::buildEditMenu()
{
    struct Command {
        const char *title;
        QKeySequence::StandardKey key;
        const char *slot;
    };
    myUndoAction = myEditMenu->addAction(tr("&Undo"));
    myUndoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(myUndoAction, &QAction::triggered, this, [this] { undoOrRedo(true); });
    myRedoAction = myEditMenu->addAction(tr("&Redo"));
    myRedoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(myRedoAction, &QAction::triggered, this, [this] { undoOrRedo(false); });
    connect(myEditMenu, &QMenu::aboutToShow, this, &ApplicationMenus::updateUndoRedo);
    qApp->installEventFilter(this);
    updateUndoRedo();
    myEditMenu->addSeparator();

    static const Command commands[] = {
        { QT_TR_NOOP("Cu&t"), QKeySequence::Cut, "cut()" },
        { QT_TR_NOOP("&Copy"), QKeySequence::Copy, "copy()" },
        { QT_TR_NOOP("&Paste"), QKeySequence::Paste, "paste()" },
        { QT_TR_NOOP("&Delete"), QKeySequence::UnknownKey, "del()" },
        { nullptr, QKeySequence::UnknownKey, nullptr },
        { QT_TR_NOOP("Select &All"), QKeySequence::SelectAll, "selectAll()" },
    };
    for (const Command &command : commands) {
        if (!command.title) {
            myEditMenu->addSeparator();
            continue;
        }
        QAction *action = myEditMenu->addAction(tr(command.title));
        if (command.key != QKeySequence::UnknownKey)
            action->setShortcut(command.key);
        action->setEnabled(false);
        // Copy and Select All also act on text that cannot be changed; the others need an editable one.
        action->setProperty(changesTextProperty,
            qstrcmp(command.slot, "copy()") != 0 && qstrcmp(command.slot, "selectAll()") != 0);
        myEditActions.append(action);
        const char *slot = command.slot;
        connect(action, &QAction::triggered, this, [slot] {
            if (qstrcmp(slot, "del()") == 0) {
                // Text controls have no delete slot; the Delete key does the same on a selection.
                if (QWidget *focused = focusedTextControl()) {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
                    QCoreApplication::sendEvent(focused, &press);
                }
                return;
            }
            sendToFocusedText(slot);
        });
    }
}

namespace {
// Whether the text control has typing to take back (or to make again).
bool hasTypingToTake(QWidget *control, bool undo)
{
    if (auto *line = qobject_cast<QLineEdit *>(control))
        return !line->isReadOnly() && (undo ? line->isUndoAvailable() : line->isRedoAvailable());
    if (auto *text = qobject_cast<QPlainTextEdit *>(control))
        return !text->isReadOnly()
            && (undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable());
    if (auto *text = qobject_cast<QTextEdit *>(control))
        return !text->isReadOnly()
            && (undo ? text->document()->isUndoAvailable() : text->document()->isRedoAvailable());
    return false;
}
} // namespace

void ApplicationMenus::undoOrRedo(bool undo)
{
    // Typing comes first, as in any editor; once the focused field has none to take back, the
    // window's saves are next.
    if (hasTypingToTake(focusedTextControl(), undo)) {
        sendToFocusedText(undo ? "undo()" : "redo()");
    } else if (ViewController *editor = activeEditor()) {
        if (undo)
            editor->undoSave();
        else
            editor->redoSave();
    }
    updateUndoRedo();
}

void ApplicationMenus::updateUndoRedo()
{
    QWidget *text = focusedTextControl();
    ViewController *editor = activeEditor();
    const auto update = [&](QAction *action, bool undo) {
        const QString saveTitle
            = editor ? (undo ? editor->undoSaveTitle() : editor->redoSaveTitle()) : QString();
        const bool typing = hasTypingToTake(text, undo);
        if (typing || saveTitle.isEmpty())
            action->setText(undo ? tr("&Undo") : tr("&Redo"));
        else
            action->setText(QString(saveTitle).replace(QLatin1Char('&'), QLatin1String("&&")));
        action->setEnabled(typing || !saveTitle.isEmpty());
    };
    update(myUndoAction, true);
    update(myRedoAction, false);
}

void ApplicationMenus::followFocus()
{
    // Undo and Redo also follow the focused field's typing and the active window's saves as they change.
    if (myWatchedText)
        disconnect(myWatchedText, nullptr, this, nullptr);
    if (myWatchedEditor)
        disconnect(myWatchedEditor, nullptr, this, nullptr);
    myWatchedText = focusedTextControl();
    myWatchedEditor = activeEditor();
    if (auto *line = qobject_cast<QLineEdit *>(myWatchedText.data()))
        connect(line, &QLineEdit::textChanged, this, &ApplicationMenus::updateUndoRedo);
    if (auto *text = qobject_cast<QPlainTextEdit *>(myWatchedText.data())) {
        connect(text, &QPlainTextEdit::undoAvailable, this, &ApplicationMenus::updateUndoRedo);
        connect(text, &QPlainTextEdit::redoAvailable, this, &ApplicationMenus::updateUndoRedo);
    }
    if (myWatchedEditor)
        connect(
            myWatchedEditor, &ViewController::saveHistoryChanged, this, &ApplicationMenus::updateUndoRedo);
    updateCommandStates();
}

void ApplicationMenus::buildViewMenu()
{
    myAttributesPanelAction = myViewMenu->addAction(tr("&Attributes"));
    myAttributesPanelAction->setCheckable(true);
    myAttributesPanelAction->setChecked(Preferences().boolForKey(PreferenceKey::showAttributesPanel, true));
    myAttributesPanelAction->setStatusTip(tr("Show or hide the list of every attribute of the file"));
    connect(myAttributesPanelAction, &QAction::triggered, this, &ApplicationMenus::showAttributesPanels);
    connect(myViewMenu, &QMenu::aboutToShow, this, &ApplicationMenus::updateViewMenu);
    updateViewMenu();
}

void ApplicationMenus::updateViewMenu()
{
    myAttributesPanelAction->setEnabled(activeEditor() != nullptr);
}

void ApplicationMenus::showAttributesPanels(bool shown)
{
    Preferences preferences;
    preferences.setBool(PreferenceKey::showAttributesPanel, shown);
    preferences.sync();
    // One setting for every editor window, as the menu is one for all of them.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *widget : windows) {
        if (auto *window = qobject_cast<WindowController *>(widget))
            if (auto *editor = qobject_cast<ViewController *>(window->contentViewController()))
                editor->setAttributesPanelShown(shown);
    }
}

bool ApplicationMenus::eventFilter(QObject *watched, QEvent *event)
{
    // Text fields claim Ctrl+Z and Ctrl+Shift+Z for themselves even with nothing to undo. Then the keys
    // belong to the menu, which takes back the window's last save.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(key->keyCombination());
        const bool undo = pressed == myUndoAction->shortcut();
        if (undo || pressed == myRedoAction->shortcut()) {
            followFocus();
            if (watched == QApplication::focusWidget() && !hasTypingToTake(focusedTextControl(), undo)
                && activeEditor()) {
                key->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void ApplicationMenus::buildWindowMenu()
{
    QAction *minimize = myWindowMenu->addAction(tr("Mi&nimize"));
    minimize->setShortcut(QKeySequence(tr("Ctrl+M")));
    connect(minimize, &QAction::triggered, this, [] {
        if (QWidget *window = QApplication::activeWindow())
            window->showMinimized();
    });
    myWindowMenu->addSeparator();
    myScratchpadAction = myWindowMenu->addAction(tr("&Scratchpad"));
}

void ApplicationMenus::buildHelpMenu()
{
    myHelpAction = myHelpMenu->addAction(tr("Corvane &Help"));
    myHelpAction->setShortcut(QKeySequence(Qt::Key_F1));
    mySupportAction = myHelpMenu->addAction(tr("&Support"));
    myUpdatesAction = myHelpMenu->addAction(tr("&Updates"));
    myHelpMenu->addSeparator();
    myUpdateStatusItem = myHelpMenu->addAction(QStringLiteral("Update not checked"));
    // A status, not a command: shown with the check's outcome, never changed by a click.
    myUpdateStatusItem->setCheckable(true);
    myUpdateStatusItem->setChecked(false);
    myUpdateStatusItem->setEnabled(false);
}

void ApplicationMenus::connectToDelegate(AppDelegate *delegate)
{
    if (!delegate)
        return;
    connect(myScratchpadAction, &QAction::triggered, delegate, &AppDelegate::openScratchpad);
    connect(myHelpAction, &QAction::triggered, delegate, &AppDelegate::openHelp);
    connect(mySupportAction, &QAction::triggered, delegate, &AppDelegate::openSupport);
    connect(myUpdatesAction, &QAction::triggered, delegate, &AppDelegate::openUpdates);
    connect(delegate, &AppDelegate::checkedForUpdate, this, &ApplicationMenus::markUpdateChecked);
}

void ApplicationMenus::markUpdateChecked()
{
    myUpdateStatusItem->setText(QStringLiteral("Checked for update"));
    myUpdateStatusItem->setChecked(true);
}

void ApplicationMenus::setDocumentController(DocumentController *controller)
{
    myDocumentController = controller;
}

void ApplicationMenus::installMenuBar(QMainWindow *window)
{
    auto *bar = new QMenuBar(window);
    bar->addMenu(myFileMenu);
    bar->addMenu(myEditMenu);
    bar->addMenu(myViewMenu);
    bar->addMenu(myWindowMenu);
    bar->addMenu(myHelpMenu);
    window->setMenuBar(bar);
}

} // namespace corvane
