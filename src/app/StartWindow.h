#pragma once

#include "window/DragViewDelegate.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace Ui {
class StartWindow;
}

namespace corvane {

class DocumentController;

// The content of the window Corvane shows when started without a file. It is not a document: a drop
// area and an Open button, each opening files as documents with windows of their own.
class StartWindow : public QWidget, public DragViewDelegate {
    Q_OBJECT
public:
    explicit StartWindow(DocumentController *controller, QWidget *parent = nullptr);
    ~StartWindow() override;

    void dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls) override;

private:
    std::unique_ptr<Ui::StartWindow> myUi;
    QPointer<DocumentController> myController;
};

} // namespace corvane
