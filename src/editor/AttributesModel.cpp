#include "editor/AttributesModel.h"

#include "attributes/EditableValue.h"

#include <QLocale>

namespace corvane {

using namespace Qt::StringLiterals;

AttributesModel::AttributesModel(QObject *parent)
    : QAbstractItemModel(parent)
{ }

void AttributesModel::setDescription(FileDescription description)
{
    beginResetModel();
    m_file = std::move(description);
    m_nodes.clear();
    m_nodes.reserve(size_t(m_file.attributes.size()));
    m_topLevelTexts.clear();
    m_topLevelTexts.reserve(m_file.attributes.size());
    m_tooLargeCount = 0;
    for (qsizetype i = 0; i < m_file.attributes.size(); ++i) {
        const AttributeDescription &attribute = m_file.attributes.at(i);
        m_nodes.push_back({ .value = &attribute.value, .attribute = int(i), .row = int(i) });
        const QString label = shownLabel(attribute.name);
        // Case folded so that "comment" and "Comment" sit together; the name breaks ties.
        m_topLevelTexts.append({ label, shownName(attribute.name.systemName),
            label.toCaseFolded() + QChar(0) + attribute.name.name });
        m_tooLargeCount += attribute.tooLargeToExpand ? 1 : 0;
    }
    // Two forms of one known name (Samba's stream and rsync's user. form) would look alike: all but the
    // editor's own form say which they are.
    QHash<QString, int> seen;
    for (const TopLevelText &text : std::as_const(m_topLevelTexts))
        ++seen[text.label];
    for (qsizetype i = 0; i < m_topLevelTexts.size(); ++i) {
        const AttributeName &name = m_file.attributes.at(i).name;
        if (seen.value(m_topLevelTexts.at(i).label) > 1 && name.form != AttributeNameForm::User) {
            TopLevelText &text = m_topLevelTexts[i];
            text.label = distinctLabel(name);
            text.sortKey = text.label.toCaseFolded() + QChar(0) + name.name;
        }
    }
    endResetModel();
}

void AttributesModel::setDraftedNames(const QSet<QByteArray> &names)
{
    if (names == m_drafted)
        return;
    m_drafted = names;
    if (rowCount() > 0)
        emit dataChanged(index(0, LabelColumn), index(rowCount() - 1, LabelColumn), { DraftedRole });
}

QString AttributesModel::errorText() const
{
    return m_file.error ? m_file.error->description : QString();
}

bool AttributesModel::valueContains(int row, QStringView text) const
{
    return row >= 0 && row < m_file.attributes.size() && containsText(m_file.attributes.at(row).value, text);
}

int AttributesModel::childNode(int parentNode, int row) const
{
    if (m_nodes[size_t(parentNode)].firstChild < 0) {
        const Node parent = m_nodes[size_t(parentNode)];
        const QList<ValueNode> &children = parent.value->children();
        const int first = int(m_nodes.size());
        for (qsizetype i = 0; i < children.size(); ++i)
            m_nodes.push_back({ .value = &children.at(i),
                .attribute = parent.attribute,
                .parent = parentNode,
                .row = int(i) });
        m_nodes[size_t(parentNode)].firstChild = first;
    }
    return m_nodes[size_t(parentNode)].firstChild + row;
}

QModelIndex AttributesModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    if (!parent.isValid())
        return createIndex(row, column, quintptr(row));
    return createIndex(row, column, quintptr(childNode(int(parent.internalId()), row)));
}

QModelIndex AttributesModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return QModelIndex();
    const int parentNode = m_nodes[size_t(child.internalId())].parent;
    if (parentNode < 0)
        return QModelIndex();
    return createIndex(m_nodes[size_t(parentNode)].row, 0, quintptr(parentNode));
}

int AttributesModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return int(m_file.attributes.size());
    if (parent.column() != 0)
        return 0;
    return int(m_nodes[size_t(parent.internalId())].value->children().size());
}

int AttributesModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

bool AttributesModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

namespace {
// A date as the user reads dates: the locale's short form, in local time.
QString localDate(const ValueNode &node)
{
    return node.date().isValid() ? QLocale().toString(node.date().toLocalTime(), QLocale::ShortFormat)
                                 : scalarText(node);
}

QString tagName(const ValueNode &node)
{
    const std::optional<FinderTag> tag = parseFinderTag(node.string());
    return tag ? tag->name : preview(node);
}
} // namespace

bool AttributesModel::isTags(const Node &node) const
{
    return attributeOf(node).name.macName == u"com.apple.metadata:_kMDItemUserTags"_s
        && (node.parent < 0 ? node.value->kind() == ValueKind::Array
                            : node.value->kind() == ValueKind::String);
}

