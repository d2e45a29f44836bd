#include "app/AppDelegate.h"

namespace corvane {

namespace {
AppDelegate *theSharedDelegate = nullptr;
}

AppDelegate::AppDelegate(QObject *parent)
    : QObject(parent)
{
    theSharedDelegate = this;
}

AppDelegate::~AppDelegate()
{
    if (theSharedDelegate == this)
        theSharedDelegate = nullptr;
}

AppDelegate *AppDelegate::shared()
{
    return theSharedDelegate;
}

void AppDelegate::applicationDidFinishLaunching() { }
void AppDelegate::applicationWillTerminate() { }
void AppDelegate::openScratchpad() { }
void AppDelegate::openHelp() { }
void AppDelegate::openSupport() { }
void AppDelegate::openUpdates() { }

} // namespace corvane
