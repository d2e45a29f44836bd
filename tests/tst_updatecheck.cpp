#include "app/Alerts.h"
#include "app/UrlOpener.h"
#include "support/HttpsTestServer.h"
#include "support/TestSupport.h"
#include "updates/UpdateChecker.h"
#include "updates/UpdateFeed.h"

#include <QMenu>
#include <QNetworkProxy>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace corvane;
using corvane::test::HttpsTestServer;

namespace {
const QString siteBase = QStringLiteral("https://downloads.corvane.test/get/");
const QString notChecked = QStringLiteral("Update not checked");
const QString checked = QStringLiteral("Checked for update");

// Feeds are written by python's plistlib from JSON, so the check reads what a real publisher writes.
// One python process serves the whole run: starting one per feed costs more than the checks do.
QProcess *plistPeer()
{
    static QProcess *peer = [] {
        auto *process = new QProcess(qApp);
        process->start(QStringLiteral("python3"),
                       {QStringLiteral("-c"),
                        QStringLiteral("import base64,json,plistlib,sys\n"
                                       "for line in sys.stdin:\n"
                                       "  b, v = json.loads(line)\n"
                                       "  out = plistlib.dumps(v, fmt=plistlib.FMT_BINARY if b else plistlib.FMT_XML)\n"
                                       "  print(base64.b64encode(out).decode(), flush=True)\n")});
        return process;
    }();
    return peer;
}

QByteArray feed(const QByteArray &json, bool binary = false)
{
    QProcess *peer = plistPeer();
    peer->write("[" + QByteArray(binary ? "true" : "false") + "," + json + "]\n");
    while (!peer->canReadLine() && peer->waitForReadyRead(30000)) {
    }
    return QByteArray::fromBase64(peer->readLine().trimmed());
}

QByteArray entry(const char *name, const char *version, const QString &url)
{
    return "{\"AppName\":\"" + QByteArray(name) + "\",\"Version\":\"" + QByteArray(version) + "\",\"URL\":\""
           + url.toUtf8() + "\"}";
}

// One alert as the tests compare it, with the status item's title at the moment the alert came up.
QString offerAlert(const QString &version, const QString &running)
{
    return QStringLiteral("An update to this app to version %1 is available.|You are currently running Corvane "
                          "version %2.\nPlease choose whether to download this update now in your default "
                          "browser.|Ignore,Download|info|Checked for update").arg(version, running);
}
QString errorAlert(const QString &text)
{
    return QStringLiteral("An error occurred:|%1|OK|critical|Update not checked").arg(text);
}
} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void feedOverHttps_data();
    void feedOverHttps();
    void statusItemMissing_data();
    void statusItemMissing();
    void untrustedAuthorityEndsSilently();
    void silentServerTimesOutWhileEventsFlow();
    void missingVersionAlertsWithoutRequest();
    void downloadAddressMustLieOnSite_data();
    void downloadAddressMustLieOnSite();

private:
    // Runs one check against `server` and waits for its end; the alerts are answered with `choice`.
    void runCheck(HttpsTestServer &server, const QString &runningVersion, QMenu *menu, bool withMenu = true,
                  int timeoutMs = updates::UpdateChecker::defaultTransferTimeoutMs);

    QTemporaryDir m_dir;
    test::TestPki m_pki;
    test::TestPki m_strangerPki;
    std::unique_ptr<HttpsTestServer> m_server;
    QString m_choice;
    QMenu *m_menu = nullptr;
    QStringList m_alerts;
    QList<QUrl> m_opened;
};

