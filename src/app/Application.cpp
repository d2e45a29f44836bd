#include "app/Application.h"

#include "attributes/DraftStore.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>

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
    // Unsaved text of files not opened for a month goes, well after the first window is painted: a
    // zero timeout would run in the event loop's first pass, ahead of the window's first expose.
    QTimer::singleShot(std::chrono::seconds(10), this, [] { DraftStore().removeExpired(); });
}

} // namespace corvane
