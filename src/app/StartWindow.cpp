#include "app/StartWindow.h"

#include "app/DocumentController.h"
#include "ui_StartWindow.h"

#include <QTimer>

namespace corvane {

StartWindow::StartWindow(DocumentController *controller, QWidget *parent)
    : QWidget(parent)
    , myUi(std::make_unique<Ui::StartWindow>())
    , myController(controller)
{
    myUi->setupUi(this);
    myUi->dropArea->setDelegate(this);
    QFont larger = myUi->dropLabel->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    myUi->dropLabel->setFont(larger);
    myUi->dropLabel->setForegroundRole(QPalette::PlaceholderText);
    connect(myUi->openButton, &QPushButton::clicked, this, [this] {
        if (myController)
            myController->openDocument();
    });
}

StartWindow::~StartWindow() = default;

void StartWindow::dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls)
{
    if (!myController)
        return;
    // Opening closes this window. Closing it while the window system is still finishing the drop
    // crashes the X11 drag code, so the files open once the drop has returned.
    QTimer::singleShot(0, myController.data(), [controller = myController, urls] {
        for (const QUrl &url : urls) {
            if (controller)
                controller->openDocumentWithContentsOfURL(url);
        }
    });
}

} // namespace corvane
