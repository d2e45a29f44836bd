#pragma once

#include "attributes/EditableValue.h"

#include <QDateTime>
#include <QStackedWidget>

class QCheckBox;
class QDateTimeEdit;
class QPlainTextEdit;

namespace corvane {

class NumberSpinBox;
class TagsEditor;

// An attribute's value edited in its own kind, one page per kind: a text field for text; one item per
// line for a list of texts or of dates (empty lines ignored); the tags editor; a date-and-time field in
// local time; a spin box for a number; a check box for true or false. What the user leaves alone goes
// back exactly as it was given (a date's seconds to the last bit, a text's line breaks), so a value
// changed and changed back equals the one given.
class TypedValueEditor : public QStackedWidget {
    Q_OBJECT
public:
    explicit TypedValueEditor(QWidget *parent = nullptr);

    // The value to edit; its kind is anything but EditKind::None.
    void setValue(const EditableValue &value);
    const EditableValue &givenValue() const { return m_given; }
    // The value as edited, or nullopt and why (a line that is no date, a number not complete).
    std::optional<EditableValue> editedValue(QString *problem = nullptr) const;
    bool isEdited() const;

    // What the fields hold, complete or not (a line that is no date yet, a number half typed), to put
    // back over the same given value once the user comes back to it.
    struct Fields {
        QString text; // the text, lines or number page's text
        QDateTime date;
        bool boolean = false;
        QList<FinderTag> tags;
    };
    Fields fields() const;
    // Fills the fields as the user left them: an edit of the user's, over the value given.
    void setFields(const Fields &fields);

    // Whether the page of the kind takes Return for itself (a line break) rather than Apply.
    bool takesReturn() const;

    QPlainTextEdit *textField() const { return m_text; }
    QPlainTextEdit *linesField() const { return m_lines; }
    TagsEditor *tagsEditor() const { return m_tags; }
    QDateTimeEdit *dateField() const { return m_date; }
    NumberSpinBox *numberField() const { return m_number; }
    QCheckBox *booleanField() const { return m_boolean; }

signals:
    void edited();

private:
    void userEdited();

    EditableValue m_given;
    QString m_givenFieldText; // the text, lines or number page's text right after setValue
    QDateTime m_givenDate; // what the date field showed right after setValue
    bool m_setting = false; // setValue is filling the fields: no edit of the user's
    QPlainTextEdit *m_text = nullptr;
    QPlainTextEdit *m_lines = nullptr;
    TagsEditor *m_tags = nullptr;
    QDateTimeEdit *m_date = nullptr;
    NumberSpinBox *m_number = nullptr;
    QCheckBox *m_boolean = nullptr;
};

} // namespace corvane
