#pragma once

#include "attributes/EditableValue.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;

namespace corvane {

// Edit > Add Attribute: a name (a catalogue entry, Tags, Where from, or a full name typed, which the
// naming rule puts into "user.") and the kind of its value (text, a list of texts, tags, a date). A
// name that says its kind chooses it: Tags are tags, Keywords a list of texts.
class AddAttributeDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddAttributeDialog(QWidget *parent = nullptr);

    QString attributeName() const; // as the editor names it: "com.apple.metadata:kMDItemKeywords"
    QString label() const; // "Keywords"
    EditKind kind() const;

    QComboBox *nameField() const { return m_name; }
    QComboBox *kindField() const { return m_kind; }

private:
    void nameChanged();

    QComboBox *m_name = nullptr;
    QComboBox *m_kind = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};

} // namespace corvane
