#include "editor/TagsEditor.h"

#include "editor/TagDotsDelegate.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace corvane {

namespace {
enum Column { NameColumn, ColourColumn };
constexpr int colourRole = Qt::UserRole;
constexpr int colourCount = 8;
const QString tagsMimeType = QStringLiteral("application/x-corvane-finder-tags");

// Edits a name in a line edit and a colour in a list with the dots; hands on every change as it is
// made, not only when the editor closes.
class TagItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(
        QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        // Editors are made in a const function; their changes go out through the delegate's own signal.
        auto *self = const_cast<TagItemDelegate *>(this);
        if (index.column() == NameColumn) {
            QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
            if (auto *line = qobject_cast<QLineEdit *>(editor)) {
                line->setAccessibleName(TagsEditor::tr("Tag name"));
                connect(line, &QLineEdit::textEdited, self, [self, line] { emit self->commitData(line); });
            }
            return editor;
        }
        auto *combo = new QComboBox(parent);
        combo->setAccessibleName(TagsEditor::tr("Tag colour"));
        for (int colour = 0; colour < colourCount; ++colour)
            combo->addItem(tagDotsIcon({ TagColour(colour) }), tagColourName(TagColour(colour)));
        connect(
            combo, &QComboBox::currentIndexChanged, self, [self, combo] { emit self->commitData(combo); });
        return combo;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const QSignalBlocker blocker(combo);
            combo->setCurrentIndex(index.data(colourRole).toInt());
        } else if (auto *line = qobject_cast<QLineEdit *>(editor)) {
            // Every key handed on comes back here: setting the same text again would wipe the
            // typing's undo history with each key.
            if (const QString name = index.data(Qt::EditRole).toString(); line->text() != name)
                line->setText(name);
        } else {
            QStyledItemDelegate::setEditorData(editor, index);
        }
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            const auto colour = TagColour(combo->currentIndex());
            model->setData(index, tagColourName(colour), Qt::DisplayRole);
            model->setData(index, tagDotsIcon({ colour }), Qt::DecorationRole);
            model->setData(index, int(colour), colourRole);
        } else {
            QStyledItemDelegate::setModelData(editor, model, index);
        }
    }
};
} // namespace

TagsEditor::TagsEditor(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(0, 2, this))
    , m_add(new QPushButton(tr("Add &Tag"), this))
    , m_remove(new QPushButton(tr("Re&move Tag"), this))
{
    m_table->setObjectName(QStringLiteral("tagsTable"));
    m_table->setAccessibleName(tr("Tags"));
    m_table->setAccessibleDescription(
        tr("One row per tag: F2 or typing edits the name or the colour, Delete removes the tag"));
    m_table->setHorizontalHeaderLabels({ tr("Tag"), tr("Colour") });
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_table->setColumnWidth(ColourColumn, 140);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setTabKeyNavigation(false); // Tab leaves the list, as in every other field
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    m_table->setItemDelegate(new TagItemDelegate(m_table));
    m_table->installEventFilter(this);
    connect(m_table, &QTableWidget::itemChanged, this, &TagsEditor::edited);
    connect(m_table, &QTableWidget::currentCellChanged, this, &TagsEditor::updateButtons);

    m_add->setObjectName(QStringLiteral("addTagButton"));
    m_add->setAccessibleName(tr("Add Tag"));
    m_remove->setObjectName(QStringLiteral("removeTagButton"));
    m_remove->setAccessibleName(tr("Remove Tag"));
    for (QPushButton *button : { m_add, m_remove })
        button->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &TagsEditor::addTag);
    connect(m_remove, &QPushButton::clicked, this, &TagsEditor::removeCurrentTag);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    setFocusProxy(m_table);
    updateButtons();
}

void TagsEditor::setTags(const QList<FinderTag> &tags, bool coloursKept)
{
    const QSignalBlocker blocker(m_table);
    // The same tags read again after Apply keep the row the user was on.
    const int current = qMax(0, qMin(m_table->currentRow(), int(tags.size()) - 1));
    m_table->setRowCount(0);
    m_table->setRowCount(int(tags.size()));
    for (int row = 0; row < tags.size(); ++row) {
        m_table->setItem(row, NameColumn, new QTableWidgetItem(tags.at(row).name));
        setColour(row, tags.at(row).colour);
    }
    m_table->setColumnHidden(ColourColumn, !coloursKept);
    if (!tags.isEmpty())
        m_table->setCurrentCell(current, NameColumn);
    updateButtons();
}

