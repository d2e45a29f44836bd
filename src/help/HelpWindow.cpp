#include "help/HelpWindow.h"

#include "settings/Translations.h"
#include "ui_HelpWindow.h"
#include "window/UrlOpener.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>

namespace corvane {

HelpWindow::HelpWindow(ApplicationActions &actions, QWidget *parent)
    : MainWindow(actions, parent)
    , m_ui(std::make_unique<Ui::HelpWindow>())
{
    auto *content = new QWidget;
    m_ui->setupUi(content);
    setCentralWidget(content);
    setWindowTitle(tr("Corvane Help"));
    resize(640, 520);
    // Below this a line of the guide holds a word or two and its headings break mid-word.
    setMinimumSize(320, 240);
    QTextBrowser *browser = m_ui->helpBrowser;
    content->setFocusProxy(browser);
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    browser->setSource(guideUrl());

    auto *copy = new QAction(tr("&Copy"), this);
    copy->setShortcuts(QKeySequence::keyBindings(QKeySequence::Copy));
    copy->setEnabled(false);
    connect(copy, &QAction::triggered, browser, &QTextBrowser::copy);
    connect(browser, &QTextBrowser::copyAvailable, copy, &QAction::setEnabled);
    auto *selectAll = new QAction(tr("Select &All"), this);
    selectAll->setShortcuts(QKeySequence::keyBindings(QKeySequence::SelectAll));
    connect(selectAll, &QAction::triggered, browser, &QTextBrowser::selectAll);
    createMenus({ .file = {}, .edit = { copy, nullptr, selectAll }, .view = {} });
}

HelpWindow::~HelpWindow() = default;

QTextBrowser *HelpWindow::helpBrowser() const
{
    return m_ui->helpBrowser;
}

QUrl HelpWindow::guideUrl()
{
    // The guide in the language the menus speak, when it has been translated to it.
    const QString translated = QStringLiteral("/help/index.%1.html").arg(translationLanguage());
    const QString page = QFile::exists(u':' + translated) ? translated : QStringLiteral("/help/index.html");
    return QUrl(QStringLiteral("qrc:") + page);
}

void HelpWindow::followLink(const QUrl &url)
{
    // The guide's own pages and anchors stay in the window; anything else is a web page or an address
    // for the mail program, and a text browser would only show it as garbage.
    if (url.isRelative() || url.scheme() == QLatin1String("qrc"))
        m_ui->helpBrowser->setSource(url);
    else if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http")
        || url.scheme() == QLatin1String("mailto"))
        UrlOpener::open(url);
}

} // namespace corvane
