#pragma once

// The two forms Corvane writes property lists in. Both follow python3's plistlib (dumps with its default
// sort_keys=True), so what Corvane stores is what that widely used writer stores for the same value, and
// every reader that takes plistlib's output takes ours. Where plistlib would change the value, Corvane
// keeps it instead; each such place is named below.

#include "plist/PlistValue.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace corvane::plist {

// The binary form, format version 1.0: byte-equal to plistlib's FMT_BINARY for every value plistlib
// writes. Objects are shared the way plistlib shares them: strings, numbers, dates, data and booleans
// once per distinct value (an integer never shares with a real or a boolean, a key shares with an
// equal string), containers and object references once per identity (see Value::identity), so a
// subtree read once from a shared reference is written once. Dictionary keys are sorted by code point.
// Where plistlib differs:
// - 0.0 and -0.0 stay two objects (plistlib writes whichever comes first for both, losing a sign);
// - every empty array, set or dictionary is an object of its own, as separate Python objects are in
//   plistlib (ours are one shared instance, which identity alone would write once);
// - what plistlib refuses is still written in the format's own terms: integers outside
//   [-2^63, 2^64) as 16 bytes, sets as sets, a string with lone surrogates as its UTF-16 units.
// Writing never fails and costs time and memory linear in the tree.
QByteArray writeBinary(const Value &value);

// The binary form of one string; the same bytes as writeBinary(Value::fromString(string)).
QByteArray writeBinary(const QString &string);

// The XML form: byte-equal to plistlib's FMT_XML (its header and DOCTYPE, tab indentation, &, < and >
// escaped, reals as Python's repr, dates to the second in UTC, data in base64 lines that shorten
// with the indentation, <array/> and <dict/> when empty), except that a carriage return is written as
// "&#13;" where plistlib would turn it into a line feed.
// Fails, returning nullopt and setting *error to a short English reason, for what XML property lists
// cannot hold: null, object references, sets, strings with control characters other than tab, line
// feed and carriage return, with lone surrogates or with U+FFFE or U+FFFF, dates that are not in the
// years 1 to 9999, trees nested deeper than maximumDepth, and documents larger than maximumXmlSize
// (XML writes a shared subtree out at every reference to it).
std::optional<QByteArray> writeXml(const Value &value, QString *error = nullptr);

inline constexpr qsizetype maximumXmlSize = 16 << 20;

// Code point order, as plistlib sorts keys (UTF-16 order differs for characters beyond U+FFFF).
bool lessByCodePoint(const QString &left, const QString &right);

} // namespace corvane::plist
