#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace corvane {

namespace Alerts {
// The buttons an alert may carry, each with its one title; run() answers which one was chosen.
enum class Button { Ok, Cancel, Remove, Replace, Undo, Redo, Ignore, Download };
} // namespace Alerts

// A modal alert as the application describes it: a heading, a longer text, a style that picks the
// icon, and buttons in the order given.
struct AlertRequest {
    enum class Style { Informational, Warning, Critical };
    Style style = Style::Informational;
    QString messageText;
    QString informativeText;
    QString detailedText; // behind the alert's Show Details button; none when empty
    QList<Alerts::Button> buttons = { Alerts::Button::Ok };
    Alerts::Button defaultButton = Alerts::Button::Ok; // taken by Enter
    std::optional<Alerts::Button> escapeButton; // taken by Escape; none lets the dialog decide

    // The usual question before a change that loses something: Cancel first, the default and the
    // answer to Escape, then the button that goes ahead.
    static AlertRequest question(const QString &messageText, const QString &informativeText, Alerts::Button confirm);
};

// The seam for modal alerts, in the shape of KeePassXC's MessageBox: tests give the next answer instead
// of the user, and see every alert that would have been shown.
namespace Alerts {
QString title(Button button);

// Shows the alert modally and returns the button chosen (the escape button, or the first one, when the
// dialog was closed otherwise).
Button run(const AlertRequest &alert, QWidget *parent = nullptr);

// The next alert is not shown: run() returns `answer`. Answers given in a row serve alerts in turn.
void setNextAnswer(Button answer);
// While an observer is set, no alert is shown: each goes to the observer and is answered with the next
// answer, or with its default button when none is left. An empty observer shows alerts again and
// forgets the answers not used.
using Observer = std::function<void(const AlertRequest &)>;
void setObserverForTesting(Observer observer);
} // namespace Alerts

} // namespace corvane
