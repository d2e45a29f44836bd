#include "attributes/EditableValue.h"

#include "attributes/AttributeCodec.h"
#include "plist/PlistReader.h"
#include "plist/PlistWriter.h"

#include <QCoreApplication>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {
struct Text {
    Q_DECLARE_TR_FUNCTIONS(EditableValue)
};
} // namespace

namespace {

using namespace Qt::StringLiterals;
using plist::Value;

// Milliseconds from 1970-01-01 to 2001-01-01, the two epochs in play.
constexpr qint64 unixTo2001Ms = 978307200000;

// What stored bytes hold, decided as the attributes panel decides it: exactly one trailing NUL is a file
// server's terminator; a binary or XML property list comes first, then readable text (which an
// old-style property list would also read), and nothing else is editable.
struct Found {
    std::optional<Value> plist;
    plist::Format format = plist::Format::Binary;
    std::optional<QString> text;
    bool trailingNul = false;
};

Found inspect(QByteArrayView stored)
{
    Found found;
    QByteArrayView content = stored;
    if (stored.endsWith('\0') && !stored.chopped(1).endsWith('\0')) {
        content.chop(1);
        found.trailingNul = true;
    }
    found.plist = plist::parse(content, nullptr, &found.format);
    if (!found.plist && found.trailingNul) {
        // A NUL that belongs to what it ends is no terminator.
        found.plist = plist::parse(stored, nullptr, &found.format);
        found.trailingNul = false;
    }
    if (found.plist && found.format == plist::Format::OpenStep)
        found.plist.reset();
    if (!found.plist) {
        found.trailingNul = content.size() < stored.size();
        found.text = readableText(content);
    }
    return found;
}

bool hasLineBreak(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    });
}

std::optional<QDateTime> dateTimeFrom(double secondsSince2001)
{
    // Some 300,000 years either way; beyond that (or NaN) there is no date a user could pick.
    if (!(std::abs(secondsSince2001) < 1e13))
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(
        unixTo2001Ms + qint64(std::llround(secondsSince2001 * 1000)), QTimeZone::utc());
}

// The canonical text of a tag, the key its stored text is kept under.
QString tagKey(const FinderTag &tag)
{
    return tag.name + u'\n' + QString::number(int(tag.colour));
}

// Fills the kind's field from a property list; false when the editor has no field for it, or when the
// list would come to more than `budget` characters (a binary list may name one long string thousands of
// times, and the editor shows every item).
bool fromPlist(const Value &root, bool tagsName, qsizetype budget, EditableValue &value,
    QHash<qint64, double> &seconds, QHash<QString, QString> &tagTexts)
{
    const auto addDate = [&](const Value &date) {
        const std::optional<QDateTime> time = dateTimeFrom(date.toDateSeconds());
        if (!time)
            return false;
        value.dates.append(*time);
        seconds.insert(time->toMSecsSinceEpoch(), date.toDateSeconds());
        return true;
    };
    bool ok = false;
    switch (root.type()) {
    case Value::Type::String:
        value.kind = EditKind::Text;
        value.text = root.toString();
        return true;
    case Value::Type::Integer:
        value.kind = EditKind::Integer;
        value.integer = root.toInteger(&ok);
        return ok;
    case Value::Type::Real:
        value.kind = EditKind::Real;
        value.real = root.toReal();
        return true;
    case Value::Type::Boolean:
        value.kind = EditKind::Boolean;
        value.boolean = root.toBool();
        return true;
    case Value::Type::Date:
        value.kind = EditKind::Date;
        return addDate(root);
    case Value::Type::Array:
        break;
    default:
        return false;
    }

    const QList<Value> &items = root.elements();
    if (!items.isEmpty() && items.first().type() == Value::Type::Date) {
        value.kind = EditKind::DateList;
        return std::all_of(items.begin(), items.end(),
            [&](const Value &item) { return item.type() == Value::Type::Date && addDate(item); });
    }
    value.kind = tagsName ? EditKind::Tags : EditKind::TextList;
    for (const Value &item : items) {
        budget -= 16 + item.toString().size();
        if (!item.isString() || budget < 0)
            return false;
        if (tagsName) {
            const std::optional<FinderTag> tag = parseFinderTag(item.toString());
            if (!tag)
                return false;
            value.tags.append(*tag);
            if (item.toString() != finderTagText(*tag))
                tagTexts.insert(tagKey(*tag), item.toString());
        } else {
            if (hasLineBreak(item.toString()))
                return false;
            value.texts.append(item.toString());
        }
    }
    return true;
}

