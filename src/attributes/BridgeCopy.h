#pragma once

// Copies across the desktop bridge (DesktopBridge), as the attributes panel, the tags editor and
// `corvane --bridge` make them: what a file holds on both sides, read from it; a copy's writes as the
// bytes each side's own programs write (a binary property list on the Mac side, plain UTF-8 on the
// desktop's); what to ask before a copy replaces something; and the desktop's tags kept in step when
// the Finder's tags are edited. The callers make the writes, through the window's history or the
// command line's journal.

#include "attributes/AttributeHistory.h"
#include "attributes/DesktopBridge.h"
#include "attributes/EditSession.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

enum class BridgeDirection { ToDesktop, ToMac };

// A file's attributes on both sides of every pair (the other attributes are not read).
struct BridgeFile {
    BridgeValues values;
    std::optional<PosixError> error; // the names, or the value under failedName, could not be read
    QByteArray failedName; // empty when the names could not be listed
};
BridgeFile readBridgeFile(const QByteArray &path, LinkMode links = LinkMode::Follow);

// The pair's copy that way as writes (`after` nullopt: the attribute is removed); empty when there is
// nothing to copy.
QList<AttributeStep> bridgeCopyWrites(const BridgePair &pair, BridgeDirection direction);

// Whether the copy would lose something the target side holds: a value that differs, one that cannot
// be read, tags only the target has. The user is asked first.
bool bridgeCopyReplaces(const BridgePair &pair, BridgeDirection direction);
EditQuestion bridgeCopyQuestion(const BridgePair &pair, BridgeDirection direction);

// "Copy of “Tags” to the Desktop": the step in the Edit menu.
QString bridgeCopyAction(const BridgePair &pair, BridgeDirection direction);
// "Tags to the desktop: Holiday, Work": what was copied, on one line.
QString bridgeCopyLine(const BridgePair &pair, BridgeDirection direction);

// When the Finder's tags are edited from `before` to `after` (names, in order), what the desktop's
// user.xdg.tags (`desktop` its bytes now, nullopt when absent) is to hold: the same edit made to its own
// names (a tag added, renamed or removed there too, its other tags kept), or the Finder's names when it
// holds none. Nullopt when it stays as it is: nothing changes there, or it holds something other than
// text, which is left alone. A name holding a comma cannot go there.
struct DesktopTagsWrite {
    std::optional<QByteArray> after; // nullopt: removed
};
std::optional<DesktopTagsWrite> desktopTagsInStep(
    const QStringList &before, const QStringList &after, const std::optional<QByteArray> &desktop);

// Adds the desktop's tags to a change of the Finder's tags (made by prepareValueChange from the value
// `shown` to `edited`), so that one step writes, and one Undo takes back, both. Other changes stay as
// they are.
void keepDesktopTagsInStep(const EditSession &session, EditSession::Change &change,
    const std::optional<QByteArray> &shown, const EditableValue &edited);

} // namespace corvane
