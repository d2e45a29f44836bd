#include "window/WindowController.h"

#include "window/Document.h"

#include <QHideEvent>
#include <QShowEvent>

namespace corvane {

namespace {
WindowController::MenuBarInstaller &menuBarInstaller()
{
    static WindowController::MenuBarInstaller installer;
    return installer;
}
} // namespace

WindowController::WindowController(QWidget *parent)
    : QMainWindow(parent)
{
    if (const MenuBarInstaller &install = menuBarInstaller())
        install(this);
}

void WindowController::setMenuBarInstaller(MenuBarInstaller installer)
{
    menuBarInstaller() = std::move(installer);
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
