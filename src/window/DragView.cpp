#include "window/DragView.h"

#include "window/DragViewDelegate.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace corvane {

DragView::DragView(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setBackgroundColor(Qt::transparent);
}

DragView::~DragView() = default;

void DragView::setDelegate(QObject *delegate)
{
    myDelegate = delegate;
}

DragViewDelegate *DragView::delegate() const
{
    return dynamic_cast<DragViewDelegate *>(myDelegate.data());
}

QList<QUrl> DragView::urlsFromDrag(const QMimeData *data)
{
    // Local files and folders count, in the drag's order. A browser's link is no file: taking it
    // would show a drop that then does nothing.
    QList<QUrl> urls;
    if (!data || !data->hasUrls())
        return urls;
    for (const QUrl &url : data->urls()) {
        if (url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty())
            urls.append(url);
    }
    return urls;
}

Qt::DropAction DragView::draggingEntered(const QMimeData *data)
{
    myAccepting = !urlsFromDrag(data).isEmpty();
    setBackgroundColor(myAccepting ? palette().color(QPalette::PlaceholderText)
                                   : palette().color(QPalette::Disabled, QPalette::Text));
    return myAccepting ? Qt::CopyAction : Qt::IgnoreAction;
}

bool DragView::performDragOperation(const QMimeData *data)
{
    const QList<QUrl> urls = urlsFromDrag(data);
    if (urls.isEmpty())
        return false;
    if (DragViewDelegate *receiver = delegate())
        receiver->dragViewDidReceiveWithFileURLs(urls);
    return true;
}

void DragView::draggingExited()
{
    myAccepting = false;
    setBackgroundColor(Qt::transparent);
}

void DragView::draggingEnded()
{
    myAccepting = false;
    setBackgroundColor(Qt::transparent);
}

void DragView::dragEnterEvent(QDragEnterEvent *event)
{
    // Qt sends the leave only to the widget that took the enter. A refused drag is therefore taken
    // with no action: the drop stays refused, and the refusing colour still goes when the drag leaves.
    event->setDropAction(draggingEntered(event->mimeData()));
    event->accept();
}

void DragView::dragMoveEvent(QDragMoveEvent *event)
{
    // The answer given on entry holds while the drag moves.
    if (myAccepting) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DragView::dragLeaveEvent(QDragLeaveEvent *event)
{
    draggingExited();
    event->accept();
}

void DragView::dropEvent(QDropEvent *event)
{
    if (performDragOperation(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    // Qt tells a drop target nothing after the drop, so the drop itself ends the drag here.
    draggingEnded();
}

void DragView::setBackgroundColor(const QColor &color)
{
    if (color == myBackgroundColor)
        return;
    myBackgroundColor = color;
    update();
}

void DragView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (myBackgroundColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), myBackgroundColor);
}

} // namespace corvane
