#pragma once

#include <QTreeView>

namespace corvane {

// The panel's list: Enter and a double-click choose the row. Copy and Delete are the editor window's
// Edit commands, which act on the list's current row while it has the focus.
class AttributesTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit AttributesTreeView(QWidget *parent = nullptr);

signals:
    void chooseRequested(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace corvane
