#pragma once

#include "attributes/EditableValue.h"

#include <QIcon>
#include <QWidget>

class QPushButton;
class QTableWidget;

namespace corvane {

// The Finder's tags edited one row per tag: its name (F2 or typing edits it) and its colour (a list of
// the eight, with their dots). Add Tag makes a row and edits its name; Remove Tag, or Delete in the
// list, takes the selected rows away. Cut, Copy and Paste move tags as their names, one a line, with
// their colours kept between Corvane's own windows. Every keystroke reaches the rows at once, so Apply never misses
// what is being typed.
class TagsEditor : public QWidget {
    Q_OBJECT
public:
    explicit TagsEditor(QWidget *parent = nullptr);

    // Plain text keeps no colours: then the colour column is hidden.
    void setTags(const QList<FinderTag> &tags, bool coloursKept);
    // The rows in order; rows without a name are left out.
    QList<FinderTag> tags() const;

    QTableWidget *table() const { return m_table; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }

    void addTag();
    void removeCurrentTag(); // the selected rows, else the current one
    bool hasSelectedTags() const;
    void copySelectedTags() const;
    void pasteTags(); // each line of the clipboard's text a tag, after the current row

signals:
    void edited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setColour(int row, TagColour colour);
    void updateButtons();
    QList<int> selectedRows() const; // in order; the current row when none is selected

    QList<QIcon> m_dots; // by colour
    QTableWidget *m_table = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
};

} // namespace corvane
