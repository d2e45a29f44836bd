#pragma once

#include <QUrl>

#include <functional>

namespace corvane::UrlOpener {
// Opens the address in the user's default browser. Whether that worked is not reported to the user.
bool open(const QUrl &url);

// Tests record opened addresses here instead of starting a browser; an empty handler restores it.
using Handler = std::function<bool(const QUrl &)>;
void setHandlerForTesting(Handler handler);
} // namespace corvane::UrlOpener
