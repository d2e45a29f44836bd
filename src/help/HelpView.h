#pragma once

#include <QWidget>

#include <memory>

class QTextBrowser;
class QUrl;

namespace Ui {
class HelpWindow;
}

namespace corvane {

// The content of a help window: the user guide, read-only, from the application's resources. Links
// within the guide move inside it; links to web pages go to the user's browser.
class HelpView : public QWidget {
    Q_OBJECT
public:
    explicit HelpView(QWidget *parent = nullptr);
    ~HelpView() override;

    QTextBrowser *helpBrowser() const;

    static QUrl guideUrl();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void followLink(const QUrl &url);

    std::unique_ptr<Ui::HelpWindow> m_ui;
};

} // namespace corvane
