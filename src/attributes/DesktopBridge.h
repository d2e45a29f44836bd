#pragma once

// The desktop bridge: a file that travels between a Mac and Linux carries its tags, comment, download
// origin and rating twice, once in the attributes Finder and Spotlight keep (property lists under
// "com.apple.metadata:…") and once in the plain-text attributes the Linux desktops keep (KDE's
// KFileMetaData and Baloo, the freedesktop.org common names). This is the mapping between the two,
// worked on decoded values and free of files: bridgePairs() looks at what a file holds on both sides
// and says for each pair whether the sides agree and what copying one onto the other would write.
// The panel, the tags editor and the command line do the reading and the writing.
//
// The desktop forms are KDE's: tags a comma-separated list with no escaping (so a name holding a
// comma cannot be written there), read back split at commas with the whitespace around each name
// dropped; a rating the decimal text of 1 to 10 half stars. An empty value means nothing is set,
// which is why KDE removes the attribute rather than store an empty one.

#include "attributes/AttributeDescription.h"
#include "attributes/ValueNode.h"
#include "plist/PlistValue.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace corvane {

enum class BridgePairKind {
    Tags, // com.apple.metadata:_kMDItemUserTags ↔ user.xdg.tags
    Comment, // com.apple.metadata:kMDItemFinderComment ↔ user.xdg.comment
    WhereFrom, // com.apple.metadata:kMDItemWhereFroms ↔ user.xdg.origin.url, user.xdg.referrer.url
    Rating, // com.apple.metadata:kMDItemStarRating ↔ user.baloo.rating
};

enum class BridgeState {
    Absent, // neither side holds anything
    InStep, // both sides say the same, perhaps in different forms
    OnlyMac,
    OnlyDesktop,
    Different,
    Unreadable, // a side holds a value in a form its own programs would not read; see its problem
};

// One attribute a copy changes.
struct BridgeWrite {
    enum class Form {
        PropertyList, // `value`, stored as a binary property list (the Mac side)
        PlainText, // `text`, stored as UTF-8 without a terminator (the desktop side)
        Remove, // the attribute goes: the source holds nothing for it
    };
    QByteArray name; // the system name to write or remove
    Form form = Form::PlainText;
    plist::Value value;
    QString text;
};

struct BridgeSide {
    QList<QByteArray> names; // the system names the side's value was read from; empty when none is there
    QString text; // the value as a user reads it; where from and tags one item per line
    QString problem; // why the value cannot be taken as it stands; empty when it can
    // Holds something a copy onto this side would replace (a value, readable or not): ask first.
    bool holdsValue = false;
};

struct BridgePair {
    BridgePairKind kind = BridgePairKind::Tags;
    BridgeState state = BridgeState::Absent;
    QString label; // "Tags", "Comment", "Where from", "Rating"
    BridgeSide mac;
    BridgeSide desktop;
    // Tags: the names found on one side only (whitespace around them dropped), in their side's order;
    // names the other side cannot hold are in notToDesktop / notToMac instead.
    QStringList onlyOnMac;
    QStringList onlyOnDesktop;
    // What "copy to the desktop" and "copy to the Mac side" write, as one undo step each; empty when
    // the sides are in step or the source side holds nothing that could be copied. The Mac side is
    // written under "user." + its macOS name (the bare name on a Mac) whatever form it was read in.
    QList<BridgeWrite> toDesktop;
    QList<BridgeWrite> toMac;
    // What a copy that way cannot carry, as the user knows it ("Trip, 2024", a third address,
    // "half a star"). A copy leaves such things on the target side as they are where it can.
    QStringList notToDesktop;
    QStringList notToMac;
    // One line for the panel: "Tags: 2 only in Finder", "Comment differs", "Where from: only on the
    // desktop", "Rating: in step".
    QString summary;

    // Whether the panel shows the pair: the sides disagree or something cannot be carried.
    bool needsAttention() const
    {
        return (state != BridgeState::Absent && state != BridgeState::InStep) || !notToDesktop.isEmpty()
            || !notToMac.isEmpty();
    }
};

// The decoded values of a file's attributes, keyed by their system names as listed. The Mac side is
// recognised in every form AttributeNames knows ("user." + the macOS name first, as Corvane writes it,
// then Samba's stream form and the HFS+ form) and by the bare macOS name on a Mac.
using BridgeValues = QMap<QByteArray, ValueNode>;

BridgeValues bridgeValues(const QList<AttributeDescription> &attributes);

// Every pair, in the order of BridgePairKind.
QList<BridgePair> bridgePairs(const BridgeValues &values);
BridgePair bridgePair(BridgePairKind kind, const BridgeValues &values);

// The macOS name of a pair's Mac side and the system names of its desktop side.
QString bridgeMacName(BridgePairKind kind);
QList<QByteArray> bridgeDesktopNames(BridgePairKind kind);

// The names of a desktop tag list as KDE reads them: split at commas, trimmed, empty parts and repeats
// dropped. (EditableValue's parseFinderTag and plainTextList are the Finder's form and the desktop's.)
QStringList desktopTagNames(const QString &text);

} // namespace corvane
