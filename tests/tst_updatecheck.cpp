#include "feed/UpdateFeed.h"
#include "support/AlertRecorder.h"
#include "support/HttpsTestServer.h"
#include "updates/UpdateChecker.h"
#include "window/Alerts.h"
#include "window/UrlOpener.h"

#include <QNetworkProxy>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace corvane;
using namespace Qt::StringLiterals;
using corvane::test::HttpsTestServer;

namespace {
const QString siteBase = u"https://downloads.corvane.test/get/"_s;
// Whether the check had said it checked for an update when an alert came up.
const QString checked = u"checked"_s;
const QString notChecked = u"not checked"_s;

QByteArray entry(const char *name, const QByteArray &version, const QString &url)
{
    return "{\"AppName\":\"" + QByteArray(name) + "\",\"Version\":\"" + version + "\",\"URL\":\""
        + url.toUtf8() + "\"}";
}

// One alert as the tests compare it, with the status item's title at the moment the alert came up.
QString offerAlert(const QString &version, const QString &running, const QString &status = checked)
{
    return QStringLiteral(
        "An update to this app to version %1 is available.|You are currently running Corvane "
        "version %2.\nPlease choose whether to download this update now in your default "
        "browser.|Ignore,Download|info|%3")
        .arg(version, running, status);
}
QString errorAlert(const QString &text)
{
    return u"An error occurred:|%1|OK|critical|not checked"_s.arg(text);
}

// One check: what the server answers, how the application stands, and what the user must see.
struct Case {
    QByteArray body = {};
    QByteArray contentType = "text/xml";
    int status = 200;
    QString running = u"1.0"_s;
    QStringList alerts = {};
    QList<QUrl> opened = {};
    bool marked = false; // the check says it checked for an update
    Alerts::Button choice = Alerts::Button::Download;
    QString siteBase = ::siteBase;
    bool trusted = true; // false: the server's certificate comes from an authority nobody trusts
    bool answer = true; // false: the server takes the request and never says a word
    int requests = 1;
    int timeoutMs = updates::UpdateChecker::defaultTransferTimeoutMs;
};
} // namespace
Q_DECLARE_METATYPE(Case)

class TestUpdateCheck : public QObject {
    Q_OBJECT
    QProcess m_plistlib;
    HttpsTestServer m_server, m_stranger;
    QStringList m_alerts;
    QList<QUrl> m_opened;

