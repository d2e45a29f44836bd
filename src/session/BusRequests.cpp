#include "session/BusRequests.h"

#include <QCoreApplication>

#include <chrono>

namespace corvane::BusRequests {

namespace {
// The refusals reach the person whose request it was: printed by the corvane that asked, or shown by
// the desktop.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(BusRequests)
};

// An address quoted back to its caller: as it came (still percent-encoded, so a NUL stays "%00"), and
// short enough for a message.
QString quoted(const QString &uri)
{
    constexpr qsizetype shown = 200;
    return QChar(0x201C) + (uri.size() <= shown ? uri : uri.left(shown) + QChar(0x2026)) + QChar(0x201D);
}

qint64 steadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

OpenRequest parseOpen(const QStringList &uris)
{
    OpenRequest request;
    const auto refuse = [&request](Refusal refusal) {
        request.urls.clear();
        request.refusal = std::move(refusal);
        return request;
    };
    if (uris.size() > maximumFilesPerRequest) {
        return refuse(Refusal::limit(Text::tr("Corvane opens at most %1 files per request, not %2")
                                         .arg(maximumFilesPerRequest)
                                         .arg(uris.size())));
    }
    request.urls.reserve(uris.size());
    for (const QString &uri : uris) {
        // Checked before parsing: parsing costs, and nothing this long names a file.
        if (uri.size() > maximumAddressLength) {
            return refuse(Refusal::limit(Text::tr("An address of %1 characters is over the limit of %2")
                                             .arg(uri.size())
                                             .arg(maximumAddressLength)));
        }
        const QUrl url(uri, QUrl::StrictMode);
        if (!url.isValid() || url.isRelative())
            return refuse(Refusal::invalid(Text::tr("%1 is not an address").arg(quoted(uri))));
        const bool onThisMachine = url.host().isEmpty() || url.host() == QLatin1String("localhost");
        if (url.scheme() != QLatin1String("file") || !onThisMachine) {
            request.urls.append(url);
            continue;
        }
        QString path = url.path(QUrl::FullyDecoded);
        // The system would read the name only up to the NUL, and so find another file than the one named.
        if (path.contains(QChar(0))) {
            return refuse(Refusal::invalid(
                Text::tr("%1 names a NUL character, which no file name holds").arg(quoted(uri))));
        }
        // A query or fragment is no part of a file's name; dropping it would open another file.
        if (!path.startsWith(u'/') || url.hasQuery() || url.hasFragment()) {
            return refuse(Refusal::invalid(
                Text::tr("%1 is not the address of a file by its full path").arg(quoted(uri))));
        }
        // "//name/…" would turn into a host of that name; for the system it is the same as "/name/…".
        while (path.startsWith(QLatin1String("//")))
            path.remove(0, 1);
        request.urls.append(QUrl::fromLocalFile(path));
    }
    return request;
}

Refusal checkAction(const QString &name, const QVariantList &parameter, const QStringList &known)
{
    if (!known.contains(name))
        return Refusal::invalid(Text::tr("No action named %1").arg(quoted(name)));
    if (!parameter.isEmpty())
        return Refusal::invalid(Text::tr("The action %1 takes no parameter").arg(quoted(name)));
    return {};
}

WindowBudget::WindowBudget(int limit, qint64 period, Clock clock)
    : m_limit(limit)
    , m_period(period)
    , m_clock(clock ? std::move(clock) : Clock(&steadyMilliseconds))
{ }

Refusal WindowBudget::take(qsizetype count)
{
    const qint64 now = m_clock();
    while (!m_taken.empty() && now - m_taken.front() >= m_period)
        m_taken.pop_front();
    if (count > m_limit - qsizetype(m_taken.size())) {
        return Refusal::limit(Text::tr(
            "Corvane opens at most %1 windows for the session bus within %2 seconds; try again later")
                                  .arg(m_limit)
                                  .arg(m_period / 1000));
    }
    m_taken.insert(m_taken.end(), size_t(count), now);
    return {};
}

} // namespace corvane::BusRequests
