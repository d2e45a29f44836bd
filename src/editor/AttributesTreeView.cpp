#include "editor/AttributesTreeView.h"

#include <QKeyEvent>

namespace corvane {

AttributesTreeView::AttributesTreeView(QWidget *parent)
    : QTreeView(parent)
{
    connect(this, &QTreeView::doubleClicked, this, &AttributesTreeView::chooseRequested);
}

void AttributesTreeView::copy()
{
    if (currentIndex().isValid())
        emit copyRequested(currentIndex());
}

bool AttributesTreeView::event(QEvent *event)
{
    // The view would copy only the cell's display text; the row's whole value is what a user wants.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            key->accept();
            return true;
        }
    }
    return QTreeView::event(event);
}

void AttributesTreeView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            emit chooseRequested(currentIndex());
        return;
    case Qt::Key_Delete:
        if (currentIndex().isValid())
            emit removeRequested(currentIndex());
        return;
    default:
        QTreeView::keyPressEvent(event);
    }
}

} // namespace corvane
