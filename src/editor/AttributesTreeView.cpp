#include "editor/AttributesTreeView.h"

#include <QKeyEvent>

namespace corvane {

AttributesTreeView::AttributesTreeView(QWidget *parent)
    : QTreeView(parent)
{
    connect(this, &QTreeView::doubleClicked, this, &AttributesTreeView::chooseRequested);
}

void AttributesTreeView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit chooseRequested(currentIndex());
        return;
    }
    QTreeView::keyPressEvent(event);
}

} // namespace corvane
