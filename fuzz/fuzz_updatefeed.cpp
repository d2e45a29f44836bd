// The update feed arrives from the network: whatever its bytes, processing must end with an outcome
// whose offers all lie on the download site, are no more than one check may show, and differ.
#include "feed/UpdateFeed.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString base = QStringLiteral("https://downloads.corvane.test/get/");
    const corvane::updates::FeedOutcome outcome = corvane::updates::processUpdateFeed(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), QStringLiteral("1.0"), base);
    if (outcome.errorText && (!outcome.offers.isEmpty() || outcome.markStatusItem))
        std::abort();
    if (outcome.offers.size() > corvane::updates::feedOffersShown)
        std::abort();
    for (qsizetype i = 0; i < outcome.offers.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            if (outcome.offers[i].url == outcome.offers[j].url
                && outcome.offers[i].version == outcome.offers[j].version)
                std::abort();
        }
    }
    for (const corvane::updates::UpdateOffer &offer : outcome.offers) {
        if (offer.url.scheme() != u"https" || offer.url.host() != u"downloads.corvane.test"
            || !offer.url.toString().startsWith(base) || offer.url.path(QUrl::FullyDecoded).contains(u"/../"))
            std::abort();
    }
    return 0;
}
