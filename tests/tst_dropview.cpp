#include "app/Document.h"
#include "app/WindowController.h"
#include "dropview/DragView.h"
#include "dropview/DragViewDelegate.h"
#include "editor/ViewController.h"
#include "support/AlertRecorder.h"
#include "support/EditorTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace corvane;
using namespace corvane::test;

namespace {
const QString comment = QStringLiteral("com.apple.metadata:kMDItemComment");

class RecordingDelegate : public QObject, public DragViewDelegate {
public:
    QList<QList<QUrl>> calls;
    void dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls) override { calls.append(urls); }
};

std::unique_ptr<QMimeData> mimeWithUrls(const QList<QUrl> &urls, const QString &text = QString())
{
    auto data = std::make_unique<QMimeData>();
    if (!urls.isEmpty())
        data->setUrls(urls);
    if (!text.isNull())
        data->setText(text);
    return data;
}

// The widget Qt hands a drag to: the one under the pointer, or its nearest ancestor taking drops.
QWidget *dropTargetAt(QWidget *window, QWidget *under)
{
    QWidget *widget = window->childAt(under->mapTo(window, under->rect().center()));
    while (widget && !widget->isWindow() && !widget->acceptDrops())
        widget = widget->parentWidget();
    return widget && widget->acceptDrops() ? widget : nullptr;
}

struct DragResult {
    bool entered = false;
    Qt::DropAction enterAction = Qt::IgnoreAction;
    bool dropped = false;
};

DragResult dragAndDrop(QWidget *target, const QMimeData *data, bool drop = true)
{
    DragResult result;
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    result.entered = enter.isAccepted();
    result.enterAction = enter.dropAction();
    if (!drop || !result.entered)
        return result;
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    QDropEvent dropEvent(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &dropEvent);
    result.dropped = dropEvent.isAccepted();
    return result;
}
} // namespace

class TestDropView : public QObject {
    Q_OBJECT
private:
    QTemporaryDir myDir;

    QString makeFile(const QString &name, const QString &commentText = QString())
    {
        const QString path = myDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1)
            return QString();
        file.close();
        if (!commentText.isNull() && !setAttributeWithTool(path, comment, plistlibBinaryString(commentText)))
            return QString();
        return path;
    }

