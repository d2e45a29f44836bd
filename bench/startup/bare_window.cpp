// A bare Qt window with the same widgets as Corvane's editor window on a file: a main window with the
// File, Edit, Window and Help menus, an editable combo box holding the 16 catalogue entries, a
// plain-text value field, a path label and a Save button, titled with the file's name.
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    QMainWindow window;
    QMenu *file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open..."))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addMenu(QStringLiteral("Open &Recent"));
    file->addAction(QStringLiteral("&Close"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    file->addAction(QStringLiteral("&Quit"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu *edit = window.menuBar()->addMenu(QStringLiteral("&Edit"));
    for (const char *name : { "Undo", "Redo", "Cut", "Copy", "Paste", "Select All" })
        edit->addAction(QString::fromLatin1(name));
    window.menuBar()->addMenu(QStringLiteral("&Window"))->addAction(QStringLiteral("Scratchpad"));
    QMenu *help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    for (const char *name : { "Corvane Help", "Support", "Updates", "Update not checked" })
        help->addAction(QString::fromLatin1(name));

    auto *content = new QWidget;
    auto *outer = new QVBoxLayout(content);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *drop = new QWidget;
    outer->addWidget(drop);
    auto *form = new QGridLayout(drop);
    form->setContentsMargins(12, 12, 12, 12);
    form->setSpacing(8);
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const char *entry : { "Keywords", "Comment", "Copyright", "Title", "Subject", "Authors", "Creator",
             "Description", "Headline", "Instructions", "Contributors", "Publishers", "Rights", "Version",
             "WhereFroms", "Identifier" })
        combo->addItem(QString::fromLatin1(entry));
    form->addWidget(new QLabel(QStringLiteral("&Attribute:")), 0, 0);
    form->addWidget(combo, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("&Value:")), 1, 0, Qt::AlignTop);
    form->addWidget(new QPlainTextEdit, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(path), 1);
    buttons->addWidget(new QPushButton(QStringLiteral("&Save")));
    form->addLayout(buttons, 2, 1);
    window.setCentralWidget(content);
    window.setWindowTitle(QFileInfo(path).fileName());
    window.resize(560, 360);
    window.show();
    return app.exec();
}
