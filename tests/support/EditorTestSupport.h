#pragma once

#include "editor/EditorWidget.h"
#include "editor/EditorWindow.h"
#include "support/TestSupport.h"
#include "window/ApplicationActions.h"

#include <QUrl>

class QMimeData;

#include <memory>

namespace corvane {
class AttributesPanel;
}

namespace corvane::test {

// An editor window with the actions every window shares, shown offscreen and active, as opening a file
// shows it.
struct ShownEditor {
    ApplicationActions actions;
    EditorWindow window { actions };
    EditorWidget *editor = window.editor();
};
std::unique_ptr<ShownEditor> showEditor(const QUrl &file);
// Types as a user does into whatever has the focus: text, and keys in braces ("{Ctrl+A}", "{Return}").
void typeKeys(const QString &keys);
// The window's action of that object name ("undoAction", "saveAction", ...).
QAction *actionNamed(QWidget *window, const QString &name);

// Puts the attributes list's current row on the attribute (and on its child row), the focus on the
// list: false when the list holds no such row.
bool focusRow(AttributesPanel *panel, const QString &name, int child = -1);

// Clicks the item where a user does: in the window's menu that holds it, opened with its Alt key.
// False when no menu of the window holds it or the key did not open it.
bool clickMenuItem(QMainWindow *window, QAction *item);

// The Alt keys the window gives twice, each as "Alt+V: &Value:, &View": among the menu bar's titles,
// the labels that name a field and the buttons, then among each menu's items. Empty when all are unique.
QStringList clashingMnemonics(QMainWindow *window);
// Drags `data` onto the widget with the events Qt sends a drop target, and drops it unless told not
// to: whether the entry, then the drop, were accepted.
std::pair<bool, bool> dragOnto(QWidget *target, const QMimeData *data, bool drop = true);
// The widget Qt hands a drag over `under` to: the one under the pointer, or its nearest ancestor taking
// drops.
QWidget *dropTargetAt(QWidget *window, QWidget *under);

} // namespace corvane::test
