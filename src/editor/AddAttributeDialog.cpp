#include "editor/AddAttributeDialog.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/ExtendedAttributes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>

namespace corvane {

namespace {
using namespace Qt::StringLiterals;

const QString tagsName = u"com.apple.metadata:_kMDItemUserTags"_s;

bool isTagsName(const QString &name)
{
    const QByteArray system = systemAttributeName(name);
    return system == "user." + tagsName.toUtf8() || system == "user.xdg.tags";
}

// The catalogue entries macOS keeps as lists.
bool isListName(const QString &name)
{
    static const QStringList lists = { u"Keywords"_s, u"Authors"_s, u"Languages"_s, u"Projects"_s,
        u"ApplicationCategories"_s, u"WhereFroms"_s };
    const QString &prefix = AttributeCatalogue::prefix();
    return name.startsWith(prefix) && lists.contains(name.sliced(prefix.size()));
}
} // namespace

AddAttributeDialog::AddAttributeDialog(QWidget *parent)
    : QDialog(parent)
    , m_name(new QComboBox(this))
    , m_kind(new QComboBox(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setWindowTitle(tr("Add Attribute"));
    m_name->setObjectName(QStringLiteral("newAttributeName"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    // A typed name is taken exactly as typed, as in the editor's own name field.
    m_name->setCompleter(nullptr);
    m_name->setAccessibleName(tr("Attribute name"));
    m_name->setToolTip(tr("Choose an attribute, or type a full name; names outside the Linux namespaces are "
                          "stored under “user.”"));
    m_name->lineEdit()->setAccessibleName(m_name->accessibleName());
    for (const QString &entry : AttributeCatalogue::entries())
        m_name->addItem(translatedLabel(entry), QString(AttributeCatalogue::prefix() + entry));
    m_name->addItem(tr("Tags"), tagsName);
    m_name->addItem(tr("Where from"), QString(AttributeCatalogue::prefix() + u"WhereFroms"_s));
    m_name->setCurrentIndex(-1);

    m_kind->setObjectName(QStringLiteral("newAttributeKind"));
    m_kind->setAccessibleName(tr("Kind of value"));
    m_kind->addItem(tr("Text"), int(EditKind::Text));
    m_kind->addItem(tr("List of texts"), int(EditKind::TextList));
    m_kind->addItem(tr("Tags"), int(EditKind::Tags));
    m_kind->addItem(tr("Date"), int(EditKind::Date));

    auto *form = new QFormLayout;
    form->addRow(tr("&Name:"), m_name);
    form->addRow(tr("&Kind:"), m_kind);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QComboBox::currentTextChanged, this, &AddAttributeDialog::nameChanged);
    nameChanged();
    resize(420, sizeHint().height());
}

QString AddAttributeDialog::attributeName() const
{
    const int index = m_name->findText(m_name->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    return index >= 0 ? m_name->itemData(index).toString() : m_name->currentText();
}

QString AddAttributeDialog::label() const
{
    const AttributeName name = recogniseAttributeName(systemAttributeName(attributeName()));
    return name.wellKnown ? translatedLabel(name.label) : name.label;
}

EditKind AddAttributeDialog::kind() const
{
    return EditKind(m_kind->currentData().toInt());
}

void AddAttributeDialog::nameChanged()
{
    const QString name = attributeName();
    const bool tags = isTagsName(name);
    // Tags are the one kind a tags name holds, and only it.
    auto *kinds = qobject_cast<QStandardItemModel *>(m_kind->model());
    kinds->item(m_kind->findData(int(EditKind::Tags)))->setEnabled(tags);
    if (tags)
        m_kind->setCurrentIndex(m_kind->findData(int(EditKind::Tags)));
    else if (isListName(name))
        m_kind->setCurrentIndex(m_kind->findData(int(EditKind::TextList)));
    else if (kind() == EditKind::Tags || m_name->findData(name) >= 0)
        m_kind->setCurrentIndex(m_kind->findData(int(EditKind::Text)));
    m_kind->setEnabled(!tags);
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!name.isEmpty());
}

} // namespace corvane
