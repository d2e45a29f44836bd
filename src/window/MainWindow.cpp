#include "window/MainWindow.h"

#include "window/ApplicationActions.h"

#include <QHideEvent>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>

namespace corvane {

MainWindow::MainWindow(ApplicationActions &actions, QWidget *parent)
    : QMainWindow(parent)
    , m_actions(actions)
{ }

MainWindow::~MainWindow() = default;

void MainWindow::createMenus(const OwnActions &own)
{
    const auto addAll = [](QMenu *menu, const QList<QAction *> &actions) {
        for (QAction *action : actions) {
            if (action)
                menu->addAction(action);
            else
                menu->addSeparator();
        }
        menu->setEnabled(!menu->isEmpty());
    };
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_actions.openAction());
    file->addMenu(m_actions.openRecentMenu());
    addAll(file, own.file);
    file->addSeparator();
    file->addAction(m_actions.closeAction());
    file->addSeparator();
    file->addAction(m_actions.quitAction());

    addAll(menuBar()->addMenu(tr("&Edit")), own.edit);
    addAll(menuBar()->addMenu(tr("&View")), own.view);

    QMenu *window = menuBar()->addMenu(tr("&Window"));
    window->addAction(m_actions.minimizeAction());
    window->addSeparator();
    window->addAction(m_actions.scratchpadAction());

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->addAction(m_actions.helpAction());
    help->addAction(m_actions.supportAction());
    help->addAction(m_actions.updatesAction());
    help->addSeparator();
    help->addAction(m_actions.updateStatusAction());
}

void MainWindow::showAndRaise()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Spontaneous show events come from the window system (un-minimizing, a desktop switch); only a
    // show the program asked for is an appearance.
    if (event->spontaneous() || m_appeared)
        return;
    m_appeared = true;
    appeared();
}

void MainWindow::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() && m_appeared) {
        m_appeared = false;
        disappearing();
    }
    QMainWindow::hideEvent(event);
}

} // namespace corvane
