#include "cli/ValueEdits.h"

#include "attributes/AttributeCodec.h"
#include "attributes/DesktopBridge.h"
#include "attributes/EditableValue.h"
#include "cli/ToolStreams.h"
#include "plist/PlistReader.h"

#include <QTimeZone>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

QStringList lines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QStringList items = text.split(u'\n');
    for (QString &item : items) {
        if (item.endsWith(u'\r'))
            item.chop(1);
    }
    return items;
}

EditKind editKindOf(const SetValue &value)
{
    switch (value.kind) {
    case SetKind::List:
        return EditKind::TextList;
    case SetKind::Tags:
        return EditKind::Tags;
    case SetKind::Date:
        return value.dates.size() == 1 ? EditKind::Date : EditKind::DateList;
    default:
        return EditKind::Text;
    }
}

ValueEdit encoded(const EditableValue &value)
{
    ValueEdit edit;
    edit.after = encodeEditableValue(value, &edit.problem);
    return edit;
}

// The value as found, when the editor could change it, else a new one of the kind in the form macOS
// or the desktop writes under the name, keeping a file server's trailing NUL.
EditableValue startingValue(
    const QByteArray &systemName, const std::optional<QByteArray> &current, EditKind kind)
{
    if (current) {
        EditableValue found = decodeEditableValue(recogniseAttributeName(systemName), *current);
        if (found.kind != EditKind::None) {
            found.kind = kind;
            return found;
        }
    }
    EditableValue value = newEditableValue(systemName, kind);
    value.trailingNul = current && editorSaveForm(systemName, *current).trailingNul;
    return value;
}

QList<FinderTag> withTags(const QList<FinderTag> &found, const QStringList &names)
{
    QList<FinderTag> tags;
    for (const QString &name : names) {
        const auto kept = std::find_if(
            found.cbegin(), found.cend(), [&](const FinderTag &tag) { return tag.name == name; });
        tags.append(kept != found.cend() ? *kept : FinderTag { name, TagColour::None });
    }
    return tags;
}

QStringList edited(QStringList names, TagOperation operation, const QStringList &tags)
{
    switch (operation) {
    case TagOperation::Add:
        for (const QString &tag : tags) {
            if (!names.contains(tag))
                names.append(tag);
        }
        return names;
    case TagOperation::Remove:
        for (const QString &tag : tags)
            names.removeAll(tag);
        return names;
    case TagOperation::Set:
        return tags;
    }
    return names;
}

// Either side of the tags: the names the value holds as `kind` (a new value when there is none),
// changed by the operation and stored back into the value, which keeps its form; a list left empty
// removes the attribute, and an unchanged one leaves it as it is.
template <typename Names, typename Store>
ValueEdit editedTags(const QByteArray &systemName, const std::optional<QByteArray> &current, EditKind kind,
    const QString &refusal, TagOperation operation, const QStringList &tags, Names names, Store store)
{
    EditableValue value = newEditableValue(systemName, kind);
    if (current) {
        value = decodeEditableValue(recogniseAttributeName(systemName), *current);
        if (value.kind != kind)
            return { current, refusal };
    }
    const QStringList before = names(value);
    const QStringList after = edited(before, operation, tags);
    if (after == before)
        return { current, {} };
    if (after.isEmpty())
        return {};
    store(value, after);
    return encoded(value);
}

QByteArrayView withoutTrailingNul(const QByteArray &bytes)
{
    return bytes.endsWith('\0') ? QByteArrayView(bytes).chopped(1) : QByteArrayView(bytes);
}

} // namespace

