#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

namespace corvane {

class WindowController;

// Ties one opened file to one editor window. The document never reads or writes the file's data;
// it only carries the file's URL, which the editor takes from it and replaces when a file is dropped.
// It is never edited, so closing its window never asks anything.
class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    QUrl fileURL() const;
    void setFileURL(const QUrl &url);

    // Always succeeds and reads nothing: opening cannot fail because of a file's contents.
    bool readFromURL(const QUrl &url, const QString &typeName, QString *errorDescription = nullptr);

    // Builds the one editor window from the "Document Window Controller" scene, through the maker the
    // application registered (the document knows no feature); without one it builds nothing.
    void makeWindowControllers();
    WindowController *windowController() const;

    using WindowMaker = std::function<WindowController *()>;
    static void setWindowMaker(WindowMaker maker);

    static bool autosavesInPlace() { return false; }
    bool isDocumentEdited() const { return false; }

signals:
    void fileURLChanged(const QUrl &url);

private:
    QUrl myFileURL;
    QPointer<WindowController> myWindowController;
};

} // namespace corvane
