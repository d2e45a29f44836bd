#pragma once

#include <QList>
#include <QMainWindow>

class QAction;

namespace corvane {

class ApplicationActions;

// The base of every Corvane window (editor, scratchpad, help, start): the menu bar with the shared
// actions and the window's own, and the window's appearances.
//
// An appearance is the window being shown by the program, the first time or again after it was
// hidden. Restoring a minimized window is not one: the window system hides and shows it without the
// program asking, and the content must keep what the user typed.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ApplicationActions &actions, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows the window (an appearance if it was hidden), raises it and gives it the focus.
    void showAndRaise();

protected:
    // The window's own actions for its menus; a null entry is a separator.
    struct OwnActions {
        QList<QAction *> file; // after Open Recent
        QList<QAction *> edit;
        QList<QAction *> view;
    };
    // The menu bar every window carries: File, Edit, View, Window and Help, the shared actions and the
    // window's own. A menu with nothing in it is there, disabled, so the bar reads the same everywhere.
    void createMenus(const OwnActions &own);

    ApplicationActions &applicationActions() const { return m_actions; }

    virtual void appeared() { }
    virtual void disappearing() { }

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    ApplicationActions &m_actions;
    bool m_appeared = false;
};

} // namespace corvane
