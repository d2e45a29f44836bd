#pragma once

// The attributes panel's data: one top-level row per attribute of a file, described by
// describeFileAttributes, and below a list, dictionary or quarantine record one row per item. It
// knows no widgets (QtCore only), so tests and the benchmark use it without a window; the panel puts an
// AttributesFilterModel over it for the order by label and the filter.
//
// Child rows are made the first time a view asks for them, so filling the model costs one row per
// attribute whatever the values hold. Names and keys are shown with what would hide or disguise them
// escaped (shownName), so two attributes never look alike.

#include "attributes/AttributeDescription.h"

#include <QAbstractItemModel>
#include <QSet>

#include <optional>
#include <vector>

namespace corvane {

class AttributesModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { LabelColumn, KindColumn, SizeColumn, PreviewColumn, NameColumn, ColumnCount };
    enum Role {
        FullNameRole = Qt::UserRole + 1, // the name as listed (top-level rows; empty for children)
        SystemNameRole, // its exact bytes
        CopyTextRole, // the row's value as a user copies it
        DetailRole, // the row's whole decoded value, for the detail area
        EditorCanWriteRole, // bool: the editor may take the attribute over (top-level rows)
        CatalogueIndexRole, // the catalogue entry it is, or -1
        TopLevelRole, // bool
        SortRole, // top-level rows by label, children in their stored order
        FilterRole, // what the filter matches a top-level row by: label, full name and the value's line
        DraftedRole, // bool: the value field holds unsaved text for the attribute (top-level rows)
        TagColoursRole, // QVariantList of TagColour (as int): the Finder tags' colours a row holds
    };

    explicit AttributesModel(QObject *parent = nullptr);

    // Replaces everything the model shows (a model reset).
    void setDescription(FileDescription description);
    const FileDescription &description() const { return m_file; }
    // Empty when the names could be listed; otherwise the system's reason.
    QString errorText() const;
    // Whether a key or a scalar anywhere in the attribute's value contains the text (containsText).
    bool valueContains(int row, QStringView text) const;
    // The attributes (by their exact names) with unsaved text in the value field.
    void setDraftedNames(const QSet<QByteArray> &names);
    // How many attributes are shown as bytes because they would expand too far.
    qsizetype tooLargeToExpandCount() const { return m_tooLargeCount; }

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;

private:
    struct Node {
        const ValueNode *value = nullptr;
        int attribute = 0; // index into m_file.attributes
        int parent = -1; // node index; -1 for a top-level row
        int row = 0;
        int firstChild = -1; // children are contiguous once made; -1 until then
    };
    int childNode(int parentNode, int row) const;
    const AttributeDescription &attributeOf(const Node &node) const
    {
        return m_file.attributes.at(node.attribute);
    }
    QString labelOf(const Node &node) const;
    std::optional<QString> readablePreview(const Node &node) const;
    bool isTags(const Node &node) const;

    FileDescription m_file;
    // Top-level nodes are 0 .. attributes - 1; children are appended as views open them.
    mutable std::vector<Node> m_nodes;
    // What the top-level rows show of their names, and their sort keys, made once per listing rather
    // than at each paint or each of the sort's comparisons.
    struct TopLevelText {
        QString label;
        QString name;
        QString sortKey;
    };
    QList<TopLevelText> m_topLevelTexts;
    qsizetype m_tooLargeCount = 0;
    QSet<QByteArray> m_drafted;
};

} // namespace corvane
