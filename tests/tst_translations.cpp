// The user's language: the window, an alert's buttons (Corvane's and Qt's own) and the command line
// speak German on a German desktop, while what scripts read stays as corvane(1) documents it.
#include "app/Application.h"
#include "app/Document.h"
#include "editor/EditorWindow.h"
#include "settings/Translations.h"
#include "support/EditorTestSupport.h"
#include "window/Alerts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

class TestTranslations : public QObject {
    Q_OBJECT

    // A German desktop as the session sets it; no generated glibc locale is needed, Qt reads these.
    static ProcessResult runGerman(const QStringList &arguments, const QString &lcAll = u"de_DE.UTF-8"_s)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
        environment.insert(u"LC_ALL"_s, lcAll);
        environment.insert(u"LANGUAGE"_s, u"de"_s);
        return runProgram(corvaneProgram(), arguments, QByteArray(), 60000, environment);
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        installTranslations();
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        installTranslations();
    }

    void windowMenusAndAlertButtonsAreGerman()
    {
        QCOMPARE(translationLanguage(), u"de"_s);
        TestFiles files;
        const QString path = files.make(u"Bericht.txt"_s, "text");
        Application application;
        Document *document = application.documents().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path));
        QVERIFY(document && document->window());
        EditorWindow *window = document->window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QStringList menus;
        for (QAction *menu : window->menuBar()->actions())
            menus.append(menu->text());
        QCOMPARE(menus.value(0), u"&Datei"_s);
        QVERIFY2(menus.contains(u"&Bearbeiten"_s), qPrintable(menus.join(u", ")));
        QCOMPARE(clashingMnemonics(window).join(u"; "), QString());

        // The real message box: Cancel is the desktop's standard button in Qt's words, Remove is ours,
        // Show Details Qt's again.
        AlertRequest alert
            = AlertRequest::question(u"Das Attribut „Tags“ entfernen?"_s, QString(), Alerts::Button::Remove);
        alert.detailedText = u"user.xdg.tags"_s;
        QStringList buttons;
        QTimer::singleShot(0, this, [&buttons] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            for (QAbstractButton *button : box->buttons())
                buttons.append(button->text().remove(u'&'));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(Alerts::run(alert, window), Alerts::Button::Cancel);
        buttons.sort();
        QCOMPARE(buttons, QStringList({ u"Abbrechen"_s, u"Details einblenden..."_s, u"Entfernen"_s }));
    }

    void commandLineSpeaksGerman_data()
    {
        QTest::addColumn<QString>("lcAll");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("said");
        const QString german = u"de_DE.UTF-8"_s;
        QTest::newRow("--help: Qt's parser and Corvane's verbs")
            << german << QStringList { u"--help"_s } << 0
            << QStringList { u"Aufruf:"_s, u"Zeigt und bearbeitet die erweiterten Metadaten-Attribute"_s,
                   u"Attribute ohne Fenster auflisten:"_s, u"Rückgabewert: 0"_s };
        QTest::newRow("an option Qt's parser does not know")
            << german << QStringList { u"--nonsense"_s } << 2
            << QStringList { u"Unbekannte Option"_s, u"„corvane --help“ zeigt weitere Informationen."_s };
        QTest::newRow("a verb without its operands")
            << german << QStringList { u"--set"_s } << 2
            << QStringList { u"corvane: --set braucht weitere Argumente"_s, u"„corvane --help“ zeigt"_s };
        QTest::newRow("LC_ALL=C keeps English, whatever LANGUAGE lists")
            << u"C"_s << QStringList { u"--help"_s } << 0
            << QStringList { u"Usage:"_s, u"Listing attributes without a window:"_s };
    }
    void commandLineSpeaksGerman()
    {
        QFETCH(QString, lcAll);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, said);
        const ProcessResult result = runGerman(arguments, lcAll);
        QCOMPARE(result.exitCode, exitCode);
        const QString output = QString::fromUtf8(result.out + result.err);
        for (const QString &words : said)
            QVERIFY2(output.contains(words), qPrintable(output));
    }

    // The listing is read by scripts: its labels and kinds stay English, and English names and labels
    // are taken as NAME on any desktop, beside the labels the German windows show.
    void listingAndNamesStayEnglish()
    {
        TestFiles files;
        const QString path = files.make(u"download.zip"_s);
        QVERIFY(setAttributesWithPython({ { path, "user.com.apple.metadata:kMDItemWhereFroms",
            u"plistlib.dumps(['https://example.com/a', 'https://example.com/'], fmt=plistlib.FMT_BINARY)"_s } }));
        ProcessResult listed = runGerman({ u"--list"_s, path });
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.out.contains("(Where from, list of 2 texts) = "), listed.out.constData());

        QCOMPARE(runGerman({ u"--set"_s, u"Herkunft"_s, u"https://example.org/"_s, path }).exitCode, 0);
        QCOMPARE(runGerman({ u"--remove"_s, u"Where from"_s, path }).exitCode, 0);
        listed = runGerman({ u"--list"_s, path });
        QVERIFY2(!listed.out.contains("WhereFroms"), listed.out.constData());
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
