#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace corvane {

// A modal alert as the application describes it: a heading, a longer text, a style that picks the icon,
// and buttons in the order added. Running it returns 1000 for the first button, 1001 for the second, ...
struct AlertRequest {
    enum class Style { Informational, Warning, Critical };
    Style style = Style::Informational;
    QString messageText;
    QString informativeText;
    QStringList buttons = { QStringLiteral("OK") };
    int defaultButton = 0; // index into buttons, taken by Enter
    int escapeButton = -1; // index taken by Escape; -1 lets the dialog decide
};

inline constexpr int firstButtonReturn = 1000;

namespace Alerts {
// Shows the alert modally (or hands it to the test handler) and returns the chosen button's code.
int run(const AlertRequest &alert, QWidget *parent = nullptr);

// Tests answer alerts here instead of on screen; an empty handler brings the real dialogs back.
using Handler = std::function<int(const AlertRequest &)>;
void setHandlerForTesting(Handler handler);
} // namespace Alerts

} // namespace corvane