void TestUpdateCheck::initTestCase()
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("trusted")));
    QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("stranger")));
    m_pki = test::makeTestPki(m_dir.filePath(QStringLiteral("trusted")));
    m_strangerPki = test::makeTestPki(m_dir.filePath(QStringLiteral("stranger")));
    QVERIFY(m_pki.isValid() && m_strangerPki.isValid());
    m_server = std::make_unique<HttpsTestServer>(m_pki);
    QVERIFY(m_server->listen());

    Alerts::setHandlerForTesting([this](const AlertRequest &alert) {
        const char *style = alert.style == AlertRequest::Style::Critical ? "critical" : "info";
        const QString status = m_menu && m_menu->actions().size() > 1 ? m_menu->actions().at(1)->text() : QString();
        m_alerts << QStringList{alert.messageText, alert.informativeText, alert.buttons.join(u','),
                                QString::fromLatin1(style), status}.join(u'|');
        return firstButtonReturn + int(qMax<qsizetype>(0, alert.buttons.indexOf(m_choice)));
    });
    UrlOpener::setHandlerForTesting([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
}

void TestUpdateCheck::cleanupTestCase()
{
    Alerts::setHandlerForTesting({});
    UrlOpener::setHandlerForTesting({});
    plistPeer()->closeWriteChannel();
    plistPeer()->waitForFinished();
}

void TestUpdateCheck::runCheck(HttpsTestServer &server, const QString &runningVersion, QMenu *menu, bool withMenu,
                               int timeoutMs)
{
    m_alerts.clear();
    m_opened.clear();
    m_menu = menu;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates({m_pki.authority});
    updates::UpdateChecker checker(server.url(), siteBase, runningVersion,
                                   [menu, withMenu] { return withMenu ? menu : nullptr; }, tls);
    checker.setTransferTimeout(timeoutMs);
    QSignalSpy finished(&checker, &updates::UpdateChecker::finished);
    checker.checkForUpdates();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QVERIFY(!checker.isChecking());
}

void TestUpdateCheck::feedOverHttps_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QStringList>("alerts");
    QTest::addColumn<QList<QUrl>>("opened");
    QTest::addColumn<QString>("statusTitle");

    const QString url2 = siteBase + QStringLiteral("corvane-2.0.tar.gz");
    const QByteArray newer = feed("[" + entry("Corvane", "2.0", url2) + "]");
    const QString download = QStringLiteral("Download"), ignore = QStringLiteral("Ignore");
    const QStringList offer2 = {offerAlert(QStringLiteral("2.0"), QStringLiteral("1.0"))};
    const QList<QUrl> opened2 = {QUrl(url2)};
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

    row("200 text/xml, newer version, Download opens it") << 200 << QByteArray("text/xml") << newer << "1.0" << download << offer2 << opened2 << checked;
    row("text/plain, Ignore opens nothing") << 200 << QByteArray("text/plain") << newer << "1.0" << ignore << offer2 << QList<QUrl>() << checked;
    row("text/plain with charset parameter") << 200 << QByteArray("text/plain; charset=utf-8") << newer << "1.0" << download << offer2 << opened2 << checked;
    row("media type in capitals") << 200 << QByteArray("TEXT/XML") << newer << "1.0" << download << offer2 << opened2 << checked;
    row("binary feed") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "2.0", url2) + "]", true) << "1.0" << download << offer2 << opened2 << checked;
    row("status 404 silent") << 404 << QByteArray("text/xml") << newer << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("status 500 silent") << 500 << QByteArray("text/xml") << newer << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("application/xml silent") << 200 << QByteArray("application/xml") << newer << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("no content type silent") << 200 << QByteArray() << newer << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("empty body") << 200 << QByteArray("text/plain") << QByteArray() << "1.0" << download << QStringList{errorAlert(QStringLiteral("Error in update Property List."))} << QList<QUrl>() << notChecked;
    row("html instead of a plist") << 200 << QByteArray("text/plain") << QByteArray("<html><body>Moved</body></html>") << "1.0" << download << QStringList{errorAlert(QStringLiteral("Error in update Property List."))} << QList<QUrl>() << notChecked;
    row("empty array") << 200 << QByteArray("text/xml") << feed("[]") << "1.0" << download << QStringList{errorAlert(QStringLiteral("Update Property List has no entries."))} << QList<QUrl>() << notChecked;
    row("other applications only") << 200 << QByteArray("text/xml") << feed("[" + entry("Other", "9", url2) + ",{\"AppName\":\"Corvane2\"}]") << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("root is a dictionary, not a list") << 200 << QByteArray("text/xml") << feed(entry("Corvane", "2.0", url2)) << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
    row("same version marks the item only") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "1.2", url2) + "]") << "1.2" << download << QStringList() << QList<QUrl>() << checked;
    row("same version in another Unicode spelling") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "1.2-\\u00e9", url2) + "]") << QStringLiteral("1.2-e\u0301") << download << QStringList() << QList<QUrl>() << checked;
    row("older version is offered") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "1.1", url2) + "]") << "1.2" << download << QStringList{offerAlert(QStringLiteral("1.1"), QStringLiteral("1.2"))} << opened2 << checked;
    row("address outside the site") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "2.0", QStringLiteral("https://elsewhere.example/corvane.tar.gz")) + "]") << "1.0" << download << QStringList() << QList<QUrl>() << checked;
    row("lookalike address carrying the base in its query") << 200 << QByteArray("text/xml") << feed("[" + entry("Corvane", "2.0", QStringLiteral("https://elsewhere.example/?") + siteBase) + "]") << "1.0" << download << QStringList() << QList<QUrl>() << checked;

    const QString url3 = siteBase + QStringLiteral("corvane-3.0.tar.gz");
    row("two matching entries, two alerts in order") << 200 << QByteArray("text/xml") << feed("[" + entry("Other", "1", url3) + "," + entry("Corvane", "2.0", url2) + "," + entry("Corvane", "3.0", url3) + "]") << "1.0" << download
        << QStringList{offer2.first(), offerAlert(QStringLiteral("3.0"), QStringLiteral("1.0"))} << QList<QUrl>{QUrl(url2), QUrl(url3)} << checked;
    row("malformed entries are passed over") << 200 << QByteArray("text/xml") << feed("[\"text\",{\"Version\":\"2\"},{\"AppName\":7},{\"AppName\":\"Corvane\",\"Version\":\"2.0\"},{\"AppName\":\"Corvane\",\"Version\":2,\"URL\":\"" + url2.toUtf8() + "\"}," + entry("Corvane", "2.0", url2) + "]") << "1.0" << download << offer2 << opened2 << checked;

    // The body cap, on both sides: trailing white space keeps the feed valid at any length.
    const qsizetype cap = updates::UpdateChecker::bodySizeLimit;
    row("body exactly at the cap is read") << 200 << QByteArray("text/xml") << newer.leftJustified(cap, ' ') << "1.0" << download << offer2 << opened2 << checked;
    row("body one byte over the cap ends silently") << 200 << QByteArray("text/xml") << newer.leftJustified(cap + 1, ' ') << "1.0" << download << QStringList() << QList<QUrl>() << notChecked;
}

