#include "BuildConfig.h"
#include "app/Application.h"
#include "app/StartWindow.h"
#include "help/HelpWindow.h"
#include "scratchpad/ScratchpadWindow.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"
#include "window/UrlOpener.h"

#include <QAction>
#include <QTest>
#include <QTextBrowser>

using namespace corvane;

// The Window and Help menu commands, clicked in a window's menus: a new window every time, kept for
// the process, and web pages handed to the browser, whose failure stays silent.
class TestCommands : public QObject {
    Q_OBJECT
    QList<QUrl> m_opened;

private slots:
    void initTestCase()
    {
        UrlOpener::setHandlerForTesting([this](const QUrl &url) { return m_opened.append(url), false; });
    }
    void init() { m_opened.clear(); }

    void menuCommands()
    {
        test::AlertRecorder alerts;
        Application application;
        ApplicationActions &actions = application.actions();
        const AppDelegate &delegate = application.delegate();
        application.documents().showStartWindow();
        StartWindow *start = application.documents().startWindow();
        for (QAction *command : { actions.helpAction(), actions.helpAction(), actions.scratchpadAction(),
                 actions.scratchpadAction(), actions.scratchpadAction(), actions.supportAction() })
            QVERIFY(test::clickMenuItem(start, command));
        QCOMPARE(delegate.helpWindows().size(), 2);
        QCOMPARE(delegate.scratchpadWindows().size(), 3);
        QCOMPARE(delegate.helpWindows()[0]->windowTitle(), QStringLiteral("Corvane Help"));
        QCOMPARE(m_opened, QList<QUrl> { QUrl(QString::fromUtf8(build::supportUrl)) });

        // A closed window is kept; the command still makes a new one, from any window's menu.
        delegate.helpWindows()[0]->close();
        QVERIFY(test::clickMenuItem(delegate.scratchpadWindows()[0], actions.helpAction()));
        QCOMPARE(delegate.helpWindows().size(), 3);
        QVERIFY(delegate.helpWindows()[0] && !delegate.helpWindows()[0]->isVisible());
        QCOMPARE(alerts.count(), 0);
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
        ApplicationActions actions;
        AppDelegate delegate(actions);
        delegate.setSystemVersionForTesting(QVersionNumber::fromString(system));
        delegate.openUpdates();
        QCOMPARE(m_opened,
            QList<QUrl> { QUrl(QString::fromUtf8(oldPage ? build::updatesUrlOld : build::updatesUrlNew)) });
    }

    void helpLinks()
    {
        ApplicationActions actions;
        HelpWindow window(actions);
        // Links inside the guide move within it; web pages go to the browser; nothing else is followed.
        QTextBrowser *browser = window.helpBrowser();
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
