#pragma once

#include <QTreeView>

class QAction;

namespace corvane {

// The panel's list: Enter and a double-click choose the row, Delete asks the panel to remove it (the
// panel says why when it cannot). Copy and Delete are also the editor window's Edit commands, which
// act on the current row while the list has the focus. The rows' context menu offers the same and
// Show Full Names; the header's shows or hides every column but the label. Which columns show and
// their widths are remembered in the preferences. A row whose attribute has unsaved text in the value
// field is marked (AttributesModel::DraftedRole).
class AttributesTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit AttributesTreeView(QWidget *parent = nullptr);

    // The columns as remembered, once the model is set.
    void restoreColumns();
    void storeColumns() const;
    QAction *fullNamesAction() const { return m_fullNames; }

signals:
    void chooseRequested(const QModelIndex &index);
    void removeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QList<QAction *> m_columnActions; // Kind, Size, Value, Full name, in the header's menu
    QAction *m_fullNames = nullptr;
};

} // namespace corvane
