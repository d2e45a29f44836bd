#pragma once

#include <QTreeView>

namespace corvane {

// The panel's list. The Edit menu reaches the focused widget through its copy() slot and sends it a
// Delete key press, so the list answers both itself; Enter and a double-click choose the row.
class AttributesTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit AttributesTreeView(QWidget *parent = nullptr);

public slots:
    void copy();

signals:
    void chooseRequested(const QModelIndex &index);
    void removeRequested(const QModelIndex &index);
    void copyRequested(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
};

} // namespace corvane
