#pragma once

#include <QSortFilterProxyModel>

namespace corvane {

class AttributesModel;

// The panel's order and filter over an AttributesModel: top-level rows sorted by label, and a filter
// that keeps an attribute when the text appears in its label, its full name or its value's line, or
// else anywhere in its value (AttributesModel::valueContains, which searches each shared part of a
// value once). An attribute kept shows all its rows. A key typed into the filter thus costs at most
// what the attributes hold on disk, never a walk over every row their values would expand to.
class AttributesFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit AttributesFilterModel(QObject *parent = nullptr);

    void setSourceModel(QAbstractItemModel *model) override;
    QString filterText() const { return m_text; }

public slots:
    void setFilterText(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    AttributesModel *m_model = nullptr;
    QString m_text;
};

} // namespace corvane
