#include "app/AppDelegate.h"

#include "BuildConfig.h"
#include "app/SceneFactory.h"
#include "scratchpad/ScratchpadView.h"
#include "settings/LaunchSchedule.h"
#include "settings/Preferences.h"
#include "updates/UpdateChecker.h"
#include "window/UrlOpener.h"
#include "window/WindowController.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QOperatingSystemVersion>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace corvane {

namespace {
AppDelegate *theSharedDelegate = nullptr;

#ifdef Q_OS_UNIX
// Self-pipe: a signal handler may do next to nothing, so it writes one byte that the event loop reads.
int theSignalSockets[2] = { -1, -1 };

extern "C" void noteTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(theSignalSockets[0], &byte, 1);
    errno = savedErrno;
}

bool prepareSignalSockets()
{
    if (theSignalSockets[0] == -1
        && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, theSignalSockets) != 0) {
        theSignalSockets[0] = theSignalSockets[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = noteTerminationSignal;
    sigemptyset(&action.sa_mask);
    // A second signal while the first is handled ends the process the ordinary way, so a quit that
    // somehow hangs can still be stopped.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signalNumber : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(signalNumber, &action, nullptr);
    return true;
}

void restoreDefaultSignalHandling()
{
    for (int signalNumber : { SIGTERM, SIGINT, SIGHUP })
        ::signal(signalNumber, SIG_DFL);
}
#endif
} // namespace

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
{
    theSharedDelegate = this;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    installTerminationSignalHandlers();
}

AppDelegate::~AppDelegate()
{
    if (theSharedDelegate == this) {
        theSharedDelegate = nullptr;
#ifdef Q_OS_UNIX
        // Nobody would read the byte any more: without this, a signal would be swallowed.
        restoreDefaultSignalHandling();
#endif
    }
    for (const auto &list : { mySPWindow, myHelpWindow }) {
        for (const auto &controller : list)
            delete controller.data();
    }
}

void AppDelegate::installTerminationSignalHandlers()
{
#ifdef Q_OS_UNIX
    if (!prepareSignalSockets())
        return;
    auto *notifier = new QSocketNotifier(theSignalSockets[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [] {
        char buffer[16];
        while (::read(theSignalSockets[1], buffer, sizeof buffer) > 0) { }
        // The same road as the Quit command, so the termination routine runs on aboutToQuit.
        QCoreApplication::quit();
    });
#endif
}

bool AppDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // Quitting closes every window before aboutToQuit, each closing scratchpad handing its text back
    // in whatever order the windows happen to close. Settling the text first, when the quit is
    // requested, makes them all hand back the same one.
    if (event->type() == QEvent::Quit && watched == QCoreApplication::instance())
        handBackOpenScratchpads();
    if (myUpdateCheckAwaitsWindow && event->type() == QEvent::Expose) {
        if (auto *window = qobject_cast<QWindow *>(watched); window && window->isExposed()) {
            myUpdateCheckAwaitsWindow = false;
            QTimer::singleShot(0, this, &AppDelegate::startUpdateCheck);
        }
    }
    return QObject::eventFilter(watched, event);
}

void AppDelegate::applicationDidFinishLaunching()
{
    runStartupTasks();
}

void AppDelegate::applicationWillTerminate()
{
    handBackOpenScratchpads();
    storeScratchpadText();
}

void AppDelegate::runStartupTasks()
{
    Preferences preferences;
    const LaunchSchedule::Clock clock = myClock ? myClock : LaunchSchedule::Clock(&LaunchSchedule::systemNow);
    if (std::optional<QString> saved = LaunchSchedule::run(preferences, clock, [this] { checkForUpdates(); }))
        scratchpadContents.setText(*saved);
    myLoadedScratchpadText = scratchpadContents.text();
}

void AppDelegate::storeScratchpadText()
{
    if (!myStoresUnchangedText && scratchpadContents.text() == myLoadedScratchpadText)
        return;
    Preferences preferences;
    preferences.setString(PreferenceKey::scratchpad, scratchpadContents.text());
    preferences.sync();
}

void AppDelegate::checkForUpdates()
{
    if (myUpdateCheckOverride) {
        myUpdateCheckOverride();
        return;
    }
    // The network machinery (proxy settings, name resolution, the TLS library) takes longer to set up
    // than the first window takes to show, and nothing in that window waits for the answer: the
    // request starts once a window is on the screen, or shortly after launching when none appears.
    const QWindowList windows = QGuiApplication::topLevelWindows();
    if (std::any_of(
            windows.begin(), windows.end(), [](const QWindow *window) { return window->isExposed(); })) {
        startUpdateCheck();
        return;
    }
    myUpdateCheckAwaitsWindow = true;
    QTimer::singleShot(updateCheckDelayWithoutWindowMs, this, [this] {
        if (std::exchange(myUpdateCheckAwaitsWindow, false))
            startUpdateCheck();
    });
}

void AppDelegate::startUpdateCheck()
{
    if (!myUpdateChecker) {
        myUpdateChecker = new updates::UpdateChecker(this);
        connect(myUpdateChecker, &updates::UpdateChecker::checkedForUpdate, this, &AppDelegate::checkedForUpdate);
    }
    myUpdateChecker->checkForUpdates();
}

void AppDelegate::handBackOpenScratchpads()
{
    QList<ScratchpadView *> open;
    for (const auto &controller : std::as_const(mySPWindow)) {
        if (!controller || !controller->isVisible())
            continue;
        if (auto *view = qobject_cast<ScratchpadView *>(controller->contentViewController()))
            open.append(view);
    }
    if (open.isEmpty())
        return;
    // Handing back spreads the text to every scratchpad, so letting each open window hand back in
    // turn would overwrite the later windows' text with the earlier ones' before they could give it.
    // The outcome of "each in turn, the most recently typed into last" is that window's text, spread.
    std::stable_sort(open.begin(), open.end(), [](const ScratchpadView *a, const ScratchpadView *b) {
        return a->lastEditStamp() < b->lastEditStamp();
    });
    open.last()->viewWillDisappear();
}

void AppDelegate::openScratchpad()
{
    WindowController *controller = instantiateScene(QStringLiteral("ScratchpadWindow"));
    if (auto *view = qobject_cast<ScratchpadView *>(controller->contentViewController()))
        view->setSharedText(&scratchpadContents);
    controller->showWindow();
    mySPWindow.append(controller);
}

void AppDelegate::openHelp()
{
    WindowController *controller = instantiateScene(QStringLiteral("Help Window"));
    controller->showWindow();
    myHelpWindow.append(controller);
}

void AppDelegate::openSupport()
{
    UrlOpener::open(QUrl(QString::fromUtf8(build::supportUrl)));
}

QUrl AppDelegate::updatesPageFor(const QVersionNumber &systemVersion)
{
    const char *page = systemVersion.minorVersion() < 12 ? build::updatesUrlOld : build::updatesUrlNew;
    return QUrl(QString::fromUtf8(page));
}

QVersionNumber AppDelegate::runningSystemVersion()
{
#ifdef Q_OS_MACOS
    const QOperatingSystemVersion current = QOperatingSystemVersion::current();
    return QVersionNumber(current.majorVersion(), current.minorVersion(), current.microVersion());
#else
    // "12", "22.04", "rolling": the leading numbers, missing ones counting as 0.
    return QVersionNumber::fromString(QSysInfo::productVersion());
#endif
}

void AppDelegate::openUpdates()
{
    UrlOpener::open(updatesPageFor(mySystemVersion.value_or(runningSystemVersion())));
}

} // namespace corvane
