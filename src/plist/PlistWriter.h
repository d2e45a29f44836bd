#pragma once

#include <QByteArray>
#include <QString>

namespace corvane::plist {

// A binary property list (format version 1.0) whose only object is the string: one byte per character
// when every character is ASCII, big-endian UTF-16 otherwise. Byte-equal to what python3's plistlib
// writes with FMT_BINARY, so other readers decode it.
QByteArray writeBinary(const QString &string);

} // namespace corvane::plist
