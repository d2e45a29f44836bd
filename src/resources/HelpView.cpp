#include "resources/HelpView.h"

namespace corvane {

HelpView::HelpView(QWidget *parent)
    : QWidget(parent)
{
}

HelpView::~HelpView() = default;

} // namespace corvane
