#pragma once

// Every attribute of a file, decoded: listing (AttributeListing), name recognition (AttributeNames) and
// the value's decoding into a ValueNode tree brought together. Nothing here fails on a value: what is
// not a property list, text or a known record is bytes. All of it is plain functions without state,
// safe to call from a worker thread.

#include "attributes/AttributeListing.h"
#include "attributes/AttributeNames.h"
#include "attributes/ExpansionBudget.h"
#include "attributes/ExtendedAttributes.h"
#include "attributes/ValueNode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace corvane {

struct AttributeDescription {
    AttributeName name;
    qsizetype size = 0; // bytes stored, Samba's trailing NUL included
    ValueNode value;
    // The stored bytes end with one NUL after the text or property list (netatalk's and Samba's
    // habit), which is not part of the value shown.
    bool trailingNul = false;
    // The value is a property list whose shared parts would expand to far more text than its size
    // allows (see ExpansionBudget): it is described as bytes instead, and tooLargeToExpandNote() says why.
    bool tooLargeToExpand = false;
    // The value is a property list nested deeper than JSON readers take (maximumValueNesting): the
    // listing gives it as its bytes instead, with a note.
    bool nestedTooDeep = false;
    // The name was listed but its value could not be read (the value is then empty bytes).
    std::optional<PosixError> error;
};

// Decodes a value read under `name`, in this order: the records that only their name identifies
// (com.apple.quarantine, com.apple.lastuseddate#PS), a binary or XML property list, plain UTF-8
// text without control characters other than tab and line breaks, an old-style (OpenStep) property
// list that is not plain text, and bytes. One trailing NUL is dropped before text or a property list.
// The value's expansion is charged to `budget`, the listing's, when given; else to one of its own.
AttributeDescription describeAttribute(
    const AttributeName &name, QByteArrayView value, ExpansionBudget *budget = nullptr);

// Why a value that is a property list is shown as its bytes, in the listing's words.
QString tooLargeToExpandNote();

struct FileDescription {
    QByteArray path; // as given
    std::optional<PosixError> error; // the names could not be listed
    QList<AttributeDescription> attributes; // in the byte order of their names
};

// The file's attribute names in byte order, or nothing and why they could not be listed: 2 listxattr
// calls (more only when the names grow while they are read).
std::optional<QList<QByteArray>> listAttributeNames(
    const QByteArray &path, PosixError *error, LinkMode links = LinkMode::Follow);

// One listed attribute read (2 getxattr calls) and described, its expansion charged to the listing's
// budget; nothing when it vanished since it was listed. Callers that write attributes out go through
// the names one at a time with it, holding one description at a time.
std::optional<AttributeDescription> readAttribute(const QByteArray &path, const QByteArray &systemName,
    ExpansionBudget &budget, LinkMode links = LinkMode::Follow);

// Every attribute of the file, listed, read and described with one budget.
FileDescription describeFileAttributes(const QByteArray &path);

} // namespace corvane
