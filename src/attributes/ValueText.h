#pragma once

// How an attribute's string travels through the multi-line value field and back. The field keeps
// line breaks as paragraph breaks and forgets which break the text used, so the editor remembers the
// string it showed: unedited, that string goes back as it was; edited, the field's text gets the
// value's own break style back. Also the plain-words reason shown when a value cannot be read.

#include <QString>

namespace corvane {

// "\r\n" when every line break of the value is CRLF, "\r" when every one is a lone CR, else "\n"
// (a value without breaks, with LF breaks or with mixed breaks).
QString lineBreakStyle(const QString &value);

// The value for the field's raw text (paragraphs separated by U+2029), with the paragraph breaks
// written in the given style. Every other character, no-break spaces and U+2028 included, stays.
QString valueFromFieldText(const QString &rawText, const QString &lineBreak);

// Why a read failed, for the value field's placeholder; empty when the attribute simply is not there.
QString readFailureInPlainWords(int errorNumber, const QString &systemText);
// The one wording for a file on a file system without extended attributes (the value field and the
// attributes panel).
QString fileSystemKeepsNoAttributes();

} // namespace corvane
