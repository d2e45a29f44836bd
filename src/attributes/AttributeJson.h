#pragma once

// The JSON that `corvane --list --json` writes, built by hand rather than through QJsonValue, which
// would round integers past 53 bits and cannot carry a string's lone surrogates.

#include "attributes/AttributeDescription.h"
#include "attributes/ValueNode.h"

#include <QByteArray>
#include <QStringView>

namespace corvane {

// A JSON string: quotes, backslashes and control characters escaped, a lone surrogate as U+FFFD (no
// character: strict readers refuse even its escape), everything else as UTF-8.
void appendJsonString(QByteArray &out, QStringView text);
// The bytes appendJsonString writes for the text, quotes and escapes included.
qsizetype jsonStringLength(QStringView text);

// The decoded value as compact JSON on one line: strings and text as strings, lists as arrays,
// dictionaries and quarantine records as objects, integers exactly, reals as numbers or as the
// strings "NaN", "Infinity", "-Infinity", booleans, dates as ISO 8601 strings in UTC, data and bytes
// as base64 strings, the null object as null.
QByteArray valueToJson(const ValueNode &node);

// Values nested deeper than this are written as their bytes, so that a whole listing stays within the
// 256 levels JSON readers such as jq take: a list is a level, an object with keys two (the key is one
// of its own there), and the listing's own objects and lists around a value take 8.
inline constexpr int maximumValueNesting = 248;

// The levels on the longest way down the value, counted as above; 0 for a scalar.
int nestingDepth(const ValueNode &node);
// Whether the JSON cannot carry the value exactly: a string or key holding a lone surrogate (written as
// U+FFFD), or a date outside the years 1 to 9999 or NaN (written as null).
bool jsonLosesValue(const ValueNode &node);
QString nestedTooDeepNote();

// One attribute's object: name (and nameBase64 when the name is not UTF-8), label, macName, kind,
// size, value, and a note when a property list is given as its bytes because it would expand too far
// or is nested too deep. A date without an ISO 8601 form has value null and its seconds from 2001 in
// "seconds"; when the value cannot be written exactly, the stored bytes (when given) follow in base64 as
// valueBase64. An attribute whose value could not be read has kind, size and value null and an error.
QByteArray attributeToJson(const AttributeDescription &attribute, QByteArrayView stored = {});
// The same with the object's start, its name, label and macName, written already (a listing writes
// them once per name).
QByteArray attributeToJson(const AttributeDescription &attribute, QByteArrayView stored, const QByteArray &start);
QByteArray attributeJsonStart(const AttributeName &name);

// One file's object up to its list of attributes: {"path": ... (and pathBase64 when it is not UTF-8),
// "error": ..., "attributes": [ . The attributes follow one per line, and "]}" closes it.
QByteArray fileJsonOpening(const QByteArray &path, const std::optional<PosixError> &error);

} // namespace corvane
