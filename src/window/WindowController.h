#pragma once

#include <QMainWindow>
#include <QPointer>

#include <functional>

namespace corvane {

class Document;

// A top-level window of Corvane: the shared menu bar, one content widget, and the document it shows
// (none for the scratchpad, help and start windows). Content views hook windowDidAppear and
// windowWillDisappear to run their own appearance work.
//
// An appearance is the window being shown by the program, the first time or again after it was
// hidden. Restoring a minimized window is not one: the window system hides and shows it without the
// program asking, and the content must keep what the user typed.
class WindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit WindowController(QWidget *parent = nullptr);
    ~WindowController() override;

    QWidget *contentViewController() const;
    void setContentViewController(QWidget *content); // takes ownership

    Document *document() const;
    void setDocument(Document *document); // not owned

    // Shows the window (an appearance if it was hidden), raises it and gives it the focus.
    void showWindow();

    // What every new window gets before it is shown: the application's menu bar. Set by whoever owns
    // the menus; windows made while none is set have no menu bar.
    using MenuBarInstaller = std::function<void(QMainWindow *)>;
    static void setMenuBarInstaller(MenuBarInstaller installer);

signals:
    void windowDidAppear();
    void windowWillDisappear();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QPointer<Document> myDocument;
    bool myAppeared = false;
};

} // namespace corvane
