#pragma once

// Listing a file's attributes, reading and writing them by the exact bytes of their names, as the
// system gives them. The editor's own read (ExtendedAttributes.h) takes names as text and puts bare names
// into "user."; a listing must instead hand back whatever it was given, including names that are not UTF-8
// and names in the other namespaces, so it works on raw bytes throughout.

#include "attributes/ExtendedAttributes.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <functional>
#include <optional>

namespace corvane {

// How often a listing or a read starts over when the names or the value grew between the size probe
// and the fetch. Past that the fetch's ERANGE is the result: another program is rewriting the file's
// attributes faster than we can read them.
inline constexpr int attributeReadAttempts = 8;

// Whether the calls act on what a symbolic link points to (getxattr, the editor's way) or on the link
// itself (lgetxattr, getfattr's -h).
enum class LinkMode { Follow, NoFollow };

// The path as the system calls take it.
QByteArray systemPath(const QUrl &file);

// Every attribute name of the file, in the order the system lists them: a listxattr size probe, then
// the fetch. When the list grew in between, both are made again (at most attributeReadAttempts times);
// when it shrank, only the names fetched. The calls follow symbolic links, as the editor's do, unless
// told otherwise.
std::optional<QList<QByteArray>> listExtendedAttributes(
    const QByteArray &path, PosixError *error = nullptr, LinkMode links = LinkMode::Follow);

// The value under exactly this name, with the same discipline: a getxattr size probe, then the fetch,
// started over when the value grew in between.
std::optional<QByteArray> readExtendedAttributeBytes(const QByteArray &path, const QByteArray &name,
    PosixError *error = nullptr, LinkMode links = LinkMode::Follow);

// Creates or replaces the attribute under exactly this name; the error, or nullopt on success.
std::optional<PosixError> writeExtendedAttributeBytes(
    const QByteArray &path, const QByteArray &name, QByteArrayView value, LinkMode links = LinkMode::Follow);

// Removes the attribute under exactly this name; the error (ENODATA when there is none), or nullopt.
std::optional<PosixError> removeExtendedAttributeBytes(
    const QByteArray &path, const QByteArray &name, LinkMode links = LinkMode::Follow);

namespace detail {
// Called between every size probe and its fetch (of the list and of each value), so that tests can
// change the file's attributes in that window. Pass an empty function to clear it.
void setBetweenListProbeAndFetchHookForTesting(std::function<void()> hook);
} // namespace detail

} // namespace corvane
