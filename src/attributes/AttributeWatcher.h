#pragma once

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

namespace corvane {

// The one watch on the file system that every window of the process shares, for changes other
// programs make to the attributes of the files shown (inotify reports them as changes of the file).
// One per process because a user may hold only a few inotify instances (128 by default on Linux, for
// all of the user's programs together). When none is left, Qt watches by polling modification times,
// which attribute changes leave alone; the watcher then polls the files' change times (ctime), which
// move with every attribute change, every pollIntervalMs.
class AttributeWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 2000;

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
    void report(const QString &path);
    void pollChangeTimes();

    QFileSystemWatcher m_watcher;
    QHash<QString, int> m_counts;
    QHash<QString, QDateTime> m_changeTimes; // as last reported, while polling
    bool m_polling = false; // no inotify instance was left for this process
    QTimer m_poll;
};

} // namespace corvane
