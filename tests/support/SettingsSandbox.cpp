#include "support/SettingsSandbox.h"

#include <QDir>
#include <QFile>
#include <QSettings>

namespace corvane::test {

SettingsSandbox::SettingsSandbox()
    : m_dir(std::make_unique<QTemporaryDir>())
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
}

QString SettingsSandbox::file() const
{
    return m_dir->filePath(QStringLiteral("Corvane/Corvane.conf"));
}

bool SettingsSandbox::write(const QByteArray &lines)
{
    QFile out(file());
    return QDir().mkpath(m_dir->filePath(QStringLiteral("Corvane"))) && out.open(QIODevice::WriteOnly)
        && out.write("[General]\n" + lines) >= 0;
}

QVariant SettingsSandbox::onDisk(const QString &key)
{
    m_old.push_back(std::make_unique<QTemporaryDir>());
    const QString copy = m_old.back()->filePath(QStringLiteral("copy.conf"));
    if (!QFile::copy(file(), copy))
        return QVariant();
    return QSettings(copy, QSettings::IniFormat).value(key);
}

bool SettingsSandbox::relaunch()
{
    auto fresh = std::make_unique<QTemporaryDir>();
    if (!QDir().mkpath(fresh->filePath(QStringLiteral("Corvane")))
        || !QFile::copy(file(), fresh->filePath(QStringLiteral("Corvane/Corvane.conf"))))
        return false;
    m_old.push_back(std::move(m_dir));
    m_dir = std::move(fresh);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    return true;
}

} // namespace corvane::test
