#pragma once

// The Finder's tag colours as people see them: a name for each, and a small dot of the colour drawn
// before a tag in the attributes list (TagDotsDelegate) and in the tags editor.

#include "attributes/EditableValue.h"

#include <QIcon>
#include <QStyledItemDelegate>

namespace corvane {

QString tagColourName(TagColour colour); // "No colour", "Grey", "Green", ...
// One dot per colour, side by side; a null icon for none.
QIcon tagDotsIcon(const QList<TagColour> &colours);

// Draws the dots of AttributesModel::TagColoursRole before the cell's text.
class TagDotsDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

} // namespace corvane
