#include "app/SceneFactory.h"

#include "editor/ViewController.h"
#include "help/HelpView.h"
#include "scratchpad/ScratchpadView.h"
#include "window/Document.h"
#include "window/WindowController.h"

namespace corvane {

namespace {
WindowController *makeWindow(QWidget *content, const QString &title, QSize size)
{
    auto *window = new WindowController;
    window->setContentViewController(content);
    window->setWindowTitle(title);
    window->resize(size);
    return window;
}
} // namespace

WindowController *instantiateScene(const QString &identifier)
{
    if (identifier == QLatin1String("Document Window Controller")) {
        auto *editor = new ViewController;
        WindowController *window = makeWindow(editor, QStringLiteral("Corvane"), QSize(720, 620));
        QObject::connect(window, &WindowController::windowDidAppear, editor, &ViewController::viewDidAppear);
        return window;
    }
    if (identifier == QLatin1String("ScratchpadWindow"))
        return makeWindow(new ScratchpadView, QStringLiteral("Scratchpad"), QSize(480, 360));
    if (identifier == QLatin1String("Help Window"))
        return makeWindow(new HelpView, QStringLiteral("Corvane Help"), QSize(640, 520));
    return nullptr;
}

void registerDocumentScene()
{
    Document::setWindowMaker([] { return instantiateScene(QStringLiteral("Document Window Controller")); });
}

} // namespace corvane
