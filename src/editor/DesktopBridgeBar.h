#pragma once

#include "attributes/AttributeDescription.h"
#include "attributes/BridgeCopy.h"

#include <QWidget>

class QGridLayout;
class QToolButton;

namespace corvane {

// Below the attributes list, a line for each pair of the desktop bridge whose sides are not in step
// ("Tags: 2 only in Finder", "Comment differs"), with a button that copies the Finder's side to the
// Linux desktop and one that copies the desktop's side to the Mac's. Hidden while every pair is in step.
//
// The bar writes nothing: copyRequested goes to the editor, which reads the file again, asks before
// replacing anything, and makes the copy as one step of the window's history.
class DesktopBridgeBar : public QWidget {
    Q_OBJECT
public:
    explicit DesktopBridgeBar(QWidget *parent = nullptr);

    // The pairs of a new listing; lines stay as they are (and keep the focus) while they read the same.
    void showFile(const FileDescription &file);

    // The line's button copying that way; null when the pair has no line.
    QToolButton *copyButton(BridgePairKind kind, BridgeDirection direction) const;
    QStringList lines() const; // the summaries shown, in order

signals:
    void copyRequested(BridgePairKind kind, BridgeDirection direction);

private:
    struct Line {
        BridgePairKind kind;
        QString label;
        QString summary;
        bool toDesktop;
        bool toMac;
        bool operator==(const Line &) const = default;
    };

    QGridLayout *m_grid = nullptr;
    QList<Line> m_lines;
};

} // namespace corvane
