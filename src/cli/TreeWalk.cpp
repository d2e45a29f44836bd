#include "cli/TreeWalk.h"

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

struct TreeWalk::Level {
    DIR *directory = nullptr;
    QByteArray path; // with a trailing slash, ready for a name
};

TreeWalk::TreeWalk(QList<QByteArray> roots, bool recursive, LinkMode links, Report report)
    : m_roots(std::move(roots))
    , m_recursive(recursive)
    , m_links(links)
    , m_report(std::move(report))
{ }

TreeWalk::~TreeWalk()
{
    for (Level &level : m_levels)
        ::closedir(level.directory);
}

void TreeWalk::descend(const QByteArray &path, bool followLink)
{
    // O_NOFOLLOW: a folder found inside the tree that another program swapped for a link since it was
    // listed must not lead the walk out of the tree.
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW);
    const int fd = ::open(path.constData(), flags);
    DIR *directory = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!directory) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        m_report(path, posixError(error));
        return;
    }
    m_levels.push_back({ directory, path.endsWith('/') ? path : path + '/' });
}

std::optional<QByteArray> TreeWalk::next()
{
    if (m_pending) {
        descend(*m_pending, m_pendingFollowsLink);
        m_pending.reset();
    }
    while (!m_levels.empty()) {
        Level &level = m_levels.back();
        errno = 0;
        const dirent *entry = ::readdir(level.directory);
        if (!entry) {
            if (errno != 0)
                m_report(level.path.chopped(1), posixError(errno));
            ::closedir(level.directory);
            m_levels.pop_back();
            continue;
        }
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        QByteArray path = level.path + name;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat status;
            type = ::lstat(path.constData(), &status) != 0 ? DT_UNKNOWN
                : S_ISDIR(status.st_mode)                  ? DT_DIR
                : S_ISLNK(status.st_mode)                  ? DT_LNK
                                                           : DT_REG;
        }
        if (type == DT_LNK && m_links == LinkMode::Follow)
            continue;
        if (type == DT_DIR) {
            m_pending = path;
            m_pendingFollowsLink = false;
        }
        return path;
    }
    if (m_nextRoot >= m_roots.size())
        return std::nullopt;
    const QByteArray &root = m_roots[m_nextRoot++];
    if (m_recursive && !root.contains('\0')) {
        struct stat status;
        const bool follow = m_links == LinkMode::Follow;
        const int result = follow ? ::stat(root.constData(), &status) : ::lstat(root.constData(), &status);
        // A root that cannot be looked at is still handed out: acting on it reports why.
        if (result == 0 && S_ISDIR(status.st_mode)) {
            m_pending = root;
            m_pendingFollowsLink = follow;
        }
    }
    return root;
}

} // namespace corvane
