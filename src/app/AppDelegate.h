#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVersionNumber>

#include "scratchpad/ScratchpadText.h"

#include <functional>
#include <memory>
#include <optional>

namespace corvane {

class ApplicationActions;
class DebouncedWriter;
class HelpWindow;
class ScratchpadWindow;
namespace updates {
class UpdateChecker;
}

// Application-wide state and the launch and termination routines. One instance, made by Application.
// (Named for the role it has on macOS, where Qt leaves the application's delegate to the platform, and
// its two routines for the moments they run at: readers of either code base find them by those names.)
//
// It owns the scratchpad text (loaded from the preferences at launch, stored within a second of each
// change the user makes and at termination) and every scratchpad and help window opened from the menus, for the life of the process. Termination is
// reached by the Quit command, by closing the last window, and by SIGTERM, SIGINT or SIGHUP, which
// the constructor turns into an ordinary quit of the event loop.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // Window > Scratchpad and the Help menu's commands open what the delegate keeps.
    explicit AppDelegate(ApplicationActions &actions, QObject *parent = nullptr);
    ~AppDelegate() override;

    const QList<QPointer<HelpWindow>> &helpWindows() const { return m_helpWindows; }
    const QList<QPointer<ScratchpadWindow>> &scratchpadWindows() const { return m_scratchpadWindows; }
    ScratchpadText &scratchpadText() { return m_scratchpadText; }

    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    void runStartupTasks();
    void storeScratchpadText();

    // Whether quitting writes the scratchpad text also when this process left it as loaded. Only
    // while no other Corvane can run beside this one: otherwise the stored text may be newer than
    // what this process loaded, and only text the user changed here may replace it.
    void setStoresUnchangedScratchpadText(bool stores) { m_storesUnchangedText = stores; }
    // Starts the update check once a window is on the screen (at once when one already is).
    void checkForUpdates();

    // Open scratchpad windows give their text to the application before it is stored, the one the
    // user typed into last deciding what is kept.
    void handBackOpenScratchpads();
    // What quitting now would store: that window's text, or the application's while none is open.
    QString scratchpadTextToStore() const;

    // The updates page for a system version: only the minor number decides.
    static QUrl updatesPageFor(const QVersionNumber &systemVersion);
    static QVersionNumber runningSystemVersion();

    // Seams for tests: the clock of the launch routine (seconds since 2001-01-01 UTC), what starting an
    // update check does, and the system version the updates page is chosen for.
    void setClockForTesting(std::function<double()> clock) { m_clock = std::move(clock); }
    void setUpdateCheckForTesting(std::function<void()> check) { m_updateCheckOverride = std::move(check); }
    void setSystemVersionForTesting(std::optional<QVersionNumber> version) { m_systemVersion = version; }

signals:
    // The update check read the feed, which names Corvane: the Help menu's status says so.
    void checkedForUpdate();

public slots:
    void openScratchpad();
    void openHelp();
    void openSupport();
    void openUpdates();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void installTerminationSignalHandlers();
    void startUpdateCheck();
    ScratchpadWindow *latestOpenScratchpad() const;

    static constexpr int updateCheckDelayWithoutWindowMs = 3000;

    ApplicationActions &m_actions;
    QList<QPointer<HelpWindow>> m_helpWindows;
    QList<QPointer<ScratchpadWindow>> m_scratchpadWindows;
    ScratchpadText m_scratchpadText;
    std::function<double()> m_clock;
    std::function<void()> m_updateCheckOverride;
    std::optional<QVersionNumber> m_systemVersion;
    updates::UpdateChecker *m_updateChecker = nullptr;
    bool m_updateCheckAwaitsWindow = false;
    bool m_storesUnchangedText = true;
    QString m_storedScratchpadText; // as this process last loaded or stored it
    std::unique_ptr<DebouncedWriter> m_scratchpadWriter;
};

} // namespace corvane
