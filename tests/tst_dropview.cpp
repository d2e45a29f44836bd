#include "editor/ViewController.h"
#include "support/EditorTestSupport.h"
#include "window/Document.h"
#include "window/DragView.h"
#include "window/DragViewDelegate.h"
#include "window/WindowController.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace corvane::test;
using namespace Qt::StringLiterals;

namespace {
const QString comment = u"com.apple.metadata:kMDItemComment"_s;

class RecordingDelegate : public QObject, public DragViewDelegate {
public:
    QList<QList<QUrl>> calls;
    void dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls) override { calls.append(urls); }
};

// Sends the events Qt sends a drop target; returns whether the entry and the drop were accepted.
std::pair<bool, bool> dragOnto(QWidget *target, const QMimeData *data, bool drop = true)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    // Qt follows an entry with a move at once, and the move's answer is what the drag's source shows.
    QDragMoveEvent firstMove(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &firstMove);
    const bool entered
        = enter.isAccepted() && firstMove.isAccepted() && firstMove.dropAction() == Qt::CopyAction;
    if (!drop)
        return { entered, false };
    if (!entered) { // a refused drag is never dropped: it leaves, and Qt tells the widget that took the enter
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
        return { false, false };
    }
    QDropEvent dropEvent(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    return { true, dropEvent.isAccepted() };
}

// The widget Qt hands a drag to: the one under the pointer, or its nearest ancestor taking drops.
QWidget *dropTargetAt(QWidget *window, QWidget *under)
{
    QWidget *widget = window->childAt(under->mapTo(window, under->rect().center()));
    while (widget && !widget->isWindow() && !widget->acceptDrops())
        widget = widget->parentWidget();
    return widget;
}
} // namespace

class TestDropView : public QObject {
    Q_OBJECT
    QTemporaryDir myDir;

private slots:
    // Only local files are taken, and only they reach the delegate; anything else is refused on entry.
    void dragViewAnswers_data()
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
    void dragViewAnswers()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QList<QUrl>, handed);
        const bool taken = !handed.isEmpty();
        DragView view;
        auto delegate = std::make_unique<RecordingDelegate>();
        view.setDelegate(delegate.get());
        QMimeData data;
        data.setUrls(urls);
        data.setText(u"text"_s);
        QCOMPARE(view.backgroundColor().alpha(), 0);

        // The answer a drag gets is the one to its first move, which the drag's source shows.
        QCOMPARE(dragOnto(&view, &data, false).first, taken);
        QVERIFY(view.backgroundColor().alpha() > 0);
        const QColor shown = view.backgroundColor();
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(&view, &leave);
        QCOMPARE(view.backgroundColor().alpha(), 0);
        QMimeData other;
        other.setUrls(taken ? QList<QUrl> {} : QList<QUrl> { QUrl::fromLocalFile(u"/tmp/f"_s) });
        DragView otherView; // accepting and refusing look different
        dragOnto(&otherView, &other, false);
        QVERIFY(otherView.backgroundColor().alpha() > 0 && otherView.backgroundColor() != shown);

        QCOMPARE(dragOnto(&view, &data).second, taken);
        QCOMPARE(view.backgroundColor().alpha(), 0);
        // A drop arriving without a prior entry is answered by what it carries, delegate or not.
        QCOMPARE(view.performDragOperation(&data), taken);
        QCOMPARE(delegate->calls, taken ? QList<QList<QUrl>>({ handed, handed }) : QList<QList<QUrl>>());
        delegate.reset(); // held weakly
        QVERIFY(!view.delegate());
        QCOMPARE(view.performDragOperation(&data), taken);
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
        const QString first = myDir.filePath(folder ? u"Folder"_s : u"first.txt"_s);
        const QString second = myDir.filePath(u"second.txt"_s);
        QVERIFY(folder ? QDir().mkpath(first) : QFile(first).open(QIODevice::WriteOnly));
        QVERIFY(QFile(second).open(QIODevice::WriteOnly));
        QVERIFY(setAttributeWithTool(first, comment, QByteArrayLiteral("\"first comment\"")));
        auto shown = showEditor(QUrl::fromLocalFile(second));
        ViewController *editor = shown->editor;
        editor->xattrSelectCombobox()->setCurrentIndex(2);
        emit editor->xattrSelectCombobox()->activated(2);
        editor->contentTextbox()->setPlainText(u"typed"_s);

        QWidget *under = where == QLatin1String("value") || folder ? editor->contentTextbox()->viewport()
            : where == QLatin1String("combo")                      ? editor->xattrSelectCombobox()->lineEdit()
            : where == QLatin1String("save") ? static_cast<QWidget *>(editor->saveButton())
                                             : editor->dragView();
        QMimeData data;
        data.setUrls({ QUrl(u"https://example.org/link"_s),
            QUrl::fromLocalFile(folder ? first + QLatin1Char('/') : first), QUrl::fromLocalFile(second) });
        data.setText(u"file names that must not land in a field"_s);
        QCOMPARE(dragOnto(dropTargetAt(shown->window.get(), under), &data), std::make_pair(true, true));

        QCOMPARE(shown->document->fileURL().toLocalFile().chopped(folder ? 1 : 0), first);
        QCOMPARE(shown->window->windowTitle(), QFileInfo(first).fileName());
        QCOMPARE(editor->xattrSelectCombobox()->currentText(), u"Comment"_s);
        QCOMPARE(editor->contentTextbox()->toPlainText(), u"first comment"_s);
        QCOMPARE(editor->dragView()->backgroundColor().alpha(), 0);
    }

    void textDraggedIntoTheValueFieldStaysText()
    {
        const QString opened = myDir.filePath(u"text.txt"_s);
        QVERIFY(QFile(opened).open(QIODevice::WriteOnly));
        auto shown = showEditor(QUrl::fromLocalFile(opened));
        QMimeData data;
        data.setText(u"dragged words"_s);
        QVERIFY(dragOnto(shown->editor->contentTextbox()->viewport(), &data).second);
        QVERIFY(shown->editor->contentTextbox()->toPlainText().contains(u"dragged words"_s));
        QCOMPARE(shown->editor->theSourcePath(), opened);
    }
};

QTEST_MAIN(TestDropView)
#include "tst_dropview.moc"
