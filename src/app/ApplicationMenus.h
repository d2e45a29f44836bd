#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class QAction;
class QMainWindow;
class QMenu;

namespace corvane {

class AppDelegate;
class DocumentController;
class ViewController;

// The menus every top-level window carries: File, Edit, View, Window, Help. One instance for the process;
// the menus and their actions are shared by every window's menu bar, so a change to one item (the
// update status in the Help menu) reads the same everywhere.
//
// main() makes the instance and connects it to the application delegate and the document
// controller; tests may make one without either, and the menu commands then do nothing.
class ApplicationMenus : public QObject {
    Q_OBJECT
public:
    explicit ApplicationMenus(QObject *parent = nullptr);
    ~ApplicationMenus() override;

    static ApplicationMenus *shared(); // the living instance, or nullptr

    void connectToDelegate(AppDelegate *delegate);
    // The update status reads "Checked for update", with a check mark.
    void markUpdateChecked();
    void setDocumentController(DocumentController *controller);

    // Gives the window a menu bar holding the shared menus.
    void installMenuBar(QMainWindow *window);

    QMenu *fileMenu() const { return myFileMenu; }
    QMenu *editMenu() const { return myEditMenu; }
    QMenu *viewMenu() const { return myViewMenu; }
    QMenu *windowMenu() const { return myWindowMenu; }
    QMenu *helpMenu() const { return myHelpMenu; }
    QMenu *openRecentMenu() const { return myOpenRecentMenu; }

    QAction *undoAction() const { return myUndoAction; }
    QAction *redoAction() const { return myRedoAction; }
    QAction *openAction() const { return myOpenAction; }
    QAction *saveAction() const { return mySaveAction; }
    QAction *closeAction() const { return myCloseAction; }
    QAction *quitAction() const { return myQuitAction; }
    QAction *scratchpadAction() const { return myScratchpadAction; }
    QAction *helpAction() const { return myHelpAction; }
    QAction *supportAction() const { return mySupportAction; }
    QAction *updatesAction() const { return myUpdatesAction; }
    QAction *updateStatusItem() const { return myUpdateStatusItem; }
    QAction *attributesPanelAction() const { return myAttributesPanelAction; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void undoOrRedo(bool undo);
    void updateUndoRedo();
    void followFocus();
    void buildFileMenu();
    void buildEditMenu();
    void buildWindowMenu();
    void buildViewMenu();
    void updateViewMenu();
    void showAttributesPanels(bool shown);
    void buildHelpMenu();
    void rebuildOpenRecentMenu();
    // Save only in an editor window; Edit commands only on a focused text control that has them.
    void updateCommandStates();

    QMenu *myFileMenu = nullptr;
    QMenu *myEditMenu = nullptr;
    QMenu *myWindowMenu = nullptr;
    QMenu *myHelpMenu = nullptr;
    QMenu *myOpenRecentMenu = nullptr;
    QMenu *myViewMenu = nullptr;
    QAction *myAttributesPanelAction = nullptr;

    QAction *myUndoAction = nullptr;
    QAction *myRedoAction = nullptr;
    QAction *myOpenAction = nullptr;
    QAction *mySaveAction = nullptr;
    QAction *myCloseAction = nullptr;
    QAction *myQuitAction = nullptr;
    QAction *myScratchpadAction = nullptr;
    QAction *myHelpAction = nullptr;
    QAction *mySupportAction = nullptr;
    QAction *myUpdatesAction = nullptr;
    QAction *myUpdateStatusItem = nullptr;

    QList<QAction *> myEditActions;
    QPointer<DocumentController> myDocumentController;
    QPointer<QWidget> myWatchedText;
    QPointer<ViewController> myWatchedEditor;
};

} // namespace corvane
