#pragma once

// The editor's core, without widgets: the file an editor window edits, the attribute it shows and the
// string it was shown from, what Save, a removal, Undo and Redo are about to do (with the question to
// ask first, as a value), and the history of the changes made, each kept with the file's identity so
// that it is only ever taken back on the file it was made to.
//
// Every change is prepared, then applied: prepare*() reads what the attribute holds now and decides;
// the caller asks the question it returns, if any, and applies the change only when the user agreed.

#include "attributes/AttributeHistory.h"
#include "attributes/EditableValue.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

// A question to put to the user before a change goes ahead. Cancel is the other answer.
struct EditQuestion {
    enum class Confirm { Replace, Remove, Undo, Redo };
    QString messageText;
    QString informativeText;
    Confirm confirm = Confirm::Replace;
};

class EditSession : public QObject {
    Q_OBJECT
public:
    // A change looked at before anything is written.
    struct Change {
        enum class Kind { Nothing, Save, Undo, Redo };
        Kind kind = Kind::Nothing;
        QUrl file;
        QString name; // as the editor names it
        QString label; // what the user calls it
        std::optional<QByteArray> target; // what the attribute is to hold; nullopt: removed
        std::optional<QByteArray> before; // what it holds now (nullopt: absent), when beforeKnown
        bool beforeKnown = false; // a change whose before is unknown is made, but cannot be undone
        std::optional<EditQuestion> question; // ask first; the change is made only when confirmed
        QString error; // nothing is done, and this is why ("setXattr error: ...")
        bool valueChange = false; // a value edited in its own kind: "Undo Change of"
        // Other attributes changed in the same step, each with what it holds now and is to hold.
        QList<AttributeStep> alongside;
        QString action; // the step in the menu when it is no save, change or removal: "Copy of “Tags” …"
    };

    explicit EditSession(QObject *parent = nullptr);

    void setFile(const QUrl &file);
    QUrl file() const { return m_file; }
    QString fileName() const; // the last path component; a folder's own name for "dir/"

    // Reads the attribute afresh and makes it the one shown: the string the editor shows for it (a
    // property-list string or plain text; the empty text for any other value), and why it could not be
    // read (empty when it is simply not there). Reading never fails otherwise.
    struct Reading {
        QString text;
        QString failure;
        bool present = false; // the file has the attribute
        QString holds; // what it holds when the text does not show it: "a list of 2 texts"
    };
    Reading show(const QString &name);
    QString shownName() const { return m_shownName; }
    QString shownText() const { return m_shownText; }
    // The shown value as it was read: kept with a draft typed over it and given back when the draft
    // is shown again, so that Save still compares with what the user saw (valueFingerprint; nullopt
    // when the value could not be read).
    struct ShownValue {
        QString name;
        QString text;
        std::optional<QByteArray> fingerprint;
    };
    ShownValue shownValue() const { return { m_shownName, m_shownText, m_shownFingerprint }; }
    void setShownValue(const ShownValue &value);
    // Whether the shown attribute holds something else now than when it was read (one read).
    bool shownChangedElsewhere() const;

    // Save: the text in the form editorSaveForm gives (plain text stays plain; otherwise a binary
    // property list holding one string), the empty text as a removal. The question comes when another
    // program changed the shown value since it was read, or when the value there now is one the editor
    // cannot show.
    Change prepareSave(const QString &name, const QString &label, const QString &text) const;
    // A value edited in its own kind, written in the form it was found in. `shown` is what the attribute
    // held when it was shown (nullopt: absent, for a new attribute). Nothing happens when the edited
    // value equals the one shown; the question comes when the attribute holds something else by now.
    Change prepareValueChange(const QString &name, const QString &label,
        const std::optional<QByteArray> &shown, const EditableValue &edited) const;
    // Several attributes changed in one step, `label` naming it as the user knows it and `action` in the
    // menu ("Copy of “Tags” to the Desktop"): each write's `after` is what its attribute is to hold
    // (nullopt: removed); what each holds now is read for Undo. Writes that change nothing are dropped.
    Change prepareChanges(
        const QString &label, const QString &action, const QList<AttributeStep> &writes) const;
    // One more attribute changed in the same step as `change` (read now), so that one Undo takes both back.
    void alsoChange(Change &change, const QString &name, const std::optional<QByteArray> &target) const;
    // A removal the user already confirmed (the attributes panel asks its own question).
    Change prepareRemoval(const QString &name, const QString &label) const;
    // The next step back or forward; the question comes when another program changed the attribute
    // since, and an error when the path no longer names the file the change was made to.
    Change prepareUndo() const;
    Change prepareRedo() const;

    // Makes the change and records it; returns the alert's text when the system refused, else "".
    QString apply(const Change &change);
    // Whether the change touched the attribute shown, so that it is to be shown again.
    bool touchesShown(const Change &change) const;

    // "Undo Save of “Keywords”", "Redo Removal of “Comment”", "Undo Change of “Tags”"; empty when there is
    // nothing to take.
    QString undoText() const;
    QString redoText() const;

signals:
    void historyChanged();

private:
    Change prepareStep(bool undo) const;
    QString applySeveral(const Change &change);

    QUrl m_file;
    QString m_shownName;
    QString m_shownText;
    std::optional<QByteArray> m_shownFingerprint;
    AttributeHistory m_history;
};

} // namespace corvane
