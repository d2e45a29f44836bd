#include "attributes/EditSession.h"

#include "attributes/AttributeCodec.h"
#include "attributes/AttributeDescription.h"
#include "attributes/DraftStore.h"
#include "attributes/ExtendedAttributes.h"
#include "attributes/ValueText.h"
#include "plist/PlistReader.h"

#include <QDir>

namespace corvane {

namespace {
QString errorPrefix(const std::optional<QByteArray> &target)
{
    return target ? EditSession::tr("setXattr error: ") : EditSession::tr("removeXattr error: ");
}

// What the value field shows for the bytes: a property-list string or plain text; nullopt for a
// value that is neither, which the field cannot show.
std::optional<QString> textShown(const QString &name, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return QString();
    if (const std::optional<plist::Value> plist = plist::parse(bytes); plist && plist->isString())
        return plist->toString();
    const EditableValue value = decodeEditableValue(recogniseAttributeName(systemAttributeName(name)), bytes);
    return value.kind == EditKind::Text ? std::optional(value.text) : std::nullopt;
}

// Whether the editor shows the value as it is: text, or nothing at all, which holds nothing to lose.
bool shownAsText(const QString &name, QByteArrayView bytes)
{
    return textShown(name, bytes).has_value();
}

// The last path component; a folder's own name for a URL ending in "/".
QString displayName(const QUrl &file)
{
    const QString name = file.fileName();
    return name.isEmpty() ? QDir(file.toLocalFile()).dirName() : name;
}

QString notTheFileChanged(const QUrl &file)
{
    return EditSession::tr("%1 is no longer the file that was changed: it was replaced or renamed since.")
        .arg(displayName(file));
}

// What the value holds, in the words the attributes panel uses ("list of 2 texts").
QString describedValue(const QString &name, QByteArrayView bytes)
{
    return kindLabel(describeAttribute(recogniseAttributeName(systemAttributeName(name)), bytes).value);
}

// "a list of 2 texts", "an empty list", "32 bytes". English's articles; a translation says the kind
// in its own way.
QString withArticle(const QString &kind)
{
    if (kind.isEmpty() || kind.front().isDigit() || kind == kindLabel(ValueNode::null())
        || kind == kindLabel(ValueNode::fromBoolean(true)))
        return kind;
    return (QStringLiteral("aeiou").contains(kind.front()) ? EditSession::tr("an %1", "value kind")
                                                           : EditSession::tr("a %1", "value kind"))
        .arg(kind);
}
} // namespace

EditSession::EditSession(QObject *parent)
    : QObject(parent)
{ }

void EditSession::setFile(const QUrl &file)
{
    m_file = file;
}

QString EditSession::fileName() const
{
    return displayName(m_file);
}

EditSession::Reading EditSession::show(const QString &name)
{
    m_shownName = name;
    PosixError error;
    const std::optional<QByteArray> bytes = readExtendedAttribute(m_file, name, &error);
    const std::optional<QString> text = bytes ? textShown(name, *bytes) : QString();
    m_shownText = text.value_or(QString());
    const QString failure = bytes ? QString() : readFailureInPlainWords(error.code, error.description);
    m_shownFingerprint = bytes || failure.isEmpty() ? std::optional(valueFingerprint(bytes)) : std::nullopt;
    return { m_shownText, failure, bytes.has_value(),
        text ? QString() : withArticle(describedValue(name, *bytes)) };
}

void EditSession::setShownValue(const ShownValue &value)
{
    m_shownName = value.name;
    m_shownText = value.text;
    m_shownFingerprint = value.fingerprint;
}

bool EditSession::shownChangedElsewhere() const
{
    std::optional<QByteArray> now;
    if (m_file.isEmpty() || readAttributeState(m_file, m_shownName, &now))
        return false;
    return !m_shownFingerprint || valueFingerprint(now) != *m_shownFingerprint;
}

EditSession::Change EditSession::prepareSave(
    const QString &name, const QString &label, const QString &text) const
{
    Change change;
    if (m_file.isEmpty())
        return change;
    change.kind = Change::Kind::Save;
    change.file = m_file;
    change.name = name;
    change.label = label;
    // Looked at now, not when the value was shown: another program may have changed it since. The same
    // read is what Undo gives back; a value that cannot be read cannot be, and the change is not kept.
    change.beforeKnown = !readAttributeState(m_file, name, &change.before);
    if (!text.isEmpty()) {
        // Plain text stays plain, so that the desktop keeps reading it; one trailing NUL stays too.
        const StoredForm form
            = editorSaveForm(systemAttributeName(name), change.before.value_or(QByteArray()));
        QString description;
        if (form.form == ValueForm::PlainText) {
            description = unstorableCharacter(text, TextForm::PlainText);
            if (description.isEmpty())
                change.target = text.toUtf8();
        } else {
            change.target = encodeAttributeString(text, &description);
        }
        if (!change.target) {
            change.error = tr("setXattr error: ") + description;
            return change;
        }
        if (form.trailingNul)
            change.target->append('\0');
    }
    const bool unshown = change.before && !shownAsText(name, *change.before);
    const QString held = unshown ? describedValue(name, *change.before) : QString();
    if (change.beforeKnown && m_shownFingerprint
        && systemAttributeName(name) == systemAttributeName(m_shownName)
        && valueFingerprint(change.before) != *m_shownFingerprint) {
        // Another program's value is not ours to throw away unseen.
        const QString lost = unshown
            ? tr("It now holds %1, which Corvane cannot show, and that value is lost.").arg(held)
            : tr("The value it holds now is lost.");
        change.question
            = EditQuestion { tr("“%1” was changed by another program since you opened it.").arg(label),
                  (text.isEmpty() ? tr("Saving the empty text removes it.")
                                  : tr("Saving replaces it with the text in the value field."))
                      + QLatin1Char(' ') + lost,
                  text.isEmpty() ? EditQuestion::Confirm::Remove : EditQuestion::Confirm::Replace };
    } else if (unshown) {
        change.question = text.isEmpty()
            ? EditQuestion { tr("Remove the attribute “%1”?").arg(label),
                  tr("It holds %1, which Corvane cannot show. Removing the attribute loses that value.")
                      .arg(held),
                  EditQuestion::Confirm::Remove }
            : EditQuestion { tr("Replace the value of “%1”?").arg(label),
                  tr("It holds %1, which Corvane cannot show. Saving replaces it with the text in the value "
                     "field, and the old value is lost.")
                      .arg(held),
                  EditQuestion::Confirm::Replace };
    }
    return change;
}

EditSession::Change EditSession::prepareValueChange(const QString &name, const QString &label,
    const std::optional<QByteArray> &shown, const EditableValue &edited) const
{
    Change change;
    const AttributeName attribute = recogniseAttributeName(systemAttributeName(name));
    if (m_file.isEmpty() || (shown && edited == decodeEditableValue(attribute, *shown)))
        return change;
    change.kind = Change::Kind::Save;
    change.valueChange = true;
    change.file = m_file;
    change.name = name;
    change.label = label;
    change.beforeKnown = !readAttributeState(m_file, name, &change.before);
    QString description;
    change.target = encodeEditableValue(edited, &description);
    if (!change.target) {
        change.error = description;
        return change;
    }
    if (change.beforeKnown && change.before != shown)
        change.question = EditQuestion { tr("“%1” was changed by another program.").arg(label),
            tr("It no longer holds the value shown in %1. Applying replaces its current value, which is then "
               "lost.")
                .arg(fileName()),
            EditQuestion::Confirm::Replace };
    return change;
}

EditSession::Change EditSession::prepareChanges(
    const QString &label, const QString &action, const QList<AttributeStep> &writes) const
{
    Change change;
    if (m_file.isEmpty())
        return change;
    change.file = m_file;
    change.label = label;
    change.action = action;
    for (const AttributeStep &write : writes) {
        if (change.kind != Change::Kind::Nothing) {
            alsoChange(change, write.name, write.after);
            continue;
        }
        // A step whose first attribute cannot be read could not be taken back: nothing is done.
        std::optional<QByteArray> before;
        if (const std::optional<PosixError> error = readAttributeState(m_file, write.name, &before)) {
            change.kind = Change::Kind::Save;
            change.error = errorPrefix(write.after) + error->description;
            return change;
        }
        if (before == write.after)
            continue;
        change.kind = Change::Kind::Save;
        change.name = write.name;
        change.before = before;
        change.beforeKnown = true;
        change.target = write.after;
    }
    return change;
}

void EditSession::alsoChange(
    Change &change, const QString &name, const std::optional<QByteArray> &target) const
{
    if (change.kind != Change::Kind::Save || !change.error.isEmpty())
        return;
    AttributeStep write { name, {}, target };
    if (const std::optional<PosixError> error = readAttributeState(change.file, name, &write.before))
        change.error = errorPrefix(target) + error->description;
    else if (write.before != target)
        change.alongside.append(write);
}

EditSession::Change EditSession::prepareRemoval(const QString &name, const QString &label) const
{
    Change change = prepareSave(name, label, QString());
    change.question.reset();
    return change;
}

EditSession::Change EditSession::prepareUndo() const
{
    return prepareStep(true);
}

EditSession::Change EditSession::prepareRedo() const
{
    return prepareStep(false);
}

EditSession::Change EditSession::prepareStep(bool undo) const
{
    Change change;
    const AttributeChange *step = undo ? m_history.nextUndo() : m_history.nextRedo();
    if (!step)
        return change;
    change.kind = undo ? Change::Kind::Undo : Change::Kind::Redo;
    change.file = step->file;
    change.name = step->name;
    change.label = step->label;
    change.target = undo ? step->before : step->after;
    if (identityOf(step->file) != step->identity) {
        change.error = notTheFileChanged(step->file);
        return change;
    }
    if (const std::optional<PosixError> error = readAttributeState(step->file, step->name, &change.before)) {
        change.error = errorPrefix(change.target) + error->description;
        return change;
    }
    change.beforeKnown = true;
    bool changedSince = change.before != (undo ? step->after : step->before);
    for (const AttributeStep &other : step->alongside) {
        AttributeStep write { other.name, {}, undo ? other.before : other.after };
        if (const std::optional<PosixError> error
            = readAttributeState(step->file, other.name, &write.before)) {
            change.error = errorPrefix(write.after) + error->description;
            return change;
        }
        changedSince = changedSince || write.before != (undo ? other.after : other.before);
        change.alongside.append(write);
    }
    if (changedSince) {
        // Someone else wrote since: their value is not ours to throw away without asking.
        const QString details = undo
            ? tr("It no longer holds what Corvane saved in %1. Undoing replaces its current value, which is "
                 "then lost.")
            : tr("It no longer holds what it held before Corvane's undo in %1. Redoing replaces its current "
                 "value, which is then lost.");
        change.question = EditQuestion { tr("“%1” was changed by another program.").arg(step->label),
            details.arg(displayName(step->file)),
            undo ? EditQuestion::Confirm::Undo : EditQuestion::Confirm::Redo };
    }
    return change;
}

QString EditSession::apply(const Change &change)
{
    if (change.kind == Change::Kind::Nothing || !change.error.isEmpty())
        return change.error;
    if (change.kind != Change::Kind::Save) {
        // Again right before the write: a question may have been on screen for a while.
        const AttributeChange *step
            = change.kind == Change::Kind::Undo ? m_history.nextUndo() : m_history.nextRedo();
        if (!step || identityOf(change.file) != step->identity)
            return notTheFileChanged(change.file);
    }
    if (!change.alongside.isEmpty()) {
        if (const QString error = applySeveral(change); !error.isEmpty())
            return error;
    } else {
        // A removal the user asked for reports an attribute that is not there; a step back to absence
        // finds it as wanted.
        const std::optional<PosixError> error = change.kind == Change::Kind::Save && !change.target
            ? removeExtendedAttribute(change.file, change.name)
            : setAttributeState(change.file, change.name, change.target);
        if (error)
            return errorPrefix(change.target) + error->description;
    }
    if (touchesShown(change)) {
        // What the field shows is stored now: the step's first attribute, or one changed alongside it.
        std::optional<QByteArray> stored = change.target;
        for (const AttributeStep &other : change.alongside) {
            if (systemAttributeName(other.name) == systemAttributeName(m_shownName))
                stored = other.after;
        }
        m_shownFingerprint = valueFingerprint(stored);
    }
    switch (change.kind) {
    case Change::Kind::Save:
        if (!change.beforeKnown)
            return QString();
        if (const std::optional<FileIdentity> identity = identityOf(change.file))
            m_history.record({ .file = change.file,
                .identity = *identity,
                .name = change.name,
                .label = change.label,
                .before = change.before,
                .after = change.target,
                .valueChange = change.valueChange,
                .alongside = change.alongside,
                .action = change.action });
        break;
    case Change::Kind::Undo:
        m_history.didUndo();
        break;
    case Change::Kind::Redo:
        m_history.didRedo();
        break;
    case Change::Kind::Nothing:
        break;
    }
    emit historyChanged();
    return QString();
}

// Every attribute of the step or none: each must still hold what it held when the step was prepared (a
// question may have been up meanwhile), and a write that fails puts back those made before it.
QString EditSession::applySeveral(const Change &change)
{
    QList<AttributeStep> writes { { change.name, change.before, change.target } };
    writes += change.alongside;
    for (const AttributeStep &write : std::as_const(writes)) {
        std::optional<QByteArray> now;
        if (const std::optional<PosixError> error = readAttributeState(change.file, write.name, &now))
            return errorPrefix(write.after) + error->description;
        if (now != write.before)
            return tr("“%1” was changed by another program meanwhile; nothing was changed.")
                .arg(change.label);
    }
    for (qsizetype i = 0; i < writes.size(); ++i) {
        if (const std::optional<PosixError> error
            = setAttributeState(change.file, writes[i].name, writes[i].after)) {
            for (qsizetype done = i - 1; done >= 0; --done)
                setAttributeState(change.file, writes[done].name, writes[done].before);
            return errorPrefix(writes[i].after) + error->description;
        }
    }
    return QString();
}

bool EditSession::touchesShown(const Change &change) const
{
    const QByteArray shown = systemAttributeName(m_shownName);
    return change.file == m_file
        && (systemAttributeName(change.name) == shown
            || std::any_of(change.alongside.cbegin(), change.alongside.cend(),
                [&](const AttributeStep &other) { return systemAttributeName(other.name) == shown; }));
}

QString EditSession::undoText() const
{
    const AttributeChange *step = m_history.nextUndo();
    if (!step)
        return QString();
    if (!step->action.isEmpty())
        return tr("Undo %1").arg(step->action);
    if (step->valueChange)
        return tr("Undo Change of “%1”").arg(step->label);
    return step->isRemoval() ? tr("Undo Removal of “%1”").arg(step->label)
                             : tr("Undo Save of “%1”").arg(step->label);
}

QString EditSession::redoText() const
{
    const AttributeChange *step = m_history.nextRedo();
    if (!step)
        return QString();
    if (!step->action.isEmpty())
        return tr("Redo %1").arg(step->action);
    if (step->valueChange)
        return tr("Redo Change of “%1”").arg(step->label);
    return step->isRemoval() ? tr("Redo Removal of “%1”").arg(step->label)
                             : tr("Redo Save of “%1”").arg(step->label);
}

} // namespace corvane
