#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <vector>

namespace corvane::test {

// Points the user's settings (QSettings, native format) at a fresh temporary directory for as long as
// it lives, and reads back what really reached the disk.
class SettingsSandbox {
public:
    SettingsSandbox();

    QString directory() const { return m_dir->path(); } // what XDG_CONFIG_HOME would be
    QString file() const; // Corvane/Corvane.conf inside it

    // Writes the file by hand, as a user or another program might leave it: "[General]" then lines.
    bool write(const QByteArray &lines);

    // The stored value, parsed afresh from the file's bytes (QSettings answers a path it has written
    // from memory, so the value is read from a copy); invalid when absent.
    QVariant onDisk(const QString &key);

    // Moves the store to a new directory, so the next launch reads it from disk, not from memory.
    bool relaunch();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QTemporaryDir>> m_old;
};

} // namespace corvane::test
