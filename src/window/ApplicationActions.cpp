#include "window/ApplicationActions.h"

#include "settings/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace corvane {

namespace {
QAction *makeAction(QObject *parent, const QString &text, const QList<QKeySequence> &keys = {})
{
    auto *action = new QAction(text, parent);
    action->setShortcuts(keys);
    return action;
}
} // namespace

ApplicationActions::ApplicationActions(QObject *parent)
    : QObject(parent)
    , m_open(makeAction(this, tr("&Open..."), { QKeySequence(Qt::CTRL | Qt::Key_O) }))
    , m_openRecent(new QMenu(tr("Open &Recent")))
    , m_close(makeAction(this, tr("&Close")))
    , m_quit(makeAction(this, tr("&Quit"), { QKeySequence(Qt::CTRL | Qt::Key_Q) }))
    , m_minimize(makeAction(this, tr("Mi&nimize"), { QKeySequence(tr("Ctrl+M")) }))
    , m_scratchpad(makeAction(this, tr("&Scratchpad")))
    , m_help(makeAction(this, tr("Corvane &Help"), { QKeySequence(Qt::Key_F1) }))
    , m_support(makeAction(this, tr("&Support")))
    , m_updates(makeAction(this, tr("&Updates")))
    , m_updateStatus(makeAction(this, tr("Update not checked")))
    , m_bridgeTags(makeAction(this, tr("&Keep Desktop Tags in Step with Finder Tags")))
{
    // Ctrl+W is what Linux users press, and the platform's Close may be another key (Ctrl+F4). A key
    // given twice makes its shortcut ambiguous, and Qt then triggers nothing at all.
    QList<QKeySequence> closeKeys { QKeySequence(Qt::CTRL | Qt::Key_W) };
    for (const QKeySequence &key : QKeySequence::keyBindings(QKeySequence::Close)) {
        if (!closeKeys.contains(key))
            closeKeys.append(key);
    }
    m_close->setShortcuts(closeKeys);
    connect(m_close, &QAction::triggered, this, [] {
        if (QWidget *window = QApplication::activeWindow())
            window->close();
    });
    connect(m_minimize, &QAction::triggered, this, [] {
        if (QWidget *window = QApplication::activeWindow())
            window->showMinimized();
    });
    m_quit->setMenuRole(QAction::QuitRole);
    // quit() asks every window to close before the loop ends, as a log-out does, so each window hands
    // its state over (a scratchpad its text) before the termination routine stores it.
    connect(m_quit, &QAction::triggered, this, [] { QCoreApplication::quit(); });

    // One setting for every window, read when a change is made.
    m_bridgeTags->setObjectName(QStringLiteral("bridgeTagsAction"));
    m_bridgeTags->setCheckable(true);
    m_bridgeTags->setChecked(Preferences().boolForKey(PreferenceKey::bridgeTags, true));
    m_bridgeTags->setStatusTip(
        tr("Adding, renaming or removing a Finder tag does the same to the desktop's tags"));
    connect(m_bridgeTags, &QAction::toggled, this, [](bool on) {
        Preferences preferences;
        preferences.setBool(PreferenceKey::bridgeTags, on);
        preferences.sync();
    });

    // A status, not a command: shown with the check's outcome, never changed by a click.
    m_updateStatus->setCheckable(true);
    m_updateStatus->setEnabled(false);
}

ApplicationActions::~ApplicationActions()
{
    delete m_openRecent;
}

void ApplicationActions::markUpdateChecked()
{
    m_updateStatus->setText(tr("Checked for update"));
    m_updateStatus->setChecked(true);
}

} // namespace corvane
