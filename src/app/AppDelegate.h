#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace corvane {

class WindowController;

// Application-wide state and the launch and termination routines. One instance, created in main.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    static AppDelegate *shared();   // the one instance, or nullptr before main made it

    QList<QPointer<WindowController>> myHelpWindow;
    QList<QPointer<WindowController>> mySPWindow;
    QString scratchpadContents;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    bool applicationShouldOpenUntitledFile() const { return false; }

public slots:
    void openScratchpad();
    void openHelp();
    void openSupport();
    void openUpdates();
};

} // namespace corvane
