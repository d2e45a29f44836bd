#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QMimeData;

namespace corvane {

class DragViewDelegate;

// A drop target for files. While a drag hovers over it, its background says whether the drag will be
// taken; the answer given when the drag enters holds until it leaves or is dropped. It decides nothing
// about what was dropped: every local file URL goes to the delegate, which it holds weakly. A drag
// without one is refused.
class DragView : public QWidget {
    Q_OBJECT
public:
    explicit DragView(QWidget *parent = nullptr);
    ~DragView() override;

    // The delegate must be a QObject; when it is destroyed the view simply has none.
    void setDelegate(QObject *delegate);
    DragViewDelegate *delegate() const;

    QColor backgroundColor() const { return myBackgroundColor; }
    bool isAcceptingDrag() const { return myAccepting; }

    // The drag-destination steps, public so that other widgets of the window can hand a drag over.
    Qt::DropAction draggingEntered(const QMimeData *data);
    bool performDragOperation(const QMimeData *data);
    void draggingExited();
    void draggingEnded();

    static QList<QUrl> urlsFromDrag(const QMimeData *data);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setBackgroundColor(const QColor &color);

    QPointer<QObject> myDelegate;
    QColor myBackgroundColor = Qt::transparent;
    bool myAccepting = false;
};

} // namespace corvane
