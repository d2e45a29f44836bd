#include "editor/TypedValueEditor.h"

#include "attributes/ValueText.h"
#include "editor/NumberSpinBox.h"
#include "editor/TagsEditor.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

namespace corvane {

namespace {
// Local time as people type it, the same in the date field and in a list of dates.
const QString dateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString localText(const QDateTime &date)
{
    return date.toLocalTime().toString(dateFormat);
}

// A one-line field at the top of its page, at its own width, not stretched over the area.
QWidget *linePage(QWidget *field, const QString &label)
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout;
    if (!label.isEmpty()) {
        auto *caption = new QLabel(label, page);
        caption->setBuddy(field);
        row->addWidget(caption);
    }
    row->addWidget(field);
    row->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(row);
    layout->addStretch();
    page->setFocusProxy(field);
    return page;
}

QStringList nonEmptyLines(const QString &rawText)
{
    QStringList lines = rawText.split(QChar::ParagraphSeparator);
    lines.removeAll(QString());
    return lines;
}
} // namespace

TypedValueEditor::TypedValueEditor(QWidget *parent)
    : QStackedWidget(parent)
    , m_text(new QPlainTextEdit(this))
    , m_lines(new QPlainTextEdit(this))
    , m_tags(new TagsEditor(this))
    , m_date(new QDateTimeEdit(this))
    , m_number(new NumberSpinBox(this))
    , m_boolean(new QCheckBox(tr("True"), this))
{
    m_text->setObjectName(QStringLiteral("textValueField"));
    m_text->setAccessibleName(tr("Text"));
    m_lines->setObjectName(QStringLiteral("linesValueField"));
    m_tags->setObjectName(QStringLiteral("tagsEditor"));
    m_date->setObjectName(QStringLiteral("dateValueField"));
    m_date->setAccessibleName(tr("Date and time"));
    m_date->setAccessibleDescription(tr("In local time"));
    m_date->setDisplayFormat(dateFormat);
    m_date->setTimeSpec(Qt::LocalTime);
    m_date->setCalendarPopup(true);
    m_date->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    m_number->setObjectName(QStringLiteral("numberValueField"));
    m_number->setAccessibleName(tr("Number"));
    m_boolean->setObjectName(QStringLiteral("booleanValueField"));
    m_boolean->setAccessibleName(tr("True or false"));
    for (QPlainTextEdit *field : { m_text, m_lines })
        field->setTabChangesFocus(true);
    m_number->setMinimumWidth(200);
    for (QWidget *page :
        { static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_lines), static_cast<QWidget *>(m_tags) })
        addWidget(page);
    addWidget(linePage(m_date, tr("Local time:")));
    addWidget(linePage(m_number, tr("Number:")));
    addWidget(linePage(m_boolean, QString()));

    for (QPlainTextEdit *field : { m_text, m_lines })
        connect(field, &QPlainTextEdit::textChanged, this, &TypedValueEditor::userEdited);
    connect(m_tags, &TagsEditor::edited, this, &TypedValueEditor::userEdited);
    connect(m_date, &QDateTimeEdit::dateTimeChanged, this, &TypedValueEditor::userEdited);
    connect(m_number->lineEdit(), &QLineEdit::textChanged, this, &TypedValueEditor::userEdited);
    connect(m_boolean, &QCheckBox::toggled, this, &TypedValueEditor::userEdited);
}

void TypedValueEditor::userEdited()
{
    if (!m_setting)
        emit edited();
}

void TypedValueEditor::setValue(const EditableValue &value)
{
    m_given = value;
    m_setting = true;
    QStringList lines;
    switch (value.kind) {
    case EditKind::Text:
        m_text->setPlainText(value.text);
        m_givenFieldText = m_text->document()->toRawText();
        setCurrentWidget(m_text);
        break;
    case EditKind::TextList:
    case EditKind::DateList:
        if (value.kind == EditKind::TextList) {
            lines = value.texts;
            m_lines->setAccessibleName(tr("Texts, one per line"));
            m_lines->setPlaceholderText(tr("One item a line"));
        } else {
            for (const QDateTime &date : value.dates)
                lines.append(localText(date));
            m_lines->setAccessibleName(tr("Dates in local time, one per line"));
            m_lines->setPlaceholderText(
                tr("One date a line, in local time: %1").arg(localText(QDateTime::currentDateTime())));
        }
        m_lines->setPlainText(lines.join(u'\n'));
        m_givenFieldText = m_lines->document()->toRawText();
        setCurrentWidget(m_lines);
        break;
    case EditKind::Tags:
        m_tags->setTags(value.tags, value.form != ValueForm::PlainText);
        setCurrentWidget(m_tags);
        break;
    case EditKind::Date:
        m_date->setDateTime(value.dates.value(0).toLocalTime());
        m_givenDate = m_date->dateTime();
        setCurrentWidget(m_date->parentWidget());
        break;
    case EditKind::Integer:
    case EditKind::Real:
        value.kind == EditKind::Integer ? m_number->setInteger(value.integer) : m_number->setReal(value.real);
        m_givenFieldText = m_number->text();
        setCurrentWidget(m_number->parentWidget());
        break;
    case EditKind::Boolean:
        m_boolean->setChecked(value.boolean);
        setCurrentWidget(m_boolean->parentWidget());
        break;
    case EditKind::None:
        break;
    }
    // What was typed before is no step the field can take back now: Ctrl+Z is the window's again.
    for (QLineEdit *line :
        { m_number->lineEdit(), m_date->findChild<QLineEdit *>({}, Qt::FindDirectChildrenOnly) })
        line->setText(line->text());
    m_setting = false;
}

