#pragma once

// Every attribute of a file, decoded: listing (AttributeListing), name recognition (AttributeNames) and
// the value's decoding into a ValueNode tree brought together. Nothing here fails on a value: what is
// not a property list, text or a known record is bytes. All of it is plain functions without state,
// safe to call from a worker thread.

#include "attributes/AttributeNames.h"
#include "attributes/ValueNode.h"
#include "attributes/ExtendedAttributes.h"

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
    // The value is a property list whose shared parts would expand to far more text than its size:
    // it is described as bytes instead.
    bool tooLargeToExpand = false;
    // The name was listed but its value could not be read (the value is then empty bytes).
    std::optional<PosixError> error;
};

// Decodes a value read under `name`, in this order: the records that only their name identifies
// (com.apple.quarantine, com.apple.lastuseddate#PS), a binary or XML property list, plain UTF-8
// text without control characters other than tab and line breaks, an old-style (OpenStep) property
// list that is not plain text, and bytes. One trailing NUL is dropped before text or a property list.
AttributeDescription describeAttribute(const AttributeName &name, QByteArrayView value);

struct FileDescription {
    QByteArray path; // as given
    std::optional<PosixError> error; // the names could not be listed
    QList<AttributeDescription> attributes; // in the byte order of their names
};

// Lists the file's attributes and reads and describes each: 2 listxattr calls, then 2 getxattr per
// attribute (more only when something grows while it is read). A name that vanishes before its value
// is read is left out.
FileDescription describeFileAttributes(const QByteArray &path);

} // namespace corvane
