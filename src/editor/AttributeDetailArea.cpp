#include "editor/AttributeDetailArea.h"

#include "attributes/AttributeNames.h"
#include "attributes/ExtendedAttributes.h"
#include "editor/AddAttributeDialog.h"
#include "editor/TagsEditor.h"
#include "editor/TypedValueEditor.h"
#include "window/Alerts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cerrno>
#include <climits>

namespace corvane {

namespace {
QString formName(ValueForm form)
{
    switch (form) {
    case ValueForm::BinaryPropertyList:
        return AttributeDetailArea::tr("binary property list");
    case ValueForm::XmlPropertyList:
        return AttributeDetailArea::tr("XML property list");
    case ValueForm::PlainText:
        return AttributeDetailArea::tr("plain text");
    }
    return {};
}
} // namespace

AttributeDetailArea::AttributeDetailArea(QWidget *parent)
    : QWidget(parent)
    , m_stack(new QStackedWidget(this))
    , m_text(new QPlainTextEdit(m_stack))
    , m_editor(new TypedValueEditor(m_stack))
    , m_caption(new QLabel(this))
    , m_add(new QToolButton(this))
    , m_revert(new QPushButton(tr("&Revert"), this))
    , m_apply(new QPushButton(tr("A&pply"), this))
{
    setObjectName(QStringLiteral("attributeDetailArea"));
    m_text->setObjectName(QStringLiteral("attributeDetail"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setAccessibleName(tr("Attribute value in full"));
    m_text->setPlaceholderText(tr("Select an attribute to see its whole value"));
    // Read-only text fields draw no focus of their own, and Enter on a row may send the focus here.
    m_text->setStyleSheet(QStringLiteral("QPlainTextEdit:focus { border: 2px solid palette(highlight); }"));
    m_stack->addWidget(m_text);
    m_stack->addWidget(m_editor);
    m_stack->setMaximumHeight(130);
    connect(m_editor, &TypedValueEditor::edited, this, [this] {
        m_edited = QDateTime::currentDateTimeUtc();
        updateControls();
    });

    m_caption->setObjectName(QStringLiteral("attributeDetailCaption"));
    m_caption->setAccessibleName(tr("Value edited"));
    m_caption->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_add->setObjectName(QStringLiteral("addAttributeButton"));
    m_add->setText(QStringLiteral("+"));
    m_add->setMinimumWidth(m_apply->sizeHint().height());
    m_add->setAccessibleName(tr("Add Attribute"));
    m_add->setToolTip(tr("Add an attribute to the file (Edit > Add Attribute…)"));
    m_revert->setObjectName(QStringLiteral("revertButton"));
    m_revert->setAccessibleName(tr("Revert"));
    m_revert->setToolTip(tr("Show the stored value again (Escape)"));
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setAccessibleName(tr("Apply"));
    m_apply->setToolTip(tr("Store the value edited here (Ctrl+S)"));
    for (QPushButton *button : { m_revert, m_apply })
        button->setAutoDefault(false);
    connect(m_add, &QToolButton::clicked, this, &AttributeDetailArea::addAttribute);
    connect(m_revert, &QPushButton::clicked, this, &AttributeDetailArea::revert);
    connect(m_apply, &QPushButton::clicked, this, &AttributeDetailArea::apply);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_caption, 1);
    buttons->addWidget(m_add);
    buttons->addWidget(m_revert);
    buttons->addWidget(m_apply);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);
    layout->addLayout(buttons);
    setFocusProxy(m_text);
    m_stack->hide(); // until a row is shown
    updateControls();
}

void AttributeDetailArea::setFile(const QUrl &file)
{
    keepEdit();
    if (file != m_file)
        m_kept.clear();
    m_file = file;
    m_row = {};
    showText(QString());
    m_stack->hide();
}

void AttributeDetailArea::showNoRow()
{
    showRow(QString(), QString(), QString());
    if (!isEditing()) // a new attribute being added stays
        m_stack->hide();
}

bool AttributeDetailArea::isEditing() const
{
    return m_stack->currentWidget() == m_editor;
}

bool AttributeDetailArea::isEdited() const
{
    return isEditing() && (m_adding || m_editor->isEdited());
}

void AttributeDetailArea::showRow(const QString &name, const QString &label, const QString &text)
{
    m_stack->show();
    const bool sameRow = name == m_row.name && label == m_row.label;
    m_row = { name, label, sameRow && isEdited() ? m_row.text : text };
    if (sameRow && isEdited())
        return; // a new listing: what the user is editing stays, and Apply asks if the value changed
    keepEdit();
    m_adding = false;
    if (name.isEmpty()) {
        showText(text);
        return;
    }
    if (name != m_name) {
        m_name = name;
        m_shown.reset();
    }
    m_label = label;
    load();
}

void AttributeDetailArea::showText(const QString &text)
{
    // Laying out one very long line takes the text field seconds; the start says what the value is,
    // and Ctrl+C copies all of it.
    constexpr qsizetype shownAtMost = 64 * 1024;
    QString detail = text;
    if (detail.size() > shownAtMost) {
        const qsizetype more = detail.size() - shownAtMost;
        detail.truncate(shownAtMost);
        detail += tr("… (%n more characters; Ctrl+C in the list copies them all)", nullptr,
            int(qMin<qsizetype>(more, INT_MAX)));
    }
    m_name.clear();
    m_label.clear();
    m_shown.reset();
    const bool hadFocus = m_stack->isAncestorOf(QApplication::focusWidget());
    m_text->setPlainText(detail);
    m_stack->setCurrentWidget(m_text);
    setFocusProxy(m_text);
    if (hadFocus)
        m_text->setFocus();
    updateControls();
}

void AttributeDetailArea::load()
{
    if (const auto kept = m_kept.constFind(m_name); kept != m_kept.cend()) {
        // As the user left it, over the value it was shown from: Apply asks when that changed since.
        const KeptEdit edit = *kept;
        m_kept.erase(kept);
        m_shown = edit.shown;
        m_adding = edit.adding;
        m_label = edit.label;
        this->edit(edit.given);
        m_editor->setFields(edit.fields);
        m_edited = edit.edited;
        return;
    }
    PosixError error;
    const std::optional<QByteArray> bytes = readExtendedAttribute(m_file, m_name, &error);
    const EditableValue value = bytes
        ? decodeEditableValue(recogniseAttributeName(systemAttributeName(m_name)), *bytes)
        : EditableValue();
    if (value.kind == EditKind::None) {
        showText(m_row.text);
        return;
    }
    // Rebuilt only when the value changed, so that the focus and the cursor stay where they are.
    if (isEditing() && bytes == m_shown && !m_editor->isEdited())
        return updateControls();
    m_shown = bytes;
    edit(value);
}

void AttributeDetailArea::edit(const EditableValue &value)
{
    const bool hadFocus = m_stack->isAncestorOf(QApplication::focusWidget());
    m_editor->setValue(value);
    m_stack->setCurrentWidget(m_editor);
    m_stack->show();
    setFocusProxy(m_editor->currentWidget());
    if (hadFocus)
        m_editor->currentWidget()->setFocus();
    m_caption->setText(m_adding ? tr("New: %1, %2").arg(m_label, formName(value.form))
                                : tr("%1, %2").arg(m_label, formName(value.form)));
    updateControls();
}

void AttributeDetailArea::keepEdit()
{
    if (!isEdited() || m_name.isEmpty())
        return;
    m_kept.insert(m_name, { m_editor->givenValue(), m_editor->fields(), m_shown, m_label, m_adding, m_edited });
    m_adding = false;
}

QStringList AttributeDetailArea::editedNames() const
{
    QStringList names = m_kept.keys();
    if (isEdited() && !m_name.isEmpty())
        names.append(m_name);
    return names;
}

QList<Draft> AttributeDetailArea::drafts() const
{
    QList<KeptEdit> edits = m_kept.values();
    QStringList names = m_kept.keys();
    if (isEdited() && !m_name.isEmpty()) {
        edits.append({ m_editor->givenValue(), m_editor->fields(), m_shown, m_label, m_adding, m_edited });
        names.append(m_name);
    }
    QList<Draft> drafts;
    for (qsizetype i = 0; i < edits.size(); ++i) {
        const KeptEdit &edit = edits.at(i);
        QStringList tags;
        for (const FinderTag &tag : edit.fields.tags)
            tags.append(finderTagText(tag));
        drafts.append({ .name = names.at(i),
            .label = edit.label,
            .text = QString(),
            .shownFrom = valueFingerprint(edit.shown),
            .typed = edit.edited,
            .fields = Draft::Fields { .shown = edit.shown,
                .kind = int(edit.given.kind),
                .text = edit.fields.text,
                .date = edit.fields.date,
                .boolean = edit.fields.boolean,
                .tags = tags } });
    }
    return drafts;
}

void AttributeDetailArea::restoreDrafts(const QList<Draft> &drafts)
{
    for (const Draft &draft : drafts) {
        if (!draft.fields || m_kept.contains(draft.name) || (draft.name == m_name && isEdited()))
            continue; // edited again since: the newer edit stays
        const QByteArray systemName = systemAttributeName(draft.name);
        const Draft::Fields &fields = *draft.fields;
        const EditableValue given = fields.shown
            ? decodeEditableValue(recogniseAttributeName(systemName), *fields.shown)
            : newEditableValue(systemName, EditKind(fields.kind));
        if (given.kind == EditKind::None || int(given.kind) != fields.kind)
            continue; // not a value the area edits: nothing it could show
        TypedValueEditor::Fields edited { .text = fields.text, .date = fields.date.toLocalTime(),
            .boolean = fields.boolean, .tags = {} };
        for (const QString &text : fields.tags) {
            if (const std::optional<FinderTag> tag = parseFinderTag(text))
                edited.tags.append(*tag);
        }
        m_kept.insert(draft.name, { given, edited, fields.shown, draft.label, !fields.shown, draft.typed });
        if (draft.name == m_name && isEditing())
            load(); // shown now: as the user left it
    }
    updateControls();
}

void AttributeDetailArea::updateControls()
{
    if (!isEditing())
        m_caption->clear();
    m_add->setEnabled(!m_file.isEmpty());
    m_revert->setEnabled(isEdited());
    m_apply->setEnabled(isEdited());
    emit editingChanged();
}

void AttributeDetailArea::apply()
{
    if (!isEdited())
        return; // nothing to write
    QString problem;
    const std::optional<EditableValue> edited = m_editor->editedValue(&problem);
    if (!edited) {
        AlertRequest alert;
        alert.style = AlertRequest::Style::Warning;
        alert.messageText = tr("“%1” cannot be applied as it is.").arg(m_label);
        alert.informativeText = problem;
        Alerts::run(alert, window());
        return;
    }
    emit changeRequested(m_name, m_label, m_shown, *edited);
}

void AttributeDetailArea::revert()
{
    if (m_adding)
        showRow(m_row.name, m_row.label, m_row.text); // a new attribute was never stored
    else if (isEditing())
        showStored();
}

void AttributeDetailArea::showStored()
{
    if (m_name.isEmpty())
        return;
    const bool added = m_adding;
    m_adding = false;
    m_shown.reset(); // read and shown again, whatever it holds
    load();
    if (added)
        emit rowWanted(m_name);
}

void AttributeDetailArea::addAttribute()
{
    if (m_file.isEmpty())
        return;
    AddAttributeDialog dialog(window());
    const int answer = dialog.exec();
    window()->activateWindow(); // not every window system gives it back
    if (answer != QDialog::Accepted)
        return;
    keepEdit();
    m_name = dialog.attributeName();
    m_label = dialog.label();
    m_shown.reset();
    PosixError error;
    // The file has it already, or it is being added: it is edited as it is.
    if (m_kept.contains(m_name) || readExtendedAttribute(m_file, m_name, &error) || error.code != ENODATA) {
        m_adding = false;
        load();
        emit rowWanted(m_name);
    } else {
        m_adding = true;
        EditableValue value = newEditableValue(systemAttributeName(m_name), dialog.kind());
        if (value.kind == EditKind::Date) // to the second, as the field shows it
            value.dates = { QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC) };
        edit(value);
        if (value.kind == EditKind::Tags)
            m_editor->tagsEditor()->addTag(); // its name is typed right away
    }
    if (isEditing() && !m_editor->currentWidget()->isAncestorOf(window()->focusWidget()))
        m_editor->currentWidget()->setFocus(Qt::OtherFocusReason);
}

void AttributeDetailArea::keyPressEvent(QKeyEvent *event)
{
    // Keys the fields leave alone: Escape reverts, Return in a one-line field applies.
    if (isEditing() && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        revert();
        return;
    }
    if (isEditing() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !m_editor->takesReturn()) {
        apply();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace corvane
