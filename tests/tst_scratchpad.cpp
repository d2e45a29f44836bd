#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/AppDelegate.h"
#include "app/WindowController.h"
#include "scratchpad/ScratchpadView.h"
#include "support/SettingsSandbox.h"

#include <memory>

using corvane::AppDelegate;
using corvane::ScratchpadView;

// Scratchpad windows as the Window menu opens them: font sizes against a real settings file, and the
// text they exchange with the application.
class TestScratchpad : public QObject {
    Q_OBJECT
    std::unique_ptr<corvane::test::SettingsSandbox> m_settings;

    static ScratchpadView *view(const AppDelegate &delegate, int window)
    {
        return qobject_cast<ScratchpadView *>(delegate.mySPWindow.at(window)->contentViewController());
    }
    static void type(ScratchpadView *view, const QString &text)
    {
        view->scratchpadContents()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view->scratchpadContents(), text);
    }

private slots:
    void init() { m_settings = std::make_unique<corvane::test::SettingsSandbox>(); }

    void fontSizes_data()
    {
        QTest::addColumn<QByteArray>("stored"); // null: none stored
        QTest::addColumn<double>("initial");
        QTest::addColumn<QString>("steps"); // + and - by the buttons, P = and M by the keyboard
        QTest::addColumn<QList<double>>("sizes"); // after each step
        QTest::newRow("absent gives 12") << QByteArray() << 12.0 << QString() << QList<double> {};
        QTest::newRow("3.5 gives 12") << QByteArray("3.5") << 12.0 << QString() << QList<double> {};
        QTest::newRow("text gives 12") << QByteArray("large") << 12.0 << QString() << QList<double> {};
        QTest::newRow("absurd gives 24") << QByteArray("1e9") << 24.0 << QString() << QList<double> {};
        QTest::newRow("4 stays at 4")
            << QByteArray("4") << 4.0 << QStringLiteral("-") << QList<double> { 4.0 };
        QTest::newRow("30, larger") << QByteArray("30") << 30.0 << QStringLiteral("+")
                                    << QList<double> { 24.0 };
        QTest::newRow("30, smaller") << QByteArray("30") << 30.0 << QStringLiteral("-")
                                     << QList<double> { 29.0 };
        QTest::newRow("24 stays at 24")
            << QByteArray("24") << 24.0 << QStringLiteral("+") << QList<double> { 24.0 };
        QTest::newRow("12.5 up to 24 exactly")
            << QByteArray("12.5") << 12.5 << QStringLiteral("+++++++++++P")
            << QList<double> { 13.5, 14.5, 15.5, 16.5, 17.5, 18.5, 19.5, 20.5, 21.5, 22.5, 23.5, 24.0 };
        QTest::newRow("Ctrl++ Ctrl+= Ctrl+-")
            << QByteArray() << 12.0 << QStringLiteral("P=M") << QList<double> { 13.0, 14.0, 13.0 };
    }
    void fontSizes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, initial);
        QFETCH(QString, steps);
        QFETCH(QList<double>, sizes);
        if (!stored.isNull())
            QVERIFY(m_settings->write("fontSizeMain=" + stored + "\n"));
        AppDelegate delegate;
        delegate.scratchpadContents = QStringLiteral("notes");
        delegate.openScratchpad();
        QVERIFY(QTest::qWaitForWindowActive(delegate.mySPWindow.at(0)));
        ScratchpadView *pad = view(delegate, 0);
        QCOMPARE(pad->scratchpadContents()->font().pointSizeF(), initial);

        const QHash<QChar, QKeySequence> keys = { { QLatin1Char('P'), QKeySequence(Qt::CTRL | Qt::Key_Plus) },
            { QLatin1Char('='), QKeySequence(Qt::CTRL | Qt::Key_Equal) },
            { QLatin1Char('M'), QKeySequence(Qt::CTRL | Qt::Key_Minus) } };
        for (qsizetype i = 0; i < steps.size(); ++i) {
            if (keys.contains(steps[i]))
                QTest::keySequence(pad->scratchpadContents(), keys[steps[i]]);
            else
                QTest::mouseClick(pad->findChild<QPushButton *>(steps[i] == QLatin1Char('+')
                                          ? QStringLiteral("incFontSizeButton")
                                          : QStringLiteral("decFontSizeButton")),
                    Qt::LeftButton);
            QCOMPARE(pad->scratchpadContents()->font().pointSizeF(), sizes[i]);
            QCOMPARE(m_settings->onDisk(QStringLiteral("fontSizeMain")).toDouble(), sizes[i]); // every step
        }
        QCOMPARE(pad->text(), QStringLiteral("notes"));
        for (auto *control : pad->findChildren<QWidget *>()) // a name for every control
            QVERIFY(control->focusPolicy() == Qt::NoFocus || !control->accessibleName().isEmpty());
    }

    void textPassesBetweenWindowsWhenOneCloses()
    {
        AppDelegate delegate;
        delegate.scratchpadContents = QStringLiteral("saved");
        delegate.openScratchpad();
        delegate.openScratchpad();
        QCOMPARE(delegate.mySPWindow.at(0)->windowTitle(), QStringLiteral("Scratchpad"));
        QCOMPARE(view(delegate, 1)->text(), QStringLiteral("saved"));
        type(view(delegate, 1), QStringLiteral(" second"));
        type(view(delegate, 0), QStringLiteral(" first"));
        QCOMPARE(view(delegate, 1)->text(), QStringLiteral("saved second")); // nothing passes while open

        delegate.mySPWindow.at(0)->close();
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved first"));
        QCOMPARE(view(delegate, 1)->text(), QStringLiteral("saved first")); // replaced, not merged
        type(view(delegate, 1), QStringLiteral("!"));
        delegate.mySPWindow.at(1)->close();
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved first!"));
        QCOMPARE(view(delegate, 0)->text(), QStringLiteral("saved first!")); // closed windows get it too
    }
};

QTEST_MAIN(TestScratchpad)
#include "tst_scratchpad.moc"
