#include "attributes/AttributeWatcher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace corvane {

namespace {
QDateTime changeTime(const QString &path)
{
    return QFileInfo(path).metadataChangeTime();
}
} // namespace

AttributeWatcher::AttributeWatcher(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &AttributeWatcher::report);
    // A folder is watched as a directory, and reports its attribute changes as such.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &AttributeWatcher::report);
    // Qt makes its inotify engine, a child of the watcher, as the watcher is made; without one it polls.
    m_polling = m_watcher.children().isEmpty();
    if (m_polling) {
        m_poll.setInterval(pollIntervalMs);
        connect(&m_poll, &QTimer::timeout, this, &AttributeWatcher::pollChangeTimes);
    }
}

AttributeWatcher &AttributeWatcher::shared()
{
    static QPointer<AttributeWatcher> shared;
    if (!shared)
        shared = new AttributeWatcher(QCoreApplication::instance());
    return *shared;
}

void AttributeWatcher::watch(const QString &path)
{
    if (path.isEmpty())
        return;
    if (++m_counts[path] == 1 && m_polling) {
        m_changeTimes.insert(path, changeTime(path));
        m_poll.start();
    }
    watchAgain(path);
}

void AttributeWatcher::unwatch(const QString &path)
{
    const auto count = m_counts.find(path);
    if (count == m_counts.end() || --*count > 0)
        return;
    m_counts.erase(count);
    m_changeTimes.remove(path);
    if (m_counts.isEmpty())
        m_poll.stop();
    if (m_watcher.files().contains(path) || m_watcher.directories().contains(path))
        m_watcher.removePath(path);
}

void AttributeWatcher::watchAgain(const QString &path)
{
    if (m_counts.contains(path) && !m_watcher.files().contains(path)
        && !m_watcher.directories().contains(path) && QFileInfo::exists(path))
        m_watcher.addPath(path);
}

void AttributeWatcher::report(const QString &path)
{
    if (m_changeTimes.contains(path))
        m_changeTimes.insert(path, changeTime(path)); // heard already: the poll need not say it again
    emit changed(path);
}

void AttributeWatcher::pollChangeTimes()
{
    QStringList changedPaths;
    for (auto watched = m_changeTimes.begin(); watched != m_changeTimes.end(); ++watched) {
        const QDateTime now = changeTime(watched.key());
        if (now != watched.value()) {
            watched.value() = now;
            changedPaths.append(watched.key());
        }
    }
    // Only now: a window told may stop watching.
    for (const QString &path : std::as_const(changedPaths))
        emit changed(path);
}

} // namespace corvane
