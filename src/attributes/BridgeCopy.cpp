#include "attributes/BridgeCopy.h"

#include "attributes/AttributeDescription.h"
#include "plist/PlistWriter.h"

#include <QCoreApplication>
#include <QHash>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

struct Text {
    Q_DECLARE_TR_FUNCTIONS(BridgeCopy)
};

const QByteArray desktopTagsName = "user.xdg.tags";

bool isBridgeName(const AttributeName &name)
{
    for (int kind = 0; kind < 4; ++kind) {
        const QString macName = bridgeMacName(BridgePairKind(kind));
        if (name.macName == macName || name.name == macName
            || bridgeDesktopNames(BridgePairKind(kind)).contains(name.systemName))
            return true;
    }
    return false;
}

// A side's value on one line, as a message quotes it.
QString quoted(const BridgeSide &side)
{
    if (!side.problem.isEmpty())
        return Text::tr("a value that cannot be read (it %1)").arg(side.problem);
    QString text = QString(side.text).replace(u'\n', u", "_s);
    if (text.size() > 200)
        text = text.left(200) + u'…';
    return u"“%1”"_s.arg(text);
}

} // namespace

BridgeFile readBridgeFile(const QByteArray &path, LinkMode links)
{
    BridgeFile file;
    PosixError error;
    const std::optional<QList<QByteArray>> names = listAttributeNames(path, &error, links);
    if (!names) {
        file.error = error;
        return file;
    }
    ExpansionBudget budget;
    for (const QByteArray &systemName : *names) {
        if (!isBridgeName(recogniseAttributeName(systemName)))
            continue;
        std::optional<AttributeDescription> attribute = readAttribute(path, systemName, budget, links);
        if (attribute && attribute->error) {
            file.error = attribute->error;
            file.failedName = systemName;
            return file;
        }
        if (attribute)
            file.values.insert(systemName, std::move(attribute->value));
    }
    return file;
}

QList<AttributeStep> bridgeCopyWrites(const BridgePair &pair, BridgeDirection direction)
{
    QList<AttributeStep> writes;
    for (const BridgeWrite &write : direction == BridgeDirection::ToDesktop ? pair.toDesktop : pair.toMac) {
        AttributeStep step { QString::fromUtf8(write.name), std::nullopt, std::nullopt };
        if (write.form == BridgeWrite::Form::PropertyList)
            step.after = plist::writeBinary(write.value);
        else if (write.form == BridgeWrite::Form::PlainText)
            step.after = write.text.toUtf8();
        writes.append(step);
    }
    return writes;
}

bool bridgeCopyReplaces(const BridgePair &pair, BridgeDirection direction)
{
    const bool toDesktop = direction == BridgeDirection::ToDesktop;
    const BridgeSide &target = toDesktop ? pair.desktop : pair.mac;
    if (!target.holdsValue)
        return false;
    // Tags the target holds already are copied back onto it: only its own are lost.
    if (pair.kind == BridgePairKind::Tags && target.problem.isEmpty())
        return !(toDesktop ? pair.onlyOnDesktop : pair.onlyOnMac).isEmpty();
    return true;
}

EditQuestion bridgeCopyQuestion(const BridgePair &pair, BridgeDirection direction)
{
    const bool toDesktop = direction == BridgeDirection::ToDesktop;
    EditQuestion question;
    question.confirm = EditQuestion::Confirm::Replace;
    question.messageText = toDesktop ? Text::tr("Replace %1 on the desktop with Finder's?").arg(pair.label)
                                     : Text::tr("Replace %1 in Finder with the desktop's?").arg(pair.label);
    question.informativeText
        = Text::tr("On the desktop: %1\nIn Finder: %2\n\n%3 Edit > Undo puts it back.")
              .arg(quoted(pair.desktop), quoted(pair.mac),
                  toDesktop ? Text::tr("The desktop's value is replaced.")
                            : Text::tr("Finder's value is replaced, colours of tags it keeps included."));
    return question;
}

