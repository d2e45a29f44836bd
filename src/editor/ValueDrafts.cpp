#include "editor/ValueDrafts.h"

#include "attributes/ExtendedAttributes.h"
#include "attributes/ValueText.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <utility>

namespace corvane {

ValueDrafts::ValueDrafts(QPlainTextEdit *field, QObject *parent)
    : QObject(parent)
    , m_field(field)
    , m_writer([this] { store(); })
{
    m_clean = newDocument();
    m_field->setDocument(m_clean);
}

ValueDrafts::~ValueDrafts()
{
    m_writer.flush();
    // The documents go with this object; the field must not be left showing one of them.
    if (m_field) {
        auto *own = new QTextDocument(m_field);
        own->setDocumentLayout(new QPlainTextDocumentLayout(own));
        m_field->setDocument(own);
    }
}

QTextDocument *ValueDrafts::newDocument(const QString &text)
{
    auto *document = new QTextDocument(this);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(m_field->font());
    document->setPlainText(text);
    connect(document, &QTextDocument::modificationChanged, this, [this, document](bool modified) {
        if (modified && document == m_clean && m_current) {
            // The first key typed over a shown value: from now on it is a draft.
            const QByteArray key = systemAttributeName(m_current->shown.name);
            m_live.insert(
                key, { document, *std::exchange(m_current, std::nullopt), QDateTime::currentDateTimeUtc() });
            m_clean = nullptr;
            m_offered.removeIf([&key](const Draft &draft) { return systemAttributeName(draft.name) == key; });
            emit changed();
            m_writer.schedule();
        } else if (!modified) {
            // Undone back to the value shown: no draft any more.
            for (auto live = m_live.begin(); live != m_live.end(); ++live) {
                if (live->document != document)
                    continue;
                const Base base = live->base;
                m_live.erase(live);
                if (m_field->document() == document) {
                    m_clean = document;
                    m_current = base;
                } else {
                    document->deleteLater();
                }
                emit changed();
                m_writer.schedule();
                break;
            }
        }
    });
    connect(document, &QTextDocument::contentsChanged, this, [this, document] {
        for (Live &live : m_live) {
            if (live.document == document) {
                live.typed = QDateTime::currentDateTimeUtc();
                m_writer.schedule();
            }
        }
    });
    return document;
}

void ValueDrafts::setFile(const QUrl &file)
{
    if (file == m_file)
        return;
    m_writer.flush();
    if (!m_clean) {
        m_clean = newDocument();
        m_field->setDocument(m_clean);
    }
    m_current.reset();
    for (const Live &live : std::as_const(m_live))
        delete live.document;
    m_live.clear();
    m_fieldDrafts.clear();
    m_file = file;
    m_offered = file.isEmpty() ? QList<Draft>() : m_store.load(file);
    emit changed();
}

std::optional<ValueDrafts::Base> ValueDrafts::showDraft(const QString &name)
{
    const auto live = m_live.constFind(systemAttributeName(name));
    if (live != m_live.cend()) {
        m_field->setDocument(live->document);
        return live->base;
    }
    if (!m_clean)
        m_clean = newDocument();
    m_field->setDocument(m_clean);
    m_current.reset(); // filling it is no typing
    return std::nullopt;
}

void ValueDrafts::shown(const Base &base)
{
    QTextDocument *document = m_field->document();
    const bool wasDraft = document != m_clean;
    m_live.removeIf([document](const std::pair<const QByteArray &, Live &> &live) {
        return live.second.document == document;
    });
    m_clean = document;
    m_current = base;
    document->setModified(false);
    if (wasDraft) {
        emit changed();
        m_writer.schedule();
    }
}

bool ValueDrafts::isDrafted() const
{
    return m_field->document() != m_clean;
}

QSet<QByteArray> ValueDrafts::draftedNames() const
{
    QSet<QByteArray> names;
    for (auto live = m_live.cbegin(); live != m_live.cend(); ++live)
        names.insert(live.key());
    return names;
}

void ValueDrafts::setFieldDrafts(const QList<Draft> &drafts)
{
    if (drafts.isEmpty() && m_fieldDrafts.isEmpty())
        return;
    m_fieldDrafts = drafts;
    m_writer.schedule();
}

QList<Draft> ValueDrafts::restoreOffered()
{
    QList<Draft> fields;
    for (const Draft &draft : std::as_const(m_offered)) {
        if (draft.fields) {
            fields.append(draft);
            continue;
        }
        const QByteArray key = systemAttributeName(draft.name);
        if (m_live.contains(key))
            continue; // typed again since: the newer text stays
        QTextDocument *document = newDocument(draft.text);
        document->setModified(true);
        m_live.insert(key,
            { document, { { draft.name, draft.text, draft.shownFrom }, QString(), draft.label },
                draft.typed });
    }
    m_offered.clear();
    m_fieldDrafts += fields; // on disk until the detail area has them
    emit changed();
    store();
    return fields;
}

void ValueDrafts::discardOffered()
{
    m_offered.clear();
    emit changed();
    store();
}

void ValueDrafts::store()
{
    if (m_file.isEmpty())
        return;
    QList<Draft> drafts;
    for (const Live &live : std::as_const(m_live))
        drafts.append({ .name = live.base.shown.name,
            .label = live.base.label,
            .text = valueFromFieldText(live.document->toRawText(), lineBreakStyle(live.base.shown.text)),
            .shownFrom = live.base.shown.fingerprint,
            .typed = live.typed,
            .fields = std::nullopt });
    drafts += m_fieldDrafts;
    drafts += m_offered;
    m_store.store(m_file, drafts);
}

} // namespace corvane
