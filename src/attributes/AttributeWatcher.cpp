#include "attributes/AttributeWatcher.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace corvane {

AttributeWatcher::AttributeWatcher(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &AttributeWatcher::changed);
    // A folder is watched as a directory, and reports its attribute changes as such.
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &AttributeWatcher::changed);
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
    ++m_counts[path];
    watchAgain(path);
}

void AttributeWatcher::unwatch(const QString &path)
{
    const auto count = m_counts.find(path);
    if (count == m_counts.end() || --*count > 0)
        return;
    m_counts.erase(count);
    if (m_watcher.files().contains(path) || m_watcher.directories().contains(path))
        m_watcher.removePath(path);
}

void AttributeWatcher::watchAgain(const QString &path)
{
    if (m_counts.contains(path) && !m_watcher.files().contains(path)
        && !m_watcher.directories().contains(path) && QFileInfo::exists(path))
        m_watcher.addPath(path);
}

} // namespace corvane
