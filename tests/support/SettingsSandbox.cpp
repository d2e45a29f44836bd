#include "support/SettingsSandbox.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace corvane::test {

SettingsSandbox::SettingsSandbox()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
}

bool SettingsSandbox::write(const QByteArray &lines)
{
    QFile out(file());
    return QDir(m_dir->path()).mkpath(QStringLiteral("Corvane")) && out.open(QIODevice::WriteOnly)
        && out.write("[General]\n" + lines) >= 0;
}

QVariant SettingsSandbox::onDisk(const QString &key)
{
    const QString copy = m_dir->filePath(QStringLiteral("copy-%1.conf").arg(++m_copies));
    return QFile::copy(file(), copy) ? QSettings(copy, QSettings::IniFormat).value(key) : QVariant();
}

bool SettingsSandbox::relaunch()
{
    auto fresh = std::make_unique<QTemporaryDir>();
    if (!QDir(fresh->path()).mkpath(QStringLiteral("Corvane"))
        || !QFile::copy(file(), fresh->filePath(QStringLiteral("Corvane/Corvane.conf"))))
        return false;
    m_dir = std::move(fresh);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    return true;
}

} // namespace corvane::test
