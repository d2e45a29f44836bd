#pragma once

#include "plist/PlistValue.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane::plist {

enum class Format { Binary, Xml, OpenStep };

// Detects the serialization from the first bytes and parses. On failure returns nullopt and, if given,
// sets *error to a short English description (for tests/logs; the app never shows it).
//
// The bytes are untrusted (attribute values come from files from anywhere, the update feed from the
// network): parsing never fetches anything, refuses DTD declarations and entity tricks, caps nesting at
// 512 levels and the number of nodes a tree may hold, and allocates no more than a small multiple of the
// input: a binary list's objects are decoded once per offset however often its table names them, and an
// XML tag with more than 16 attributes is refused before Qt's parser (quadratic in them) sees it. Only
// UTF-8, UTF-16, US-ASCII and ISO-8859-1 text is read, and a byte order mark must agree with the
// declared encoding.
// A complete property list followed by exactly one NUL byte (as some file servers store values) reads as that
// property list; *nulSuffix, if given, then says so.
std::optional<Value> parse(
    QByteArrayView bytes, QString *error = nullptr, Format *format = nullptr, bool *nulSuffix = nullptr);

// The deepest nesting of arrays, sets and dictionaries accepted.
inline constexpr int maximumDepth = 512;

// How many nodes (containers and leaves, counting a shared subtree once per reference) a tree read from
// `inputSize` bytes may hold. Plain trees hold at most one node per input byte; only shared references
// in the binary form can exceed that, and this is what stops them from multiplying.
qsizetype maximumNodes(qsizetype inputSize);

} // namespace corvane::plist
