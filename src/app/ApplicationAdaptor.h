#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace corvane {

class SingleInstance;
namespace BusRequests {
struct Refusal;
}

// The freedesktop application interface (org.freedesktop.Application) as the running Corvane offers it
// on the session bus: what launchers, file managers and a second `corvane` call. Each call is answered
// at once, taken into the instance's request queue or refused with a D-Bus error saying why, so a
// caller never waits on a window or a modal alert.
class ApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit ApplicationAdaptor(SingleInstance *parent);
    ~ApplicationAdaptor() override;

public slots:
    void Activate(const QVariantMap &platform_data);
    void Open(const QStringList &uris, const QVariantMap &platform_data);
    void ActivateAction(
        const QString &action_name, const QVariantList &parameter, const QVariantMap &platform_data);

private:
    void answer(const BusRequests::Refusal &refusal);

    SingleInstance *m_instance;
};

} // namespace corvane
