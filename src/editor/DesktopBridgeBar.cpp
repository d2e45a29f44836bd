#include "editor/DesktopBridgeBar.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

namespace corvane {

namespace {
// A summary on one line, cut short with "…" in a narrow window (the whole of it in the tool tip): a
// wrapped label in a squeezed panel would be cut off at the bottom instead, mid-word.
class SummaryLabel : public QLabel {
public:
    SummaryLabel(const QString &text, QWidget *parent)
        : QLabel(text, parent)
        , m_text(text)
    {
        setToolTip(text);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setMinimumWidth(fontMetrics().averageCharWidth() * 8);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        setText(fontMetrics().elidedText(m_text, Qt::ElideRight, width()));
        QLabel::resizeEvent(event);
    }

private:
    QString m_text;
};

QString buttonName(BridgePairKind kind, BridgeDirection direction)
{
    static const char *const kinds[] = { "Tags", "Comment", "WhereFrom", "Rating" };
    return QStringLiteral("copy%1To%2Button")
        .arg(QLatin1String(kinds[int(kind)]),
            direction == BridgeDirection::ToDesktop ? QLatin1String("Desktop") : QLatin1String("Finder"));
}
} // namespace

DesktopBridgeBar::DesktopBridgeBar(QWidget *parent)
    : QWidget(parent)
    , m_grid(new QGridLayout(this))
{
    setObjectName(QStringLiteral("desktopBridgeBar"));
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setVerticalSpacing(2);
    m_grid->setColumnStretch(1, 1);
    hide();
}

void DesktopBridgeBar::showFile(const FileDescription &file)
{
    QList<Line> lines;
    for (const BridgePair &pair : bridgePairs(bridgeValues(file.attributes))) {
        if (pair.needsAttention())
            lines.append(
                { pair.kind, pair.label, pair.summary, !pair.toDesktop.isEmpty(), !pair.toMac.isEmpty() });
    }
    if (lines == m_lines)
        return;
    m_lines = lines;

    // A button that had the focus goes with its line: the focus stays in the bar, or goes back to
    // where it came from.
    QWidget *focused = QApplication::focusWidget();
    const bool hadFocus = focused && isAncestorOf(focused);
    QWidget *before = hadFocus ? focused->previousInFocusChain() : nullptr;
    while (before && isAncestorOf(before))
        before = before->previousInFocusChain();
    // Later: the line may go from within its own button's click.
    while (QLayoutItem *item = m_grid->takeAt(0)) {
        if (QWidget *widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }

    QToolButton *first = nullptr;
    for (int row = 0; row < lines.size(); ++row) {
        const Line &line = lines.at(row);
        if (row == 0) {
            auto *caption = new QLabel(tr("Desktop:"), this);
            caption->setObjectName(QStringLiteral("desktopBridgeCaption"));
            m_grid->addWidget(caption, 0, 0);
        }
        auto *summary = new SummaryLabel(line.summary, this);
        summary->setObjectName(QStringLiteral("desktopBridgeLine"));
        m_grid->addWidget(summary, row, 1);
        for (const BridgeDirection direction : { BridgeDirection::ToDesktop, BridgeDirection::ToMac }) {
            const bool toDesktop = direction == BridgeDirection::ToDesktop;
            auto *button = new QToolButton(this);
            button->setText(toDesktop ? tr("Copy to Desktop") : tr("Copy to Finder"));
            button->setObjectName(buttonName(line.kind, direction));
            button->setFocusPolicy(Qt::StrongFocus);
            // Only the ways there is something to copy; the others would only be clutter.
            button->setVisible(toDesktop ? line.toDesktop : line.toMac);
            button->setAccessibleName(toDesktop ? tr("Copy %1 to the Linux desktop").arg(line.label)
                                                : tr("Copy %1 to Finder").arg(line.label));
            button->setToolTip(button->accessibleName());
            connect(button, &QToolButton::clicked, this,
                [this, kind = line.kind, direction] { emit copyRequested(kind, direction); });
            m_grid->addWidget(button, row, toDesktop ? 2 : 3);
            if (!first && !button->isHidden())
                first = button;
        }
    }
    setVisible(!lines.isEmpty());
    if (hadFocus && first)
        first->setFocus(Qt::OtherFocusReason);
    else if (hadFocus && before)
        before->setFocus(Qt::OtherFocusReason);
}

QToolButton *DesktopBridgeBar::copyButton(BridgePairKind kind, BridgeDirection direction) const
{
    // The layout's, not a child's name: the buttons of lines gone may still wait to be deleted.
    for (int i = 0; i < m_grid->count(); ++i) {
        auto *button = qobject_cast<QToolButton *>(m_grid->itemAt(i)->widget());
        if (button && button->objectName() == buttonName(kind, direction))
            return button;
    }
    return nullptr;
}

QStringList DesktopBridgeBar::lines() const
{
    QStringList summaries;
    for (const Line &line : m_lines)
        summaries.append(line.summary);
    return summaries;
}

} // namespace corvane
