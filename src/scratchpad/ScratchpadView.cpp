#include "scratchpad/ScratchpadView.h"

#include "scratchpad/ScratchpadText.h"
#include "settings/Preferences.h"
#include "ui_ScratchpadWindow.h"
#include "window/WindowController.h"

#include <QAction>
#include <QFontDatabase>
#include <QKeySequence>
#include <QPushButton>

#include <algorithm>

namespace corvane {

namespace {
quint64 theEditCounter = 0;
}

ScratchpadView::ScratchpadView(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::ScratchpadWindow>())
{
    m_ui->setupUi(this);
    setFocusProxy(m_ui->scratchpadContents);

    // Ctrl++ and Ctrl+- as in every Linux editor; Ctrl+= too, since on most keyboards "+" needs Shift.
    auto *larger = new QAction(tr("Larger Text"), this);
    larger->setShortcuts({ QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal) });
    larger->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(larger, &QAction::triggered, this, &ScratchpadView::incFontSize);
    addAction(larger);

    auto *smaller = new QAction(tr("Smaller Text"), this);
    smaller->setShortcut(QKeySequence::ZoomOut);
    smaller->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(smaller, &QAction::triggered, this, &ScratchpadView::decFontSize);
    addAction(smaller);

    m_ui->incFontSizeButton->setToolTip(
        tr("Larger text (%1)").arg(larger->shortcut().toString(QKeySequence::NativeText)));
    m_ui->decFontSizeButton->setToolTip(
        tr("Smaller text (%1)").arg(smaller->shortcut().toString(QKeySequence::NativeText)));
    connect(m_ui->incFontSizeButton, &QPushButton::clicked, this, &ScratchpadView::incFontSize);
    connect(m_ui->decFontSizeButton, &QPushButton::clicked, this, &ScratchpadView::decFontSize);

    connect(m_ui->scratchpadContents, &QPlainTextEdit::textChanged, this, [this] {
        if (mySettingText)
            return;
        myLastEdit = ++theEditCounter;
        if (myShared)
            myShared->noteEdited();
    });

    viewDidLoad();
}

ScratchpadView::~ScratchpadView() = default;

QPlainTextEdit *ScratchpadView::scratchpadContents() const
{
    return m_ui->scratchpadContents;
}

QString ScratchpadView::text() const
{
    return m_ui->scratchpadContents->toPlainText();
}

void ScratchpadView::setText(const QString &text)
{
    mySettingText = true;
    m_ui->scratchpadContents->setPlainText(text);
    mySettingText = false;
}

void ScratchpadView::setSharedText(ScratchpadText *shared)
{
    if (myShared)
        disconnect(myShared, nullptr, this, nullptr);
    myShared = shared;
    if (shared)
        connect(shared, &ScratchpadText::handedBack, this, &ScratchpadView::setText);
}

double ScratchpadView::fontSizeFromStored(double stored)
{
    if (stored < smallestFontSize)
        return defaultFontSize;
    return stored > largestStoredFontSize ? largestFontSize : stored;
}

void ScratchpadView::viewDidLoad()
{
    theFontSize = fontSizeFromStored(Preferences().doubleForKey(PreferenceKey::fontSizeMain));
    applyFontSize();
}

bool ScratchpadView::event(QEvent *event)
{
    // The scene factory puts the view into its window after making it; that is when the window's
    // appearance signals can be followed.
    if (event->type() == QEvent::ParentChange)
        attachToWindow();
    return QWidget::event(event);
}

void ScratchpadView::attachToWindow()
{
    auto *controller = qobject_cast<WindowController *>(window());
    if (myAttached || !controller)
        return;
    myAttached = true;
    connect(controller, &WindowController::windowDidAppear, this, &ScratchpadView::viewDidAppear);
    connect(controller, &WindowController::windowWillDisappear, this, &ScratchpadView::viewWillDisappear);
}

void ScratchpadView::viewDidAppear()
{
    if (window() != this)
        window()->setWindowTitle(tr("Scratchpad"));
    if (myShared)
        setText(myShared->text());
    applyFontSize();
}

void ScratchpadView::viewWillDisappear()
{
    if (myShared)
        myShared->handBack(text());
}

void ScratchpadView::incFontSize()
{
    theFontSize = std::min(theFontSize + fontSizeStep, largestFontSize);
    storeFontSize();
    applyFontSize();
}

void ScratchpadView::decFontSize()
{
    theFontSize = std::max(theFontSize - fontSizeStep, smallestFontSize);
    storeFontSize();
    applyFontSize();
}

void ScratchpadView::storeFontSize()
{
    Preferences().setDouble(PreferenceKey::fontSizeMain, theFontSize);
}

void ScratchpadView::applyFontSize()
{
    // A plain-text editor has one font for the whole document and for what is typed next, so setting
    // the widget's font restyles all of the text at once; the colour stays the palette's text colour.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(theFontSize);
    m_ui->scratchpadContents->setFont(font);
}

} // namespace corvane
