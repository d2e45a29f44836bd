#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace corvane {

// The actions every window's menu bar shares, made once for the application, so that they read the
// same in every window: Open, Open Recent, Close and Quit in File; Minimize and Scratchpad in Window;
// the help pages and the update status in Help. Close and Minimize act on the active window and Quit
// on the application; the others are connected by the application, which knows what they open. Each
// window adds its own actions beside these (MainWindow::createMenus).
class ApplicationActions : public QObject {
    Q_OBJECT
public:
    explicit ApplicationActions(QObject *parent = nullptr);
    ~ApplicationActions() override;

    QAction *openAction() const { return m_open; }
    QMenu *openRecentMenu() const { return m_openRecent; }
    QAction *closeAction() const { return m_close; }
    QAction *quitAction() const { return m_quit; }
    QAction *minimizeAction() const { return m_minimize; }
    QAction *scratchpadAction() const { return m_scratchpad; }
    QAction *helpAction() const { return m_help; }
    QAction *supportAction() const { return m_support; }
    QAction *updatesAction() const { return m_updates; }
    QAction *updateStatusAction() const { return m_updateStatus; }
    // View > Keep Desktop Tags in Step with Finder Tags: the preference bridgeTags, on when absent.
    QAction *bridgeTagsAction() const { return m_bridgeTags; }

public slots:
    // The update status reads "Checked for update", with a check mark.
    void markUpdateChecked();

private:
    QAction *m_open = nullptr;
    QMenu *m_openRecent = nullptr; // shown in every File menu; owned here, since it has no one parent
    QAction *m_close = nullptr;
    QAction *m_quit = nullptr;
    QAction *m_minimize = nullptr;
    QAction *m_scratchpad = nullptr;
    QAction *m_help = nullptr;
    QAction *m_support = nullptr;
    QAction *m_updates = nullptr;
    QAction *m_updateStatus = nullptr;
    QAction *m_bridgeTags = nullptr;
};

} // namespace corvane
