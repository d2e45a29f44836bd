#pragma once

#include <QWidget>

namespace corvane {

// The content of a scratchpad window: free text that belongs to the application, not to the window.
class ScratchpadView : public QWidget {
    Q_OBJECT
public:
    explicit ScratchpadView(QWidget *parent = nullptr);
    ~ScratchpadView() override;
};

} // namespace corvane
