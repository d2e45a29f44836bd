#include "window/UrlOpener.h"

#include <QDesktopServices>

namespace corvane::UrlOpener {

namespace {
Handler &testHandler()
{
    static Handler handler;
    return handler;
}
} // namespace

void setHandlerForTesting(Handler handler)
{
    testHandler() = std::move(handler);
}

bool open(const QUrl &url)
{
    if (testHandler())
        return testHandler()(url);
    return QDesktopServices::openUrl(url);
}

} // namespace corvane::UrlOpener
