#include "app/ApplicationAdaptor.h"

#include "app/SingleInstance.h"

#include <QDBusError>
#include <QUrl>

namespace corvane {

ApplicationAdaptor::ApplicationAdaptor(SingleInstance *parent)
    : QDBusAbstractAdaptor(parent)
    , m_instance(parent)
{ }

ApplicationAdaptor::~ApplicationAdaptor() = default;

void ApplicationAdaptor::Activate(const QVariantMap &)
{
    emit m_instance->activateRequested();
}

void ApplicationAdaptor::Open(const QStringList &uris, const QVariantMap &)
{
    // Each file becomes a window: a request for more than anyone selects in a file manager comes from
    // something gone wrong, and is refused whole rather than buried under windows.
    if (uris.size() > maximumOpenCount) {
        if (m_instance->calledFromDBus())
            m_instance->sendErrorReply(
                QDBusError::InvalidArgs, QStringLiteral("At most %1 files at once").arg(maximumOpenCount));
        return;
    }
    QList<QUrl> urls;
    urls.reserve(uris.size());
    for (const QString &uri : uris) {
        // Longer than any path, percent-encoded, can be: not a file; parsing it would only cost.
        if (uri.size() <= maximumUriLength)
            urls.append(QUrl(uri, QUrl::StrictMode));
    }
    emit m_instance->openRequested(urls);
}

void ApplicationAdaptor::ActivateAction(const QString &action_name, const QVariantList &, const QVariantMap &)
{
    if (!SingleInstance::actions().contains(action_name)) {
        if (m_instance->calledFromDBus())
            m_instance->sendErrorReply(
                QDBusError::InvalidArgs, QStringLiteral("No action named “%1”").arg(action_name.left(200)));
        return;
    }
    emit m_instance->actionRequested(action_name);
}

} // namespace corvane
