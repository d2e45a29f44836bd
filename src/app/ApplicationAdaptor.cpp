#include "app/ApplicationAdaptor.h"

#include "app/SingleInstance.h"

#include <QDBusError>
#include <QUrl>

namespace corvane {

ApplicationAdaptor::ApplicationAdaptor(SingleInstance *parent)
    : QDBusAbstractAdaptor(parent)
    , myInstance(parent)
{ }

ApplicationAdaptor::~ApplicationAdaptor() = default;

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    emit myInstance->activateRequested();
}

void ApplicationAdaptor::Open(const QStringList &uris, const QVariantMap &)
{
    QList<QUrl> urls;
    urls.reserve(uris.size());
    for (const QString &uri : uris)
        urls.append(QUrl(uri, QUrl::StrictMode));
    emit myInstance->openRequested(urls);
}

void ApplicationAdaptor::ActivateAction(const QString &action_name, const QVariantList &, const QVariantMap &)
{
    if (!SingleInstance::actions().contains(action_name)) {
        if (calledFromDBus())
            sendErrorReply(
                QDBusError::InvalidArgs, QStringLiteral("No action named “%1”").arg(action_name.left(200)));
        return;
    }
    emit myInstance->actionRequested(action_name);
}

} // namespace corvane
