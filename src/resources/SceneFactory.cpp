#include "resources/SceneFactory.h"

#include "app/WindowController.h"
#include "editor/ViewController.h"
#include "resources/HelpView.h"
#include "scratchpad/ScratchpadView.h"

namespace corvane {

WindowController *instantiateScene(const QString &identifier)
{
    if (identifier == QLatin1String("Document Window Controller")) {
        auto *window = new WindowController;
        auto *editor = new ViewController;
        window->setContentViewController(editor);
        window->setWindowTitle(QStringLiteral("Corvane"));
        window->resize(560, 360);
        QObject::connect(window, &WindowController::windowDidAppear, editor,
                         &ViewController::viewDidAppear);
        return window;
    }
    if (identifier == QLatin1String("ScratchpadWindow")) {
        auto *window = new WindowController;
        window->setContentViewController(new ScratchpadView);
        window->setWindowTitle(QStringLiteral("Scratchpad"));
        window->resize(480, 360);
        return window;
    }
    if (identifier == QLatin1String("Help Window")) {
        auto *window = new WindowController;
        window->setContentViewController(new HelpView);
        window->setWindowTitle(QStringLiteral("Corvane Help"));
        window->resize(640, 520);
        return window;
    }
    return nullptr;
}

} // namespace corvane
