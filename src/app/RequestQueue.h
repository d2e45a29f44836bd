#pragma once

#include "session/BusRequests.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <functional>

namespace corvane {

// The work the session bus asks for (open these files, show a window, run an action), taken at once
// and done later, one step at a time, from the application's own event loop.
//
// A request is answered the moment it arrives: taken, or refused with the bound it would pass (the
// files per request, the windows per period, the requests waiting). The work never starts inside a
// nested event loop (a modal alert, a file dialog, a drag), where it would open windows and alerts in
// turn inside each other; it waits until that loop has ended. Files that cannot be opened are gathered
// into one alert, shown once the queue has run dry: one for a request of many files, one for many
// requests that came while an alert was up.
class RequestQueue : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maximumWaiting = BusRequests::maximumWindowsPerPeriod;
    static constexpr qsizetype maximumListedFailures = 10;

    struct Handlers {
        std::function<QString(const QUrl &)> open; // opens the file, or says why it cannot
        std::function<void()> activate;
        std::function<void(const QString &)> runAction;
    };

    explicit RequestQueue(QObject *parent = nullptr);
    ~RequestQueue() override;

    void setHandlers(Handlers handlers) { m_handlers = std::move(handlers); }
    void setBudgetForTesting(BusRequests::WindowBudget budget) { m_budget = std::move(budget); }

    BusRequests::Refusal submitOpen(const QList<QUrl> &urls);
    BusRequests::Refusal submitActivate();
    BusRequests::Refusal submitAction(const QString &name);

    qsizetype waiting() const { return qsizetype(m_waiting.size()); }

private:
    struct Item {
        enum class Kind { Open, Activate, Action };
        Kind kind;
        QUrl url;
        QString action;
    };

    BusRequests::Refusal admit(qsizetype places, qsizetype windows);
    void workSoon();
    void workOneStep();
    bool mayWorkNow() const;
    void showFailures();

    Handlers m_handlers;
    BusRequests::WindowBudget m_budget;
    std::deque<Item> m_waiting;
    QStringList m_failures;
    QTimer m_step;
    bool m_working = false;
};

} // namespace corvane
