#include "scratchpad/ScratchpadWindow.h"

#include "scratchpad/ScratchpadText.h"
#include "settings/Preferences.h"
#include "ui_ScratchpadWindow.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeySequence>
#include <QPushButton>

#include <algorithm>

namespace corvane {

ScratchpadWindow::ScratchpadWindow(ApplicationActions &actions, ScratchpadText &shared, QWidget *parent)
    : MainWindow(actions, parent)
    , m_ui(std::make_unique<Ui::ScratchpadWindow>())
    , m_shared(&shared)
{
    auto *content = new QWidget;
    m_ui->setupUi(content);
    setCentralWidget(content);
    setWindowTitle(tr("Scratchpad"));
    resize(480, 360);
    // Keeps the text and its Larger/Smaller buttons usable however far the window is dragged in.
    setMinimumSize(240, 160);
    createActions();
    connect(&shared, &ScratchpadText::handedBack, this, &ScratchpadWindow::setText);
    connect(m_ui->scratchpadContents, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText && m_shared)
            m_lastEdit = m_shared->noteEdited();
    });
    connect(m_ui->incFontSizeButton, &QPushButton::clicked, this, &ScratchpadWindow::zoomIn);
    connect(m_ui->decFontSizeButton, &QPushButton::clicked, this, &ScratchpadWindow::zoomOut);
    m_fontSize = fontSizeFromStored(Preferences().doubleForKey(PreferenceKey::fontSizeMain));
    applyFontSize();
}

ScratchpadWindow::~ScratchpadWindow() = default;

void ScratchpadWindow::createActions()
{
    QPlainTextEdit *text = m_ui->scratchpadContents;
    const auto command = [this](const QString &title, const QList<QKeySequence> &keys, auto slot) {
        auto *action = new QAction(title, this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, m_ui->scratchpadContents, slot);
        return action;
    };
    QAction *undo = command(tr("&Undo"), { QKeySequence(Qt::CTRL | Qt::Key_Z) }, &QPlainTextEdit::undo);
    QAction *redo
        = command(tr("&Redo"), { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) }, &QPlainTextEdit::redo);
    QAction *cut = command(tr("Cu&t"), QKeySequence::keyBindings(QKeySequence::Cut), &QPlainTextEdit::cut);
    QAction *copy
        = command(tr("&Copy"), QKeySequence::keyBindings(QKeySequence::Copy), &QPlainTextEdit::copy);
    QAction *paste
        = command(tr("&Paste"), QKeySequence::keyBindings(QKeySequence::Paste), &QPlainTextEdit::paste);
    QAction *remove = command(
        tr("&Delete"), { QKeySequence(Qt::Key_Delete) }, [text] { text->textCursor().removeSelectedText(); });
    QAction *selectAll = command(
        tr("Select &All"), QKeySequence::keyBindings(QKeySequence::SelectAll), &QPlainTextEdit::selectAll);
    for (QAction *action : { undo, redo, cut, copy, remove })
        action->setEnabled(false);
    connect(text, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
    connect(text, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
    for (QAction *action : { cut, copy, remove })
        connect(text, &QPlainTextEdit::copyAvailable, action, &QAction::setEnabled);

    // Ctrl++ and Ctrl+- as in every Linux editor; Ctrl+= too, since on most keyboards "+" needs Shift.
    QAction *larger = command(tr("&Larger Text"),
        { QKeySequence::keyBindings(QKeySequence::ZoomIn).value(0), QKeySequence(Qt::CTRL | Qt::Key_Equal) },
        [this] { zoomIn(); });
    QAction *smaller = command(
        tr("&Smaller Text"), QKeySequence::keyBindings(QKeySequence::ZoomOut), [this] { zoomOut(); });
    m_ui->incFontSizeButton->setToolTip(
        tr("Larger text (%1)").arg(larger->shortcut().toString(QKeySequence::NativeText)));
    m_ui->decFontSizeButton->setToolTip(
        tr("Smaller text (%1)").arg(smaller->shortcut().toString(QKeySequence::NativeText)));

    createMenus({ .file = {},
        .edit = { undo, redo, nullptr, cut, copy, paste, remove, nullptr, selectAll },
        .view = { larger, smaller } });
}

QPlainTextEdit *ScratchpadWindow::textEdit() const
{
    return m_ui->scratchpadContents;
}

QString ScratchpadWindow::text() const
{
    return m_ui->scratchpadContents->toPlainText();
}

void ScratchpadWindow::setText(const QString &text)
{
    m_settingText = true;
    m_ui->scratchpadContents->setPlainText(text);
    m_settingText = false;
}

double ScratchpadWindow::fontSizeFromStored(double stored)
{
    if (stored < smallestFontSize)
        return defaultFontSize;
    return stored > largestStoredFontSize ? largestFontSize : stored;
}

void ScratchpadWindow::appeared()
{
    setWindowTitle(tr("Scratchpad"));
    if (m_shared)
        setText(m_shared->text());
    applyFontSize();
}

void ScratchpadWindow::disappearing()
{
    handBack();
}

void ScratchpadWindow::handBack()
{
    if (m_shared)
        m_shared->handBack(text());
}

void ScratchpadWindow::zoomIn()
{
    m_fontSize = std::min(m_fontSize + fontSizeStep, largestFontSize);
    storeFontSize();
    applyFontSize();
}

void ScratchpadWindow::zoomOut()
{
    m_fontSize = std::max(m_fontSize - fontSizeStep, smallestFontSize);
    storeFontSize();
    applyFontSize();
}

void ScratchpadWindow::storeFontSize()
{
    Preferences().setDouble(PreferenceKey::fontSizeMain, m_fontSize);
}

void ScratchpadWindow::applyFontSize()
{
    // A plain-text editor has one font for the whole document and for what is typed next, so setting
    // the widget's font restyles all of the text at once; the colour stays the palette's text colour.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(m_fontSize);
    m_ui->scratchpadContents->setFont(font);
}

} // namespace corvane
