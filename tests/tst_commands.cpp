#include <QAction>
#include <QTest>
#include <QTextBrowser>

#include "BuildConfig.h"
#include "app/AppDelegate.h"
#include "app/ApplicationMenus.h"
#include "window/UrlOpener.h"
#include "window/WindowController.h"
#include "help/HelpView.h"
#include "scratchpad/ScratchpadView.h"
#include "support/SettingsSandbox.h"
#include "window/Alerts.h"
#include "window/UrlOpener.h"
#include "window/WindowController.h"

using namespace corvane;

// The Window and Help menu commands: a new window every time, kept for the process, and web pages
// handed to the browser, whose failure stays silent.
class TestCommands : public QObject {
    Q_OBJECT
    test::SettingsSandbox m_settings;
    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        UrlOpener::setHandlerForTesting([this](const QUrl &url) { return m_opened.append(url), false; });
        Alerts::setObserverForTesting([](const AlertRequest &) { QTest::qFail("no alert expected", __FILE__, __LINE__); });
    }
    void init() { m_opened.clear(); }

    void menuCommands()
    {
        AppDelegate delegate;
        ApplicationMenus menus;
        menus.connectToDelegate(&delegate);
        for (QAction *command : { menus.helpAction(), menus.helpAction(), menus.scratchpadAction(),
                 menus.scratchpadAction(), menus.scratchpadAction(), menus.supportAction() })
            command->trigger();
        QCOMPARE(delegate.myHelpWindow.size(), 2);
        QCOMPARE(delegate.mySPWindow.size(), 3);
        QVERIFY(qobject_cast<ScratchpadView *>(delegate.mySPWindow[2]->contentViewController()));
        QCOMPARE(delegate.myHelpWindow[0]->windowTitle(), QStringLiteral("Corvane Help"));
        QCOMPARE(m_opened, QList<QUrl> { QUrl(QString::fromUtf8(build::supportUrl)) });

        // A closed window keeps its controller; the command still makes a new one.
        delegate.myHelpWindow[0]->close();
        menus.helpAction()->trigger();
        QCOMPARE(delegate.myHelpWindow.size(), 3);
        QVERIFY(delegate.myHelpWindow[0] && !delegate.myHelpWindow[0]->isVisible());
    }

    void updatesPage_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("oldPage");
        for (const char *version : { "10.11", "10.9", "12.0", "22.04", "rolling" })
            QTest::newRow(version) << QString::fromLatin1(version) << true;
        for (const char *version : { "10.12", "10.15", "6.12.1" })
            QTest::newRow(version) << QString::fromLatin1(version) << false;
    }
    void updatesPage()
    {
        QFETCH(QString, system);
        QFETCH(bool, oldPage);
        AppDelegate delegate;
        delegate.setSystemVersionForTesting(QVersionNumber::fromString(system));
        delegate.openUpdates();
        QCOMPARE(m_opened,
            QList<QUrl> { QUrl(QString::fromUtf8(oldPage ? build::updatesUrlOld : build::updatesUrlNew)) });
    }

    void helpLinks()
    {
        HelpView view;
        // Links inside the guide move within it; web pages go to the browser; nothing else is followed.
        QTextBrowser *browser = view.helpBrowser();
        emit browser->anchorClicked(QUrl(QStringLiteral("#safety")));
        QCOMPARE(browser->source().fragment(), QStringLiteral("safety"));
        emit browser->anchorClicked(QUrl(QStringLiteral("https://example.org/page")));
        emit browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
        QCOMPARE(m_opened, QList<QUrl> { QUrl(QStringLiteral("https://example.org/page")) });
        QCOMPARE(browser->source().fragment(), QStringLiteral("safety"));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
