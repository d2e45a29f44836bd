#include "app/AppDelegate.h"

#include "BuildConfig.h"
#include "help/HelpWindow.h"
#include "scratchpad/ScratchpadWindow.h"
#include "settings/DebouncedWriter.h"
#include "settings/LaunchSchedule.h"
#include "settings/Preferences.h"
#include "updates/UpdateChecker.h"
#include "window/ApplicationActions.h"
#include "window/UrlOpener.h"

#include <QAction>

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
#ifdef Q_OS_UNIX
// Signal dispositions belong to the process: the delegates alive share them, and the last one to go
// gives them back.
int theDelegatesHandlingSignals = 0;

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

AppDelegate::AppDelegate(ApplicationActions &actions, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_scratchpadWriter(std::make_unique<DebouncedWriter>([this] { storeScratchpadText(); }))
{
    // Typed text reaches the disk within a second, not only at quit: a crash or SIGKILL loses little.
    connect(&m_scratchpadText, &ScratchpadText::edited, this, [this] { m_scratchpadWriter->schedule(); });
    connect(&m_scratchpadText, &ScratchpadText::handedBack, this, [this] { m_scratchpadWriter->schedule(); });
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
    installTerminationSignalHandlers();
    connect(actions.scratchpadAction(), &QAction::triggered, this, &AppDelegate::openScratchpad);
    connect(actions.helpAction(), &QAction::triggered, this, &AppDelegate::openHelp);
    connect(actions.supportAction(), &QAction::triggered, this, &AppDelegate::openSupport);
    connect(actions.updatesAction(), &QAction::triggered, this, &AppDelegate::openUpdates);
    connect(this, &AppDelegate::checkedForUpdate, &actions, &ApplicationActions::markUpdateChecked);
}

AppDelegate::~AppDelegate()
{
#ifdef Q_OS_UNIX
    // Nobody would read the byte any more: without this, a signal would be swallowed.
    if (--theDelegatesHandlingSignals == 0)
        restoreDefaultSignalHandling();
#endif
    qDeleteAll(m_scratchpadWindows);
    qDeleteAll(m_helpWindows);
}

void AppDelegate::installTerminationSignalHandlers()
{
#ifdef Q_OS_UNIX
    ++theDelegatesHandlingSignals;
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
    if (m_updateCheckAwaitsWindow && event->type() == QEvent::Expose) {
        if (auto *window = qobject_cast<QWindow *>(watched); window && window->isExposed()) {
            m_updateCheckAwaitsWindow = false;
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
    const LaunchSchedule::Clock clock = m_clock ? m_clock : LaunchSchedule::Clock(&LaunchSchedule::systemNow);
    if (std::optional<QString> saved = LaunchSchedule::run(preferences, clock, [this] { checkForUpdates(); }))
        m_scratchpadText.setText(*saved);
    m_storedScratchpadText = m_scratchpadText.text();
}

void AppDelegate::storeScratchpadText()
{
    // Beside another Corvane, text this process did not change may be older than what that one stored.
    const QString text = scratchpadTextToStore();
    if (!m_storesUnchangedText && text == m_storedScratchpadText)
        return;
    Preferences preferences;
    preferences.setString(PreferenceKey::scratchpad, text);
    preferences.sync();
    m_storedScratchpadText = text;
}

void AppDelegate::checkForUpdates()
{
    if (m_updateCheckOverride) {
        m_updateCheckOverride();
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
    m_updateCheckAwaitsWindow = true;
    QTimer::singleShot(updateCheckDelayWithoutWindowMs, this, [this] {
        if (std::exchange(m_updateCheckAwaitsWindow, false))
            startUpdateCheck();
    });
}

void AppDelegate::startUpdateCheck()
{
    if (!m_updateChecker) {
        m_updateChecker = new updates::UpdateChecker(this);
        connect(
            m_updateChecker, &updates::UpdateChecker::checkedForUpdate, this, &AppDelegate::checkedForUpdate);
    }
    m_updateChecker->checkForUpdates();
}

void AppDelegate::handBackOpenScratchpads()
{
    if (ScratchpadWindow *latest = latestOpenScratchpad())
        latest->handBack();
}

QString AppDelegate::scratchpadTextToStore() const
{
    ScratchpadWindow *latest = latestOpenScratchpad();
    return latest ? latest->text() : m_scratchpadText.text();
}

ScratchpadWindow *AppDelegate::latestOpenScratchpad() const
{
    QList<ScratchpadWindow *> open;
    for (const QPointer<ScratchpadWindow> &window : std::as_const(m_scratchpadWindows)) {
        if (window && window->isVisible())
            open.append(window);
    }
    if (open.isEmpty())
        return nullptr;
    // Handing back spreads the text to every scratchpad, so letting each open window hand back in
    // turn would overwrite the later windows' text with the earlier ones' before they could give it.
    // The outcome of "each in turn, the most recently typed into last" is that window's text, spread.
    std::stable_sort(open.begin(), open.end(), [](const ScratchpadWindow *a, const ScratchpadWindow *b) {
        return a->lastEditStamp() < b->lastEditStamp();
    });
    return open.last();
}

void AppDelegate::openScratchpad()
{
    auto *window = new ScratchpadWindow(m_actions, m_scratchpadText);
    window->showAndRaise();
    m_scratchpadWindows.append(window);
}

void AppDelegate::openHelp()
{
    auto *window = new HelpWindow(m_actions);
    window->showAndRaise();
    m_helpWindows.append(window);
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
    UrlOpener::open(updatesPageFor(m_systemVersion.value_or(runningSystemVersion())));
}

} // namespace corvane
