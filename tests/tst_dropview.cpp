#include "support/EditorTestSupport.h"
#include "window/DropArea.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

namespace {
const QString comment = u"com.apple.metadata:kMDItemComment"_s;
} // namespace

class TestDropView : public QObject {
    Q_OBJECT
    TestFiles m_files;

private slots:
    // Only local files are taken, and only they are handed on; anything else is refused on entry.
    void dropAreaAnswers_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QList<QUrl>>("handed");
        const QList<QUrl> files { QUrl::fromLocalFile(u"/tmp/b"_s), QUrl::fromLocalFile(u"/tmp/a"_s) };
        const QUrl web(u"https://example.org/x"_s);
        QTest::newRow("several files, in order") << files << files;
        QTest::newRow("a web link before a file")
            << QList<QUrl> { web, files.last() } << QList<QUrl> { files.last() };
        QTest::newRow("a web link") << QList<QUrl> { web } << QList<QUrl> {};
        QTest::newRow("text without URLs") << QList<QUrl> {} << QList<QUrl> {};
    }
    void dropAreaAnswers()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QList<QUrl>, handed);
        const bool taken = !handed.isEmpty();
        DropArea area;
        QSignalSpy dropped(&area, &DropArea::filesDropped);
        QMimeData data;
        data.setUrls(urls);
        data.setText(u"text"_s);
        QCOMPARE(area.backgroundColor().alpha(), 0);

        // The answer a drag gets is the one to its first move, which the drag's source shows.
        QCOMPARE(dragOnto(&area, &data, false).first, taken);
        QVERIFY(area.backgroundColor().alpha() > 0);
        const QColor shown = area.backgroundColor();
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(&area, &leave);
        QCOMPARE(area.backgroundColor().alpha(), 0);
        QMimeData other;
        other.setUrls(taken ? QList<QUrl> {} : QList<QUrl> { QUrl::fromLocalFile(u"/tmp/f"_s) });
        DropArea otherArea; // accepting and refusing look different
        dragOnto(&otherArea, &other, false);
        QVERIFY(otherArea.backgroundColor().alpha() > 0 && otherArea.backgroundColor() != shown);

        QCOMPARE(dragOnto(&area, &data).second, taken);
        QCOMPARE(area.backgroundColor().alpha(), 0);
        QCOMPARE(dropped.size(), taken ? 1 : 0);
        for (const QList<QVariant> &arguments : std::as_const(dropped))
            QCOMPARE(arguments.first().value<QList<QUrl>>(), handed);
    }

    void dropAnywhereOnTheEditorLoadsTheFirstLocalFile_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("window background") << u"background"_s;
        QTest::newRow("value field") << u"value"_s;
        QTest::newRow("attribute name field") << u"combo"_s;
        QTest::newRow("Save button") << u"save"_s;
        QTest::newRow("a folder, on the value field") << u"folder"_s;
    }
    void dropAnywhereOnTheEditorLoadsTheFirstLocalFile()
    {
        QFETCH(QString, where);
        const bool folder = where == QLatin1String("folder");
        const QString first = folder ? m_files.path(u"Folder"_s) : m_files.make(u"first.txt"_s);
        const QString second = m_files.make(u"second.txt"_s);
        QVERIFY(QDir().mkpath(m_files.path(u"Folder"_s)));
        QVERIFY(setAttributeWithTool(first, comment, QByteArrayLiteral("\"first comment\"")));
        auto shown = showEditor(QUrl::fromLocalFile(second));
        QVERIFY(shown);
        EditorWidget *editor = shown->editor;
        QSignalSpy dropped(&shown->window, &EditorWindow::fileDropped);
        editor->attributeComboBox()->setCurrentIndex(2);
        emit editor->attributeComboBox()->activated(2);
        editor->valueEdit()->setPlainText(u"typed"_s);

        QWidget *under = where == QLatin1String("value") || folder ? editor->valueEdit()->viewport()
            : where == QLatin1String("combo")                      ? editor->attributeComboBox()->lineEdit()
            : where == QLatin1String("save") ? static_cast<QWidget *>(editor->saveButton())
                                             : editor->dropArea();
        QMimeData data;
        data.setUrls({ QUrl(u"https://example.org/link"_s),
            QUrl::fromLocalFile(folder ? first + QLatin1Char('/') : first), QUrl::fromLocalFile(second) });
        data.setText(u"file names that must not land in a field"_s);
        QCOMPARE(dragOnto(dropTargetAt(&shown->window, under), &data), std::make_pair(true, true));

        QCOMPARE(shown->window.file().toLocalFile().chopped(folder ? 1 : 0), first);
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(shown->window.windowTitle(), QFileInfo(first).fileName() + QStringLiteral("[*]"));
        QCOMPARE(editor->attributeComboBox()->currentText(), u"Comment"_s);
        QCOMPARE(editor->valueEdit()->toPlainText(), u"first comment"_s);
        QCOMPARE(editor->dropArea()->backgroundColor().alpha(), 0);
    }

    void textDraggedIntoTheValueFieldStaysText()
    {
        const QString opened = m_files.make(u"text.txt"_s);
        auto shown = showEditor(QUrl::fromLocalFile(opened));
        QVERIFY(shown);
        QMimeData data;
        data.setText(u"dragged words"_s);
        QVERIFY(dragOnto(shown->editor->valueEdit()->viewport(), &data).second);
        QVERIFY(shown->editor->valueEdit()->toPlainText().contains(u"dragged words"_s));
        QCOMPARE(shown->window.file(), QUrl::fromLocalFile(opened));
    }
};

QTEST_MAIN(TestDropView)
#include "tst_dropview.moc"