    // Feeds are written by python's plistlib from JSON, as a real publisher writes them. One python
    // process serves the whole run: starting one per feed costs more than the checks do.
    QByteArray feed(const QByteArray &json, bool binary = false)
    {
        m_plistlib.write("[" + QByteArray(binary ? "true" : "false") + "," + json + "]\n");
        while (!m_plistlib.canReadLine() && m_plistlib.waitForReadyRead(30000)) { }
        return QByteArray::fromBase64(m_plistlib.readLine().trimmed());
    }

private slots:
    void initTestCase()
    {
        m_plistlib.start(u"python3"_s,
            { u"-c"_s,
                QStringLiteral("import base64,json,plistlib as p,sys\n"
                               "for b, v in map(json.loads, sys.stdin):\n"
                               "  print(base64.b64encode(p.dumps(v, fmt=p.FMT_BINARY if b else "
                               "p.FMT_XML)).decode(), flush=True)\n") });
        QVERIFY(feed("\"ok\"").startsWith("<?xml"));
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QVERIFY(m_server.listen() && m_stranger.listen());
        UrlOpener::setHandlerForTesting([this](const QUrl &url) { return m_opened << url, true; });
    }
    void cleanupTestCase()
    {
        UrlOpener::setHandlerForTesting({});
        m_plistlib.closeWriteChannel();
        m_plistlib.waitForFinished();
    }
    void feedOverHttps_data()
    {
        QTest::addColumn<Case>("c");
        const QString url2 = siteBase + u"corvane-2.0.tar.gz"_s;
        const QString url3 = siteBase + u"corvane-3.0.tar.gz"_s;
        const QByteArray newer = feed("[" + entry("Corvane", "2.0", url2) + "]");
        const QString offer2 = offerAlert(u"2.0"_s, u"1.0"_s);
        const auto offered = [&](Case c) {
            c.alerts = { offer2 };
            c.opened = { QUrl(url2) };
            c.marked = true;
            return c;
        };
        // A download address is offered only on the download site: an https URL under its base, on its host.
        const auto site = [&](const QString &base, const QString &address, bool offer) {
            Case c {
                .body = feed("[" + entry("Corvane", "2.0", address) + "]"), .marked = true, .siteBase = base
            };
            if (offer)
                c.alerts = { offer2 }, c.opened = { QUrl(address) };
            return c;
        };
        const QString host = u"https://downloads.corvane.test"_s;
        const qsizetype cap
            = updates::UpdateChecker::bodySizeLimit; // trailing white space keeps a feed valid
        auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

        // clang-format off
        row("200 text/xml, newer version, Download opens it") << offered({.body = newer});
        row("text/plain, Ignore opens nothing") << Case{.body = newer, .contentType = "text/plain", .alerts = {offer2}, .marked = true, .choice = Alerts::Button::Ignore};
        row("text/plain with charset parameter") << offered({.body = newer, .contentType = "text/plain; charset=utf-8"});
        row("media type in capitals") << offered({.body = newer, .contentType = "TEXT/XML"});
        row("binary feed") << offered({.body = feed("[" + entry("Corvane", "2.0", url2) + "]", true)});
        row("status 404 silent") << Case{.body = newer, .status = 404};
        row("application/xml silent") << Case{.body = newer, .contentType = "application/xml"};
        row("no content type silent") << Case{.body = newer, .contentType = ""};
        row("empty body") << Case{.contentType = "text/plain", .alerts = {errorAlert(u"Error in update Property List."_s)}};
        row("empty array") << Case{.body = feed("[]"), .alerts = {errorAlert(u"Update Property List has no entries."_s)}};
        row("other applications only") << Case{.body = feed("[" + entry("Other", "9", url2) + ",{\"AppName\":\"Corvane2\"}]")};
        row("root is a dictionary, not a list") << Case{.body = feed(entry("Corvane", "2.0", url2))};
        row("same version marks the item only") << Case{.body = feed("[" + entry("Corvane", "1.2", url2) + "]"), .running = u"1.2"_s, .marked = true};
        row("same version in another Unicode spelling") << Case{.body = feed("[" + entry("Corvane", "1.2-\\u00e9", url2) + "]"), .running = u"1.2-e\u0301"_s, .marked = true};
        row("older version is offered") << Case{.body = feed("[" + entry("Corvane", "1.1", url2) + "]"), .running = u"1.2"_s, .alerts = {offerAlert(u"1.1"_s, u"1.2"_s)}, .opened = {QUrl(url2)}, .marked = true};
        row("address outside the site") << site(siteBase, u"https://elsewhere.example/corvane.tar.gz"_s, false);
        row("lookalike address carrying the base in its query") << site(siteBase, u"https://elsewhere.example/?"_s + siteBase, false);
        row("plain http site") << site(u"http://downloads.corvane.test/"_s, u"http://downloads.corvane.test/a"_s, false);
        row("scheme case differs") << site(siteBase, u"HTTPS://downloads.corvane.test/get/a"_s, false);
        row("base without slash, longer host") << site(host, host + u".evil.example/a"_s, false);
        row("base without slash, user info") << site(host, host + u"@evil.example/a"_s, false);
        row("base without slash, other port") << site(host, host + u":8443/a"_s, false);
        row("base without slash, same host") << site(host, host + u"/a"_s, true);
        row("space makes it no URL") << site(siteBase, siteBase + u"a b"_s, false);
        row("empty site base refuses all") << site(QString(), url2, false);
        // What a hostile feed may cost: entries looked at, lengths, alerts.
        const auto others = [](qsizetype count) { return QByteArray("{\"AppName\":\"Other\"},").repeated(count); };
        row("entry 1,000 is examined") << offered({.body = feed("[" + others(updates::feedEntriesExamined - 1) + entry("Corvane", "2.0", url2) + "]")});
        row("entry 1,001 is ignored") << Case{.body = feed("[" + others(updates::feedEntriesExamined) + entry("Corvane", "2.0", url2) + "]")};
        const QByteArray longest(updates::feedTextLengthLimit, 'v');
        row("version of 256 characters is offered") << Case{.body = feed("[" + entry("Corvane", longest, url2) + "]"), .alerts = {offerAlert(QString::fromLatin1(longest), u"1.0"_s)}, .opened = {QUrl(url2)}, .marked = true};
        row("version of 257 characters is no offer") << Case{.body = feed("[" + entry("Corvane", longest + "v", url2) + "]"), .marked = true};
        const QString longestUrl = siteBase + QString(updates::feedUrlLengthLimit - siteBase.size(), u'u');
        row("address of 2,048 characters is offered") << site(siteBase, longestUrl, true);
        row("address of 2,049 characters is no offer") << site(siteBase, longestUrl + u'u', false);
        QByteArray five;
        QStringList three;
        QList<QUrl> threeUrls;
        for (int v = 2; v <= 6; ++v) {
            const QString url = siteBase + QString::number(v);
            five += entry("Corvane", QByteArray::number(v) + ".0", url) + ",";
            if (v <= 4)
                three << offerAlert(QString::number(v) + u".0"_s, u"1.0"_s), threeUrls << QUrl(url);
        }
        row("five offers, three alerts") << Case{.body = feed("[" + five.chopped(1) + "]"), .alerts = three, .opened = threeUrls, .marked = true};
        row("equal offers count once") << Case{.body = feed("[" + entry("Corvane", "2.0", url2) + "," + entry("Corvane", "3.0", url3) + "," + entry("Corvane", "2.0", url2) + "]"), .alerts = {offer2, offerAlert(u"3.0"_s, u"1.0"_s)}, .opened = {QUrl(url2), QUrl(url3)}, .marked = true};
        row("dot segments leave the site") << site(siteBase, siteBase + u"../../evil/x.tar.gz"_s, false);
        row("percent-encoded dot segments leave the site") << site(siteBase, siteBase + u"%2e%2E/%2E%2e/evil/x.tar.gz"_s, false);
        row("backslash dot segments leave the site") << site(siteBase, siteBase + u"..%5C..%5Cevil/x.tar.gz"_s, false);
        row("dots inside a name stay") << site(siteBase, siteBase + u"corvane..2.0.tar.gz"_s, true);
        row("malformed entries are passed over") << offered({.body = feed("[\"text\",{\"Version\":\"2\"},{\"AppName\":7},{\"AppName\":\"Corvane\",\"Version\":\"2.0\"},{\"AppName\":\"Corvane\",\"Version\":2,\"URL\":\"" + url2.toUtf8() + "\"}," + entry("Corvane", "2.0", url2) + "]")});
        row("body exactly at the cap is read") << offered({.body = newer.leftJustified(cap, ' ')});
        row("body one byte over the cap ends silently") << Case{.body = newer.leftJustified(cap + 1, ' ')};
        row("untrusted authority ends silently") << Case{.body = newer, .trusted = false, .requests = 0};
        row("server that never answers times out silently") << Case{.answer = false, .timeoutMs = 300};
        row("no running version: error alert, no request") << Case{.body = newer, .running = QString(), .alerts = {errorAlert(u"Can't check for updates:\nNo app version string found."_s)}, .requests = 0};
        // clang-format on
    }