std::optional<SetValue> parseSetValue(SetKind kind, const QString &text, QString *problem)
{
    SetValue value;
    value.kind = kind;
    switch (kind) {
    case SetKind::Editor:
    case SetKind::Text:
    case SetKind::Plain:
        value.text = text;
        return value;
    case SetKind::List:
        value.items = lines(text);
        return value;
    case SetKind::Tags:
        for (const QString &line : lines(text)) {
            const QString name = line.trimmed();
            if (name.isEmpty())
                continue;
            if (!parseFinderTag(name) || name.contains(u'\t')) {
                *problem = Cli::tr("“%1” is no tag name").arg(name);
                return std::nullopt;
            }
            if (!value.items.contains(name))
                value.items.append(name);
        }
        return value;
    case SetKind::Date:
        for (const QString &line : lines(text)) {
            const QDateTime date = QDateTime::fromString(line.trimmed(), Qt::ISODateWithMs);
            if (!date.isValid()) {
                *problem
                    = Cli::tr("“%1” is no date; dates are ISO 8601, such as 2026-12-06T09:30:00Z").arg(line);
                return std::nullopt;
            }
            value.dates.append(date.toUTC());
        }
        if (value.dates.isEmpty()) {
            *problem = Cli::tr("no date given");
            return std::nullopt;
        }
        return value;
    }
    return std::nullopt;
}

ValueEdit setValue(
    const QByteArray &systemName, const std::optional<QByteArray> &current, const SetValue &value)
{
    if (value.kind == SetKind::Editor) {
        ValueEdit edit;
        if (value.text.isEmpty())
            return edit; // as Save, which removes the attribute for an empty text
        const StoredForm form = editorSaveForm(systemName, current.value_or(QByteArray()));
        if (form.form == ValueForm::PlainText) {
            edit.problem = unstorableCharacter(value.text, TextForm::PlainText);
            edit.after = value.text.toUtf8();
        } else {
            edit.after = encodeAttributeString(value.text, &edit.problem);
        }
        if (!edit.problem.isEmpty())
            edit.after.reset();
        else if (form.trailingNul)
            edit.after->append('\0');
        return edit;
    }
    EditableValue edited = startingValue(systemName, current, editKindOf(value));
    switch (value.kind) {
    case SetKind::Text:
        if (edited.form == ValueForm::PlainText)
            edited.form = ValueForm::BinaryPropertyList;
        edited.text = value.text;
        break;
    case SetKind::Plain:
        edited.form = ValueForm::PlainText;
        edited.text = value.text;
        break;
    case SetKind::List:
        edited.texts = value.items;
        break;
    case SetKind::Tags:
        edited.tags = withTags(edited.tags, value.items);
        break;
    case SetKind::Date:
        edited.dates = value.dates;
        break;
    case SetKind::Editor:
        break;
    }
    return encoded(edited);
}

ValueEdit editFinderTags(const QByteArray &systemName, const std::optional<QByteArray> &current,
    TagOperation operation, const QStringList &tags)
{
    return editedTags(
        systemName, current, EditKind::Tags,
        Cli::tr("the Finder's tags hold a value that is no list of tags; left as it is"), operation, tags,
        [](const EditableValue &value) {
            QStringList names;
            for (const FinderTag &tag : value.tags)
                names.append(tag.name);
            return names;
        },
        [](EditableValue &value, const QStringList &names) { value.tags = withTags(value.tags, names); });
}

ValueEdit editDesktopTags(const QByteArray &systemName, const std::optional<QByteArray> &current,
    TagOperation operation, const QStringList &tags)
{
    return editedTags(
        systemName, current, EditKind::Text,
        Cli::tr("the desktop's tags hold a value that is no text; left as it is"), operation, tags,
        [](const EditableValue &value) { return desktopTagNames(value.text); },
        [](EditableValue &value, const QStringList &names) {
            value.text = plainTextList(names).value_or(names.join(u','));
        });
}

QStringList finderTagNames(const QByteArray &bytes)
{
    // Leniently: a list holding one odd item still carries the tags beside it.
    const std::optional<plist::Value> root = plist::parse(bytes);
    QStringList names;
    if (!root || !root->isArray())
        return names;
    for (const plist::Value &item : root->elements()) {
        if (const std::optional<FinderTag> tag = parseFinderTag(item.toString()))
            names.append(tag->name);
    }
    return names;
}

QStringList desktopTagNamesOf(const QByteArray &bytes)
{
    const std::optional<QString> text = readableText(withoutTrailingNul(bytes));
    return text ? desktopTagNames(*text) : QStringList();
}

} // namespace corvane
