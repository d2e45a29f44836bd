#pragma once

#include "window/MainWindow.h"

#include <QList>
#include <QUrl>

#include <memory>

namespace Ui {
class StartWindow;
}

namespace corvane {

// The window Corvane shows when started without a file. It is not a document: a drop area, the files
// opened last and an Open button, each opening files as documents with windows of their own.
class StartWindow : public MainWindow {
    Q_OBJECT
public:
    explicit StartWindow(ApplicationActions &actions, QWidget *parent = nullptr);
    ~StartWindow() override;

    // The files opened last, by the names the Open Recent menu gives them; Enter on one opens it.
    void setRecentFiles(const QList<QUrl> &urls, const QStringList &titles);

signals:
    // Files dropped onto the window, once the drop is over: opening them closes this window, and
    // closing it while the window system still finishes the drop crashes the X11 drag code.
    void filesDropped(const QList<QUrl> &urls);
    void recentFileChosen(const QUrl &url);

private:
    std::unique_ptr<Ui::StartWindow> m_ui;
};

} // namespace corvane
