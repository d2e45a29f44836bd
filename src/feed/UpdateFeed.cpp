#include "feed/UpdateFeed.h"

#include "plist/PlistReader.h"

#include <algorithm>

namespace corvane::updates {

bool validateUpdateResponse(const ResponseFacts &response)
{
    if (response.transportError || !response.hasResponse || !response.isHttp)
        return false;
    if (response.statusCode < 200 || response.statusCode > 299)
        return false;
    if (response.mimeType.isEmpty())
        return false;
    return response.mimeType == u"text/xml" || response.mimeType == u"text/plain";
}

QString mediaTypeWithoutParameters(QByteArrayView contentTypeHeader)
{
    const qsizetype semicolon = contentTypeHeader.indexOf(';');
    const QByteArrayView type = semicolon < 0 ? contentTypeHeader : contentTypeHeader.first(semicolon);
    return QString::fromLatin1(type.trimmed()).toLower();
}

std::optional<QUrl> downloadUrlOnSite(const QString &address, const QString &downloadSiteBase)
{
    const QUrl base(downloadSiteBase, QUrl::StrictMode);
    if (!base.isValid() || base.scheme() != u"https" || base.host().isEmpty())
        return std::nullopt;
    if (!address.startsWith(downloadSiteBase))
        return std::nullopt;
    // The prefix alone is not enough when the base lacks its trailing slash ("https://site" would
    // admit "https://site.evil.example/"), so the parsed host and port must agree as well.
    QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != u"https" || url.host() != base.host() || url.port() != base.port()
        || !url.userInfo().isEmpty())
        return std::nullopt;
    // Browsers treat a backslash in an https path as a slash, so it separates segments as well.
    const QString path = url.path(QUrl::FullyDecoded);
    for (QStringView segment : QStringView(path).tokenize(u'/')) {
        for (QStringView part : segment.tokenize(u'\\')) {
            if (part == u"." || part == u"..")
                return std::nullopt;
        }
    }
    return url;
}

namespace {
const plist::Value *stringAt(const plist::Value &dictionary, const QString &key)
{
    const plist::Value *value = dictionary.find(key);
    return value && value->isString() ? value : nullptr;
}

// Versions and names compare as Unicode text: canonically equivalent spellings are equal.
bool sameText(const QString &a, const QString &b)
{
    return a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}
} // namespace

FeedOutcome processUpdateFeed(
    QByteArrayView body, const QString &runningVersion, const QString &downloadSiteBase)
{
    FeedOutcome outcome;
    const std::optional<plist::Value> root = body.isEmpty() ? std::nullopt : plist::parse(body);
    if (!root) {
        outcome.errorText = feedErrorUnparsable;
        return outcome;
    }
    // Anything but an array holds no entry for us; malformed entries are passed over the same way,
    // so one bad line in the feed cannot hide a good one after it.
    if (!root->isArray())
        return outcome;
    const auto &entries = root->elements();
    if (entries.empty()) {
        outcome.errorText = feedErrorNoEntries;
        return outcome;
    }
    const QString ownName = QString::fromUtf8(feedAppName);
    // Every string below is at most a few thousand characters and at most a thousand entries are
    // looked at, so the loop costs the same whatever the feed shares or repeats.
    const qsizetype examined = std::min(entries.size(), feedEntriesExamined);
    for (qsizetype i = 0; i < examined && outcome.offers.size() < feedOffersShown; ++i) {
        const plist::Value &entry = entries.at(i);
        if (!entry.isDictionary())
            continue;
        const plist::Value *name = stringAt(entry, QStringLiteral("AppName"));
        if (!name || name->toString().size() > feedTextLengthLimit || !sameText(name->toString(), ownName))
            continue;
        outcome.markStatusItem = true;
        const plist::Value *version = stringAt(entry, QStringLiteral("Version"));
        const plist::Value *address = stringAt(entry, QStringLiteral("URL"));
        if (!version || !address || version->toString().size() > feedTextLengthLimit
            || address->toString().size() > feedUrlLengthLimit
            || sameText(version->toString(), runningVersion))
            continue;
        const std::optional<QUrl> url = downloadUrlOnSite(address->toString(), downloadSiteBase);
        if (!url)
            continue;
        const bool alreadyOffered
            = std::any_of(outcome.offers.cbegin(), outcome.offers.cend(), [&](const UpdateOffer &offer) {
                  return offer.url == *url && sameText(offer.version, version->toString());
              });
        if (!alreadyOffered)
            outcome.offers.append({ version->toString(), *url });
    }
    return outcome;
}

} // namespace corvane::updates
