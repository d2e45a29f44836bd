#include "app/RequestQueue.h"

#include "window/Alerts.h"

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace corvane {

using BusRequests::Refusal;

namespace {
// How often the queue looks again while a modal alert or another nested event loop is running.
constexpr int nestedLoopPollMs = 100;
// A failure names the file, and a path or address can be thousands of characters long.
constexpr qsizetype longestListedFailure = 160;

QString shortened(const QString &text)
{
    if (text.size() <= longestListedFailure)
        return text;
    const qsizetype half = longestListedFailure / 2;
    return text.left(half) + QChar(0x2026) + text.right(half);
}
} // namespace

RequestQueue::RequestQueue(QObject *parent)
    : QObject(parent)
{
    m_step.setSingleShot(true);
    connect(&m_step, &QTimer::timeout, this, &RequestQueue::workOneStep);
}

RequestQueue::~RequestQueue() = default;

Refusal RequestQueue::admit(qsizetype places, qsizetype windows)
{
    if (waiting() + places > maximumWaiting) {
        return Refusal::limit(tr("Corvane holds at most %1 requests while an alert is up; try again later")
                                  .arg(maximumWaiting));
    }
    return m_budget.take(windows);
}

Refusal RequestQueue::submitOpen(const QList<QUrl> &urls)
{
    // Only a file on this machine can open a window; any other address can only fail, and costs a line
    // in an alert.
    const auto windows = std::count_if(
        urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile() && url.host().isEmpty(); });
    if (Refusal refusal = admit(urls.size(), windows))
        return refusal;
    for (const QUrl &url : urls)
        m_waiting.push_back({ Item::Kind::Open, url, {} });
    workSoon();
    return {};
}

Refusal RequestQueue::submitActivate()
{
    // Raising the front window twice raises it once: any number of these cost one step.
    if (std::any_of(m_waiting.begin(), m_waiting.end(),
            [](const Item &item) { return item.kind == Item::Kind::Activate; }))
        return {};
    if (Refusal refusal = admit(1, 0))
        return refusal;
    m_waiting.push_back({ Item::Kind::Activate, {}, {} });
    workSoon();
    return {};
}

Refusal RequestQueue::submitAction(const QString &name)
{
    if (Refusal refusal = admit(1, 1))
        return refusal;
    m_waiting.push_back({ Item::Kind::Action, {}, name });
    workSoon();
    return {};
}

void RequestQueue::workSoon()
{
    if (!m_step.isActive())
        m_step.start(0);
}

bool RequestQueue::mayWorkNow() const
{
    // The application's own loop is the first level; anything above it is a loop nested inside.
    return !m_working && !QApplication::activeModalWidget() && QThread::currentThread()->loopLevel() <= 1;
}

void RequestQueue::workOneStep()
{
    if (m_waiting.empty() && m_failures.isEmpty())
        return;
    if (!mayWorkNow()) {
        m_step.start(nestedLoopPollMs);
        return;
    }
    m_working = true;
    if (!m_waiting.empty()) {
        const Item item = std::move(m_waiting.front());
        m_waiting.pop_front();
        switch (item.kind) {
        case Item::Kind::Open:
            if (m_handlers.open) {
                if (const QString failure = m_handlers.open(item.url); !failure.isEmpty())
                    m_failures.append(failure);
            }
            break;
        case Item::Kind::Activate:
            if (m_handlers.activate)
                m_handlers.activate();
            break;
        case Item::Kind::Action:
            if (m_handlers.runAction)
                m_handlers.runAction(item.action);
            break;
        }
    } else {
        showFailures();
    }
    m_working = false;
    if (!m_waiting.empty() || !m_failures.isEmpty())
        m_step.start(0);
}

void RequestQueue::showFailures()
{
    const QStringList failures = std::exchange(m_failures, {});
    AlertRequest alert;
    alert.style = AlertRequest::Style::Warning;
    if (failures.size() == 1) {
        alert.messageText = tr("The file could not be opened.");
        alert.informativeText = shortened(failures.first());
    } else {
        alert.messageText = tr("%n files could not be opened.", nullptr, int(failures.size()));
        QStringList listed;
        for (qsizetype i = 0; i < std::min(failures.size(), maximumListedFailures); ++i)
            listed.append(shortened(failures.at(i)));
        if (failures.size() > maximumListedFailures)
            listed.append(tr("…and %n more.", nullptr, int(failures.size() - maximumListedFailures)));
        alert.informativeText = listed.join(u'\n');
    }
    Alerts::run(alert, QApplication::activeWindow());
}

} // namespace corvane
