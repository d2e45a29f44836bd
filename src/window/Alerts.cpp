#include "window/Alerts.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>

namespace corvane {

AlertRequest AlertRequest::question(
    const QString &messageText, const QString &informativeText, Alerts::Button confirm)
{
    AlertRequest question;
    question.style = Style::Warning;
    question.messageText = messageText;
    question.informativeText = informativeText;
    question.buttons = { Alerts::Button::Cancel, confirm };
    question.defaultButton = Alerts::Button::Cancel;
    question.escapeButton = Alerts::Button::Cancel;
    return question;
}

namespace Alerts {

namespace {
QQueue<Button> &nextAnswers()
{
    static QQueue<Button> answers;
    return answers;
}

std::optional<QMessageBox::StandardButton> standardButtonOf(Button button)
{
    switch (button) {
    case Button::Ok:
        return QMessageBox::Ok;
    case Button::Cancel:
        return QMessageBox::Cancel;
    case Button::Ignore:
        return QMessageBox::Ignore;
    default:
        return std::nullopt;
    }
}

Observer &observer()
{
    static Observer observer;
    return observer;
}
} // namespace

QString title(Button button)
{
    switch (button) {
    case Button::Ok:
        return QCoreApplication::translate("Alerts", "OK");
    case Button::Cancel:
        return QCoreApplication::translate("Alerts", "Cancel");
    case Button::Remove:
        return QCoreApplication::translate("Alerts", "Remove");
    case Button::Replace:
        return QCoreApplication::translate("Alerts", "Replace");
    case Button::Undo:
        return QCoreApplication::translate("Alerts", "Undo");
    case Button::Redo:
        return QCoreApplication::translate("Alerts", "Redo");
    case Button::Ignore:
        return QCoreApplication::translate("Alerts", "Ignore");
    case Button::Download:
        return QCoreApplication::translate("Alerts", "Download");
    }
    return QString();
}

void setNextAnswer(Button answer)
{
    nextAnswers().enqueue(answer);
}

void setObserverForTesting(Observer newObserver)
{
    observer() = std::move(newObserver);
    nextAnswers().clear();
}

Button run(const AlertRequest &alert, QWidget *parent)
{
    if (observer())
        observer()(alert);
    if (!nextAnswers().isEmpty())
        return nextAnswers().dequeue();
    if (observer())
        return alert.defaultButton;

    QMessageBox box(parent);
    switch (alert.style) {
    case AlertRequest::Style::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case AlertRequest::Style::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case AlertRequest::Style::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setWindowTitle(QStringLiteral("Corvane"));
    box.setText(alert.messageText);
    box.setInformativeText(alert.informativeText);
    box.setDetailedText(alert.detailedText);
    QList<QAbstractButton *> buttons;
    for (Button button : alert.buttons) {
        // The desktop's own OK, Cancel and Ignore, in Qt's words for the user's language.
        const auto standard = standardButtonOf(button);
        QPushButton *added
            = standard ? box.addButton(*standard) : box.addButton(title(button), QMessageBox::AcceptRole);
        buttons.append(added);
        if (button == alert.defaultButton)
            box.setDefaultButton(added);
        if (button == alert.escapeButton)
            box.setEscapeButton(added);
    }
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    if (chosen >= 0)
        return alert.buttons.at(chosen);
    return alert.escapeButton.value_or(alert.buttons.value(0, Button::Ok));
}

} // namespace Alerts

} // namespace corvane
