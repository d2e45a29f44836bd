#pragma once

#include "attributes/DraftStore.h"
#include "attributes/EditSession.h"
#include "settings/DebouncedWriter.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

class QPlainTextEdit;
class QTextDocument;

namespace corvane {

// The value field's unsaved text, per attribute of the window's file. Each attribute typed into keeps
// a document of its own (QTextDocument), so that choosing another attribute and coming back shows the
// text again with its undo history; an attribute whose text is back to what was shown has no draft.
// Drafts go to disk (DraftStore) within a second of the last key and when the window goes, and the
// drafts found there for a file are offered when it is opened, until restored or discarded.
class ValueDrafts : public QObject {
    Q_OBJECT
public:
    // What a draft was typed over: the value as it was read, and the field's raw text then (null for
    // a draft brought back from disk).
    struct Base {
        EditSession::ShownValue shown;
        QString fieldText;
        QString label;
    };

    explicit ValueDrafts(QPlainTextEdit *field, QObject *parent = nullptr);
    ~ValueDrafts() override; // puts the drafts on disk

    // The old file's drafts go to disk, and the new file's are offered.
    void setFile(const QUrl &file);
    // Puts the attribute's draft into the field and says what it was typed over; nothing when it has
    // none, and then the field holds a document without history, for the value about to be shown.
    std::optional<Base> showDraft(const QString &name);
    // The value now in the field was just read, or the field's text was just saved (it keeps its undo
    // history): what is typed over it from now on is a draft of it.
    void shown(const Base &base);

    bool isDrafted() const; // the field holds a draft
    bool hasDrafts() const { return !m_live.isEmpty(); }
    QSet<QByteArray> draftedNames() const; // the attributes' exact names

    // The detail area's edits not applied (Draft::fields), kept on disk with the field's drafts.
    void setFieldDrafts(const QList<Draft> &drafts);

    const QList<Draft> &offered() const { return m_offered; }
    // Restores the field's drafts; those of the detail area are handed back for it to restore.
    QList<Draft> restoreOffered();
    void discardOffered();

signals:
    void changed(); // a draft came or went, or the offer changed

private:
    struct Live {
        QTextDocument *document = nullptr;
        Base base;
        QDateTime typed;
    };
    QTextDocument *newDocument(const QString &text = QString());
    void track(QTextDocument *document);
    void store();

    QPointer<QPlainTextEdit> m_field;
    QHash<QByteArray, Live> m_live; // by the attribute's exact name
    QTextDocument *m_clean = nullptr; // the field's document while it holds no draft
    std::optional<Base> m_current; // what the clean document shows; nothing while it is being filled
    QList<Draft> m_offered;
    QList<Draft> m_fieldDrafts;
    QUrl m_file;
    DraftStore m_store;
    DebouncedWriter m_writer;
};

} // namespace corvane
