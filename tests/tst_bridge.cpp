// The desktop bridge on real files: values written by python as macOS (plistlib) and Dolphin (plain
// text) write them, copied by `corvane --bridge` run as a process and by the Desktop line's buttons and
// the tags editor of a real window, then read back with python beside what each side's own writer
// writes for the value expected.

#include "editor/AttributeDetailArea.h"
#include "editor/AttributesModel.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"
#include "editor/DesktopBridgeBar.h"
#include "support/AlertRecorder.h"
#include "support/CorvaneTool.h"
#include "support/EditorTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace corvane;
using namespace corvane::test;

namespace {

// T, C, W, R: the Finder's tags, comment, where from and rating; put() as os.setxattr; B() plistlib's
// binary form, as macOS writes it. The desktop's names are written out.
const QString prelude = uR"PY(
import os, sys, plistlib
p = sys.argv[1]
B = lambda v: plistlib.dumps(v, fmt=plistlib.FMT_BINARY)
T, C, W, R = ['user.com.apple.metadata:' + n for n in
    ('_kMDItemUserTags', 'kMDItemFinderComment', 'kMDItemWhereFroms', 'kMDItemStarRating')]
ALL = [T, C, W, R, 'user.xdg.tags', 'user.xdg.comment', 'user.xdg.origin.url', 'user.xdg.referrer.url',
    'user.baloo.rating']
def put(name, value): os.setxattr(p, name, value)
def get(name):
    try: return os.getxattr(p, name)
    except OSError: return None
)PY"_s;

// A file from a Mac (a coloured tag, a tag with a comma, a two-item where from, a comment) that Dolphin
// then rated 7 of 10 (setfattr writes that, in writeFromMac).
const QString fromMac = uR"PY(
put(T, B(['Red\n6', 'Trip, 2024', 'Work'])); put(C, B('Scanned in Lisbon'))
put(W, B(['https://example.org/a.jpg', 'https://example.org/gallery']))
)PY"_s;

// Every attribute of both sides after the copy: those `expected` (a Python dict of name to bytes, None
// for absent) names as given, the others as `fromMac` wrote them. Empty when all hold that.
QString mismatches(const QString &path, const QString &expected)
{
    const ProcessResult check = runProgram(u"python3"_s,
        { u"-c"_s,
            prelude + uR"PY(
store = {}
put = lambda n, v: store.__setitem__(n, v)
store['user.baloo.rating'] = b'7'
)PY"_s + fromMac + u"store.update(%1)\n"_s.arg(expected)
                + uR"PY(
for n in ALL:
    if get(n) != store.get(n): print(n, 'holds', get(n), 'not', store.get(n))
)PY"_s,
            path });
    return check.exitCode == 0 ? QString::fromUtf8(check.out) : QString::fromUtf8(check.err);
}

bool writeFromMac(const QString &path, const QString &more = QString())
{
    return setAttributeWithTool(path, u"user.baloo.rating"_s, "7")
        && runProgram(u"python3"_s, { u"-c"_s, prelude + fromMac + more, path }).exitCode == 0;
}

QToolButton *copyButton(AttributesPanel *panel, BridgePairKind kind, BridgeDirection direction)
{
    QToolButton *button = panel->bridgeBar()->copyButton(kind, direction);
    return button && button->isVisible() ? button : nullptr;
}

} // namespace

class TestBridge : public QObject {
    Q_OBJECT
    TestFiles m_files;
    QString m_path;

private slots:
    void init() { QVERIFY(!(m_path = m_files.make(u"from mac.jpg"_s)).isEmpty()); }
    void cleanup() { QFile::remove(m_path); }