void TagsEditor::setColour(int row, TagColour colour)
{
    // One dot of each colour, painted once, however many tags there are.
    if (m_dots.isEmpty()) {
        for (int each = 0; each < colourCount; ++each)
            m_dots.append(tagDotsIcon({ TagColour(each) }));
    }
    auto *item = new QTableWidgetItem(m_dots.at(int(colour)), tagColourName(colour));
    item->setData(colourRole, int(colour));
    m_table->setItem(row, ColourColumn, item);
}

QList<FinderTag> TagsEditor::tags() const
{
    QList<FinderTag> tags;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem *name = m_table->item(row, NameColumn);
        const QTableWidgetItem *colour = m_table->item(row, ColourColumn);
        if (name && !name->text().isEmpty())
            tags.append({ name->text(), TagColour(colour ? colour->data(colourRole).toInt() : 0) });
    }
    return tags;
}

void TagsEditor::addTag()
{
    const int row = m_table->rowCount();
    {
        const QSignalBlocker blocker(m_table);
        m_table->insertRow(row);
        m_table->setItem(row, NameColumn, new QTableWidgetItem);
        setColour(row, TagColour::None);
    }
    m_table->setFocus(Qt::OtherFocusReason);
    m_table->setCurrentCell(row, NameColumn);
    m_table->editItem(m_table->item(row, NameColumn));
    emit edited();
}

QList<int> TagsEditor::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : m_table->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && m_table->currentRow() >= 0)
        rows.append(m_table->currentRow());
    std::sort(rows.begin(), rows.end());
    return rows;
}

bool TagsEditor::hasSelectedTags() const
{
    return !selectedRows().isEmpty();
}

void TagsEditor::removeCurrentTag()
{
    const QList<int> rows = selectedRows();
    if (rows.isEmpty())
        return;
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        m_table->removeRow(*row);
    updateButtons();
    emit edited();
}

void TagsEditor::copySelectedTags() const
{
    QStringList names;
    QStringList stored;
    for (const int row : selectedRows()) {
        const QTableWidgetItem *name = m_table->item(row, NameColumn);
        const QTableWidgetItem *colour = m_table->item(row, ColourColumn);
        if (!name || name->text().isEmpty())
            continue;
        names.append(name->text());
        stored.append(finderTagText({ name->text(), TagColour(colour ? colour->data(colourRole).toInt() : 0) }));
    }
    if (names.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setText(names.join(u'\n'));
    // A tag's text holds a line break before its colour: NUL parts them, which no name holds.
    data->setData(tagsMimeType, stored.join(QChar::Null).toUtf8());
    QGuiApplication::clipboard()->setMimeData(data);
}

void TagsEditor::pasteTags()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return;
    QList<FinderTag> pasted;
    if (data->hasFormat(tagsMimeType)) {
        for (const QString &text : QString::fromUtf8(data->data(tagsMimeType)).split(QChar::Null)) {
            if (const std::optional<FinderTag> tag = parseFinderTag(text))
                pasted.append(*tag);
        }
    } else {
        for (const QString &line : data->text().split(u'\n')) {
            if (!line.trimmed().isEmpty())
                pasted.append({ line.trimmed(), TagColour::None });
        }
    }
    if (pasted.isEmpty())
        return;
    int row = m_table->currentRow() + 1;
    if (row <= 0)
        row = m_table->rowCount();
    {
        const QSignalBlocker blocker(m_table);
        for (qsizetype i = 0; i < pasted.size(); ++i) {
            m_table->insertRow(row + int(i));
            m_table->setItem(row + int(i), NameColumn, new QTableWidgetItem(pasted.at(i).name));
            setColour(row + int(i), pasted.at(i).colour);
        }
    }
    m_table->setCurrentCell(row + int(pasted.size()) - 1, NameColumn);
    updateButtons();
    emit edited();
}

void TagsEditor::updateButtons()
{
    m_remove->setEnabled(m_table->currentRow() >= 0);
}

bool TagsEditor::eventFilter(QObject *watched, QEvent *event)
{
    // Delete removes the tag here, not the attribute the window's Delete would act on; a name being
    // edited has the focus itself and keeps its Delete.
    if (watched == m_table && m_table->hasFocus()) {
        const bool override = event->type() == QEvent::ShortcutOverride;
        if ((override || event->type() == QEvent::KeyPress)
            && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
            event->accept();
            if (!override)
                removeCurrentTag();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane
