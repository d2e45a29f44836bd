#include "attributes/DesktopBridge.h"

#include "attributes/AttributeNames.h"
#include "attributes/EditableValue.h"
#include "attributes/ExtendedAttributes.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <cmath>

namespace corvane {

namespace {

using namespace Qt::StringLiterals;

struct Text {
    Q_DECLARE_TR_FUNCTIONS(DesktopBridge)
};

struct Found {
    QByteArray name; // for the desktop side also when absent: where a copy writes
    const ValueNode *node = nullptr;
};

// What one pair is looking at: the Mac side's value, each desktop attribute's, and where a copy to
// the Mac side writes.
struct Sides {
    const BridgeValues &values;
    QByteArray macTarget;
    Found mac;
    QList<Found> desktop;
};

// A macOS value reaches Linux under several names; the one Corvane writes itself is read first, so
// that after a copy the side reads as what was copied. Then the bare name (on a Mac), Samba's
// stream form, the HFS+ form.
Found findMac(const BridgeValues &values, const QString &macName)
{
    static const int rankOfForm[] = { 1, 0, 2, 3 }; // Plain, User, SambaStream, HfsPlus
    Found best;
    int bestRank = 4;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const AttributeName name = recogniseAttributeName(it.key());
        const int rank = rankOfForm[int(name.form)];
        if ((name.macName == macName || name.name == macName) && rank < bestRank) {
            bestRank = rank;
            best = { it.key(), &it.value() };
        }
    }
    return best;
}

// The desktop programs write plain UTF-8; a property list or bytes there is not theirs to read.
QString desktopText(const Found &found, BridgeSide &side)
{
    if (!found.node || found.node->kind() == ValueKind::Text)
        return found.node ? found.node->string() : QString();
    if (side.problem.isEmpty())
        side.problem = found.node->kind() == ValueKind::Bytes
            ? Text::tr("holds bytes that are not UTF-8 text")
            : Text::tr("holds a property list, not plain text");
    return {};
}

void macProblem(BridgeSide &side, const ValueNode &node, const QString &expected, const QString &held = {})
{
    side.problem = Text::tr("holds %1, not %2").arg(held.isEmpty() ? kindLabel(node) : held, expected);
}

// A list of texts on the Mac side (tags, where from); nothing when it holds anything else.
QStringList macStrings(const Sides &sides, BridgeSide &side, const QString &expected)
{
    if (!sides.mac.node)
        return {};
    QStringList strings;
    const bool texts = std::all_of(sides.mac.node->children().cbegin(), sides.mac.node->children().cend(),
        [](const ValueNode &child) { return child.kind() == ValueKind::String; });
    if (sides.mac.node->kind() != ValueKind::Array || !texts) {
        macProblem(side, *sides.mac.node, expected);
        return {};
    }
    for (const ValueNode &child : sides.mac.node->children())
        strings.append(child.string());
    return strings;
}

BridgeWrite textWrite(const QByteArray &name, const QString &text)
{
    return { name, BridgeWrite::Form::PlainText, {}, text };
}

BridgeWrite plistWrite(const QByteArray &name, const plist::Value &value)
{
    return { name, BridgeWrite::Form::PropertyList, value, {} };
}

BridgeWrite listWrite(const QByteArray &name, const QStringList &strings)
{
    QList<plist::Value> elements;
    elements.reserve(strings.size());
    for (const QString &string : strings)
        elements.append(plist::Value::fromString(string));
    return plistWrite(name, plist::Value::fromArray(elements));
}

BridgeWrite removal(const QByteArray &name)
{
    return { name, BridgeWrite::Form::Remove, {}, {} };
}

BridgeState stateOf(const BridgePair &pair, bool macEmpty, bool desktopEmpty, bool same)
{
    if (!pair.mac.problem.isEmpty() || !pair.desktop.problem.isEmpty())
        return BridgeState::Unreadable;
    if (macEmpty || desktopEmpty) {
        return macEmpty ? (desktopEmpty ? BridgeState::Absent : BridgeState::OnlyDesktop)
                        : BridgeState::OnlyMac;
    }
    return same ? BridgeState::InStep : BridgeState::Different;
}

// Copies are worked out whatever the state; bridgePair() drops them for pairs in step.
void bridgeTags(BridgePair &pair, const Sides &sides)
{
    const QStringList entries = macStrings(sides, pair.mac, Text::tr("a list of tags"));
    QStringList macNames;
    QHash<QString, QString> macEntries; // name → the first entry holding it, colour and all
    QStringList kept; // entries that stay on the Mac side as they are
    for (const QString &entry : entries) {
        // What Finder would not read as a tag ("\n2", a colour 9) is no tag to copy, nor to lose.
        const std::optional<FinderTag> tag = parseFinderTag(entry);
        const QString name = tag ? tag->name.trimmed() : QString();
        if (name.isEmpty())
            kept.append(entry);
        else if (!macEntries.contains(name)) {
            macEntries.insert(name, entry);
            macNames.append(name);
        }
    }
    const QStringList desktopNames = desktopTagNames(desktopText(sides.desktop[0], pair.desktop));
    const QSet<QString> desktopSet(desktopNames.cbegin(), desktopNames.cend());

    // A desktop list has no escape for its separator, and a line break would read in Finder as the
    // start of a colour: such names stay where they are.
    QStringList carried;
    for (const QString &name : std::as_const(macNames)) {
        if (name.contains(u',')) {
            pair.notToDesktop.append(name);
            kept.append(macEntries.value(name));
        } else {
            carried.append(name);
            if (!desktopSet.contains(name))
                pair.onlyOnMac.append(name);
        }
    }
    QStringList macward;
    for (const QString &name : desktopNames) {
        if (const auto existing = macEntries.constFind(name); existing != macEntries.cend()) {
            macward.append(*existing);
        } else if (name.contains(u'\n')) {
            pair.notToMac.append(name);
        } else {
            macward.append(name);
            pair.onlyOnDesktop.append(name);
        }
    }
    macward += kept;
    pair.mac.text = macNames.join(u'\n');
    pair.desktop.text = desktopNames.join(u'\n');
    pair.state = stateOf(pair, macNames.isEmpty(), desktopNames.isEmpty(),
        pair.onlyOnMac.isEmpty() && pair.onlyOnDesktop.isEmpty());

    const QByteArray &desktopName = sides.desktop[0].name;
    if (pair.mac.problem.isEmpty() && !macNames.isEmpty()) {
        if (!carried.isEmpty())
            pair.toDesktop.append(textWrite(desktopName, plainTextList(carried).value_or(QString())));
        else if (sides.desktop[0].node)
            pair.toDesktop.append(removal(desktopName));
    }
    if (pair.desktop.problem.isEmpty() && !desktopNames.isEmpty()) {
        if (!macward.isEmpty())
            pair.toMac.append(listWrite(sides.macTarget, macward));
        else if (sides.values.contains(sides.macTarget))
            pair.toMac.append(removal(sides.macTarget));
    }
}

void bridgeComment(BridgePair &pair, const Sides &sides)
{
    const ValueNode *mac = sides.mac.node;
    if (mac && mac->kind() != ValueKind::String)
        macProblem(pair.mac, *mac, Text::tr("text"));
    pair.mac.text = mac && pair.mac.problem.isEmpty() ? mac->string() : QString();
    pair.desktop.text = desktopText(sides.desktop[0], pair.desktop);
    pair.state = stateOf(
        pair, pair.mac.text.isEmpty(), pair.desktop.text.isEmpty(), pair.mac.text == pair.desktop.text);
    if (pair.mac.problem.isEmpty() && !pair.mac.text.isEmpty())
        pair.toDesktop.append(textWrite(sides.desktop[0].name, pair.mac.text));
    if (pair.desktop.problem.isEmpty() && !pair.desktop.text.isEmpty())
        pair.toMac.append(plistWrite(sides.macTarget, plist::Value::fromString(pair.desktop.text)));
}

void bridgeWhereFrom(BridgePair &pair, const Sides &sides)
{
    const QStringList items = macStrings(sides, pair.mac, Text::tr("a list of addresses"));
    const QString origin = desktopText(sides.desktop[0], pair.desktop);
    const QString referrer = desktopText(sides.desktop[1], pair.desktop);
    const QStringList extras = items.mid(2);
    for (const QString &extra : extras) {
        if (!extra.isEmpty())
            pair.notToDesktop.append(extra);
    }
    const bool macEmpty
        = std::all_of(items.cbegin(), items.cend(), [](const QString &item) { return item.isEmpty(); });
    pair.mac.text = items.join(u'\n');
    pair.desktop.text = QStringList { origin, referrer }.join(u'\n').trimmed();
    pair.state = stateOf(pair, macEmpty, origin.isEmpty() && referrer.isEmpty(),
        items.value(0) == origin && items.value(1) == referrer);

    if (pair.mac.problem.isEmpty() && !macEmpty) {
        for (qsizetype i = 0; i < 2; ++i) {
            const QString current = i == 0 ? origin : referrer;
            if (items.value(i).isEmpty() && sides.desktop[i].node)
                pair.toDesktop.append(removal(sides.desktop[i].name));
            else if (!items.value(i).isEmpty() && items.value(i) != current)
                pair.toDesktop.append(textWrite(sides.desktop[i].name, items.value(i)));
        }
    }
    if (pair.desktop.problem.isEmpty() && (!origin.isEmpty() || !referrer.isEmpty())) {
        // Positions carry the meaning: the second item is the page even when the first is unknown,
        // and addresses past the second, which the desktop has no place for, stay.
        QStringList macward { origin };
        if (!referrer.isEmpty() || !extras.isEmpty())
            macward.append(referrer);
        pair.toMac.append(listWrite(sides.macTarget, macward + extras));
    }
}

// Finder's 0 to 5 stars; 0 when absent, -1 when not a rating.
int macRating(const Sides &sides, BridgeSide &side)
{
    if (!sides.mac.node)
        return 0;
    const ValueNode &node = *sides.mac.node;
    if (node.kind() == ValueKind::Integer && node.integerHigh() == 0 && node.integerLow() <= 5)
        return int(node.integerLow());
    if (node.kind() == ValueKind::Real && node.real() >= 0 && node.real() <= 5
        && std::floor(node.real()) == node.real())
        return int(node.real());
    const bool number = node.kind() == ValueKind::Integer || node.kind() == ValueKind::Real;
    macProblem(side, node, Text::tr("a rating from 0 to 5"), number ? scalarText(node) : QString());
    return -1;
}

// KDE's 0 to 10 half stars, read as KDE reads them (surrounding whitespace ignored); -1 when not one.
int desktopRating(const Sides &sides, BridgeSide &side)
{
    const QString value = desktopText(sides.desktop[0], side);
    const QString trimmed = value.trimmed();
    const bool digits = trimmed.size() <= 2
        && std::all_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!side.problem.isEmpty())
        return -1;
    if (!digits || trimmed.toInt() > 10) {
        side.problem = Text::tr("holds “%1”, not a rating from 0 to 10").arg(value.left(40));
        return -1;
    }
    return trimmed.toInt();
}

