#include "attributes/AttributeListing.h"

#include <QFile>

#include <cerrno>

#include <sys/types.h>
#include <sys/xattr.h>

namespace corvane {

namespace {

#if defined(Q_OS_MACOS)
int linkOption(LinkMode links)
{
    return links == LinkMode::NoFollow ? XATTR_NOFOLLOW : 0;
}
ssize_t systemList(const char *path, char *buffer, size_t size, LinkMode links)
{
    return ::listxattr(path, buffer, size, linkOption(links));
}
ssize_t systemGet(const char *path, const char *name, void *buffer, size_t size, LinkMode links)
{
    return ::getxattr(path, name, buffer, size, 0, linkOption(links));
}
int systemSet(const char *path, const char *name, const void *value, size_t size, LinkMode links)
{
    return ::setxattr(path, name, value, size, 0, linkOption(links));
}
int systemRemove(const char *path, const char *name, LinkMode links)
{
    return ::removexattr(path, name, linkOption(links));
}
#elif defined(Q_OS_LINUX)
ssize_t systemList(const char *path, char *buffer, size_t size, LinkMode links)
{
    return links == LinkMode::Follow ? ::listxattr(path, buffer, size) : ::llistxattr(path, buffer, size);
}
ssize_t systemGet(const char *path, const char *name, void *buffer, size_t size, LinkMode links)
{
    return links == LinkMode::Follow ? ::getxattr(path, name, buffer, size)
                                     : ::lgetxattr(path, name, buffer, size);
}
int systemSet(const char *path, const char *name, const void *value, size_t size, LinkMode links)
{
    return links == LinkMode::Follow ? ::setxattr(path, name, value, size, 0)
                                     : ::lsetxattr(path, name, value, size, 0);
}
int systemRemove(const char *path, const char *name, LinkMode links)
{
    return links == LinkMode::Follow ? ::removexattr(path, name) : ::lremovexattr(path, name);
}
#else
#error "Corvane's extended-attribute layer supports Linux and macOS only"
#endif

std::function<void()> &betweenProbeAndFetchHook()
{
    static std::function<void()> hook;
    return hook;
}

// Most values and lists of names are small: a first fetch into a buffer of this size reads them in
// one call, half the calls of a probe and a fetch, which a walk over a tree makes for every file. (Not
// larger: the kernel allocates and clears a buffer of the size asked for on every call.)
constexpr size_t firstFetch = 4096;

// One probe-and-fetch round trip through `call` (which takes a buffer and its size), retried while
// the thing grew in between. A fetch of size 0 is itself only a probe: when an empty list or value
// grew in between, it reports the new length instead of ERANGE, and that is the same race. A first
// fetch into a small buffer comes before, and is all it takes unless that is too small or a test holds
// the window between probe and fetch open.
template <typename Call> std::optional<QByteArray> probeAndFetch(Call call, PosixError *error)
{
    const auto fail = [error](int errorNumber) -> std::optional<QByteArray> {
        if (error)
            *error = posixError(errorNumber);
        return std::nullopt;
    };
    if (!betweenProbeAndFetchHook()) {
        char buffer[firstFetch];
        const ssize_t got = call(buffer, firstFetch);
        if (got >= 0)
            return QByteArray(buffer, qsizetype(got));
        if (errno != ERANGE)
            return fail(errno);
    }
    for (int attempt = 1;; ++attempt) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return fail(errno);
        if (const auto &hook = betweenProbeAndFetchHook())
            hook();
        QByteArray buffer(qsizetype(size), '\0');
        const ssize_t got = call(buffer.data(), size_t(size));
        const bool grew = got > size || (got < 0 && errno == ERANGE);
        if (grew && attempt < attributeReadAttempts)
            continue;
        if (grew)
            return fail(ERANGE);
        if (got < 0)
            return fail(errno);
        buffer.truncate(qsizetype(got));
        return buffer;
    }
}

bool refuse(const QByteArray &text, int errorNumber, PosixError *error)
{
    // The calls take C strings: an embedded NUL would make them act on another file or attribute.
    if (!text.contains('\0'))
        return false;
    if (error)
        *error = posixError(errorNumber);
    return true;
}

} // namespace

QByteArray systemPath(const QUrl &file)
{
    return QFile::encodeName(file.toLocalFile());
}

std::optional<QList<QByteArray>> listExtendedAttributes(
    const QByteArray &path, PosixError *error, LinkMode links)
{
    if (refuse(path, ENOENT, error))
        return std::nullopt;
    const auto names = probeAndFetch(
        [&](char *buffer, size_t size) { return systemList(path.constData(), buffer, size, links); }, error);
    if (!names)
        return std::nullopt;
    QList<QByteArray> list;
    for (qsizetype start = 0; start < names->size();) {
        qsizetype end = names->indexOf('\0', start);
        if (end < 0)
            end = names->size(); // a list cut short when it shrank: the last name ends with the buffer
        if (end > start)
            list.append(names->sliced(start, end - start));
        start = end + 1;
    }
    return list;
}

std::optional<QByteArray> readExtendedAttributeBytes(
    const QByteArray &path, const QByteArray &name, PosixError *error, LinkMode links)
{
    if (refuse(path, ENOENT, error) || refuse(name, EINVAL, error))
        return std::nullopt;
    return probeAndFetch(
        [&](char *buffer, size_t size) {
            return systemGet(path.constData(), name.constData(), buffer, size, links);
        },
        error);
}

std::optional<PosixError> writeExtendedAttributeBytes(
    const QByteArray &path, const QByteArray &name, QByteArrayView value, LinkMode links)
{
    PosixError error;
    if (refuse(path, ENOENT, &error) || refuse(name, EINVAL, &error))
        return error;
    // An empty view may carry a null pointer; the call still gets a valid address with count 0.
    static const char emptyValue = 0;
    const char *bytes = value.isEmpty() ? &emptyValue : value.data();
    if (systemSet(path.constData(), name.constData(), bytes, size_t(value.size()), links) < 0)
        return posixError(errno);
    return std::nullopt;
}

std::optional<PosixError> removeExtendedAttributeBytes(
    const QByteArray &path, const QByteArray &name, LinkMode links)
{
    PosixError error;
    if (refuse(path, ENOENT, &error) || refuse(name, EINVAL, &error))
        return error;
    if (systemRemove(path.constData(), name.constData(), links) < 0)
        return posixError(errno);
    return std::nullopt;
}

namespace detail {
void setBetweenListProbeAndFetchHookForTesting(std::function<void()> hook)
{
    betweenProbeAndFetchHook() = std::move(hook);
}
} // namespace detail

} // namespace corvane