    // Without a way only the empty sides are filled; with one, every pair not in step goes that way.
    // Each side gets its own writer's bytes, a second run changes nothing, and --undo-last takes it back.
    void commandLine_data()
    {
        QTest::addColumn<QByteArray>("way");
        QTest::addColumn<QString>("before"); // python run after fromMac
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::addColumn<QStringList>("statesAfterUndo");
        const QStringList fromMacStates { u"tags=onlyMac"_s, u"comment=onlyMac"_s, u"whereFrom=onlyMac"_s,
            u"rating=onlyDesktop"_s };
        QStringList replacedStates = fromMacStates;
        replacedStates[0] = u"tags=different"_s;
        replacedStates[1] = u"comment=different"_s;
        QTest::newRow("empty sides")
            << QByteArray() << QString()
            << uR"({'user.xdg.tags': b'Red,Work', 'user.xdg.comment': b'Scanned in Lisbon',
            'user.xdg.origin.url': b'https://example.org/a.jpg',
            'user.xdg.referrer.url': b'https://example.org/gallery', R: B(3)})"_s
            << "Tags to the desktop: “Red”, “Work” (left out: Trip, 2024)"_ba << fromMacStates;
        QTest::newRow("to the desktop, replacing")
            << "--to-desktop"_ba
            << u"put('user.xdg.tags', b'Holiday, Work'); put('user.xdg.comment', b'old')"_s
            << uR"({'user.xdg.tags': b'Red,Work', 'user.xdg.comment': b'Scanned in Lisbon',
            'user.xdg.origin.url': b'https://example.org/a.jpg',
            'user.xdg.referrer.url': b'https://example.org/gallery'})"_s
            << "Tags to the desktop: “Red”, “Work” (left out: Trip, 2024)"_ba << replacedStates;
        QTest::newRow("to the Mac, replacing")
            << "--to-mac"_ba
            << u"put('user.xdg.tags', b'Holiday, Work'); put('user.xdg.comment', b'Dolphin')"_s
            << uR"({'user.xdg.tags': b'Holiday, Work', 'user.xdg.comment': b'Dolphin',
            T: B(['Holiday', 'Work', 'Trip, 2024']), C: B('Dolphin'), R: B(3)})"_s
            << "Tags to Finder: “Holiday”, “Work”"_ba << replacedStates;
    }
    void commandLine()
    {
        QFETCH(QByteArray, way);
        QFETCH(QString, before);
        QFETCH(QString, expected);
        QVERIFY(writeFromMac(m_path, before));
        const CorvaneTool tool;
        QList<QByteArray> arguments { "--bridge" };
        if (!way.isEmpty())
            arguments << way;
        arguments << m_path.toUtf8();
        ProcessResult result = tool.run(arguments);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.isEmpty(), result.err.constData());
        QFETCH(QByteArray, firstLine);
        QCOMPARE(result.out.split('\n').first(), m_path.toUtf8() + ": " + firstLine);
        QCOMPARE(mismatches(m_path, expected), QString());

        result = tool.run(arguments);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QByteArray());

        QCOMPARE(tool.run({ "--undo-last", "--yes" }).exitCode, 0);
        const ProcessResult status = tool.run({ "--list", "--bridge-status", m_path.toUtf8() });
        QCOMPARE(status.exitCode, 0);
        const ProcessResult json = tool.run({ "--list", "--bridge-status", "--json", m_path.toUtf8() });
        QStringList states;
        for (const QJsonValue pair : QJsonDocument::fromJson(json.out)[u"files"_s][0][u"pairs"_s].toArray())
            states << pair[u"pair"_s].toString() + u'=' + pair[u"state"_s].toString();
        QFETCH(QStringList, statesAfterUndo);
        QCOMPARE(states, statesAfterUndo);
        if (way.isEmpty())
            QCOMPARE(status.out,
                "# file: " + m_path.toUtf8()
                    + "\nTags: 2 only in Finder, 1 with a comma cannot go to the desktop\nComment: only in "
                      "Finder\nWhere from: only in Finder\nRating: only on the desktop\n\n");
    }

    // The Desktop line's buttons, clicked: each copy is one step, asked first when it replaces
    // something, and one Undo puts every attribute it wrote back byte for byte.
    void copyButtonsInTheWindow()
    {
        QVERIFY(writeFromMac(m_path, u"put('user.xdg.tags', b'Holiday, Work')"_s));
        AlertRecorder alerts;
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        AttributesPanel *panel = shown->editor->attributesPanel();
        QTRY_COMPARE(panel->bridgeBar()->lines(),
            QStringList(
                { u"Tags: 1 only in Finder, 1 only on the desktop, 1 with a comma cannot go to the desktop"_s,
                    u"Comment: only in Finder"_s, u"Where from: only in Finder"_s,
                    u"Rating: only on the desktop"_s }));

        const auto click = [&](BridgePairKind kind, BridgeDirection direction) {
            QToolButton *button = nullptr;
            if (!QTest::qWaitFor([&] { return (button = copyButton(panel, kind, direction)); }))
                return false;
            const int listings = panel->listingsShown();
            QTest::mouseClick(button, Qt::LeftButton);
            return QTest::qWaitFor([&] { return panel->listingsShown() > listings; });
        };
        // Holiday would be lost: asked, Cancel (the default) copies nothing.
        QVERIFY(click(BridgePairKind::Tags, BridgeDirection::ToDesktop));
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.last().messageText, u"Replace Tags on the desktop with Finder's?"_s);
        alerts.answerNext(Alerts::Button::Replace);
        QVERIFY(click(BridgePairKind::Tags, BridgeDirection::ToDesktop));
        QVERIFY(click(BridgePairKind::WhereFrom, BridgeDirection::ToDesktop));
        QVERIFY(click(BridgePairKind::Rating, BridgeDirection::ToMac));
        QCOMPARE(alerts.count(), 2);
        const QString copied
            = uR"({'user.xdg.tags': b'Red,Work', 'user.xdg.origin.url': b'https://example.org/a.jpg',
            'user.xdg.referrer.url': b'https://example.org/gallery', R: B(3)})"_s;
        QCOMPARE(mismatches(m_path, copied), QString());
        // In step now: nothing left to copy for those pairs, so no second copy is offered.
        QCOMPARE(panel->bridgeBar()->lines(),
            QStringList(
                { u"Tags: 1 with a comma cannot go to the desktop"_s, u"Comment: only in Finder"_s }));
        QVERIFY(!copyButton(panel, BridgePairKind::Tags, BridgeDirection::ToDesktop));
        QCOMPARE(shown->editor->session().undoText(), u"Undo Copy of “Rating” to Finder"_s);

        typeKeys(u"{Ctrl+Z}{Ctrl+Z}"_s);
        QCOMPARE(shown->editor->session().undoText(), u"Undo Copy of “Tags” to the Desktop"_s);
        QCOMPARE(mismatches(m_path, u"{'user.xdg.tags': b'Red,Work'}"_s), QString());
        QTest::keyClick(&shown->window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(mismatches(m_path, u"{'user.xdg.tags': b'Holiday, Work'}"_s), QString());
        typeKeys(u"{Ctrl+Shift+Z}{Ctrl+Shift+Z}"_s);
        QCOMPARE(mismatches(m_path,
                     uR"({'user.xdg.tags': b'Red,Work', 'user.xdg.origin.url': b'https://example.org/a.jpg',
            'user.xdg.referrer.url': b'https://example.org/gallery'})"_s),
            QString());
        QCOMPARE(alerts.count(), 2);
    }

    // A tag added in the tags editor goes to both lists in one step while the View menu's preference
    // is on, to Finder's alone while it is off; opening a file writes nothing.
    void tagsEditorKeepsBothInStep_data()
    {
        QTest::addColumn<bool>("inStep");
        QTest::addColumn<QString>("expected");
        QTest::newRow("on")
            << true
            << u"{T: B(['Red\\n6', 'Trip, 2024', 'Work', 'Home']), 'user.xdg.tags': b'Holiday,Work,Home'}"_s;
        QTest::newRow("off")
            << false
            << u"{T: B(['Red\\n6', 'Trip, 2024', 'Work', 'Home']), 'user.xdg.tags': b'Holiday, Work'}"_s;
    }
    void tagsEditorKeepsBothInStep()
    {
        QFETCH(bool, inStep);
        QVERIFY(writeFromMac(m_path, u"put('user.xdg.tags', b'Holiday, Work')"_s));
        auto shown = showEditor(QUrl::fromLocalFile(m_path));
        QAction *preference = shown->actions.bridgeTagsAction();
        QVERIFY(preference->isChecked()); // on when the preferences file does not say
        if (!inStep)
            QVERIFY(clickMenuItem(&shown->window, preference));
        AttributesPanel *panel = shown->editor->attributesPanel();
        QTRY_VERIFY(panel->listingsShown() > 0);
        QCOMPARE(mismatches(m_path, u"{'user.xdg.tags': b'Holiday, Work'}"_s), QString());

        QVERIFY(focusRow(panel, u"user.com.apple.metadata:_kMDItemUserTags"_s));
        // Tab past the Desktop line's buttons into the tags editor.
        for (int i = 0; i < 8 && !panel->detailArea()->isAncestorOf(QApplication::focusWidget()); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(panel->detailArea()->isEditing());
        QWidget *table = QApplication::focusWidget();
        QTest::keyClick(table, Qt::Key_T, Qt::AltModifier); // Add Tag: a new row's name being edited
        QTRY_VERIFY(QApplication::focusWidget() != table);
        typeKeys(u"Home{Return}"_s);
        QVERIFY(panel->detailArea()->isEdited());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QFETCH(QString, expected);
        QTRY_COMPARE(mismatches(m_path, expected), QString());

        QTest::keyClick(&shown->window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(mismatches(m_path, u"{'user.xdg.tags': b'Holiday, Work'}"_s), QString());
        if (!inStep)
            QVERIFY(clickMenuItem(&shown->window, preference)); // the preference back as it was
    }
};

QTEST_MAIN(TestBridge)
#include "tst_bridge.moc"