QString bridgeCopyAction(const BridgePair &pair, BridgeDirection direction)
{
    return direction == BridgeDirection::ToDesktop ? Text::tr("Copy of “%1” to the Desktop").arg(pair.label)
                                                   : Text::tr("Copy of “%1” to Finder").arg(pair.label);
}

QString bridgeCopyLine(const BridgePair &pair, BridgeDirection direction)
{
    const bool toDesktop = direction == BridgeDirection::ToDesktop;
    const QStringList left = toDesktop ? pair.notToDesktop : pair.notToMac;
    QStringList items;
    for (const QString &item : (toDesktop ? pair.mac.text : pair.desktop.text).split(u'\n')) {
        if (!left.contains(item))
            items.append(u"“%1”"_s.arg(item));
    }
    QString line = toDesktop ? Text::tr("%1 to the desktop: %2").arg(pair.label, items.join(u", "_s))
                             : Text::tr("%1 to Finder: %2").arg(pair.label, items.join(u", "_s));
    if (!left.isEmpty())
        line += Text::tr(" (left out: %1)").arg(left.join(u", "_s));
    return line;
}

std::optional<DesktopTagsWrite> desktopTagsInStep(
    const QStringList &before, const QStringList &after, const std::optional<QByteArray> &desktop)
{
    EditableValue value = newEditableValue(desktopTagsName, EditKind::Text);
    if (desktop) {
        value = decodeEditableValue(recogniseAttributeName(desktopTagsName), *desktop);
        if (value.kind != EditKind::Text || value.form != ValueForm::PlainText)
            return std::nullopt;
    }
    const QStringList names = desktopTagNames(value.text);
    // A row whose name changed in place is a rename: the desktop's tag changes where it stands.
    QHash<QString, QString> renamed;
    for (qsizetype i = 0; i < qMin(before.size(), after.size()); ++i) {
        if (!after.contains(before[i]) && !before.contains(after[i]))
            renamed.insert(before[i], after[i]);
    }
    QStringList result;
    const auto add = [&](const QString &name) {
        if (!name.contains(u',') && !result.contains(name))
            result.append(name);
    };
    for (const QString &name : names) {
        if (renamed.contains(name))
            add(renamed.value(name));
        else if (!before.contains(name) || after.contains(name))
            add(name);
    }
    for (const QString &name : after) {
        if (names.isEmpty() || !before.contains(name))
            add(name);
    }
    if (result == names)
        return std::nullopt;
    if (result.isEmpty())
        return DesktopTagsWrite { std::nullopt };
    value.text = plainTextList(result).value_or(QString());
    const std::optional<QByteArray> bytes = encodeEditableValue(value);
    return bytes ? std::optional(DesktopTagsWrite { bytes }) : std::nullopt;
}

void keepDesktopTagsInStep(const EditSession &session, EditSession::Change &change,
    const std::optional<QByteArray> &shown, const EditableValue &edited)
{
    const AttributeName name = recogniseAttributeName(systemAttributeName(change.name));
    if (change.kind != EditSession::Change::Kind::Save || !change.error.isEmpty()
        || edited.kind != EditKind::Tags || name.macName != bridgeMacName(BridgePairKind::Tags))
        return;
    const auto namesOf = [](const QList<FinderTag> &tags) {
        QStringList names;
        for (const FinderTag &tag : tags)
            names.append(tag.name);
        return names;
    };
    const EditableValue before = shown ? decodeEditableValue(name, *shown) : EditableValue();
    std::optional<QByteArray> desktop;
    if (readAttributeState(change.file, QString::fromUtf8(desktopTagsName), &desktop))
        return; // cannot be read: left as it is
    if (const std::optional<DesktopTagsWrite> write
        = desktopTagsInStep(namesOf(before.tags), namesOf(edited.tags), desktop))
        session.alsoChange(change, QString::fromUtf8(desktopTagsName), write->after);
}

} // namespace corvane
