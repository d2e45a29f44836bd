#include "scratchpad/ScratchpadView.h"

namespace corvane {

ScratchpadView::ScratchpadView(QWidget *parent)
    : QWidget(parent)
{
}

ScratchpadView::~ScratchpadView() = default;

} // namespace corvane