std::optional<QString> AttributesModel::readablePreview(const Node &node) const
{
    const ValueNode &value = *node.value;
    if (value.kind() == ValueKind::Date)
        return localDate(value);
    const bool tags = isTags(node);
    if (tags && node.parent >= 0)
        return tagName(value);
    const QList<ValueNode> &items = value.children();
    if (value.kind() != ValueKind::Array || items.isEmpty()
        || (!tags && items.front().kind() != ValueKind::Date))
        return std::nullopt;
    // As long as the listing's line (preview), however many items there are.
    constexpr qsizetype longest = 200;
    QString line;
    for (const ValueNode &item : items) {
        if (!line.isEmpty())
            line += u", "_s;
        if (line.size() > longest)
            return line.left(longest) + u"…"_s;
        if (tags ? item.kind() != ValueKind::String : item.kind() != ValueKind::Date)
            return std::nullopt;
        line += tags ? tagName(item) : localDate(item);
    }
    return line;
}

QString AttributesModel::labelOf(const Node &node) const
{
    if (node.parent < 0)
        return m_topLevelTexts.at(node.row).label;
    const QStringList &keys = m_nodes[size_t(node.parent)].value->keys();
    if (node.row < keys.size())
        return shownText(keys.at(node.row));
    return tr("Item %1").arg(node.row + 1);
}

QVariant AttributesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const Node &node = m_nodes[size_t(index.internalId())];
    const AttributeDescription &attribute = attributeOf(node);
    const bool topLevel = node.parent < 0;
    const bool unreadable = topLevel && attribute.error.has_value();

    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case LabelColumn:
            return labelOf(node);
        case KindColumn:
            return unreadable ? tr("unreadable") : kindLabel(*node.value);
        case SizeColumn:
            return topLevel && !unreadable ? QVariant(qlonglong(attribute.size)) : QVariant();
        case PreviewColumn:
            if (unreadable)
                return attribute.error->description;
            return readablePreview(node).value_or(preview(*node.value));
        case NameColumn:
            return topLevel ? m_topLevelTexts.at(node.row).name : QString();
        }
        return QVariant();
    case Qt::ToolTipRole:
        if (index.column() == LabelColumn || index.column() == NameColumn)
            return m_topLevelTexts.at(node.attribute).name;
        // Dates shown in local time say the time in UTC here.
        if (index.column() == PreviewColumn && !unreadable && !isTags(node) && readablePreview(node))
            return preview(*node.value);
        return QVariant();
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant();
    case FullNameRole:
        return topLevel ? attribute.name.name : QString();
    case SystemNameRole:
        return attribute.name.systemName;
    case CopyTextRole:
        return unreadable ? QString() : copyText(*node.value);
    case DetailRole:
        if (unreadable)
            return attribute.error->description;
        if (topLevel && attribute.tooLargeToExpand)
            return tr("Shown as its bytes: this property list would expand to more than %1 times its size.")
                       .arg(ExpansionBudget::perInputByte)
                + u"\n\n"_s + copyText(*node.value);
        return copyText(*node.value);
    case EditorCanWriteRole:
        return topLevel && attribute.name.editorCanWrite;
    case CatalogueIndexRole:
        return qlonglong(attribute.name.catalogueIndex);
    case TopLevelRole:
        return topLevel;
    case DraftedRole:
        return topLevel && m_drafted.contains(attribute.name.systemName);
    case SortRole:
        if (!topLevel)
            return node.row;
        return m_topLevelTexts.at(node.row).sortKey;
    case FilterRole:
        if (!topLevel)
            return QString(labelOf(node) + QLatin1Char('\n') + preview(*node.value));
        return QString(labelOf(node) + QLatin1Char('\n') + m_topLevelTexts.at(node.row).name
            + QLatin1Char('\n') + (unreadable ? attribute.error->description : preview(*node.value)));
    case TagColoursRole: {
        if (index.column() != PreviewColumn || !isTags(node))
            return QVariant();
        // The first few tags are what a row has room for; a list of thousands costs no more.
        const QList<ValueNode> items = topLevel
            ? node.value->children().first(qMin<qsizetype>(node.value->children().size(), 64))
            : QList<ValueNode> { *node.value };
        QVariantList colours;
        for (const ValueNode &item : items) {
            if (const std::optional<FinderTag> tag = parseFinderTag(item.string()))
                colours.append(int(tag->colour));
        }
        return colours;
    }
    default:
        return QVariant();
    }
}

QVariant AttributesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole && role != Qt::ToolTipRole)
        return QVariant();
    switch (section) {
    case LabelColumn:
        return role == Qt::ToolTipRole ? tr("The attribute's name as people call it") : tr("Attribute");
    case KindColumn:
        return role == Qt::ToolTipRole ? tr("What the value holds") : tr("Kind");
    case SizeColumn:
        return role == Qt::ToolTipRole ? tr("Bytes stored") : tr("Size");
    case PreviewColumn:
        return role == Qt::ToolTipRole ? tr("The value, on one line") : tr("Value");
    case NameColumn:
        return role == Qt::ToolTipRole ? tr("The attribute's full name as the system lists it")
                                       : tr("Full name");
    }
    return QVariant();
}

} // namespace corvane