    void feedOverHttps()
    {
        QFETCH(Case, c);
        HttpsTestServer &server = c.trusted ? m_server : m_stranger;
        server.setResponse({ c.status, c.contentType, c.body, c.answer });
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates({ m_server.authority() });
        updates::UpdateChecker checker(server.url(), c.siteBase, c.running, tls);
        QSignalSpy marked(&checker, &updates::UpdateChecker::checkedForUpdate);
        test::AlertRecorder alerts;
        alerts.setWhileShown([&](const AlertRequest &alert) {
            QStringList buttons;
            for (Alerts::Button button : alert.buttons)
                buttons << Alerts::title(button);
            m_alerts << u"%1|%2|%3|%4|%5"_s.arg(alert.messageText, alert.informativeText, buttons.join(u','),
                alert.style == AlertRequest::Style::Critical ? u"critical"_s : u"info"_s,
                marked.isEmpty() ? notChecked : checked);
        });
        for (int offer = 0; offer < 3; ++offer)
            alerts.answerNext(c.choice);
        m_alerts.clear();
        m_opened.clear();

        checker.setTransferTimeout(c.timeoutMs);
        int ticks = 0; // the user interface keeps processing events however slowly the server answers
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(5);
        const int requestsBefore = server.requestCount();
        QSignalSpy finished(&checker, &updates::UpdateChecker::finished);
        checker.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);

        QVERIFY(!checker.isChecking());
        QCOMPARE(server.requestCount(), requestsBefore + c.requests);
        QCOMPARE(m_alerts, c.alerts);
        QCOMPARE(m_opened, c.opened);
        QCOMPARE(marked.size(), c.marked ? 1 : 0);
        QVERIFY(c.answer || ticks > 0);
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
