#include "app/DocumentController.h"
#include "app/RequestQueue.h"
#include "session/BusRequests.h"
#include "support/AlertRecorder.h"
#include "window/Alerts.h"
#include "window/ApplicationActions.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace Qt::StringLiterals;
using BusRequests::Refusal;
Q_DECLARE_METATYPE(Refusal::Kind)

// What the session bus asks of Corvane: each request's arguments taken or refused whole, the windows
// all requests together may open, and the queue that does the work outside any nested event loop and
// gathers what failed into one alert.
class TestBusRequests : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        QFile file(m_dir.filePath(u"here.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    void openArguments_data()
    {
        QTest::addColumn<QStringList>("uris");
        QTest::addColumn<Refusal::Kind>("refused");
        QTest::addColumn<QStringList>("urls"); // as taken, fully encoded
        const auto none = Refusal::Kind::None, invalid = Refusal::Kind::InvalidArgument,
                   limit = Refusal::Kind::LimitExceeded;
        const QStringList hundred(100, u"file:///f"_s);
        const QString longest = u"file:///"_s + QString(BusRequests::maximumAddressLength - 8, u'a');
        // clang-format off
        QTest::newRow("files in order, encoding kept") << QStringList { u"file:///b%20c"_s, u"file:///a"_s } << none << QStringList { u"file:///b%20c"_s, u"file:///a"_s };
        QTest::newRow("localhost is this machine") << QStringList { u"file://LocalHost/home/ann/a.txt"_s } << none << QStringList { u"file:///home/ann/a.txt"_s };
        QTest::newRow("a path starting // is no host") << QStringList { u"file:////srv/x"_s } << none << QStringList { u"file:///srv/x"_s };
        QTest::newRow("web and remote addresses left to the opener") << QStringList { u"http://example.com/"_s, u"file://far/x"_s } << none << QStringList { u"http://example.com/"_s, u"file://far/x"_s };
        QTest::newRow("encoded NUL") << QStringList { u"file:///a"_s, u"file:///home/ann/t%00.evil"_s } << invalid << QStringList {};
        QTest::newRow("relative file address") << QStringList { u"file:a.txt"_s } << invalid << QStringList {};
        QTest::newRow("query on a file") << QStringList { u"file:///a?b"_s } << invalid << QStringList {};
        QTest::newRow("100 files") << hundred << none << hundred;
        QTest::newRow("101 files") << QStringList(101, u"file:///f"_s) << limit << QStringList {};
        QTest::newRow("address at the length limit") << QStringList { longest } << none << QStringList { longest };
        QTest::newRow("one character over") << QStringList { u"file:///x"_s, longest + u'a' } << limit << QStringList {};
        // clang-format on
    }
    void openArguments()
    {
        QFETCH(QStringList, uris);
        QFETCH(Refusal::Kind, refused);
        const BusRequests::OpenRequest request = BusRequests::parseOpen(uris);
        QCOMPARE(request.refusal.kind, refused);
        QCOMPARE(request.refusal.message.isEmpty(), refused == Refusal::Kind::None);
        QStringList urls;
        for (const QUrl &url : request.urls)
            urls.append(url.toString(QUrl::FullyEncoded));
        QTEST(urls, "urls");
    }

    // A flood of actions and activations: actions share the window budget, activations fold into one.
    void queueBoundsWhatWaits()
    {
        qint64 now = 0;
        RequestQueue queue;
        queue.setBudgetForTesting(BusRequests::WindowBudget(200, 10000, [&now] { return now; }));
        int actions = 0, activations = 0;
        queue.setHandlers({ .open = {},
            .activate = [&activations] { ++activations; },
            .runAction = [&actions](const QString &) { ++actions; } });
        for (int i = 0; i < 300; ++i)
            QCOMPARE(!queue.submitAction(u"scratchpad"_s), i < 200);
        QVERIFY(queue.submitActivate()); // no room left while they wait
        QTRY_COMPARE(actions, 200);
        for (int i = 0; i < 50; ++i)
            QVERIFY(!queue.submitActivate());
        QCOMPARE(queue.waiting(), 1);
        QTRY_COMPARE(activations, 1);
        QVERIFY(queue.submitAction(u"scratchpad"_s)); // the budget is spent until the period ends
        now += 10000;
        QVERIFY(!queue.submitAction(u"scratchpad"_s));
        QTRY_COMPARE(actions, 201);
    }

    // The fault this guards: each alert's event loop took the next request and opened the next alert
    // inside it, until the stack ran out. Requests that come while an alert is up wait for it, and their
    // failures make the next alert, one for all of them.
    void failuresGatherIntoOneAlertOutsideNestedLoops()
    {
        ApplicationActions applicationActions;
        DocumentController documents(applicationActions);
        RequestQueue queue;
        queue.setHandlers(
            { .open = [&documents](const QUrl &url) { return documents.openDocumentWithoutAlert(url); },
                .activate = {},
                .runAction = {} });
        const auto missing
            = [this](int i) { return QUrl::fromLocalFile(m_dir.filePath(u"gone%1"_s.arg(i))); };

        test::AlertRecorder recorder;
        const QList<AlertRequest> &alerts = recorder.alerts();
        int depth = 0, deepest = 0;
        recorder.setWhileShown([&](const AlertRequest &) {
            deepest = std::max(deepest, ++depth);
            if (alerts.size() == 1) {
                // What arrives while the user reads the alert, with the alert's loop running.
                queue.submitOpen({ QUrl(u"http://example.com/"_s) });
                for (int i = 2; i < 14; ++i)
                    queue.submitOpen({ missing(i) });
                queue.submitOpen({ QUrl::fromLocalFile(m_dir.filePath(u"here.txt"_s)) });
                for (int i = 0; i < 20; ++i)
                    QCoreApplication::processEvents();
            }
            --depth;
        });
        QVERIFY(!queue.submitOpen({ missing(0), missing(1) }));
        QTRY_COMPARE(alerts.size(), 2);
        QTRY_COMPARE(queue.waiting(), 0);

        QCOMPARE(deepest, 1);
        QCOMPARE(alerts[0].messageText, u"2 files could not be opened."_s);
        QVERIFY(alerts[0].informativeText.startsWith(
            u"There is no file at “%1”."_s.arg(missing(0).toLocalFile())));
        QCOMPARE(alerts[1].messageText, u"13 files could not be opened."_s);
        const QStringList lines = alerts[1].informativeText.split(u'\n');
        QCOMPARE(lines.size(), RequestQueue::maximumListedFailures + 1);
        QCOMPARE(lines.first(), u"“http://example.com/” is not a local file."_s);
        QCOMPARE(lines.last(), u"…and 3 more."_s);
        QCOMPARE(documents.documents().size(), 1); // the file that exists opened all the same
    }
};

QTEST_MAIN(TestBusRequests)
#include "tst_busrequests.moc"
