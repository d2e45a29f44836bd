// Any program in the session may call Corvane's bus interface. The first byte picks the request, the
// rest is split at NUL bytes into its strings: Open's addresses, or ActivateAction's name and
// parameters, or pairs of (milliseconds later, windows asked for) for the window budget. Whatever they
// hold, a request is taken or refused whole, a file address taken names an absolute path without a NUL
// on this machine, and the budget never lets more windows through within a period than its limit.
#include "session/BusRequests.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <utility>

using namespace corvane::BusRequests;

namespace {
QStringList fields(const uint8_t *data, size_t size)
{
    QStringList result;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &field : bytes.toByteArray().split('\0'))
        result.append(QString::fromUtf8(field));
    return result;
}

void checkOpen(const QStringList &uris)
{
    const OpenRequest request = parseOpen(uris);
    if (request.refusal) {
        if (!request.urls.isEmpty() || request.refusal.message.isEmpty())
            std::abort();
        return;
    }
    if (request.urls.size() != uris.size() || request.urls.size() > maximumFilesPerRequest)
        std::abort();
    for (const QUrl &url : request.urls) {
        if (!url.isValid() || url.isRelative())
            std::abort();
        if (!url.isLocalFile() || !url.host().isEmpty())
            continue;
        const QString path = url.toLocalFile();
        if (!path.startsWith(u'/') || path.startsWith(QLatin1String("//")) || path.contains(QChar(0))
            || QUrl::fromLocalFile(path) != url)
            std::abort();
    }
}

void checkActionRequest(const QStringList &strings)
{
    QVariantList parameter;
    for (qsizetype i = 1; i < strings.size(); ++i)
        parameter.append(strings[i]);
    const QString name = strings.value(0);
    const bool refused
        = bool(corvane::BusRequests::checkAction(name, parameter, { QStringLiteral("scratchpad") }));
    if (refused == (name == QLatin1String("scratchpad") && parameter.isEmpty()))
        std::abort();
}

void checkBudget(const uint8_t *data, size_t size)
{
    constexpr int limit = 20;
    constexpr qint64 period = 1000;
    qint64 now = 0;
    WindowBudget budget(limit, period, [&now] { return now; });
    std::deque<std::pair<qint64, qsizetype>> taken; // what the budget let through, and when
    for (size_t i = 0; i + 1 < size; i += 2) {
        now += data[i] * 16;
        const qsizetype count = data[i + 1] % 32;
        if (budget.take(count))
            continue;
        taken.emplace_back(now, count);
        while (now - taken.front().first >= period)
            taken.pop_front();
        qsizetype within = 0;
        for (const auto &entry : taken)
            within += entry.second;
        if (within > limit)
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    switch (data[0] % 3) {
    case 0:
        checkOpen(fields(data + 1, size - 1));
        break;
    case 1:
        checkActionRequest(fields(data + 1, size - 1));
        break;
    default:
        checkBudget(data + 1, size - 1);
        break;
    }
    return 0;
}
