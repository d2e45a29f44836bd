#pragma once

// An attribute's value as the editor changes it: its kind (text, a list of texts, the Finder's tags, a
// date or a list of dates, a whole number, a real number, true or false), the form its bytes were found
// in (a binary or an XML property list, or plain UTF-8 text) and whether they ended with the one NUL
// some file servers add. decodeEditableValue reads stored bytes into it, the editor changes the fields
// of its kind, and encodeEditableValue writes the bytes back in the form they were found in.
// Everything the editor could not write back as it found it decodes as EditKind::None and stays
// read-only. QtCore only: the value field, the attributes panel and the command line share it.

#include "attributes/AttributeNames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {

enum class EditKind {
    None, // read-only: dictionaries, data, bytes, quarantine records, nested or mixed lists, numbers
          // beyond 64 bits, and every value under a name the editor does not write (see decode)
    Text, // a property-list string, or plain UTF-8 text
    TextList, // an array of strings, none with a line break (an item per line must not split one)
    Tags, // com.apple.metadata:_kMDItemUserTags: an array of "Name" or "Name\nN"
    Date,
    DateList, // an array of dates
    Integer,
    Real,
    Boolean,
};

enum class ValueForm {
    BinaryPropertyList, // what macOS writes; byte-equal to python3's plistlib FMT_BINARY
    XmlPropertyList, // byte-equal to plistlib's FMT_XML
    PlainText, // UTF-8, what the Linux desktop writes under user.xdg.* and user.baloo.*
};

// The colours the Finder gives tags, numbered as it stores them after the name.
enum class TagColour { None, Grey, Green, Purple, Blue, Yellow, Red, Orange };

struct FinderTag {
    QString name;
    TagColour colour = TagColour::None;
    bool operator==(const FinderTag &) const = default;
};

// A tag as the Finder stores it: "Name" (no colour), or "Name\nN" with N from 0 to 7. Nullopt for
// anything else: an empty name, another digit, more lines.
std::optional<FinderTag> parseFinderTag(const QString &item);
// The stored form: the bare name when it has no colour, else "Name\nN".
QString finderTagText(const FinderTag &tag);

// A list as the desktop stores it in plain text (KDE's user.xdg.tags): the items joined by commas, as
// they are. Nullopt, with a sentence for the user in *problem, when an item holds a comma or a line
// break, which would split it when read back.
std::optional<QString> plainTextList(const QStringList &items, QString *problem = nullptr);

struct EditableValue {
    EditKind kind = EditKind::None;
    ValueForm form = ValueForm::BinaryPropertyList;
    bool trailingNul = false; // written back after the value when it was found there

    // The field of the kind; the others stay empty.
    QString text; // Text
    QStringList texts; // TextList (items may be empty; none holds a line break)
    QList<FinderTag> tags; // Tags
    QList<QDateTime> dates; // Date (exactly one) and DateList: in UTC, to the millisecond
    qint64 integer = 0; // Integer
    double real = 0; // Real
    bool boolean = false; // Boolean

    // The same kind, form, trailing NUL and content of that kind: when an edited copy equals the value
    // decoded, nothing needs to be written. Reals are equal when both are NaN.
    bool operator==(const EditableValue &other) const;

private:
    friend EditableValue decodeEditableValue(const AttributeName &name, QByteArrayView stored);
    friend std::optional<QByteArray> encodeEditableValue(
        const EditableValue &value, QString *errorDescription);
    // What decoding found, so that the items an edit leaves alone are written back exactly: a date's
    // seconds (finer than the millisecond a QDateTime holds) by its milliseconds since 1970, and a
    // tag's stored text ("Work\n0" as well as "Work") by its canonical one. Copies of the decoded value
    // carry them along; they take no part in equality.
    QHash<qint64, double> m_storedSeconds;
    QHash<QString, QString> m_storedTagTexts;
};

// Reads what `name` holds. Text or a property list followed by exactly one NUL keeps the NUL as
// trailingNul. Plain text is Text in ValueForm::PlainText whatever it looks like. EditKind::None when
// the editor cannot write the name back (see AttributeName::editorCanWrite: names outside "user.",
// Samba's stream form, names that are not UTF-8), for the records only the name identifies
// (com.apple.quarantine, com.apple.lastuseddate#PS), for old-style property lists that are not plain
// text, and for bytes that are neither text nor a property list.
EditableValue decodeEditableValue(const AttributeName &name, QByteArrayView stored);

// The bytes for the value in its form, with the trailing NUL if it has one. Fails with nullopt and a
// sentence for the user in *errorDescription when the value cannot be written in its form: EditKind::None;
// a Date without exactly one date; XML's limits (control characters, dates outside the years 1 to
// 9999); plain text with control characters other than tab and line breaks or with lone surrogates;
// a list in plain text (written comma-separated, as the desktop writes tags) whose items hold a comma
// or a line break; tags in plain text that have a colour, which plain text cannot keep.
std::optional<QByteArray> encodeEditableValue(
    const EditableValue &value, QString *errorDescription = nullptr);

// The names the Linux desktop defines as plain UTF-8 text: user.xdg.* and user.baloo.*.
bool isDesktopTextName(QByteArrayView systemName);

// An empty value of the kind for a new attribute under `systemName` (the name as the system takes it,
// after systemAttributeName), in the form macOS or the desktop would write it: plain text for the
// desktop's names, a binary property list for every other name. A Date gets its one date from the editor.
EditableValue newEditableValue(QByteArrayView systemName, EditKind kind);

struct StoredForm {
    ValueForm form = ValueForm::BinaryPropertyList;
    bool trailingNul = false;
};

// What the editor's Save writes its text as, under `systemName`, given the bytes stored there now (empty
// when there are none): plain UTF-8 text when the stored value is readable text that is no binary or
// XML property list, or when the name is one of the desktop's; a binary property list otherwise. The
// trailing NUL is kept when the stored text or property list ended with one.
StoredForm editorSaveForm(QByteArrayView systemName, QByteArrayView stored);

} // namespace corvane
