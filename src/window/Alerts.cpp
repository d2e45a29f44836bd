#include "window/Alerts.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

namespace corvane::Alerts {

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

int run(const AlertRequest &alert, QWidget *parent)
{
    if (testHandler())
        return testHandler()(alert);

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
    QList<QAbstractButton *> buttons;
    for (const QString &title : alert.buttons)
        buttons.append(box.addButton(title, QMessageBox::AcceptRole));
    if (alert.defaultButton >= 0 && alert.defaultButton < buttons.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(buttons.at(alert.defaultButton)));
    if (alert.escapeButton >= 0 && alert.escapeButton < buttons.size())
        box.setEscapeButton(buttons.at(alert.escapeButton));
    box.exec();
    const qsizetype chosen = buttons.indexOf(box.clickedButton());
    return firstButtonReturn + int(chosen < 0 ? qMax(alert.escapeButton, 0) : chosen);
}

} // namespace corvane::Alerts
