#pragma once

// The thin layer between the editor and the system's extended-attribute calls. It moves raw bytes
// under a given name and knows nothing of property lists or of the attribute catalogue. Every
// failure comes back as a PosixError carrying the failing call's errno and the system's own text;
// the callers decide whether to show it (writing) or drop it (reading).

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane {

struct PosixError {
    QString domain = QStringLiteral("NSPOSIXErrorDomain");
    int code = 0; // errno of the failing call
    QString description; // exactly strerror(code)'s text, nothing before or after
};

PosixError posixError(int errorNumber);

// Reads the whole value through the listing's read loop (readExtendedAttributeBytes): a size probe and
// the fetch, two getxattr calls when nothing changes in between. A value that shrank in between is the
// bytes the fetch delivered; one that grew is read again, a bounded number of times.
std::optional<QByteArray> readExtendedAttribute(
    const QUrl &file, const QString &name, PosixError *error = nullptr);

// Creates or replaces the attribute. Returns the error, or nullopt on success.
std::optional<PosixError> writeExtendedAttribute(const QUrl &file, const QString &name, QByteArrayView value);

// Returns the error (ENODATA when the file has no such attribute), or nullopt on success.
std::optional<PosixError> removeExtendedAttribute(const QUrl &file, const QString &name);

// The name handed to the system. Linux lets an ordinary user touch only the "user." namespace, so a
// name that is not already in one of Linux's namespaces (user., trusted., security., system.) is put
// into "user.", the form Samba and rsync use for names coming from macOS. The empty name stays empty
// so that the system, not we, refuses it. On macOS names go through unchanged.
QByteArray systemAttributeName(const QString &name);

} // namespace corvane
