#include "app/Document.h"

#include "app/WindowController.h"
#include "resources/SceneFactory.h"

namespace corvane {

Document::Document(QObject *parent)
    : QObject(parent)
{
}

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
    if (myWindowController)
        return;
    myWindowController = instantiateScene(QStringLiteral("Document Window Controller"));
    if (myWindowController)
        myWindowController->setDocument(this);
}

WindowController *Document::windowController() const
{
    return myWindowController;
}

} // namespace corvane
