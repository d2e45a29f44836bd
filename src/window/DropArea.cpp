#include "window/DropArea.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

#include <utility>

namespace corvane {

DropArea::DropArea(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
}

DropArea::~DropArea() = default;

QList<QUrl> DropArea::urlsFromDrag(const QMimeData *data)
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

Qt::DropAction DropArea::enter(const QMimeData *data)
{
    m_accepting = !urlsFromDrag(data).isEmpty();
    setBackgroundColor(m_accepting ? palette().color(QPalette::PlaceholderText)
                                   : palette().color(QPalette::Disabled, QPalette::Text));
    return m_accepting ? Qt::CopyAction : Qt::IgnoreAction;
}

bool DropArea::drop(const QMimeData *data)
{
    // Qt tells a drop target nothing after the drop, so the drop itself ends the drag here.
    leave();
    const QList<QUrl> urls = urlsFromDrag(data);
    if (urls.isEmpty())
        return false;
    emit filesDropped(urls);
    return true;
}

void DropArea::leave()
{
    m_accepting = false;
    setBackgroundColor(Qt::transparent);
}

void DropArea::dragEnterEvent(QDragEnterEvent *event)
{
    // Qt sends the leave only to the widget that took the enter. A refused drag is therefore taken
    // with no action: the drop stays refused, and the refusing colour still goes when the drag leaves.
    event->setDropAction(enter(event->mimeData()));
    event->accept();
}

void DropArea::dragMoveEvent(QDragMoveEvent *event)
{
    // The answer given on entry holds while the drag moves.
    if (m_accepting) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropArea::dragLeaveEvent(QDragLeaveEvent *event)
{
    leave();
    event->accept();
}

void DropArea::dropEvent(QDropEvent *event)
{
    if (drop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void DropArea::forwardFileDrags(QWidget *control)
{
    control->installEventFilter(this);
}

bool DropArea::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *drag = static_cast<QDragEnterEvent *>(event);
        m_forwarding = drag->mimeData() && drag->mimeData()->hasUrls();
        if (m_forwarding)
            dragEnterEvent(drag);
        return m_forwarding;
    }
    case QEvent::DragMove:
        if (m_forwarding)
            dragMoveEvent(static_cast<QDragMoveEvent *>(event));
        return m_forwarding;
    case QEvent::DragLeave:
        if (m_forwarding)
            dragLeaveEvent(static_cast<QDragLeaveEvent *>(event));
        return std::exchange(m_forwarding, false);
    case QEvent::Drop:
        if (m_forwarding)
            dropEvent(static_cast<QDropEvent *>(event));
        return std::exchange(m_forwarding, false);
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void DropArea::setBackgroundColor(const QColor &color)
{
    if (color == m_backgroundColor)
        return;
    m_backgroundColor = color;
    update();
}

void DropArea::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_backgroundColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
}

} // namespace corvane
