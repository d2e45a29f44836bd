#include <QApplication>
#include <QMainWindow>

#include "BuildConfig.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Corvane"));
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QString::fromLatin1(corvane::build::version));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Corvane"));
    window.resize(560, 380);
    window.show();
    return app.exec();
}
