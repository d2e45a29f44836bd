#include "editor/TagDotsDelegate.h"

#include "editor/AttributesModel.h"

#include <QPainter>
#include <QPixmap>

namespace corvane {

namespace {
constexpr int dotSize = 12; // the cell: a 10-pixel dot and its spacing

QColor colourOf(TagColour colour)
{
    // The Finder's own hues.
    switch (colour) {
    case TagColour::Grey:
        return QColor(0x8e, 0x8e, 0x93);
    case TagColour::Green:
        return QColor(0x34, 0xc7, 0x59);
    case TagColour::Purple:
        return QColor(0xaf, 0x52, 0xde);
    case TagColour::Blue:
        return QColor(0x00, 0x7a, 0xff);
    case TagColour::Yellow:
        return QColor(0xff, 0xcc, 0x00);
    case TagColour::Red:
        return QColor(0xff, 0x3b, 0x30);
    case TagColour::Orange:
        return QColor(0xff, 0x95, 0x00);
    case TagColour::None:
        break;
    }
    return QColor();
}
} // namespace

QString tagColourName(TagColour colour)
{
    static const char *const names[] = { QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "No colour"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Grey"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Green"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Purple"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Blue"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Yellow"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Red"),
        QT_TRANSLATE_NOOP("corvane::TagDotsDelegate", "Orange") };
    return TagDotsDelegate::tr(names[int(colour)]);
}

QIcon tagDotsIcon(const QList<TagColour> &colours)
{
    QList<QColor> shown;
    for (TagColour colour : colours) {
        if (colour != TagColour::None)
            shown.append(colourOf(colour));
    }
    if (shown.isEmpty())
        return QIcon();
    // Drawn at twice the size, sharp on high-resolution screens.
    QPixmap pixmap(int(shown.size()) * dotSize * 2, dotSize * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        painter.setPen(shown.at(i).darker(130));
        painter.setBrush(shown.at(i));
        painter.drawEllipse(QRectF(i * dotSize + 1.5, 1.5, dotSize - 3, dotSize - 3));
    }
    // Selected rows show the colours as they are, not tinted.
    QIcon icon(pixmap);
    icon.addPixmap(pixmap, QIcon::Selected);
    return icon;
}

void TagDotsDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariantList colours = index.data(AttributesModel::TagColoursRole).toList();
    QList<TagColour> dots;
    // A few dots say it; the text names every tag.
    for (qsizetype i = 0; i < colours.size() && dots.size() < 8; ++i) {
        if (const auto colour = TagColour(colours.at(i).toInt()); colour != TagColour::None)
            dots.append(colour);
    }
    if (dots.isEmpty())
        return;
    option->icon = tagDotsIcon(dots);
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(int(dots.size()) * dotSize, dotSize);
}

} // namespace corvane
