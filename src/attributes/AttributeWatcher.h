#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>

namespace corvane {

// The one watch on the file system that every window of the process shares, for changes other
// programs make to the attributes of the files shown (inotify reports them as changes of the file).
// One per process because a user may hold only a few inotify instances (128 by default on Linux):
// once they run out, Qt quietly falls back to polling modification times, which attribute changes
// leave alone, and windows stop following other programs' writes.
class AttributeWatcher : public QObject {
    Q_OBJECT
public:
    // Made at first use, owned by the application object.
    static AttributeWatcher &shared();

    // Watches are counted: a path stays watched until every watch() has had its unwatch().
    void watch(const QString &path);
    void unwatch(const QString &path);
    // A file that was deleted or renamed away drops out of the watch; one back at its path is
    // watched again.
    void watchAgain(const QString &path);

signals:
    // Something changed the file or folder at the path, its attributes perhaps.
    void changed(const QString &path);

private:
    explicit AttributeWatcher(QObject *parent);

    QFileSystemWatcher m_watcher;
    QHash<QString, int> m_counts;
};

} // namespace corvane
