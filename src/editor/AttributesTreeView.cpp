#include "editor/AttributesTreeView.h"

#include "editor/AttributesModel.h"
#include "settings/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyledItemDelegate>

namespace corvane {

namespace {
// Unsaved text is marked where the label is read: in italics, and said.
class DraftMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == AttributesModel::LabelColumn
            && index.data(AttributesModel::DraftedRole).toBool()) {
            option->font.setItalic(true);
            option->text = AttributesTreeView::tr("%1 (unsaved)").arg(option->text);
        }
    }
};

// Room for the value on a narrow window: the other columns start small, and the value stretches.
constexpr int defaultWidths[] = { 160, 125, 50, 0, 240 };
} // namespace

AttributesTreeView::AttributesTreeView(QWidget *parent)
    : QTreeView(parent)
{
    connect(this, &QTreeView::doubleClicked, this, &AttributesTreeView::chooseRequested);
    setItemDelegate(new DraftMarkDelegate(this));
    m_fullNames = new QAction(tr("Show &Full Names"), this);
    m_fullNames->setCheckable(true);
}

void AttributesTreeView::restoreColumns()
{
    QHeaderView *header = this->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(AttributesModel::PreviewColumn, QHeaderView::Stretch);
    if (m_columnActions.isEmpty()) {
        // Every column but the label can be hidden or shown from the header's context menu.
        header->setContextMenuPolicy(Qt::ActionsContextMenu);
        for (int column = AttributesModel::KindColumn; column < AttributesModel::ColumnCount; ++column) {
            auto *toggle = new QAction(model()->headerData(column, Qt::Horizontal).toString(), header);
            toggle->setCheckable(true);
            connect(toggle, &QAction::toggled, this,
                [this, column](bool shown) { setColumnHidden(column, !shown); });
            header->addAction(toggle);
            m_columnActions.append(toggle);
        }
        QAction *fullNameColumn = m_columnActions.last();
        connect(m_fullNames, &QAction::toggled, fullNameColumn, &QAction::setChecked);
        connect(fullNameColumn, &QAction::toggled, m_fullNames, &QAction::setChecked);
    }
    const Preferences preferences;
    const QList<int> widths = preferences.numbersForKey(PreferenceKey::attributesColumnWidths);
    const QList<int> hidden = preferences.numbersForKey(PreferenceKey::attributesHiddenColumns);
    for (int column = 0; column < AttributesModel::ColumnCount; ++column) {
        // A hand-edited width too small to see or to grab is not taken.
        const int width = widths.value(column);
        if (column != AttributesModel::PreviewColumn)
            setColumnWidth(column, width >= 20 && width <= 4000 ? width : defaultWidths[column]);
    }
    // The full name shows only when asked for, the others unless hidden.
    const bool remembered = preferences.stringForKey(PreferenceKey::attributesHiddenColumns).has_value();
    for (int column = AttributesModel::KindColumn; column < AttributesModel::ColumnCount; ++column) {
        const bool hide = remembered ? hidden.contains(column) : column == AttributesModel::NameColumn;
        m_columnActions.at(column - 1)->setChecked(!hide);
        setColumnHidden(column, hide);
    }
}

void AttributesTreeView::storeColumns() const
{
    QList<int> widths, hidden;
    for (int column = 0; column < AttributesModel::ColumnCount; ++column) {
        widths.append(
            column == AttributesModel::PreviewColumn || isColumnHidden(column) ? 0 : columnWidth(column));
        if (isColumnHidden(column))
            hidden.append(column);
    }
    // A hidden column keeps the width it had.
    const QList<int> before = Preferences().numbersForKey(PreferenceKey::attributesColumnWidths);
    for (int column = 0; column < AttributesModel::ColumnCount; ++column) {
        if (widths[column] == 0 && column != AttributesModel::PreviewColumn)
            widths[column] = before.value(column, defaultWidths[column]);
    }
    Preferences preferences;
    preferences.setNumbers(PreferenceKey::attributesColumnWidths, widths);
    preferences.setNumbers(PreferenceKey::attributesHiddenColumns, hidden);
}

void AttributesTreeView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit chooseRequested(currentIndex());
        return;
    }
    // Edit > Delete takes the key for the rows it removes; for the others the panel says why not.
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        emit removeRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void AttributesTreeView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex row = indexAt(event->pos()).siblingAtColumn(AttributesModel::LabelColumn);
    if (row.isValid())
        setCurrentIndex(row);
    QModelIndex top = row;
    while (top.parent().isValid())
        top = top.parent();
    QMenu menu(this);
    QAction *edit
        = menu.addAction(tr("&Edit in the Editor"), this, [this, row] { emit chooseRequested(row); });
    edit->setEnabled(row.data(AttributesModel::TopLevelRole).toBool()
        && row.data(AttributesModel::EditorCanWriteRole).toBool());
    menu.addAction(tr("Copy &Value"), this,
            [row] { QApplication::clipboard()->setText(row.data(AttributesModel::CopyTextRole).toString()); })
        ->setEnabled(row.isValid());
    menu.addAction(tr("Copy &Name"), this,
            [top] { QApplication::clipboard()->setText(top.data(AttributesModel::FullNameRole).toString()); })
        ->setEnabled(top.isValid());
    menu.addAction(tr("&Delete"), this, &AttributesTreeView::removeRequested)->setEnabled(edit->isEnabled());
    menu.addSeparator();
    menu.addAction(m_fullNames);
    menu.exec(event->globalPos());
}

} // namespace corvane
