#pragma once

// The update check in two pure decisions, so tests and the fuzzer can drive them without a network:
// validateUpdateResponse() vets what the server answered before the body is looked at, and
// processUpdateFeed() turns the body into what the user is shown. UpdateChecker (corvane_gui) does the
// I/O around them: the request, the alerts, the Help-menu status item and the browser.

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

namespace corvane::updates {

// The name this application's entries carry in the feed; fixed, not taken from the build.
inline constexpr char feedAppName[] = "Corvane";

// What the transport reported, reduced to the facts the vetting looks at.
struct ResponseFacts {
    bool transportError = false; // the connection, TLS, a time-out or the body cap failed
    bool hasResponse = false; // a response head arrived
    bool isHttp = false; // ...and it was an HTTP(S) response
    int statusCode = 0;
    QString mimeType; // media type without parameters; empty when the server sent none
};

// True when the body may go on to processUpdateFeed; false ends the check without a word.
bool validateUpdateResponse(const ResponseFacts &response);

// "text/xml; charset=utf-8" -> "text/xml". Media types are case-insensitive, so the result is lower case.
QString mediaTypeWithoutParameters(QByteArrayView contentTypeHeader);

struct UpdateOffer {
    QString version; // as published
    QUrl url; // already checked to lie on the download site
};

struct FeedOutcome {
    std::optional<QString> errorText; // shown in the error alert; no offers then
    bool markStatusItem = false; // the feed named this application at least once
    QList<UpdateOffer> offers; // in feed order, one alert each, no two alike
};

// What a feed may cost, whatever it holds: entries past the first `feedEntriesExamined` are ignored, an
// entry whose name or version is longer than `feedTextLengthLimit` or whose address is longer than
// `feedUrlLengthLimit` offers nothing, and one check shows at most `feedOffersShown` alerts. Real feeds
// hold a handful of short entries; a hostile one must not freeze the window or bury the user in alerts.
inline constexpr qsizetype feedEntriesExamined = 1000;
inline constexpr qsizetype feedTextLengthLimit = 256;
inline constexpr qsizetype feedUrlLengthLimit = 2048;
inline constexpr qsizetype feedOffersShown = 3;

inline const QString feedErrorUnparsable
    = QString::fromLatin1(QT_TRANSLATE_NOOP("UpdateFeed", "Error in update Property List."));
inline const QString feedErrorNoEntries
    = QString::fromLatin1(QT_TRANSLATE_NOOP("UpdateFeed", "Update Property List has no entries."));

FeedOutcome processUpdateFeed(
    QByteArrayView body, const QString &runningVersion, const QString &downloadSiteBase);

// An address is offered only when it is an https URL that begins with the download site's base and
// lands on the same host and port. A mere substring test would let "https://elsewhere.example/?<base>"
// through and send the user to a stranger's download. A path with "." or ".." segments, written out or
// percent-encoded, is refused too: a browser resolves them and would leave the site's folder.
std::optional<QUrl> downloadUrlOnSite(const QString &address, const QString &downloadSiteBase);

} // namespace corvane::updates
