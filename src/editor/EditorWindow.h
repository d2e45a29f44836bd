#pragma once

#include "window/MainWindow.h"

#include <QPointer>
#include <QUrl>

class QAction;

namespace corvane {

class EditorWidget;

// A document window: the editor and the actions that act on it (Qt's SDI example, createActions()):
// Save in File; Undo, Redo, Cut, Copy, Paste, Delete, Select All and Find in Edit; Attributes in View. The
// Edit commands act on the window's focused control, the one its keys reach: the name field, the
// value field, the filter, the detail area or the list of attributes (Copy and Delete a row). Undo and
// Redo take back typing in the focused field first and, once it has none, the window's last change
// to the file. Each item is enabled, and titled, for what its key does at that moment.
class EditorWindow : public MainWindow {
    Q_OBJECT
public:
    explicit EditorWindow(ApplicationActions &actions, QWidget *parent = nullptr);
    ~EditorWindow() override;

    EditorWidget *editor() const { return m_editor; }
    QUrl file() const;
    void openFile(const QUrl &file);

    // The panel shown or hidden, as View > Attributes in another window chose it.
    void setAttributesPanelShown(bool shown);

signals:
    void fileDropped(const QUrl &file);
    // The user showed or hid the panel here (and the choice is remembered).
    void attributesPanelToggled(bool shown);

protected:
    void appeared() override;
    void disappearing() override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Command { Undo, Redo, Cut, Copy, Paste, Delete, SelectAll };
    void createActions();
    QAction *addCommand(Command command, const QString &text, const QList<QKeySequence> &keys);
    void run(Command command);
    void updateEditActions();
    bool savesDetail() const; // Save applies the value edited in the attributes panel
    bool focusHasTyping(bool undo) const;
    void updateTitle();

    EditorWidget *m_editor = nullptr;
    QAction *m_save = nullptr;
    QList<QAction *> m_editActions; // in Command order
    QAction *m_addAttribute = nullptr;
    QAction *m_attributesPanel = nullptr;
    QAction *m_find = nullptr;
    QPointer<QWidget> m_editTarget; // the control the Edit commands act on: the last one focused
    bool m_focusInDetail = false; // ... is in the attributes panel's detail area
};

} // namespace corvane
