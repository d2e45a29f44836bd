#pragma once

// The files a command acts on: each path given, and with recursion everything below each folder,
// handed out one at a time as the directories are read, so a walk holds one open directory per level
// and never the tree. Folders come before what they hold, entries in the order the system lists them
// (as getfattr -R walks). Symbolic links met inside a tree are never followed into; they are visited
// themselves only when the calls act on links (-h), as getfattr skips them otherwise. A directory that
// cannot be read is reported and the walk goes on.

#include "attributes/AttributeListing.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <optional>
#include <vector>

namespace corvane {

class TreeWalk {
public:
    using Report = std::function<void(const QByteArray &path, const PosixError &error)>;

    TreeWalk(QList<QByteArray> roots, bool recursive, LinkMode links, Report report);
    ~TreeWalk();
    TreeWalk(const TreeWalk &) = delete;
    TreeWalk &operator=(const TreeWalk &) = delete;

    // The next path, or nullopt when the walk is over.
    std::optional<QByteArray> next();

private:
    struct Level;
    void descend(const QByteArray &path, bool followLink);

    QList<QByteArray> m_roots;
    qsizetype m_nextRoot = 0;
    bool m_recursive = false;
    LinkMode m_links = LinkMode::Follow;
    Report m_report;
    std::vector<Level> m_levels;
    // A folder just handed out, entered on the next call so that it comes before what it holds.
    std::optional<QByteArray> m_pending;
    bool m_pendingFollowsLink = false;
};

} // namespace corvane
