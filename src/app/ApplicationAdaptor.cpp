#include "app/ApplicationAdaptor.h"

#include "app/SingleInstance.h"
#include "session/BusRequests.h"

#include <QDBusError>

namespace corvane {

ApplicationAdaptor::ApplicationAdaptor(SingleInstance *parent)
    : QDBusAbstractAdaptor(parent)
    , m_instance(parent)
{ }

ApplicationAdaptor::~ApplicationAdaptor() = default;

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    answer(m_instance->requests()->submitActivate());
}

void ApplicationAdaptor::Open(const QStringList &uris, const QVariantMap &)
{
    const BusRequests::OpenRequest request = BusRequests::parseOpen(uris);
    answer(request.refusal ? request.refusal : m_instance->requests()->submitOpen(request.urls));
}

void ApplicationAdaptor::ActivateAction(
    const QString &action_name, const QVariantList &parameter, const QVariantMap &)
{
    const BusRequests::Refusal refusal
        = BusRequests::checkAction(action_name, parameter, SingleInstance::actions());
    answer(refusal ? refusal : m_instance->requests()->submitAction(action_name));
}

void ApplicationAdaptor::answer(const BusRequests::Refusal &refusal)
{
    // Without an error the call's empty reply goes out as the slot returns; the work waits in the queue.
    if (!refusal || !m_instance->calledFromDBus())
        return;
    m_instance->sendErrorReply(refusal.kind == BusRequests::Refusal::Kind::LimitExceeded
            ? QDBusError::LimitsExceeded
            : QDBusError::InvalidArgs,
        refusal.message);
}

} // namespace corvane
