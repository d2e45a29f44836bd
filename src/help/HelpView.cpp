#include "help/HelpView.h"

#include "ui_HelpWindow.h"
#include "window/UrlOpener.h"

#include <QTextBrowser>
#include <QUrl>

namespace corvane {

HelpView::HelpView(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::HelpWindow>())
{
    m_ui->setupUi(this);
    setFocusProxy(m_ui->helpBrowser);
    connect(m_ui->helpBrowser, &QTextBrowser::anchorClicked, this, &HelpView::followLink);
    m_ui->helpBrowser->setSource(guideUrl());
}

HelpView::~HelpView() = default;

QTextBrowser *HelpView::helpBrowser() const
{
    return m_ui->helpBrowser;
}

QUrl HelpView::guideUrl()
{
    return QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpView::showEvent(QShowEvent *event)
{
    if (window() != this)
        window()->setWindowTitle(tr("Corvane Help"));
    QWidget::showEvent(event);
}

void HelpView::followLink(const QUrl &url)
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
