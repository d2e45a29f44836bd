#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>

namespace corvane {

class ApplicationActions;
class Document;
class StartWindow;

// Corvane's own document machinery: opens files (the Open command, Open Recent, the command line,
// drops on the start window) as documents with one editor window each, raises the window of a file
// that is already open, keeps the recent-files list in its own settings group and the Open Recent menu
// that shows it, and shows the start window while no document is open at launch. A document lives as
// long as its window. View > Attributes, chosen in one editor window, applies to all of them.
// (Its functions keep the names of the platform document machinery it stands in for on Linux, so that
// openDocumentWithContentsOfURL and noteNewRecentDocumentURL mean there what they mean here.)
class DocumentController : public QObject {
    Q_OBJECT
public:
    // File > Open... and Open Recent open documents here; their windows carry the shared actions.
    explicit DocumentController(ApplicationActions &actions, QObject *parent = nullptr);
    ~DocumentController() override;

    // Opens the file as a document and shows its window, or raises the window that already shows it.
    // A path that names nothing on disk is refused with a message; nullptr then.
    Document *openDocumentWithContentsOfURL(const QUrl &url, bool display = true);
    // The same for callers that gather failures into one alert of their own: returns why the file
    // could not be opened, in the words the alert above would say, or nothing once it is open.
    QString openDocumentWithoutAlert(const QUrl &url);
    Document *documentForURL(const QUrl &url) const;
    QList<Document *> documents() const;

    // File > Open...: any file, hidden ones too; the dialog starts where the last one ended.
    void openDocument();

    QList<QUrl> recentDocumentURLs() const;
    void noteNewRecentDocumentURL(const QUrl &url);
    void clearRecentDocuments();
    static constexpr int maximumRecentDocumentCount = 10;

    QString lastOpenDirectory() const;

    // Asked to show itself (a launcher, a later launch without files): raises the front window, or
    // shows the start window when none is open. Raising is best effort: the window manager may keep
    // the focus where the user is.
    void showFrontWindow();

    // The window shown when Corvane starts without a file; it closes once a document opens.
    void showStartWindow();
    StartWindow *startWindow() const;

    // Tests choose files here instead of in a dialog; an empty chooser brings the dialog back.
    using FileChooser = std::function<QList<QUrl>(const QString &startDirectory)>;
    void setFileChooserForTesting(FileChooser chooser);

signals:
    void documentOpened(corvane::Document *document);

private:
    QString openingFailure(const QUrl &url) const; // empty when the file can be opened
    void forgetDocument(Document *document);
    QList<QUrl> chooseFiles();
    void rebuildOpenRecentMenu();
    void showAttributesPanels(bool shown);

    ApplicationActions &m_actions;
    QList<QPointer<Document>> m_documents;
    QPointer<StartWindow> m_startWindow;
    FileChooser m_fileChooser;
};

} // namespace corvane
