#pragma once

#include "window/Alerts.h"

#include <QList>

#include <functional>

namespace corvane::test {

// Answers every alert in place of the user while it lives: records what would have been shown and
// answers with the answers given (the alert's default button once they run out).
class AlertRecorder {
public:
    AlertRecorder();
    ~AlertRecorder();
    AlertRecorder(const AlertRecorder &) = delete;
    AlertRecorder &operator=(const AlertRecorder &) = delete;

    void answerNext(Alerts::Button answer) { Alerts::setNextAnswer(answer); }
    // Runs while each alert is up, as another program acting meanwhile would.
    void setWhileShown(std::function<void(const AlertRequest &)> action) { m_whileShown = std::move(action); }
    const QList<AlertRequest> &alerts() const { return m_alerts; }
    qsizetype count() const { return m_alerts.size(); }
    const AlertRequest &last() const { return m_alerts.last(); }
    void clear(); // forgets the alerts and the answers not used

private:
    void observe();

    QList<AlertRequest> m_alerts;
    std::function<void(const AlertRequest &)> m_whileShown;
};

} // namespace corvane::test
