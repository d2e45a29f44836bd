#pragma once

// What an attribute's name says about it. Names reach Linux from macOS in several forms, each the habit
// of one program that copies files between the systems; recognition undoes the form to find the macOS
// name inside, gives the attribute a label a user knows, and says whether the editor, which stores
// every name it is given under "user.", could write it back where it came from.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

enum class AttributeNameForm {
    Plain, // a Linux name carrying no macOS name: "user.xdg.comment", "security.selinux"
    User, // "user." + the macOS name, as rsync, Samba with vfs_fruit and Corvane itself store it
    SambaStream, // "user.DosStream.<name>:$DATA", Samba's vfs_streams_xattr; ':' in <name> is U+F022
    HfsPlus, // "osx." + the macOS name, the kernel's HFS+ driver
};

struct AttributeName {
    QByteArray systemName; // exactly as listed
    QString name; // the same as text; bytes that are not UTF-8 become U+FFFD
    bool validUtf8 = true; // false: `name` is not the exact name, systemName is
    QString nameSpace; // the Linux namespace without its dot: "user", "security", "trusted", "system",
                       // "osx"; empty when the name has none
    AttributeNameForm form = AttributeNameForm::Plain;
    QString macName; // "com.apple.metadata:kMDItemKeywords"; empty when the name carries none
    // Samba's stream form: the stream's own name ("AFP_AfpInfo", "Zone.Identifier", or the macOS name
    // with its ':' restored); empty in the other forms.
    QString streamName;
    QString label; // "Keywords", "Where from", ...; never empty (falls back to the name itself)
    // The label's exact bytes: the part of systemName it was taken from (with Samba's U+F022 back to
    // ':'), or the known label in UTF-8. What shownName() and octalEscaped() escape.
    QByteArray labelBytes;
    bool wellKnown = false; // the label comes from Corvane's list, not from the name
    // What tells this form of a macOS name from the others ("user", "osx", "user.DosStream"); empty
    // for a name in no such form.
    QString formPrefix;
    // The editor may take the attribute over: a "user." name, valid UTF-8, in neither Samba's stream
    // form (whose value carries Samba's trailing NUL) nor the HFS+ form (outside "user.").
    bool editorCanWrite = false;
    // When the editor can write it: the catalogue entry whose name the editor stores as exactly this
    // name, or -1 when the editor would take the full name as a typed name.
    qsizetype catalogueIndex = -1;
};

AttributeName recogniseAttributeName(QByteArrayView systemName);

// The system name of the attribute a user calls by this label: a catalogue entry ("Keywords") or one of
// the labels recogniseAttributeName gives ("Where from", "Tags", "Comment (desktop)"), exactly as
// spelled there; nullopt for any other text.
std::optional<QByteArray> systemNameOfLabel(const QString &label);

// Every label systemNameOfLabel knows, catalogue entries first, for completion and help.
QStringList knownLabels();

// A name as the panel shows it, so that two names that differ never look alike: bytes that are not
// UTF-8 as \xNN, ASCII control characters as \xNN too (never mistaken for those: such bytes are
// below 0x80), a backslash as \\, and characters that are invisible or that reorder the text around
// them (bidirectional controls such as U+202E, other format characters, line and paragraph separators,
// spaces other than U+0020, other control characters, unassigned code points) as \uNNNN or \UNNNNNNNN.
QString shownName(QByteArrayView bytes);

// What the attributes panel, the editor's questions and its Undo items call an attribute: the label of
// a name Corvane knows, any other name whole (shownName), so that no two attributes look alike.
QString shownLabel(const AttributeName &name);
// A known label (AttributeName::label, which stays English) in the user's language.
QString translatedLabel(const QString &englishLabel);
// The same with the form's prefix, "Quarantine (osx)", for when two forms of one name are listed.
QString distinctLabel(const AttributeName &name);
// The label of the attribute the editor names (a catalogue entry or a typed name).
QString attributeLabel(const QString &editorName);
// The same for text that is already decoded (a dictionary's keys); a lone surrogate shows as \uDNNN.
QString shownText(const QString &text);

// The same bytes for the text listing, as getfattr escapes names: each byte that is not UTF-8, that
// belongs to a character shownName() escapes, or that is a backslash, as a backslash and three octal
// digits, so that a name parses back to its exact bytes.
QByteArray octalEscaped(QByteArrayView bytes);

// Samba's spelling of a stream name inside an attribute name (':' as U+F022) and back.
QString sambaStreamName(const QString &streamName);
QString fromSambaStreamName(const QString &stored);

} // namespace corvane
