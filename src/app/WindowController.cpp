#include "app/WindowController.h"

#include "app/ApplicationMenus.h"
#include "app/Document.h"

#include <QHideEvent>
#include <QShowEvent>

namespace corvane {

WindowController::WindowController(QWidget *parent)
    : QMainWindow(parent)
{
    if (ApplicationMenus *menus = ApplicationMenus::shared())
        menus->installMenuBar(this);
}

WindowController::~WindowController() = default;

QWidget *WindowController::contentViewController() const
{
    return centralWidget();
}

void WindowController::setContentViewController(QWidget *content)
{
    setCentralWidget(content);
}

Document *WindowController::document() const
{
    return myDocument;
}

void WindowController::setDocument(Document *document)
{
    myDocument = document;
}

void WindowController::showWindow()
{
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void WindowController::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Spontaneous show events come from the window system (un-minimizing, a desktop switch); only a
    // show the program asked for is an appearance.
    if (event->spontaneous() || myAppeared)
        return;
    myAppeared = true;
    emit windowDidAppear();
}

void WindowController::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous() && myAppeared) {
        myAppeared = false;
        emit windowWillDisappear();
    }
    QMainWindow::hideEvent(event);
}

} // namespace corvane
