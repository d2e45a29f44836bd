#include <QAction>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "BuildConfig.h"
#include "app/Alerts.h"
#include "app/AppDelegate.h"
#include "app/ApplicationMenus.h"
#include "app/UrlOpener.h"
#include "app/WindowController.h"
#include "editor/AttributeCatalogue.h"
#include "resources/HelpView.h"
#include "scratchpad/ScratchpadView.h"

using namespace corvane;

// The Window and Help menu commands: new windows every time, kept for the process, and the web pages
// they hand to the browser.
class TestCommands : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QList<QUrl> m_opened;
    int m_alerts = 0;
    bool m_browserAnswer = true;

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        UrlOpener::setHandlerForTesting([this](const QUrl &url) {
            m_opened.append(url);
            return m_browserAnswer;
        });
        Alerts::setHandlerForTesting([this](const AlertRequest &) {
            ++m_alerts;
            return firstButtonReturn;
        });
    }
    void init()
    {
        m_opened.clear();
        m_alerts = 0;
        m_browserAnswer = true;
    }

    void windowCommandsAddControllers_data()
    {
        QTest::addColumn<bool>("scratchpad");
        QTest::addColumn<int>("times");
        QTest::newRow("scratchpad once") << true << 1;
        QTest::newRow("scratchpad three times") << true << 3;
        QTest::newRow("help once") << false << 1;
        QTest::newRow("help twice") << false << 2;
    }
    void windowCommandsAddControllers()
    {
        QFETCH(bool, scratchpad);
        QFETCH(int, times);
        AppDelegate delegate;
        for (int i = 0; i < times; ++i)
            scratchpad ? delegate.openScratchpad() : delegate.openHelp();

        const auto &opened = scratchpad ? delegate.mySPWindow : delegate.myHelpWindow;
        const auto &other = scratchpad ? delegate.myHelpWindow : delegate.mySPWindow;
        QCOMPARE(opened.size(), times);
        QVERIFY(other.isEmpty());
        QSet<WindowController *> distinct;
        for (const auto &controller : opened) {
            QVERIFY(controller);
            QVERIFY(controller->isVisible());
            distinct.insert(controller);
            QWidget *content = controller->contentViewController();
            QVERIFY(scratchpad ? qobject_cast<ScratchpadView *>(content) != nullptr
                               : qobject_cast<HelpView *>(content) != nullptr);
            QCOMPARE(controller->windowTitle(),
                     scratchpad ? QStringLiteral("Scratchpad") : QStringLiteral("Corvane Help"));
        }
        QCOMPARE(distinct.size(), times);

        // Closing a window keeps its controller; the next command still makes a new one.
        opened.first()->close();
        scratchpad ? delegate.openScratchpad() : delegate.openHelp();
        QCOMPARE(opened.size(), times + 1);
        QVERIFY(opened.first());
        QVERIFY(!opened.first()->isVisible());
    }

    void menusReachTheCommands()
    {
        AppDelegate delegate;
        ApplicationMenus menus;
        menus.connectToDelegate(&delegate);
        QCOMPARE(menus.helpAction()->shortcut(), QKeySequence(Qt::Key_F1));
        menus.helpAction()->trigger();
        menus.scratchpadAction()->trigger();
        menus.supportAction()->trigger();
        QCOMPARE(delegate.myHelpWindow.size(), 1);
        QCOMPARE(delegate.mySPWindow.size(), 1);
        QCOMPARE(m_opened, QList<QUrl>{QUrl(QString::fromUtf8(build::supportUrl))});
    }

    void updatesPage_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("oldPage");
        QTest::newRow("10.11 El Capitan") << QStringLiteral("10.11") << true;
        QTest::newRow("10.11.6") << QStringLiteral("10.11.6") << true;
        QTest::newRow("10.9") << QStringLiteral("10.9") << true;
        QTest::newRow("10.12 Sierra") << QStringLiteral("10.12") << false;
        QTest::newRow("10.13") << QStringLiteral("10.13") << false;
        QTest::newRow("10.15") << QStringLiteral("10.15") << false;
        QTest::newRow("12.0, minor number only") << QStringLiteral("12.0") << true;
        QTest::newRow("11.2") << QStringLiteral("11.2") << true;
        QTest::newRow("22.04, minor 4") << QStringLiteral("22.04") << true;
        QTest::newRow("6.12.1") << QStringLiteral("6.12.1") << false;
        QTest::newRow("major only") << QStringLiteral("12") << true;
        QTest::newRow("unreadable version") << QStringLiteral("rolling") << true;
    }
    void updatesPage()
    {
        QFETCH(QString, system);
        QFETCH(bool, oldPage);
        AppDelegate delegate;
        delegate.setSystemVersionForTesting(QVersionNumber::fromString(system));
        delegate.openUpdates();
        const QUrl expected(QString::fromUtf8(oldPage ? build::updatesUrlOld : build::updatesUrlNew));
        QCOMPARE(m_opened, QList<QUrl>{expected});
        QCOMPARE(expected.scheme(), QStringLiteral("https"));
    }

    void browserFailureStaysSilent()
    {
        m_browserAnswer = false;
        AppDelegate delegate;
        delegate.openSupport();
        delegate.openUpdates();   // the running system's version
        QCOMPARE(m_opened.size(), 2);
        QCOMPARE(m_alerts, 0);
        QCOMPARE(m_opened.first().scheme(), QStringLiteral("https"));
    }

    void helpTellsWhatUsersNeed_data()
    {
        QTest::addColumn<QString>("needle");
        for (const QString &entry : AttributeCatalogue::entries())
            QTest::newRow(qPrintable(QStringLiteral("attribute ") + entry)) << entry;
        QTest::newRow("attribute prefix") << AttributeCatalogue::prefix();
        QTest::newRow("user namespace") << QStringLiteral("user.com.apple.metadata:kMDItemKeywords");
        QTest::newRow("opt-out key") << QStringLiteral("noUpdateCheck=true");
        QTest::newRow("interval key") << QStringLiteral("updateCheckInt");
        QTest::newRow("settings file") << QStringLiteral("~/.config/Corvane/Corvane.conf");
        QTest::newRow("empty value removes") << QStringLiteral("empty field removes");
        QTest::newRow("save shortcut") << QStringLiteral("Ctrl+S");
        QTest::newRow("help shortcut") << QStringLiteral("F1");
        QTest::newRow("scratchpad") << QStringLiteral("Window > Scratchpad");
    }
    void helpTellsWhatUsersNeed()
    {
        QFETCH(QString, needle);
        HelpView view;
        const QString text = view.helpBrowser()->toPlainText();
        QVERIFY2(text.contains(needle), qPrintable(needle));
    }

    void helpLinksStayInsideOrGoToTheBrowser()
    {
        HelpView view;
        QTextBrowser *browser = view.helpBrowser();
        QCOMPARE(browser->documentTitle(), QStringLiteral("Corvane Help"));
        QVERIFY(browser->isReadOnly());

        emit browser->anchorClicked(QUrl(QStringLiteral("#safety")));
        QCOMPARE(browser->source().fragment(), QStringLiteral("safety"));
        QVERIFY(m_opened.isEmpty());

        const QUrl site(QStringLiteral("https://example.org/page"));
        emit browser->anchorClicked(site);
        emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
        QCOMPARE(m_opened, QList<QUrl>{site});
        QCOMPARE(browser->source().fragment(), QStringLiteral("safety"));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
