#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace corvane {

class SingleInstance;

// The freedesktop application interface (org.freedesktop.Application) as the running Corvane offers it
// on the session bus: what launchers, file managers and a second `corvane` call. Each call is answered
// at once and the work is queued, so a caller never waits on a window or a modal alert.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    static constexpr qsizetype maximumOpenCount = 1000;
    static constexpr qsizetype maximumUriLength = 3 * 4096 + 16; // PATH_MAX, every byte encoded

    explicit ApplicationAdaptor(SingleInstance *parent);
    ~ApplicationAdaptor() override;

public slots:
    void Activate(const QVariantMap &platform_data);
    void Open(const QStringList &uris, const QVariantMap &platform_data);
    void ActivateAction(
        const QString &action_name, const QVariantList &parameter, const QVariantMap &platform_data);

private:
    SingleInstance *m_instance;
};

} // namespace corvane