QString isoDate(const QDateTime &date)
{
    return date.toUTC().toString(date.time().msec() ? Qt::ISODateWithMs : Qt::ISODate);
}

// Plain text as the desktop writes it; a list comma-separated, as KDE writes user.xdg.tags.
std::optional<QString> plainText(const EditableValue &value, QString *problem)
{
    const auto joined = [&](const QStringList &items) { return plainTextList(items, problem); };
    QStringList items;
    switch (value.kind) {
    case EditKind::Text:
        return value.text;
    case EditKind::TextList:
        return joined(value.texts);
    case EditKind::Tags:
        for (const FinderTag &tag : value.tags) {
            if (tag.colour != TagColour::None) {
                *problem = Text::tr("The tag “%1” has a colour, which tags stored as plain text cannot keep.")
                               .arg(tag.name);
                return std::nullopt;
            }
            items.append(tag.name);
        }
        return joined(items);
    case EditKind::Date:
    case EditKind::DateList:
        for (const QDateTime &date : value.dates)
            items.append(isoDate(date));
        return items.join(u',');
    case EditKind::Integer:
        return QString::number(value.integer);
    case EditKind::Real:
        return QString::number(value.real, 'g', QLocale::FloatingPointShortest);
    case EditKind::Boolean:
        return value.boolean ? u"true"_s : u"false"_s;
    case EditKind::None:
        break;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> plainTextList(const QStringList &items, QString *problem)
{
    for (const QString &item : items) {
        if (item.contains(u',') || hasLineBreak(item)) {
            if (problem)
                *problem
                    = Text::tr("The item “%1” contains a comma or a line break, which separate the items of "
                               "a list stored as plain text.")
                          .arg(item);
            return std::nullopt;
        }
    }
    return items.join(u',');
}

std::optional<FinderTag> parseFinderTag(const QString &item)
{
    const qsizetype lineBreak = item.indexOf(u'\n');
    const QString name = lineBreak < 0 ? item : item.first(lineBreak);
    if (name.isEmpty() || hasLineBreak(name))
        return std::nullopt;
    if (lineBreak < 0)
        return FinderTag { name, TagColour::None };
    const QStringView colour = QStringView(item).sliced(lineBreak + 1);
    if (colour.size() != 1 || colour[0] < u'0' || colour[0] > u'7')
        return std::nullopt;
    return FinderTag { name, TagColour(colour[0].unicode() - u'0') };
}

QString finderTagText(const FinderTag &tag)
{
    return tag.colour == TagColour::None ? tag.name : tagKey(tag);
}

bool EditableValue::operator==(const EditableValue &other) const
{
    if (kind != other.kind || form != other.form || trailingNul != other.trailingNul)
        return false;
    switch (kind) {
    case EditKind::None:
        return true;
    case EditKind::Text:
        return text == other.text;
    case EditKind::TextList:
        return texts == other.texts;
    case EditKind::Tags:
        return tags == other.tags;
    case EditKind::Date:
    case EditKind::DateList:
        return dates == other.dates;
    case EditKind::Integer:
        return integer == other.integer;
    case EditKind::Real:
        return real == other.real || (std::isnan(real) && std::isnan(other.real));
    case EditKind::Boolean:
        return boolean == other.boolean;
    }
    return false;
}

EditableValue decodeEditableValue(const AttributeName &name, QByteArrayView stored)
{
    EditableValue value;
    if (!name.editorCanWrite || name.macName == u"com.apple.quarantine"_s
        || name.macName == u"com.apple.lastuseddate#PS"_s)
        return value;
    const Found found = inspect(stored);
    value.trailingNul = found.trailingNul;
    if (found.text) {
        value.kind = EditKind::Text;
        value.form = ValueForm::PlainText;
        value.text = *found.text;
        return value;
    }
    if (!found.plist)
        return value;
    value.form
        = found.format == plist::Format::Xml ? ValueForm::XmlPropertyList : ValueForm::BinaryPropertyList;
    const bool tagsName = name.macName == u"com.apple.metadata:_kMDItemUserTags"_s;
    const qsizetype budget = std::max<qsizetype>(1 << 20, 16 * stored.size());
    if (!fromPlist(*found.plist, tagsName, budget, value, value.m_storedSeconds, value.m_storedTagTexts))
        return EditableValue();
    return value;
}

std::optional<QByteArray> encodeEditableValue(const EditableValue &value, QString *errorDescription)
{
    QString problem;
    const auto failed = [&](const QString &reason) -> std::optional<QByteArray> {
        if (errorDescription)
            *errorDescription = reason;
        return std::nullopt;
    };
    if (value.kind == EditKind::None)
        return failed(Text::tr("This value cannot be changed in Corvane."));
    if (value.kind == EditKind::Date && value.dates.size() != 1)
        return failed(Text::tr("A date value holds exactly one date."));

    QByteArray bytes;
    if (value.form == ValueForm::PlainText) {
        const std::optional<QString> text = plainText(value, &problem);
        if (!text)
            return failed(problem);
        problem = unstorableCharacter(*text, TextForm::PlainText);
        if (!problem.isEmpty())
            return failed(problem);
        bytes = text->toUtf8();
    } else {
        const auto date = [&](const QDateTime &time) {
            const qint64 ms = time.toMSecsSinceEpoch();
            return Value::fromDate(value.m_storedSeconds.value(ms, double(ms - unixTo2001Ms) / 1000));
        };
        QList<Value> items;
        Value root;
        switch (value.kind) {
        case EditKind::Text:
            root = Value::fromString(value.text);
            break;
        case EditKind::TextList:
            for (const QString &text : value.texts)
                items.append(Value::fromString(text));
            root = Value::fromArray(items);
            break;
        case EditKind::Tags:
            for (const FinderTag &tag : value.tags)
                items.append(
                    Value::fromString(value.m_storedTagTexts.value(tagKey(tag), finderTagText(tag))));
            root = Value::fromArray(items);
            break;
        case EditKind::Date:
            root = date(value.dates.first());
            break;
        case EditKind::DateList:
            for (const QDateTime &time : value.dates)
                items.append(date(time));
            root = Value::fromArray(items);
            break;
        case EditKind::Integer:
            root = Value::fromInteger(value.integer);
            break;
        case EditKind::Real:
            root = Value::fromReal(value.real);
            break;
        case EditKind::Boolean:
            root = Value::fromBool(value.boolean);
            break;
        case EditKind::None:
            break;
        }
        if (value.form == ValueForm::BinaryPropertyList) {
            bytes = plist::writeBinary(root);
        } else if (const std::optional<QByteArray> xml = plist::writeXml(root, &problem)) {
            bytes = *xml;
        } else {
            return failed(Text::tr("The value cannot be stored as an XML property list: %1.").arg(problem));
        }
    }
    if (value.trailingNul)
        bytes.append('\0');
    return bytes;
}

bool isDesktopTextName(QByteArrayView systemName)
{
    return systemName.startsWith("user.xdg.") || systemName.startsWith("user.baloo.");
}

EditableValue newEditableValue(QByteArrayView systemName, EditKind kind)
{
    EditableValue value;
    value.kind = kind;
    value.form = isDesktopTextName(systemName) ? ValueForm::PlainText : ValueForm::BinaryPropertyList;
    return value;
}

StoredForm editorSaveForm(QByteArrayView systemName, QByteArrayView stored)
{
    const Found found = inspect(stored);
    StoredForm form;
    form.trailingNul = found.trailingNul && (found.plist || found.text);
    // Zero bytes (or a NUL alone) say nothing of a form.
    const bool plainFound = found.text && !found.text->isEmpty();
    if (plainFound || isDesktopTextName(systemName))
        form.form = ValueForm::PlainText;
    return form;
}

} // namespace corvane
