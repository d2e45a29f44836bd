#include "support/EditorTestSupport.h"

#include "editor/AttributesModel.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace corvane::test {

namespace {

// Adds a clash for every key that two of the texts share.
void addClashes(const QStringList &texts, QStringList *clashes)
{
    QMap<QString, QStringList> byKey;
    for (const QString &text : texts)
        if (const QKeySequence key = QKeySequence::mnemonic(text); !key.isEmpty())
            byKey[key.toString()] << text;
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it->size() > 1)
            *clashes << it.key() + QStringLiteral(": ") + it->join(QStringLiteral(", "));
}

} // namespace

std::unique_ptr<ShownEditor> showEditor(const QUrl &file)
{
    auto shown = std::make_unique<ShownEditor>();
    if (!file.isEmpty())
        shown->window.openFile(file);
    shown->window.showAndRaise();
    if (!QTest::qWaitForWindowActive(&shown->window))
        return nullptr;
    return shown;
}

void typeKeys(const QString &keys)
{
    qsizetype at = 0;
    while (at < keys.size()) {
        const qsizetype open = keys.indexOf(u'{', at);
        const qsizetype close = open < 0 ? -1 : keys.indexOf(u'}', open);
        const qsizetype end = open < 0 ? keys.size() : open;
        if (end > at)
            QTest::keyClicks(QApplication::focusWidget(), keys.mid(at, end - at));
        if (open < 0)
            return;
        const QKeyCombination key = QKeySequence::fromString(keys.mid(open + 1, close - open - 1))[0];
        QWidget *before = QApplication::focusWidget();
        QTest::keyClick(before, key.key(), key.keyboardModifiers());
        QCoreApplication::processEvents(); // what a key sets off, as between the keys a user types
        // A button's Alt key clicks it a moment later, as it shows itself pressed; what it does moves the
        // focus.
        if (key.keyboardModifiers() == Qt::AltModifier
            && !QTest::qWaitFor([&] { return QApplication::focusWidget() != before; }))
            return;
        at = close + 1;
    }
}

QAction *actionNamed(QWidget *window, const QString &name)
{
    return window->findChild<QAction *>(name);
}

bool focusRow(AttributesPanel *panel, const QString &name, int child)
{
    const QAbstractItemModel *model = panel->proxyModel();
    for (int row = 0; row < model->rowCount(); ++row) {
        QModelIndex index = model->index(row, 0);
        if (index.data(AttributesModel::FullNameRole).toString() != name)
            continue;
        if (child >= 0) {
            panel->view()->expand(index);
            index = model->index(child, 0, index);
        }
        panel->view()->setFocus();
        panel->view()->setCurrentIndex(index);
        return index.isValid() && QApplication::focusWidget() == panel->view();
    }
    return false;
}

bool clickMenuItem(QMainWindow *window, QAction *item)
{
    for (QAction *title : window->menuBar()->actions()) {
        QMenu *menu = title->menu();
        if (!menu || !menu->actions().contains(item))
            continue;
        // Alt and the title's underlined letter, as a user opens it in the window in front.
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            return false;
        const QKeyCombination alt = QKeySequence::mnemonic(title->text())[0];
        QTest::keyClick(window, alt.key(), alt.keyboardModifiers());
        if (!QTest::qWaitForWindowExposed(menu) || QApplication::activePopupWidget() != menu)
            return false;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        return true;
    }
    return false;
}

std::pair<bool, bool> dragOnto(QWidget *target, const QMimeData *data, bool drop)
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

QWidget *dropTargetAt(QWidget *window, QWidget *under)
{
    QWidget *widget = window->childAt(under->mapTo(window, under->rect().center()));
    while (widget && !widget->isWindow() && !widget->acceptDrops())
        widget = widget->parentWidget();
    return widget;
}

QStringList clashingMnemonics(QMainWindow *window)
{
    QStringList clashes;
    QStringList inWindow;
    for (QAction *title : window->menuBar()->actions())
        inWindow << title->text();
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy())
            inWindow << label->text();
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        inWindow << button->text();
    addClashes(inWindow, &clashes);
    for (QAction *title : window->menuBar()->actions()) {
        QStringList items;
        for (QAction *item : title->menu()->actions())
            items << item->text();
        addClashes(items, &clashes);
    }
    return clashes;
}

} // namespace corvane::test
