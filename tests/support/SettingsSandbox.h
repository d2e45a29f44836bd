#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace corvane::test {

// Points the user's settings (QSettings, native format) at a fresh temporary directory for as long as
// it lives, and reads back what really reached the disk.
class SettingsSandbox {
public:
    SettingsSandbox();
    QString directory() const { return m_dir->path(); } // what XDG_CONFIG_HOME would be
    QString file() const { return m_dir->filePath(QStringLiteral("Corvane/Corvane.conf")); }
    // Writes the file by hand, as a user or another program might leave it: "[General]" then the lines.
    bool write(const QByteArray &lines);
    // The stored value as parsed afresh from the file's bytes (QSettings answers a path it has written
    // from memory, so a copy is read); invalid when absent.
    QVariant onDisk(const QString &key);
    // Moves the store to a new directory, so the next launch reads it from disk, not from memory.
    bool relaunch();

private:
    std::unique_ptr<QTemporaryDir> m_dir = std::make_unique<QTemporaryDir>();
    int m_copies = 0;
};

} // namespace corvane::test
