#pragma once

#include <QWidget>

namespace corvane {

// The content of a help window: the user guide, read-only.
class HelpView : public QWidget {
    Q_OBJECT
public:
    explicit HelpView(QWidget *parent = nullptr);
    ~HelpView() override;
};

} // namespace corvane
