#pragma once

#include <QList>
#include <QUrl>

namespace corvane {

// What a DragView hands its dropped files to.
class DragViewDelegate {
public:
    virtual ~DragViewDelegate() = default;
    // Every URL of one accepted drop, in the drag's order.
    virtual void dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls) = 0;
};

} // namespace corvane