void bridgeRating(BridgePair &pair, const Sides &sides)
{
    const int stars = macRating(sides, pair.mac);
    const int halves = desktopRating(sides, pair.desktop);
    if (stars > 0)
        pair.mac.text = Text::tr("%1 of 5").arg(stars);
    if (halves > 0)
        pair.desktop.text = Text::tr("%1 of 10").arg(halves);
    // Finder has whole stars only, so 7 and 3 say the same as far as it can tell.
    pair.state = stateOf(pair, stars <= 0, halves <= 0, halves / 2 == stars);
    if (pair.mac.problem.isEmpty() && stars > 0)
        pair.toDesktop.append(textWrite(sides.desktop[0].name, QString::number(2 * stars)));
    if (halves > 1)
        pair.toMac.append(plistWrite(sides.macTarget, plist::Value::fromInteger(halves / 2)));
    // Rounded down, half a star is no rating at all.
    if (halves == 1) {
        pair.notToMac.append(Text::tr("half a star"));
        if (stars != 0 && sides.values.contains(sides.macTarget))
            pair.toMac.append(removal(sides.macTarget));
    }
}

struct PairInfo {
    const char *label;
    QString macName;
    QList<QByteArray> desktopNames;
    void (*bridge)(BridgePair &, const Sides &);
};

