#pragma once

#include "window/Alerts.h"

#include <QList>
#include <QQueue>

namespace corvane::test {

// Answers every alert in place of the user while it lives: records what would have been shown and
// answers from a queue of button codes (the alert's default button when the queue is empty).
class AlertRecorder {
public:
    AlertRecorder();
    ~AlertRecorder();
    AlertRecorder(const AlertRecorder &) = delete;
    AlertRecorder &operator=(const AlertRecorder &) = delete;

    void answerNext(int buttonReturn) { myAnswers.enqueue(buttonReturn); }
    const QList<AlertRequest> &alerts() const { return myAlerts; }
    qsizetype count() const { return myAlerts.size(); }
    const AlertRequest &last() const { return myAlerts.last(); }
    void clear()
    {
        myAlerts.clear();
        myAnswers.clear();
    }

private:
    QList<AlertRequest> myAlerts;
    QQueue<int> myAnswers;
};

} // namespace corvane::test
