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
    m_model = qobject_cast<AttributesModel *>(model);
    QSortFilterProxyModel::setSourceModel(model);
}

void AttributesFilterModel::setFilterText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    invalidateFilter();
}

bool AttributesFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (sourceParent.isValid() || m_text.isEmpty() || !m_model)
        return true;
    const QModelIndex row = m_model->index(sourceRow, AttributesModel::LabelColumn);
    return row.data(AttributesModel::FilterRole).toString().contains(m_text, Qt::CaseInsensitive)
        || m_model->valueContains(sourceRow, m_text);
}

} // namespace corvane
