#include "support/AlertRecorder.h"

namespace corvane::test {

AlertRecorder::AlertRecorder()
{
    observe();
}

AlertRecorder::~AlertRecorder()
{
    Alerts::setObserverForTesting({});
}

void AlertRecorder::clear()
{
    m_alerts.clear();
    observe();
}

void AlertRecorder::observe()
{
    Alerts::setObserverForTesting([this](const AlertRequest &alert) {
        m_alerts.append(alert);
        if (m_whileShown)
            m_whileShown(alert);
    });
}

} // namespace corvane::test
