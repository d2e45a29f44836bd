#include "editor/AttributeDetailArea.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include <climits>

namespace corvane {

AttributeDetailArea::AttributeDetailArea(QWidget *parent)
    : QWidget(parent)
    , m_text(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("attributeDetailArea"));
    m_text->setObjectName(QStringLiteral("attributeDetail"));
    m_text->setReadOnly(true);
    m_text->setTabChangesFocus(true);
    m_text->setAccessibleName(tr("Attribute value in full"));
    m_text->setPlaceholderText(tr("Select an attribute to see its whole value"));
    m_text->setMaximumHeight(110);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    setFocusProxy(m_text);
}

void AttributeDetailArea::showText(const QString &text)
{
    // Laying out one very long line takes the text field seconds; the start says what the value is,
    // and Ctrl+C copies all of it.
    constexpr qsizetype shownAtMost = 64 * 1024;
    QString detail = text;
    if (detail.size() > shownAtMost) {
        const qsizetype more = detail.size() - shownAtMost;
        detail.truncate(shownAtMost);
        detail += tr("… (%n more characters; Ctrl+C in the list copies them all)", nullptr,
            int(qMin<qsizetype>(more, INT_MAX)));
    }
    m_text->setPlainText(detail);
}

void AttributeDetailArea::clear()
{
    m_text->clear();
}

} // namespace corvane
