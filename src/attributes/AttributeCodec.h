#pragma once

// The attribute value codec: how the editor's text becomes the bytes stored in an extended attribute
// (a binary property list holding one string) and how any attribute's bytes become the text shown.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace corvane {

// The bytes Save stores for a text: escaped, wrapped as the one string of an XML property-list document,
// read back by our XML reader and written by our binary writer. Carriage returns travel as character
// references, because XML would otherwise turn every CR and CRLF into LF and silently change the text.
// Text that XML cannot carry (control characters other than tab, LF and CR, lone surrogates, U+FFFE,
// U+FFFF) fails: returns nullopt and *errorDescription says why in plain English.
std::optional<QByteArray> encodeAttributeString(const QString &text, QString *errorDescription = nullptr);

// What the editor shows for an attribute's bytes: the string when the root is a string, else "".
QString decodeAttributeString(QByteArrayView bytes);

// Whether the bytes are a property list followed by the one NUL that netatalk's Samba-compatible mode
// and Samba keep (and strip before a Mac sees the value). Save keeps that NUL, so that such a server
// still hands a whole property list on; a value without one is written without one.
bool hasNulSuffix(QByteArrayView bytes);

enum class TextForm { PropertyList, PlainText };

// The first character of the text that the form cannot store, described for the user: a lone surrogate,
// a control character other than tab, line feed and carriage return, and in a property list (whose XML
// form holds neither) U+FFFE or U+FFFF. Empty when every character can be stored.
QString unstorableCharacter(const QString &text, TextForm form);

// The bytes as text when they are UTF-8 without control characters other than tab, line feed and
// carriage return, the text Linux desktops store (a byte order mark kept as U+FEFF); nullopt otherwise.
std::optional<QString> readableText(QByteArrayView bytes);

} // namespace corvane