private slots:
    void dragViewAnswers_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<bool>("accepted");
        const QUrl a = QUrl::fromLocalFile(QStringLiteral("/tmp/a")), b = QUrl::fromLocalFile(QStringLiteral("/tmp/b"));
        QTest::newRow("one file") << QList<QUrl>{a} << true;
        QTest::newRow("several files, in order") << QList<QUrl>{b, a, QUrl::fromLocalFile(QStringLiteral("/c"))}
                                                 << true;
        QTest::newRow("a folder") << QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/"))} << true;
        QTest::newRow("a web address counts as a URL") << QList<QUrl>{QUrl(QStringLiteral("https://example.org/x"))}
                                                       << true;
        QTest::newRow("text without URLs") << QList<QUrl>{} << false;
    }
    void dragViewAnswers()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(bool, accepted);
        DragView view;
        RecordingDelegate delegate;
        view.setDelegate(&delegate);
        QCOMPARE(view.backgroundColor().alpha(), 0);
        const auto data = mimeWithUrls(urls, QStringLiteral("some text"));

        const DragResult entered = dragAndDrop(&view, data.get(), false);
        QCOMPARE(entered.entered, accepted);
        QCOMPARE(view.backgroundColor(), accepted ? view.palette().color(QPalette::PlaceholderText)
                                                  : view.palette().color(QPalette::Disabled, QPalette::Text));
        if (accepted)
            QCOMPARE(entered.enterAction, Qt::CopyAction);

        // A drop arriving all the same is answered by what it carries.
        QCOMPARE(view.performDragOperation(data.get()), accepted);
        QCOMPARE(delegate.calls, accepted ? QList<QList<QUrl>>{urls} : QList<QList<QUrl>>{});
    }

    void leavingOrEndingReturnsToTransparent()
    {
        DragView view;
        const auto data = mimeWithUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a"))});
        dragAndDrop(&view, data.get(), false);
        QVERIFY(view.backgroundColor().alpha() > 0);
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(&view, &leave);
        QCOMPARE(view.backgroundColor().alpha(), 0);

        const DragResult dropped = dragAndDrop(&view, data.get());
        QVERIFY(dropped.dropped);
        QCOMPARE(view.backgroundColor().alpha(), 0);
    }

    void withoutDelegateADropStillSucceeds()
    {
        DragView view;
        const auto data = mimeWithUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a"))});
        QVERIFY(view.performDragOperation(data.get()));
        {
            RecordingDelegate gone;
            view.setDelegate(&gone);
        }
        // The delegate is held weakly: once it is gone the view has none.
        QVERIFY(!view.delegate());
        QVERIFY(dragAndDrop(&view, data.get()).dropped);
    }

    void dropAnywhereOnTheEditorLoadsTheFirstFile_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("window background") << QStringLiteral("background");
        QTest::newRow("value field") << QStringLiteral("value");
        QTest::newRow("attribute name field") << QStringLiteral("combo");
        QTest::newRow("Save button") << QStringLiteral("save");
    }
    void dropAnywhereOnTheEditorLoadsTheFirstFile()
    {
        QFETCH(QString, where);
        const QString first = makeFile(QStringLiteral("first.txt"), QStringLiteral("first comment"));
        const QString second = makeFile(QStringLiteral("second.txt"), QStringLiteral("second comment"));
        const QString opened = makeFile(QStringLiteral("opened.txt"), QStringLiteral("opened comment"));
        auto shown = showEditor(QUrl::fromLocalFile(opened));
        ViewController *editor = shown->editor;
        editor->xattrSelectCombobox()->setCurrentIndex(2);
        emit editor->xattrSelectCombobox()->activated(2);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("opened comment"));

        QWidget *under = editor->dragView();
        if (where == QLatin1String("value"))
            under = editor->contentTextbox()->viewport();
        else if (where == QLatin1String("combo"))
            under = editor->xattrSelectCombobox()->lineEdit();
        else if (where == QLatin1String("save"))
            under = reinterpret_cast<QWidget *>(editor->saveButton());
        QWidget *target = dropTargetAt(shown->window.get(), under);
        QVERIFY(target);

        const auto data = mimeWithUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)},
                                       QStringLiteral("file text that must not land in a field"));
        const DragResult result = dragAndDrop(target, data.get());
        QVERIFY(result.entered);
        QVERIFY(result.dropped);

        QCOMPARE(shown->document->fileURL(), QUrl::fromLocalFile(first));
        QCOMPARE(editor->theSourcePath(), first);
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("first.txt"));
        QCOMPARE(editor->selectedAttributeName(), comment);
        QCOMPARE(editor->contentTextbox()->toPlainText(), QStringLiteral("first comment"));
        QCOMPARE(editor->xattrSelectCombobox()->currentText(), QStringLiteral("Comment"));
        QCOMPARE(editor->dragView()->backgroundColor().alpha(), 0);
    }

    void textDraggedIntoTheValueFieldStaysText()
    {
        const QString opened = makeFile(QStringLiteral("text.txt"));
        auto shown = showEditor(QUrl::fromLocalFile(opened));
        QWidget *viewport = shown->editor->contentTextbox()->viewport();
        const auto data = mimeWithUrls({}, QStringLiteral("dragged words"));
        QVERIFY(dragAndDrop(viewport, data.get()).dropped);
        QVERIFY(shown->editor->contentTextbox()->toPlainText().contains(QStringLiteral("dragged words")));
        QCOMPARE(shown->editor->theSourcePath(), opened);
    }

    void aDroppedFolderLoadsLikeAFile()
    {
        const QString folder = myDir.filePath(QStringLiteral("Folder"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(setAttributeWithTool(folder, QStringLiteral("com.apple.metadata:kMDItemKeywords"),
                                     plistlibBinaryString(QStringLiteral("folder keywords"))));
        auto shown = showEditor(QUrl::fromLocalFile(makeFile(QStringLiteral("plain.txt"))));
        const auto data = mimeWithUrls({QUrl::fromLocalFile(folder + QLatin1Char('/'))});
        QVERIFY(dragAndDrop(shown->editor->dragView(), data.get()).dropped);
        QCOMPARE(shown->window->windowTitle(), QStringLiteral("Folder"));
        QCOMPARE(shown->editor->contentTextbox()->toPlainText(), QStringLiteral("folder keywords"));
    }

    void anEditorWithoutDocumentIgnoresDrops()
    {
        ViewController editor;
        const QString file = makeFile(QStringLiteral("orphan.txt"), QStringLiteral("c"));
        editor.dragViewDidReceiveWithFileURLs({QUrl::fromLocalFile(file)});
        QVERIFY(editor.theSourcePath().isEmpty());
        editor.dragViewDidReceiveWithFileURLs({});
        QVERIFY(editor.theSourcePath().isEmpty());
    }
};

QTEST_MAIN(TestDropView)
#include "tst_dropview.moc"
