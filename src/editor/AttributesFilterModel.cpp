#include "editor/AttributesFilterModel.h"

#include "editor/AttributesModel.h"

namespace corvane {

AttributesFilterModel::AttributesFilterModel(QObject *parent)
    : QSortFilterProxyModel(parent)
{
    setSortRole(AttributesModel::SortRole);
}

void AttributesFilterModel::setSourceModel(QAbstractItemModel *model)
{
    myModel = qobject_cast<AttributesModel *>(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void AttributesFilterModel::setFilterText(const QString &text)
{
    if (text == myText)
        return;
    myText = text;
    invalidateFilter();
}

bool AttributesFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid() || myText.isEmpty() || !myModel)
        return true;
    const QModelIndex row = myModel->index(sourceRow, AttributesModel::LabelColumn);
    return row.data(AttributesModel::FilterRole).toString().contains(myText, Qt::CaseInsensitive)
        || myModel->valueContains(sourceRow, myText);
}

} // namespace corvane
