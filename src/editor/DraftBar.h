#pragma once

#include "attributes/DraftStore.h"

#include <QFrame>

class QLabel;

namespace corvane {

// The bar at the top of an editor window that offers the unsaved text kept from an earlier session:
// "Unsaved text from 16:42 for Keywords", with Restore and Discard. It is made only when there is
// something to offer, and hides once answered.
class DraftBar : public QFrame {
    Q_OBJECT
public:
    explicit DraftBar(QWidget *parent = nullptr);

    void offer(const QList<Draft> &drafts); // none hides the bar
    QString text() const;

signals:
    void restoreClicked();
    void discardClicked();

private:
    QLabel *m_label = nullptr;
};

} // namespace corvane
