#pragma once

#include "window/MainWindow.h"

#include <memory>

class QTextBrowser;
class QUrl;

namespace Ui {
class HelpWindow;
}

namespace corvane {

// A help window: the user guide, read-only, from the application's resources. Links within the guide
// move inside it; links to web pages go to the user's browser. Its Edit menu copies from the guide.
class HelpWindow : public MainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(ApplicationActions &actions, QWidget *parent = nullptr);
    ~HelpWindow() override;

    QTextBrowser *helpBrowser() const;

    static QUrl guideUrl();

private:
    void followLink(const QUrl &url);

    std::unique_ptr<Ui::HelpWindow> m_ui;
};

} // namespace corvane