void TestUpdateCheck::feedOverHttps()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(QString, running);
    QFETCH(QString, choice);
    QVERIFY(!body.isNull() || contentType == "text/plain");

    m_server->setResponse({status, contentType, body, true});
    m_choice = choice;
    QMenu menu;
    menu.addAction(QStringLiteral("Corvane Help"));
    QAction *statusItem = menu.addAction(notChecked);
    const int requestsBefore = m_server->requestCount();
    runCheck(*m_server, running, &menu);

    QCOMPARE(m_server->requestCount(), requestsBefore + 1);
    QTEST(m_alerts, "alerts");
    QTEST(m_opened, "opened");
    QTEST(statusItem->text(), "statusTitle");
    QCOMPARE(statusItem->isChecked(), statusItem->text() == checked);
}

void TestUpdateCheck::statusItemMissing_data()
{
    QTest::addColumn<bool>("withMenu");
    QTest::newRow("help menu without the item") << true;
    QTest::newRow("no help menu at all") << false;
}

void TestUpdateCheck::statusItemMissing()
{
    QFETCH(bool, withMenu);
    const QString url = siteBase + QStringLiteral("c.tar.gz");
    m_server->setResponse({200, "text/xml", feed("[" + entry("Corvane", "2.0", url) + "]"), true});
    m_choice = QStringLiteral("Download");
    QMenu menu;
    QAction *other = menu.addAction(QStringLiteral("Update not checked "));   // near miss: trailing space
    runCheck(*m_server, QStringLiteral("1.0"), &menu, withMenu);
    QCOMPARE(m_opened, QList<QUrl>{QUrl(url)});
    QCOMPARE(m_alerts.size(), 1);
    QCOMPARE(other->text(), QStringLiteral("Update not checked "));
    QVERIFY(!other->isChecked());
}

