#include "window/Alerts.h"

#include <QAbstractButton>
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
        return QStringLiteral("OK");
    case Button::Cancel:
        return QStringLiteral("Cancel");
    case Button::Remove:
        return QStringLiteral("Remove");
    case Button::Replace:
        return QStringLiteral("Replace");
    case Button::Undo:
        return QStringLiteral("Undo");
    case Button::Redo:
        return QStringLiteral("Redo");
    case Button::Ignore:
        return QStringLiteral("Ignore");
    case Button::Download:
        return QStringLiteral("Download");
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
        QPushButton *added = box.addButton(title(button), QMessageBox::AcceptRole);
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
