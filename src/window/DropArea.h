#pragma once

#include <QColor>
#include <QList>
#include <QUrl>
#include <QWidget>

class QMimeData;

namespace corvane {

// A drop target for files, in the shape of Qt's Drop Site example: it emits what was dropped and
// decides nothing about it. While a drag hovers over it, its background says whether the drag will
// be taken; the answer given when the drag enters holds until it leaves or is dropped. Only local files
// (and folders) are taken.
class DropArea : public QWidget {
    Q_OBJECT
public:
    explicit DropArea(QWidget *parent = nullptr);
    ~DropArea() override;

    QColor backgroundColor() const { return m_backgroundColor; }
    bool isAcceptingDrag() const { return m_accepting; }

    // Drags of files over the control (a text field inside the area) belong to the area; any other
    // drag, dragged text for one, stays with the control.
    void forwardFileDrags(QWidget *control);

signals:
    // Every local file URL of one accepted drop, in the drag's order.
    void filesDropped(const QList<QUrl> &urls);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static QList<QUrl> urlsFromDrag(const QMimeData *data);
    Qt::DropAction enter(const QMimeData *data);
    bool drop(const QMimeData *data);
    void leave();
    void setBackgroundColor(const QColor &color);

    QColor m_backgroundColor = Qt::transparent;
    bool m_accepting = false;
    bool m_forwarding = false; // a file drag over a control is under way
};

} // namespace corvane