void TestUpdateCheck::untrustedAuthorityEndsSilently()
{
    HttpsTestServer stranger(m_strangerPki);
    QVERIFY(stranger.listen());
    stranger.setResponse({200, "text/xml", feed("[" + entry("Corvane", "2.0", siteBase + QStringLiteral("x")) + "]"), true});
    QMenu menu;
    menu.addAction(QStringLiteral("Corvane Help"));
    QAction *statusItem = menu.addAction(notChecked);
    runCheck(stranger, QStringLiteral("1.0"), &menu);
    QCOMPARE(stranger.requestCount(), 0);
    QVERIFY(m_alerts.isEmpty());
    QCOMPARE(statusItem->text(), notChecked);
}

void TestUpdateCheck::silentServerTimesOutWhileEventsFlow()
{
    m_server->setResponse({200, "text/xml", QByteArray(), false});
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(5);
    QMenu menu;
    const int requestsBefore = m_server->requestCount();
    runCheck(*m_server, QStringLiteral("1.0"), &menu, true, 300);
    QCOMPARE(m_server->requestCount(), requestsBefore + 1);
    QVERIFY(ticks > 0);
    QVERIFY(m_alerts.isEmpty());
}

void TestUpdateCheck::missingVersionAlertsWithoutRequest()
{
    const int requestsBefore = m_server->requestCount();
    QMenu menu;
    menu.addAction(QStringLiteral("Corvane Help"));
    menu.addAction(notChecked);
    runCheck(*m_server, QString(), &menu);
    QCOMPARE(m_alerts, QStringList{QStringLiteral("An error occurred:|Can't check for updates:\nNo app version "
                                                  "string found.|OK|critical|Update not checked")});
    QCOMPARE(m_server->requestCount(), requestsBefore);
}

void TestUpdateCheck::downloadAddressMustLieOnSite_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("offered");
    const QString host = QStringLiteral("https://downloads.corvane.test");
    QTest::newRow("file under the base") << siteBase << siteBase + QStringLiteral("corvane.tar.gz") << true;
    QTest::newRow("base inside the query of another host") << siteBase << QStringLiteral("https://elsewhere.example/?") + siteBase << false;
    QTest::newRow("plain http") << QStringLiteral("http://downloads.corvane.test/") << QStringLiteral("http://downloads.corvane.test/a") << false;
    QTest::newRow("scheme case differs") << siteBase << QStringLiteral("HTTPS://downloads.corvane.test/get/a") << false;
    QTest::newRow("base without slash, longer host") << host << host + QStringLiteral(".evil.example/a") << false;
    QTest::newRow("base without slash, user info") << host << host + QStringLiteral("@evil.example/a") << false;
    QTest::newRow("base without slash, other port") << host << host + QStringLiteral(":8443/a") << false;
    QTest::newRow("base without slash, same host") << host << host + QStringLiteral("/a") << true;
    QTest::newRow("space makes it no URL") << siteBase << siteBase + QStringLiteral("a b") << false;
    QTest::newRow("empty base refuses all") << QString() << siteBase << false;
}

void TestUpdateCheck::downloadAddressMustLieOnSite()
{
    QFETCH(QString, base);
    QFETCH(QString, address);
    QFETCH(bool, offered);
    QCOMPARE(updates::downloadUrlOnSite(address, base).has_value(), offered);
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
