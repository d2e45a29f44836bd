#include "editor/DraftBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

namespace corvane {

DraftBar::DraftBar(QWidget *parent)
    : QFrame(parent)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("draftBar"));
    setFrameShape(QFrame::StyledPanel);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setAccessibleName(tr("Unsaved text"));
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::PlainText);
    m_label->setForegroundRole(QPalette::ToolTipText);
    auto *restore = new QPushButton(tr("&Restore"), this);
    restore->setObjectName(QStringLiteral("restoreDraftsButton"));
    restore->setToolTip(tr("Put the unsaved text back into the value field"));
    auto *discard = new QPushButton(tr("&Discard"), this);
    discard->setObjectName(QStringLiteral("discardDraftsButton"));
    discard->setToolTip(tr("Forget the unsaved text"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 4, 4);
    layout->addWidget(m_label, 1);
    layout->addWidget(restore);
    layout->addWidget(discard);
    connect(restore, &QPushButton::clicked, this, &DraftBar::restoreClicked);
    connect(discard, &QPushButton::clicked, this, &DraftBar::discardClicked);
}

void DraftBar::offer(const QList<Draft> &drafts)
{
    setVisible(!drafts.isEmpty());
    if (drafts.isEmpty())
        return;
    // The newest first: its time is the one a user remembers.
    const QDateTime typed = drafts.first().typed.toLocalTime();
    const QLocale locale;
    const QString when = typed.date() == QDate::currentDate()
        ? locale.toString(typed.time(), QLocale::ShortFormat)
        : locale.toString(typed, QLocale::ShortFormat);
    QStringList labels;
    for (const Draft &draft : drafts)
        labels.append(draft.label);
    const QString which = labels.size() == 1 ? labels.first()
        : labels.size() <= 3
        ? tr("%1 and %2").arg(labels.mid(0, labels.size() - 1).join(QStringLiteral(", ")), labels.last())
        : tr("%1, %2 and %n more", nullptr, int(labels.size() - 2)).arg(labels[0], labels[1]);
    m_label->setText(tr("Unsaved text from %1 for %2").arg(when, which));
}

QString DraftBar::text() const
{
    return m_label->text();
}

} // namespace corvane
