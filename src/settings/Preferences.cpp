#include "settings/Preferences.h"

#include <QSettings>
#include <QVariant>

#include <cmath>

namespace corvane {

Preferences::Preferences()
    : m_settings(std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvane"), QStringLiteral("Corvane")))
{ }

Preferences::~Preferences() = default;

bool Preferences::boolForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong() != 0;
    case QMetaType::QString: {
        // Text formats keep every value as text; only the spellings a person would write count.
        const QString text = value.toString().trimmed().toLower();
        return text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("1");
    }
    default:
        return false;
    }
}

bool Preferences::boolForKey(const QString &key, bool absent) const
{
    const QVariant value = m_settings->value(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("false") || text == QLatin1String("no") || text == QLatin1String("0"))
            return false;
        if (text == QLatin1String("true") || text == QLatin1String("yes") || text == QLatin1String("1"))
            return true;
        return absent;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return boolForKey(key);
    default:
        return absent;
    }
}

double Preferences::doubleForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    double number = 0.0;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        number = value.toDouble();
        break;
    case QMetaType::QString: {
        bool ok = false;
        number = value.toString().trimmed().toDouble(&ok); // C locale, whatever the user's
        if (!ok)
            return 0.0;
        break;
    }
    default:
        return 0.0;
    }
    // "nan" and "inf" parse as numbers, but no caller can schedule or size anything with them: a NaN
    // interval would make every comparison false and silently stop update checks for good.
    return std::isfinite(number) ? number : 0.0;
}

std::optional<QString> Preferences::stringForKey(const QString &key) const
{
    const QVariant value = m_settings->value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

QList<int> Preferences::numbersForKey(const QString &key) const
{
    QList<int> numbers;
    // The INI format splits "a, b" into a list of its own; either form reads the same.
    const QString text = m_settings->value(key).toStringList().join(QLatin1Char(' '));
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = word.toInt(&ok);
        if (ok)
            numbers.append(number);
    }
    return numbers;
}

void Preferences::setNumbers(const QString &key, const QList<int> &numbers)
{
    QStringList words;
    for (int number : numbers)
        words.append(QString::number(number));
    setValue(key, words.join(QLatin1Char(' ')));
}

void Preferences::setBool(const QString &key, bool value)
{
    setValue(key, value);
}

void Preferences::setDouble(const QString &key, double value)
{
    setValue(key, value);
}

void Preferences::setString(const QString &key, const QString &value)
{
    setValue(key, value);
}

void Preferences::setValue(const QString &key, const QVariant &value)
{
    // Every write locks, rewrites and renames the whole file, and most launches would only write back
    // what they read. The text form decides, as the file keeps nothing else; a key that is absent
    // is written, the empty text included.
    const QVariant stored = m_settings->value(key);
    if (stored.isValid() && stored.typeId() == QMetaType::QString && stored.toString() == value.toString())
        return;
    if (stored.isValid() && stored.typeId() == value.typeId() && stored == value)
        return;
    m_settings->setValue(key, value);
}

void Preferences::sync()
{
    m_settings->sync();
}

} // namespace corvane
