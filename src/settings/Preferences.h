#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QSettings;

namespace corvane {

// The values Corvane keeps in the user's settings store, and typed access to them.
//
// The store is QSettings in its native format under organisation and application "Corvane" (on Linux
// ~/.config/Corvane/Corvane.conf). Nothing is registered as a default: a key that is absent, or that
// holds something of another type (a settings file edited by hand, a value left by another version),
// reads as false, 0.0 or no string, and the callers turn that into their working value.
namespace PreferenceKey {
inline const QString noUpdateCheck = QStringLiteral("noUpdateCheck");
inline const QString dateLastUpdateCheck = QStringLiteral("dateLastUpdateCheck");
inline const QString updateCheckInterval = QStringLiteral("updateCheckInt");
inline const QString scratchpad = QStringLiteral("scratchpad");
inline const QString fontSizeMain = QStringLiteral("fontSizeMain");
inline const QString showAttributesPanel = QStringLiteral("showAttributesPanel");
inline const QString attributesColumnWidths = QStringLiteral("attributesColumnWidths");
inline const QString attributesHiddenColumns = QStringLiteral("attributesHiddenColumns");
inline const QString editorSplitterSizes = QStringLiteral("editorSplitterSizes");
// Tags edited in a window or from the command line go to the desktop's user.xdg.tags beside Finder's; on
// when absent.
inline const QString bridgeTags = QStringLiteral("bridgeTags");
} // namespace PreferenceKey

class Preferences {
public:
    Preferences();
    ~Preferences();
    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    bool boolForKey(const QString &key) const;
    // For the keys whose absence means "on": `absent` when the key is missing or holds no recognisable
    // true or false.
    bool boolForKey(const QString &key, bool absent) const;
    double doubleForKey(const QString &key) const; // finite, or 0.0
    std::optional<QString> stringForKey(const QString &key) const;
    // Whole numbers kept as one line of text ("170 130 60"); what is not a number is left out.
    QList<int> numbersForKey(const QString &key) const;

    void setBool(const QString &key, bool value);
    void setDouble(const QString &key, double value);
    void setString(const QString &key, const QString &value);
    void setNumbers(const QString &key, const QList<int> &numbers);

    // Writes pending changes to disk now rather than when the event loop next gets round to it, so a
    // value survives a process that ends abruptly afterwards.
    void sync();

private:
    void setValue(const QString &key, const QVariant &value); // unless the same value is stored

    std::unique_ptr<QSettings> m_settings;
};

} // namespace corvane
