#include "attributes/ExtendedAttributes.h"

#include "attributes/AttributeListing.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/types.h>
#include <sys/xattr.h>

namespace corvane {

namespace {

// Only the call sites differ between the systems: macOS takes a position and options (always 0:
// whole value, follow symbolic links, create or replace); Linux has neither and follows links in
// the calls without the "l" prefix. Reading is AttributeListing's, shared with the listing.
#if defined(Q_OS_MACOS)
int systemSet(const char *path, const char *name, const void *value, size_t size)
{
    return ::setxattr(path, name, value, size, 0, 0);
}
int systemRemove(const char *path, const char *name)
{
    return ::removexattr(path, name, 0);
}
#elif defined(Q_OS_LINUX)
int systemSet(const char *path, const char *name, const void *value, size_t size)
{
    return ::setxattr(path, name, value, size, 0);
}
int systemRemove(const char *path, const char *name)
{
    return ::removexattr(path, name);
}
#else
#error "Corvane's extended-attribute layer supports Linux and macOS only"
#endif

// strerror_r is the GNU variant (returning the text) or the XSI one (filling the buffer), depending
// on the C library; both give the same text as strerror without its shared static buffer.
[[maybe_unused]] const char *errorText(const char *gnuResult, const char *)
{
    return gnuResult;
}
[[maybe_unused]] const char *errorText(int xsiResult, const char *buffer)
{
    return xsiResult == 0 ? buffer : nullptr;
}

// The path and name as the system calls take them. Both are C strings, so an embedded NUL would
// silently cut them short and the call would act on a different file or attribute; such input is
// refused before any call is made.
struct Target {
    QByteArray path;
    QByteArray name;
    std::optional<PosixError> refusal;

    Target(const QUrl &file, const QString &attributeName)
        : path(QFile::encodeName(file.toLocalFile()))
        , name(systemAttributeName(attributeName))
    {
        if (path.contains('\0'))
            refusal = posixError(ENOENT);
        else if (name.contains('\0'))
            refusal = posixError(EINVAL);
    }
};

} // namespace

PosixError posixError(int errorNumber)
{
    char buffer[256] = {};
    const char *text = errorText(strerror_r(errorNumber, buffer, sizeof buffer), buffer);
    PosixError error;
    error.code = errorNumber;
    error.description = QString::fromLocal8Bit(text ? text : std::strerror(errorNumber));
    return error;
}

QByteArray systemAttributeName(const QString &name)
{
    QByteArray utf8 = name.toUtf8();
#if defined(Q_OS_LINUX)
    static const char *const namespaces[] = { "user.", "trusted.", "security.", "system." };
    if (utf8.isEmpty())
        return utf8;
    for (const char *prefix : namespaces) {
        if (utf8.startsWith(prefix))
            return utf8;
    }
    utf8.prepend("user.");
#endif
    return utf8;
}

std::optional<QByteArray> readExtendedAttribute(const QUrl &file, const QString &name, PosixError *error)
{
    return readExtendedAttributeBytes(systemPath(file), systemAttributeName(name), error);
}

std::optional<PosixError> writeExtendedAttribute(const QUrl &file, const QString &name, QByteArrayView value)
{
    const Target target(file, name);
    if (target.refusal)
        return target.refusal;

    // An empty view may carry a null pointer; the call still gets a valid address with count 0.
    static const char emptyValue = 0;
    const char *bytes = value.isEmpty() ? &emptyValue : value.data();
    if (systemSet(target.path.constData(), target.name.constData(), bytes, size_t(value.size())) < 0)
        return posixError(errno);
    return std::nullopt;
}

std::optional<PosixError> removeExtendedAttribute(const QUrl &file, const QString &name)
{
    const Target target(file, name);
    if (target.refusal)
        return target.refusal;

    if (systemRemove(target.path.constData(), target.name.constData()) < 0)
        return posixError(errno);
    return std::nullopt;
}

} // namespace corvane
