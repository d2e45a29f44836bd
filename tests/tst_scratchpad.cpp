#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/AppDelegate.h"
#include "app/WindowController.h"
#include "scratchpad/ScratchpadView.h"

#include <memory>
#include <vector>

using corvane::AppDelegate;
using corvane::ScratchpadView;
using corvane::WindowController;

// Scratchpad windows as the Window menu opens them: their font sizes against a real settings file,
// their keyboard and accessibility, and the text they exchange with the application.
class TestScratchpad : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QTemporaryDir>> m_copies;

    QString settingsFile() const { return m_dir->filePath(QStringLiteral("Corvane/Corvane.conf")); }

    void storeFontSize(const QByteArray &value)
    {
        QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("Corvane"))));
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nfontSizeMain=" + value + "\n");
    }

    // The size on disk, read from a copy: QSettings would answer the same path from its memory.
    QVariant fontSizeOnDisk()
    {
        m_copies.push_back(std::make_unique<QTemporaryDir>());
        const QString copy = m_copies.back()->filePath(QStringLiteral("copy.conf"));
        if (!QFile::copy(settingsFile(), copy))
            return QVariant();
        return QSettings(copy, QSettings::IniFormat).value(QStringLiteral("fontSizeMain"));
    }

    static ScratchpadView *viewOf(WindowController *controller)
    {
        return qobject_cast<ScratchpadView *>(controller->contentViewController());
    }

    static void typeAtEnd(ScratchpadView *view, const QString &text)
    {
        view->scratchpadContents()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view->scratchpadContents(), text);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    }

    void fontSizes_data()
    {
        QTest::addColumn<QByteArray>("stored");     // null: no size stored
        QTest::addColumn<double>("initial");
        QTest::addColumn<QString>("steps");         // '+' larger, '-' smaller, by the window's buttons
        QTest::addColumn<QList<double>>("sizes");   // after each step

        QTest::newRow("absent gives 12") << QByteArray() << 12.0 << QString() << QList<double>{};
        QTest::newRow("3.5 gives 12, not 4") << QByteArray("3.5") << 12.0 << QString() << QList<double>{};
        QTest::newRow("text gives 12") << QByteArray("large") << 12.0 << QString() << QList<double>{};
        QTest::newRow("4 is kept, smaller stays at 4") << QByteArray("4") << 4.0 << QStringLiteral("-")
                                                      << QList<double>{4.0};
        QTest::newRow("30 is kept, larger gives 24") << QByteArray("30") << 30.0 << QStringLiteral("+")
                                                    << QList<double>{24.0};
        QTest::newRow("30 is kept, smaller gives 29") << QByteArray("30") << 30.0 << QStringLiteral("-")
                                                     << QList<double>{29.0};
        QTest::newRow("24, larger stays at 24") << QByteArray("24") << 24.0 << QStringLiteral("+")
                                               << QList<double>{24.0};
        QTest::newRow("12.5 steps up to 24 exactly")
            << QByteArray("12.5") << 12.5 << QStringLiteral("++++++++++++")
            << QList<double>{13.5, 14.5, 15.5, 16.5, 17.5, 18.5, 19.5, 20.5, 21.5, 22.5, 23.5, 24.0};
        QTest::newRow("down and up again") << QByteArray() << 12.0 << QStringLiteral("--+")
                                           << QList<double>{11.0, 10.0, 11.0};
        QTest::newRow("absurd size is brought into range") << QByteArray("1e9") << 24.0 << QString()
                                                           << QList<double>{};
    }
    void fontSizes()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, initial);
        QFETCH(QString, steps);
        QFETCH(QList<double>, sizes);
        if (!stored.isNull())
            storeFontSize(stored);

        AppDelegate delegate;
        delegate.openScratchpad();
        ScratchpadView *view = viewOf(delegate.mySPWindow.at(0));
        QVERIFY(view);
        QCOMPARE(view->fontSize(), initial);
        QCOMPARE(view->scratchpadContents()->font().pointSizeF(), initial);

        auto *larger = view->findChild<QPushButton *>(QStringLiteral("incFontSizeButton"));
        auto *smaller = view->findChild<QPushButton *>(QStringLiteral("decFontSizeButton"));
        QVERIFY(larger && smaller);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QTest::mouseClick(steps.at(i) == QLatin1Char('+') ? larger : smaller, Qt::LeftButton);
            QCOMPARE(view->fontSize(), sizes.at(i));
            QCOMPARE(view->scratchpadContents()->font().pointSizeF(), sizes.at(i));
            // Every step writes, also when a bound kept the size where it was.
            QCOMPARE(fontSizeOnDisk().toDouble(), sizes.at(i));
        }
        if (steps.isEmpty() && stored.isNull())
            QVERIFY(!fontSizeOnDisk().isValid());
    }

    void keyboardStepsKeepTheText_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<double>("size");
        QTest::newRow("Ctrl++") << QKeySequence(Qt::CTRL | Qt::Key_Plus) << 13.0;
        QTest::newRow("Ctrl+=") << QKeySequence(Qt::CTRL | Qt::Key_Equal) << 13.0;
        QTest::newRow("Ctrl+-") << QKeySequence(Qt::CTRL | Qt::Key_Minus) << 11.0;
    }
    void keyboardStepsKeepTheText()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(double, size);
        AppDelegate delegate;
        delegate.scratchpadContents = QStringLiteral("notes\nmore notes");
        delegate.openScratchpad();
        WindowController *window = delegate.mySPWindow.at(0);
        QVERIFY(QTest::qWaitForWindowActive(window));
        ScratchpadView *view = viewOf(window);
        QTRY_VERIFY(view->scratchpadContents()->hasFocus());

        QTest::keySequence(window, keys);
        QCOMPARE(view->fontSize(), size);
        QCOMPARE(view->scratchpadContents()->font().pointSizeF(), size);
        QCOMPARE(view->text(), QStringLiteral("notes\nmore notes"));
    }

    void windowIsTitledAndEveryControlNamed()
    {
        AppDelegate delegate;
        delegate.openScratchpad();
        WindowController *window = delegate.mySPWindow.at(0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Scratchpad"));
        const auto controls = viewOf(window)->findChildren<QWidget *>();
        int focusable = 0;
        for (QWidget *control : controls) {
            if (control->focusPolicy() == Qt::NoFocus || !control->isVisible())
                continue;
            ++focusable;
            QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
        }
        QCOMPARE(focusable, 3);
    }

    void emptyTextStillCarriesTheSize()
    {
        storeFontSize("18");
        AppDelegate delegate;
        delegate.openScratchpad();
        ScratchpadView *view = viewOf(delegate.mySPWindow.at(0));
        QVERIFY(view->text().isEmpty());
        QTest::keyClicks(view->scratchpadContents(), QStringLiteral("x"));
        QCOMPARE(view->text(), QStringLiteral("x"));
        QCOMPARE(view->scratchpadContents()->document()->defaultFont().pointSizeF(), 18.0);
    }

    void sizeIsPerWindowAndReadWhenOpened()
    {
        AppDelegate delegate;
        delegate.openScratchpad();
        delegate.openScratchpad();
        ScratchpadView *first = viewOf(delegate.mySPWindow.at(0));
        ScratchpadView *second = viewOf(delegate.mySPWindow.at(1));
        first->incFontSize();
        first->incFontSize();
        QCOMPARE(first->fontSize(), 14.0);
        QCOMPARE(second->fontSize(), 12.0);
        delegate.openScratchpad();
        QCOMPARE(viewOf(delegate.mySPWindow.at(2))->fontSize(), 14.0);
    }

    void textPassesBetweenWindowsWhenOneCloses()
    {
        AppDelegate delegate;
        delegate.scratchpadContents = QStringLiteral("saved");
        delegate.openScratchpad();
        delegate.openScratchpad();
        WindowController *firstWindow = delegate.mySPWindow.at(0);
        WindowController *secondWindow = delegate.mySPWindow.at(1);
        ScratchpadView *first = viewOf(firstWindow);
        ScratchpadView *second = viewOf(secondWindow);
        QCOMPARE(first->text(), QStringLiteral("saved"));
        QCOMPARE(second->text(), QStringLiteral("saved"));

        typeAtEnd(second, QStringLiteral(" second"));
        typeAtEnd(first, QStringLiteral(" first"));
        QCOMPARE(second->text(), QStringLiteral("saved second"));   // nothing passes while both are open
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved"));

        firstWindow->close();
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved first"));
        QCOMPARE(second->text(), QStringLiteral("saved first"));    // replaced, not merged

        typeAtEnd(second, QStringLiteral("!"));
        secondWindow->close();
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved first!"));
        QCOMPARE(first->text(), QStringLiteral("saved first!"));     // closed windows are given it too

        // A window opened afterwards shows the latest text, and minimizing is no disappearance.
        delegate.openScratchpad();
        WindowController *third = delegate.mySPWindow.at(2);
        QCOMPARE(viewOf(third)->text(), QStringLiteral("saved first!"));
        typeAtEnd(viewOf(third), QStringLiteral("?"));
        third->showMinimized();
        third->showWindow();
        QCOMPARE(viewOf(third)->text(), QStringLiteral("saved first!?"));
        QCOMPARE(delegate.scratchpadContents, QStringLiteral("saved first!"));
    }

    void windowWithoutApplicationDelegateStaysQuiet()
    {
        // A view outside the application (no delegate) must neither crash nor lose what it shows.
        ScratchpadView view;
        view.setText(QStringLiteral("alone"));
        view.viewDidAppear();
        view.viewWillDisappear();
        QCOMPARE(view.text(), QStringLiteral("alone"));
    }
};

QTEST_MAIN(TestScratchpad)
#include "tst_scratchpad.moc"
