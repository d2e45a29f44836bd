#include "app/StartWindow.h"

#include "ui_StartWindow.h"
#include "window/ApplicationActions.h"
#include "window/DropArea.h"

#include <QAction>
#include <QListWidget>
#include <QTimer>

namespace corvane {

StartWindow::StartWindow(ApplicationActions &actions, QWidget *parent)
    : MainWindow(actions, parent)
    , m_ui(std::make_unique<Ui::StartWindow>())
{
    auto *content = new QWidget;
    m_ui->setupUi(content);
    setCentralWidget(content);
    setWindowTitle(QStringLiteral("Corvane"));
    resize(420, 300);
    createMenus({});
    QFont larger = m_ui->dropLabel->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.3);
    m_ui->dropLabel->setFont(larger);
    m_ui->dropLabel->setForegroundRole(QPalette::PlaceholderText);
    connect(m_ui->openButton, &QPushButton::clicked, actions.openAction(), &QAction::trigger);
    connect(m_ui->recentList, &QListWidget::itemActivated, this,
        [this](QListWidgetItem *item) { emit recentFileChosen(item->data(Qt::UserRole).toUrl()); });
    connect(
        m_ui->dropArea, &DropArea::filesDropped, this,
        [this](const QList<QUrl> &urls) { emit filesDropped(urls); }, Qt::QueuedConnection);
}

StartWindow::~StartWindow() = default;

void StartWindow::setRecentFiles(const QList<QUrl> &urls, const QStringList &titles)
{
    m_ui->recentList->clear();
    for (qsizetype i = 0; i < urls.size(); ++i) {
        auto *item = new QListWidgetItem(titles.value(i), m_ui->recentList);
        item->setData(Qt::UserRole, urls.at(i));
        item->setToolTip(urls.at(i).toLocalFile());
    }
    m_ui->recentLabel->setVisible(!urls.isEmpty());
    m_ui->recentList->setVisible(!urls.isEmpty());
    if (!urls.isEmpty()) {
        m_ui->recentList->setCurrentRow(0);
        m_ui->recentList->setFocus();
    }
}

} // namespace corvane
