#include "attributes/ExtendedAttributes.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sys/types.h>
#include <sys/xattr.h>

namespace corvane {

namespace {

// Only the call sites differ between the systems: macOS takes a position and options (always 0:
// whole value, follow symbolic links, create or replace); Linux has neither and follows links in
// the calls without the "l" prefix.
#if defined(Q_OS_MACOS)
ssize_t systemGet(const char *path, const char *name, void *buffer, size_t size)
{
    return ::getxattr(path, name, buffer, size, 0, 0);
}
int systemSet(const char *path, const char *name, const void *value, size_t size)
{
    return ::setxattr(path, name, value, size, 0, 0);
}
int systemRemove(const char *path, const char *name)
{
    return ::removexattr(path, name, 0);
}
#elif defined(Q_OS_LINUX)
ssize_t systemGet(const char *path, const char *name, void *buffer, size_t size)
{
    return ::getxattr(path, name, buffer, size);
}
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

std::function<void()> &betweenProbeAndFetchHook()
{
    static std::function<void()> hook;
    return hook;
}

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
    const auto fail = [error](int errorNumber) -> std::optional<QByteArray> {
        if (error)
            *error = posixError(errorNumber);
        return std::nullopt;
    };

    const Target target(file, name);
    if (target.refusal) {
        if (error)
            *error = *target.refusal;
        return std::nullopt;
    }

    const ssize_t size = systemGet(target.path.constData(), target.name.constData(), nullptr, 0);
    if (size < 0)
        return fail(errno);

    if (const auto &hook = betweenProbeAndFetchHook())
        hook();

    QByteArray buffer(qsizetype(size), '\0');
    const ssize_t got
        = systemGet(target.path.constData(), target.name.constData(), buffer.data(), size_t(size));
    if (got < 0)
        return fail(errno);
    // A fetch with size 0 is itself only a probe: it reports the current length without copying.
    // When an empty value grew in between, that is the same race the kernel reports as ERANGE for
    // a non-empty buffer, and it must not be mistaken for bytes we hold.
    if (got > size)
        return fail(ERANGE);
    // If the value shrank in between, the bytes past `got` are not part of it.
    buffer.truncate(qsizetype(got));
    return buffer;
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

namespace detail {
void setBetweenProbeAndFetchHookForTesting(std::function<void()> hook)
{
    betweenProbeAndFetchHook() = std::move(hook);
}
} // namespace detail

} // namespace corvane