std::optional<EditableValue> TypedValueEditor::editedValue(QString *problem) const
{
    EditableValue value = m_given;
    const auto failed = [&](const QString &why) -> std::optional<EditableValue> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const QString raw = (m_given.kind == EditKind::Text ? m_text : m_lines)->document()->toRawText();
    switch (m_given.kind) {
    case EditKind::Text:
        // Unedited, the text keeps its own line breaks; edited, it keeps their style.
        if (raw != m_givenFieldText)
            value.text = valueFromFieldText(raw, lineBreakStyle(m_given.text));
        break;
    case EditKind::TextList:
        if (raw != m_givenFieldText)
            value.texts = nonEmptyLines(raw);
        break;
    case EditKind::DateList: {
        if (raw == m_givenFieldText)
            break;
        // A line left as it was keeps its date to the millisecond the field does not show.
        QHash<QString, QDateTime> given;
        for (const QDateTime &date : m_given.dates)
            given.insert(localText(date), date);
        value.dates.clear();
        const QStringList lines = nonEmptyLines(raw);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString line = lines.at(i).trimmed();
            QDateTime date = given.value(line);
            if (!date.isValid())
                date = QDateTime::fromString(line, dateFormat).toUTC();
            if (!date.isValid())
                return failed(tr("“%1” is no date: write it as %2, in local time.")
                                  .arg(line, localText(QDateTime::currentDateTime())));
            value.dates.append(date);
        }
        break;
    }
    case EditKind::Tags:
        value.tags = m_tags->tags();
        break;
    case EditKind::Date:
        // The field shows whole seconds; a date left at what it showed keeps the rest.
        if (m_date->dateTime() != m_givenDate)
            value.dates = { m_date->dateTime().toUTC() };
        break;
    case EditKind::Integer:
    case EditKind::Real:
        if (m_number->text() == m_givenFieldText)
            break; // a real as given, NaN included
        if (m_given.kind == EditKind::Integer) {
            const std::optional<qint64> number = m_number->integer();
            if (!number)
                return failed(tr("“%1” is no whole number.").arg(m_number->text()));
            value.integer = *number;
        } else if (const std::optional<double> number = m_number->real()) {
            value.real = *number;
        } else {
            return failed(tr("“%1” is no number.").arg(m_number->text()));
        }
        break;
    case EditKind::Boolean:
        value.boolean = m_boolean->isChecked();
        break;
    case EditKind::None:
        break;
    }
    return value;
}

bool TypedValueEditor::isEdited() const
{
    const std::optional<EditableValue> value = editedValue();
    return !value || *value != m_given;
}

TypedValueEditor::Fields TypedValueEditor::fields() const
{
    const QPlainTextEdit *text = m_given.kind == EditKind::Text ? m_text : m_lines;
    const bool number = m_given.kind == EditKind::Integer || m_given.kind == EditKind::Real;
    // Raw, with its paragraphs as line breaks: plain text would turn no-break spaces into spaces.
    const QString raw = text->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n');
    return { .text = number ? m_number->text() : raw,
        .date = m_date->dateTime(),
        .boolean = m_boolean->isChecked(),
        .tags = m_tags->tags() };
}

void TypedValueEditor::setFields(const Fields &fields)
{
    switch (m_given.kind) {
    case EditKind::Text:
        m_text->setPlainText(fields.text);
        break;
    case EditKind::TextList:
    case EditKind::DateList:
        m_lines->setPlainText(fields.text);
        break;
    case EditKind::Tags:
        m_tags->setTags(fields.tags, m_given.form != ValueForm::PlainText);
        break;
    case EditKind::Date:
        m_date->setDateTime(fields.date);
        break;
    case EditKind::Integer:
    case EditKind::Real:
        m_number->lineEdit()->setText(fields.text);
        break;
    case EditKind::Boolean:
        m_boolean->setChecked(fields.boolean);
        break;
    case EditKind::None:
        break;
    }
    emit edited();
}

bool TypedValueEditor::takesReturn() const
{
    return currentWidget() == m_text || currentWidget() == m_lines || currentWidget() == m_tags;
}

} // namespace corvane