const PairInfo &pairInfo(BridgePairKind kind)
{
    static const PairInfo table[] = {
        { QT_TRANSLATE_NOOP("DesktopBridge", "Tags"), u"com.apple.metadata:_kMDItemUserTags"_s,
            { "user.xdg.tags" }, bridgeTags },
        { QT_TRANSLATE_NOOP("DesktopBridge", "Comment"), u"com.apple.metadata:kMDItemFinderComment"_s,
            { "user.xdg.comment" }, bridgeComment },
        { QT_TRANSLATE_NOOP("DesktopBridge", "Where from"), u"com.apple.metadata:kMDItemWhereFroms"_s,
            { "user.xdg.origin.url", "user.xdg.referrer.url" }, bridgeWhereFrom },
        { QT_TRANSLATE_NOOP("DesktopBridge", "Rating"), u"com.apple.metadata:kMDItemStarRating"_s,
            { "user.baloo.rating" }, bridgeRating },
    };
    return table[int(kind)];
}

QString summary(const BridgePair &pair)
{
    if (!pair.mac.problem.isEmpty())
        return Text::tr("%1 in Finder cannot be read: it %2").arg(pair.label, pair.mac.problem);
    if (!pair.desktop.problem.isEmpty())
        return Text::tr("%1 on the desktop cannot be read: it %2").arg(pair.label, pair.desktop.problem);
    QStringList parts;
    const auto count = [&](const QStringList &names, const char *text) {
        if (!names.isEmpty())
            parts.append(Text::tr(text, nullptr, int(names.size())));
    };
    if (pair.kind == BridgePairKind::Tags) {
        count(pair.onlyOnMac, QT_TRANSLATE_N_NOOP("DesktopBridge", "%n only in Finder"));
        count(pair.onlyOnDesktop, QT_TRANSLATE_N_NOOP("DesktopBridge", "%n only on the desktop"));
        count(pair.notToDesktop,
            QT_TRANSLATE_N_NOOP("DesktopBridge", "%n with a comma cannot go to the desktop"));
        count(
            pair.notToMac, QT_TRANSLATE_N_NOOP("DesktopBridge", "%n with a line break cannot go to Finder"));
    }
    static const char *const heads[] = {
        QT_TRANSLATE_NOOP("DesktopBridge", "%1: none"),
        QT_TRANSLATE_NOOP("DesktopBridge", "%1: in step"),
        QT_TRANSLATE_NOOP("DesktopBridge", "%1: only in Finder"),
        QT_TRANSLATE_NOOP("DesktopBridge", "%1: only on the desktop"),
        QT_TRANSLATE_NOOP("DesktopBridge", "%1 differs"),
    };
    QString line = parts.isEmpty() ? Text::tr(heads[int(pair.state)]).arg(pair.label)
                                   : Text::tr("%1: %2").arg(pair.label, parts.takeFirst());
    if (pair.kind == BridgePairKind::WhereFrom && !pair.notToDesktop.isEmpty())
        parts.append(Text::tr("only the first two addresses can go to the desktop"));
    if (pair.kind == BridgePairKind::Rating && !pair.notToMac.isEmpty())
        parts.append(Text::tr("half a star cannot go to Finder"));
    for (const QString &part : std::as_const(parts))
        line = Text::tr("%1, %2").arg(line, part);
    return line;
}

} // namespace

