#include "support/AlertRecorder.h"

namespace corvane::test {

AlertRecorder::AlertRecorder()
{
    Alerts::setHandlerForTesting([this](const AlertRequest &alert) {
        myAlerts.append(alert);
        if (!myAnswers.isEmpty())
            return myAnswers.dequeue();
        return firstButtonReturn + qMax(alert.defaultButton, 0);
    });
}

AlertRecorder::~AlertRecorder()
{
    Alerts::setHandlerForTesting({});
}

} // namespace corvane::test
