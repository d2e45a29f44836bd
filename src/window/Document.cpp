#include "window/Document.h"

#include "window/WindowController.h"

namespace corvane {

namespace {
Document::WindowMaker &windowMaker()
{
    static Document::WindowMaker maker;
    return maker;
}
} // namespace

void Document::setWindowMaker(WindowMaker maker)
{
    windowMaker() = std::move(maker);
}

Document::Document(QObject *parent)
    : QObject(parent)
{ }

Document::~Document() = default;

QUrl Document::fileURL() const
{
    return myFileURL;
}

void Document::setFileURL(const QUrl &url)
{
    if (url == myFileURL)
        return;
    myFileURL = url;
    emit fileURLChanged(url);
}

bool Document::readFromURL(const QUrl &, const QString &, QString *)
{
    return true;
}

void Document::makeWindowControllers()
{
    if (myWindowController || !windowMaker())
        return;
    myWindowController = windowMaker()();
    if (myWindowController)
        myWindowController->setDocument(this);
}

WindowController *Document::windowController() const
{
    return myWindowController;
}

} // namespace corvane