QStringList desktopTagNames(const QString &text)
{
    QStringList names;
    QSet<QString> seen;
    for (QStringView part : QStringView(text).split(u',', Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().toString();
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names.append(name);
        }
    }
    return names;
}

QString bridgeMacName(BridgePairKind kind)
{
    return pairInfo(kind).macName;
}

QList<QByteArray> bridgeDesktopNames(BridgePairKind kind)
{
    return pairInfo(kind).desktopNames;
}

BridgeValues bridgeValues(const QList<AttributeDescription> &attributes)
{
    BridgeValues values;
    for (const AttributeDescription &attribute : attributes)
        values.insert(attribute.name.systemName, attribute.value);
    return values;
}

BridgePair bridgePair(BridgePairKind kind, const BridgeValues &values)
{
    const PairInfo &info = pairInfo(kind);
    BridgePair pair;
    pair.kind = kind;
    pair.label = Text::tr(info.label);
    Sides sides { values, systemAttributeName(info.macName), findMac(values, info.macName), {} };
    if (sides.mac.node) {
        pair.mac.names.append(sides.mac.name);
        pair.mac.holdsValue = true;
    }
    for (const QByteArray &name : info.desktopNames) {
        const auto it = values.constFind(name);
        sides.desktop.append({ name, it == values.cend() ? nullptr : &it.value() });
        if (it != values.cend()) {
            pair.desktop.names.append(name);
            pair.desktop.holdsValue = true;
        }
    }
    info.bridge(pair, sides);
    // Sides in step say the same as far as each can; a copy would only change a form the other
    // side's programs wrote (a colour, spacing, half a star).
    if (pair.state == BridgeState::InStep) {
        pair.toDesktop.clear();
        pair.toMac.clear();
    }
    pair.summary = summary(pair);
    return pair;
}

QList<BridgePair> bridgePairs(const BridgeValues &values)
{
    QList<BridgePair> pairs;
    for (int kind = 0; kind < 4; ++kind)
        pairs.append(bridgePair(BridgePairKind(kind), values));
    return pairs;
}

} // namespace corvane
