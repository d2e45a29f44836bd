#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>

#include <deque>
#include <functional>

namespace corvane::BusRequests {

// Any program in the desktop session may call the application interface, as often and with as much as
// the bus carries. These bound what one request, and all requests together, may cost: a request over
// a bound is refused whole, with a reason that names the bound, and nothing of it is done.
inline constexpr qsizetype maximumFilesPerRequest = 100;
inline constexpr qsizetype maximumAddressLength = 3 * 4096 + 16; // PATH_MAX, every byte percent-encoded
inline constexpr int maximumWindowsPerPeriod = 200;
inline constexpr qint64 periodMs = 10000;

struct Refusal {
    enum class Kind {
        None, // taken
        LimitExceeded, // a bound on how much is asked for
        InvalidArgument, // something no well-behaved caller sends
    };
    Kind kind = Kind::None;
    QString message; // for the caller, in English as D-Bus errors are

    explicit operator bool() const { return kind != Kind::None; }
    static Refusal limit(const QString &message) { return { Kind::LimitExceeded, message }; }
    static Refusal invalid(const QString &message) { return { Kind::InvalidArgument, message }; }
};

struct OpenRequest {
    // In the order given. A file address is absolute, has no host and names no NUL (QUrl::fromLocalFile
    // of its path); any other address is passed on as it came, for the opener to say it is not a file.
    QList<QUrl> urls;
    Refusal refusal; // set: urls is empty
};

// Open(uris): each address parsed strictly; "file://localhost/…" is the local file.
OpenRequest parseOpen(const QStringList &uris);

// ActivateAction(name, parameter): refused unless the action is one of `known` and takes no parameter,
// as none of Corvane's do.
Refusal checkAction(const QString &name, const QVariantList &parameter, const QStringList &known);

// How many windows requests from the bus have opened lately: at most `limit` within any `period`.
class WindowBudget {
public:
    using Clock = std::function<qint64()>; // milliseconds, never going back
    explicit WindowBudget(int limit = maximumWindowsPerPeriod, qint64 period = periodMs, Clock clock = {});

    // Takes `count` windows, or refuses (taking none) when they would pass the limit.
    Refusal take(qsizetype count);

private:
    int m_limit;
    qint64 m_period;
    Clock m_clock;
    std::deque<qint64> m_taken; // when each window within the period was taken, oldest first
};

} // namespace corvane::BusRequests
