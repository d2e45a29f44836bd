#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/AppDelegate.h"
#include "scratchpad/ScratchpadWindow.h"
#include "support/SettingsSandbox.h"
#include "window/ApplicationActions.h"

using corvane::AppDelegate;
using corvane::ScratchpadWindow;

// Scratchpad windows as the Window menu opens them, their font sizes and their text against a real
// settings file. The text they exchange with the application is tested with quitting, which settles it
// in every way.
class TestScratchpad : public QObject {
    Q_OBJECT
    std::unique_ptr<corvane::test::SettingsSandbox> m_settings;

private slots:
    void init() { m_settings = std::make_unique<corvane::test::SettingsSandbox>(); }

    void fontSizes_data()
    {
        QTest::addColumn<QByteArray>("stored"); // null: none stored
        QTest::addColumn<double>("initial");
        QTest::addColumn<QString>("steps"); // + and - by the buttons, P = and M by the keyboard
        QTest::addColumn<QList<double>>("sizes"); // after each step
        // clang-format off
        QTest::newRow("absent gives 12") << QByteArray() << 12.0 << QString() << QList<double> {};
        QTest::newRow("3.5 gives 12") << QByteArray("3.5") << 12.0 << QString() << QList<double> {};
        QTest::newRow("text gives 12") << QByteArray("large") << 12.0 << QString() << QList<double> {};
        QTest::newRow("absurd gives 24") << QByteArray("1e9") << 24.0 << QString() << QList<double> {};
        QTest::newRow("4 stays at 4") << QByteArray("4") << 4.0 << QStringLiteral("-") << QList<double> { 4.0 };
        QTest::newRow("30, smaller then larger") << QByteArray("30") << 30.0 << QStringLiteral("-+") << QList<double> { 29.0, 24.0 };
        QTest::newRow("12.5 up to 24 exactly, and no further")
            << QByteArray("12.5") << 12.5 << QStringLiteral("+++++++++++P+")
            << QList<double> { 13.5, 14.5, 15.5, 16.5, 17.5, 18.5, 19.5, 20.5, 21.5, 22.5, 23.5, 24.0, 24.0 };
        QTest::newRow("Ctrl++ Ctrl+= Ctrl+-") << QByteArray() << 12.0 << QStringLiteral("P=M") << QList<double> { 13.0, 14.0, 13.0 };
        // clang-format on
    }
    void fontSizes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, steps);
        QFETCH(QList<double>, sizes);
        if (!stored.isNull())
            QVERIFY(m_settings->write("fontSizeMain=" + stored + "\n"));
        corvane::ApplicationActions actions;
        AppDelegate delegate(actions);
        delegate.scratchpadText().setText(QStringLiteral("notes"));
        delegate.openScratchpad();
        ScratchpadWindow *pad = delegate.scratchpadWindows().at(0);
        QVERIFY(QTest::qWaitForWindowActive(pad));
        QCOMPARE(pad->windowTitle(), QStringLiteral("Scratchpad"));
        QTEST(pad->textEdit()->font().pointSizeF(), "initial");

        const QString keys = QStringLiteral("P=M");
        const Qt::Key keyOf[] = { Qt::Key_Plus, Qt::Key_Equal, Qt::Key_Minus };
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString button = steps[i] == u'+' ? QStringLiteral("incFontSizeButton")
                                                    : QStringLiteral("decFontSizeButton");
            if (const qsizetype key = keys.indexOf(steps[i]); key >= 0)
                QTest::keySequence(pad->textEdit(), QKeySequence(Qt::CTRL | keyOf[key]));
            else
                QTest::mouseClick(pad->findChild<QPushButton *>(button), Qt::LeftButton);
            QCOMPARE(pad->textEdit()->font().pointSizeF(), sizes[i]);
            QCOMPARE(m_settings->onDisk(QStringLiteral("fontSizeMain")).toDouble(), sizes[i]); // every step
        }
        QCOMPARE(pad->text(), QStringLiteral("notes"));
        for (auto *control : pad->findChildren<QWidget *>()) // a name for every control
            QVERIFY(control->focusPolicy() == Qt::NoFocus || !control->accessibleName().isEmpty());
    }

    // Typed text is on disk soon after the typing, with the window still open, not only at quit. At
    // quit the session's one Corvane stores its text; one running beside another stores only what
    // changed since it last stored, so the other's newer text is not replaced by a copy written before.
    void typedTextIsStoredWhileOpen_data()
    {
        QTest::addColumn<bool>("alone");
        QTest::addColumn<QString>("afterQuit");
        QTest::newRow("the session's one Corvane") << false << QStringLiteral("old typed");
        QTest::newRow("beside another Corvane") << true << QStringLiteral("theirs");
    }
    void typedTextIsStoredWhileOpen()
    {
        QFETCH(bool, alone);
        QVERIFY(m_settings->write("noUpdateCheck=true\nscratchpad=old\n"));
        corvane::ApplicationActions actions;
        AppDelegate delegate(actions);
        delegate.setStoresUnchangedScratchpadText(!alone);
        delegate.runStartupTasks();
        delegate.openScratchpad();
        QVERIFY(QTest::qWaitForWindowActive(delegate.scratchpadWindows().at(0)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" typed"));
        QTRY_COMPARE(
            m_settings->onDisk(QStringLiteral("scratchpad")).toString(), QStringLiteral("old typed"));

        QVERIFY(m_settings->write("noUpdateCheck=true\nscratchpad=theirs\n"));
        delegate.applicationWillTerminate();
        QTEST(m_settings->onDisk(QStringLiteral("scratchpad")).toString(), "afterQuit");
    }
};

QTEST_MAIN(TestScratchpad)
#include "tst_scratchpad.moc"
