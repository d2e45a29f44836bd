#pragma once

#include "attributes/DraftStore.h"
#include "attributes/EditableValue.h"
#include "editor/TypedValueEditor.h"

#include <QHash>

#include <QUrl>
#include <QWidget>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace corvane {

// The area below the attributes list: the selected row's whole value, edited in its own kind when it
// is an attribute the editor can write back as it found it (TypedValueEditor), else shown read-only.
// Apply (the button, Return in a one-line field, or the window's Save while the area has the focus)
// asks for the change; Revert or Escape brings back what is stored. Add Attribute (the + button) asks
// for a name and a kind and edits a new value of that kind, written by Apply.
//
// An edit not applied is never dropped: choosing another row keeps it for its attribute (marked in the
// list and by the window's modified mark) until that attribute is shown again.
//
// The area writes nothing itself: changeRequested goes to the editor, which makes the change through
// its history and calls showStored() once it is made.
class AttributeDetailArea : public QWidget {
    Q_OBJECT
public:
    explicit AttributeDetailArea(QWidget *parent = nullptr);

    QPlainTextEdit *textView() const { return m_text; }
    TypedValueEditor *valueEditor() const { return m_editor; }
    QPushButton *applyButton() const { return m_apply; }
    QPushButton *revertButton() const { return m_revert; }
    QToolButton *addButton() const { return m_add; }

    void setFile(const QUrl &file); // shows nothing until a row is shown
    // The list's current row: `name` an attribute the editor can write (empty for any other row, shown
    // as `text`). A value of a kind the editor has is read afresh and edited in its kind; the same row
    // shown again (a new listing) keeps what the user is editing.
    void showRow(const QString &name, const QString &label, const QString &text);
    // No row is current: only the buttons stay, and the list takes the room.
    void showNoRow();

    bool isEditing() const; // a value is shown in its own kind
    bool isEdited() const; // ... and differs from what is stored, or is new
    QString editedLabel() const { return m_label; }
    // The attributes with an edit not applied: the one shown and those the user left for another row,
    // which come back as they were left when shown again, while the window keeps the file.
    QStringList editedNames() const;
    // Those edits as drafts for the disk, and drafts from there taken back as edits (an attribute
    // edited since keeps the newer edit).
    QList<Draft> drafts() const;
    void restoreDrafts(const QList<Draft> &drafts);

public slots:
    void apply();
    void revert();
    // Reads the attribute edited afresh and shows it: after the editor made the change.
    void showStored();
    // Asks for a name and a kind, then edits a new attribute (or the one the file already has).
    void addAttribute();

signals:
    void changeRequested(const QString &name, const QString &label, const std::optional<QByteArray> &shown,
        const EditableValue &edited);
    // The attribute shown here is to be the list's current row, now or once it is listed.
    void rowWanted(const QString &name);
    // What Apply would do changed: editing started or ended, or the value was edited.
    void editingChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showText(const QString &text);
    void load();
    void edit(const EditableValue &value);
    void updateControls();
    void keepEdit(); // the edit shown, before another row or attribute takes the area

    QStackedWidget *m_stack = nullptr;
    QPlainTextEdit *m_text = nullptr;
    TypedValueEditor *m_editor = nullptr;
    QLabel *m_caption = nullptr;
    QToolButton *m_add = nullptr;
    QPushButton *m_revert = nullptr;
    QPushButton *m_apply = nullptr;

    QUrl m_file;
    QString m_name; // the attribute edited; empty while a row is shown read-only
    QString m_label;
    std::optional<QByteArray> m_shown; // its bytes as shown; nullopt for a new attribute
    bool m_adding = false;
    struct KeptEdit {
        EditableValue given;
        TypedValueEditor::Fields fields;
        std::optional<QByteArray> shown;
        QString label;
        bool adding = false;
        QDateTime edited;
    };
    QHash<QString, KeptEdit> m_kept; // by name, the attribute shown excluded
    QDateTime m_edited; // the last edit of the attribute shown
    // The row last shown, to tell a new listing of it from another row.
    struct Row {
        QString name;
        QString label;
        QString text;
    } m_row;
};

} // namespace corvane
