#include "app/Application.h"

#include "attributes/DraftStore.h"

#include <QCoreApplication>
#include <QTimer>

namespace corvane {

Application::Application(QObject *parent)
    : QObject(parent)
    , m_delegate(m_actions)
    , m_documents(m_actions)
{
    connect(qApp, &QCoreApplication::aboutToQuit, &m_delegate, &AppDelegate::applicationWillTerminate);
}

Application::~Application() = default;

void Application::launch()
{
    QTimer::singleShot(0, &m_delegate, &AppDelegate::applicationDidFinishLaunching);
    // Unsaved text of files not opened for a month goes; not on the way to the first window.
    QTimer::singleShot(0, this, [] { DraftStore().removeExpired(); });
}

} // namespace corvane
