#include "app/DocumentController.h"

#include "app/Document.h"
#include "app/StartWindow.h"
#include "attributes/ExtendedAttributes.h"
#include "editor/EditorWindow.h"
#include "window/Alerts.h"
#include "window/ApplicationActions.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <sys/stat.h>

namespace corvane {

using namespace Qt::StringLiterals;

namespace {
// Kept apart from the application's preferences, which are a fixed set of top-level keys.
const QString recentGroup = QStringLiteral("DocumentController");
const QString recentKey = QStringLiteral("recentDocuments");
const QString directoryKey = QStringLiteral("lastOpenDirectory");

// 0 when the path leads to something, else the errno saying why not: a file inside a folder the user
// may not enter exists all the same, and "no such file" would send them looking in the wrong place.
int reachability(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0)
        return 0;
    return errno;
}

// The Open Recent menu's and the start window's name for each file: its name, and where it is when
// another of them has the same name.
QStringList recentTitles(const QList<QUrl> &urls)
{
    QStringList titles;
    for (const QUrl &url : urls) {
        const QString name = url.fileName();
        if (std::count_if(
                urls.begin(), urls.end(), [&name](const QUrl &other) { return other.fileName() == name; })
            < 2) {
            titles.append(name);
            continue;
        }
        QString folder = QDir::toNativeSeparators(QFileInfo(url.toLocalFile()).absolutePath());
        const QString home = QDir::toNativeSeparators(QDir::homePath());
        if (folder == home || folder.startsWith(home + QDir::separator()))
            folder = u'~' + folder.mid(home.size());
        titles.append(DocumentController::tr("%1 — %2").arg(name, folder));
    }
    return titles;
}

QString comparablePath(const QUrl &url)
{
    const QFileInfo info(url.toLocalFile());
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

DocumentController::DocumentController(ApplicationActions &actions, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
{
    connect(actions.openAction(), &QAction::triggered, this, &DocumentController::openDocument);
    connect(actions.openRecentMenu(), &QMenu::aboutToShow, this, &DocumentController::rebuildOpenRecentMenu);
    rebuildOpenRecentMenu();
}

DocumentController::~DocumentController()
{
    delete m_startWindow;
    // Deleting a window makes its document leave the list, so walk a copy.
    const QList<QPointer<Document>> documents = std::exchange(m_documents, {});
    for (const QPointer<Document> &document : documents) {
        if (document)
            delete document->window();
        delete document;
    }
}

QList<Document *> DocumentController::documents() const
{
    QList<Document *> result;
    for (const QPointer<Document> &document : m_documents) {
        if (document)
            result.append(document);
    }
    return result;
}

Document *DocumentController::documentForURL(const QUrl &url) const
{
    if (!url.isLocalFile())
        return nullptr;
    const QString wanted = comparablePath(url);
    for (Document *document : documents()) {
        if (document->fileURL().isLocalFile() && comparablePath(document->fileURL()) == wanted)
            return document;
    }
    return nullptr;
}

Document *DocumentController::openDocumentWithContentsOfURL(const QUrl &url, bool display)
{
    if (const QString failure = openingFailure(url); !failure.isEmpty()) {
        AlertRequest alert;
        alert.style = AlertRequest::Style::Warning;
        alert.messageText = tr("The file could not be opened.");
        alert.informativeText = failure;
        Alerts::run(alert, m_startWindow);
        return nullptr;
    }
    const QUrl fileURL = QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absoluteFilePath());

    if (Document *open = documentForURL(fileURL)) {
        if (display && open->window())
            open->window()->showAndRaise();
        return open;
    }

    auto *window = new EditorWindow(m_actions);
    window->openFile(fileURL);
    auto *document = new Document(window, this);
    // The document lives as long as its window.
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QObject::destroyed, document, [this, document] { forgetDocument(document); });
    // A file dropped onto the window replaces the document's; it is as recent as an opened one.
    connect(window, &EditorWindow::fileDropped, this, &DocumentController::noteNewRecentDocumentURL);
    connect(window, &EditorWindow::attributesPanelToggled, this, &DocumentController::showAttributesPanels);
    m_documents.append(document);
    noteNewRecentDocumentURL(fileURL);
    emit documentOpened(document);

    if (display) {
        window->showAndRaise();
        if (m_startWindow)
            m_startWindow->close();
    }
    return document;
}

QString DocumentController::openDocumentWithoutAlert(const QUrl &url)
{
    QString failure = openingFailure(url);
    if (failure.isEmpty())
        openDocumentWithContentsOfURL(url);
    return failure;
}

QString DocumentController::openingFailure(const QUrl &url) const
{
    // A file address naming another machine is as far out of reach as a web address.
    if (!url.isLocalFile() || !url.host().isEmpty())
        return tr("“%1” is not a local file.").arg(url.toDisplayString());
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    const int unreachable = reachability(url.toLocalFile());
    if (unreachable == 0)
        return {};
    return unreachable == ENOENT
        ? tr("There is no file at “%1”.").arg(path)
        : tr("“%1” cannot be reached: %2.").arg(path, posixError(unreachable).description);
}

void DocumentController::forgetDocument(Document *document)
{
    m_documents.removeAll(document);
    document->deleteLater();
}

void DocumentController::openDocument()
{
    for (const QUrl &url : chooseFiles())
        openDocumentWithContentsOfURL(url);
}

QList<QUrl> DocumentController::chooseFiles()
{
    // Next to the file in front, else where the last choice ended.
    QString start = lastOpenDirectory();
    if (const auto *editor = qobject_cast<EditorWindow *>(QApplication::activeWindow());
        editor && editor->file().isLocalFile() && QFileInfo(editor->file().toLocalFile()).dir().exists())
        start = QFileInfo(editor->file().toLocalFile()).absolutePath();
    QList<QUrl> chosen;
    if (m_fileChooser) {
        chosen = m_fileChooser(start);
    } else {
        QFileDialog dialog(QApplication::activeWindow(), tr("Open"), start);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Metadata is as much a hidden file's as any other's.
        dialog.setFilter(dialog.filter() | QDir::Hidden | QDir::System);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.selectedUrls();
    }
    if (!chosen.isEmpty() && chosen.first().isLocalFile()) {
        QSettings settings;
        settings.beginGroup(recentGroup);
        settings.setValue(directoryKey, QFileInfo(chosen.first().toLocalFile()).absolutePath());
    }
    return chosen;
}

QString DocumentController::lastOpenDirectory() const
{
    QSettings settings;
    settings.beginGroup(recentGroup);
    const QString stored = settings.value(directoryKey).toString();
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    return QDir::homePath();
}

QList<QUrl> DocumentController::recentDocumentURLs() const
{
    QSettings settings;
    settings.beginGroup(recentGroup);
    QList<QUrl> urls;
    // A hand-edited or foreign value of the wrong type reads as an empty list.
    const QStringList paths = settings.value(recentKey).toStringList();
    for (const QString &path : paths) {
        if (!path.isEmpty() && QDir::isAbsolutePath(path) && urls.size() < maximumRecentDocumentCount)
            urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

void DocumentController::noteNewRecentDocumentURL(const QUrl &url)
{
    if (!url.isLocalFile())
        return;
    QStringList paths;
    paths.append(url.toLocalFile());
    for (const QUrl &known : recentDocumentURLs()) {
        if (known.toLocalFile() != paths.first() && paths.size() < maximumRecentDocumentCount)
            paths.append(known.toLocalFile());
    }
    QSettings settings;
    settings.beginGroup(recentGroup);
    // Reopening the newest file changes nothing, and is not worth rewriting the settings file for.
    if (settings.value(recentKey).toStringList() == paths)
        return;
    settings.setValue(recentKey, paths);
}

void DocumentController::clearRecentDocuments()
{
    QSettings settings;
    settings.beginGroup(recentGroup);
    settings.remove(recentKey);
}

void DocumentController::showStartWindow()
{
    if (!m_startWindow) {
        m_startWindow = new StartWindow(m_actions);
        m_startWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_startWindow, &StartWindow::filesDropped, this, [this](const QList<QUrl> &urls) {
            for (const QUrl &url : urls)
                openDocumentWithContentsOfURL(url);
        });
        connect(m_startWindow, &StartWindow::recentFileChosen, this,
            [this](const QUrl &url) { openDocumentWithContentsOfURL(url); });
    }
    const QList<QUrl> recent = recentDocumentURLs();
    m_startWindow->setRecentFiles(recent, recentTitles(recent));
    m_startWindow->showAndRaise();
}

void DocumentController::showFrontWindow()
{
    QWidget *front = QApplication::activeWindow();
    if (!front) {
        // Without the focus there is no front window to ask for; the newest visible one stands in.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && qobject_cast<MainWindow *>(window))
                front = window;
        }
    }
    if (auto *window = qobject_cast<MainWindow *>(front)) {
        window->showAndRaise();
    } else if (front) {
        front->raise();
        front->activateWindow();
    } else {
        showStartWindow();
    }
}

StartWindow *DocumentController::startWindow() const
{
    return m_startWindow;
}

void DocumentController::setFileChooserForTesting(FileChooser chooser)
{
    m_fileChooser = std::move(chooser);
}

void DocumentController::rebuildOpenRecentMenu()
{
    QMenu *menu = m_actions.openRecentMenu();
    menu->clear();
    const QList<QUrl> recent = recentDocumentURLs();
    const QStringList titles = recentTitles(recent);
    for (qsizetype i = 0; i < recent.size(); ++i) {
        const QUrl url = recent.at(i);
        QAction *item = menu->addAction(QString(titles.at(i)).replace(u'&', u"&&"_s));
        item->setToolTip(url.toLocalFile());
        item->setStatusTip(url.toLocalFile());
        item->setEnabled(QFileInfo::exists(url.toLocalFile()));
        connect(item, &QAction::triggered, this, [this, url] { openDocumentWithContentsOfURL(url); });
    }
    if (!recent.isEmpty())
        menu->addSeparator();
    QAction *clear = menu->addAction(tr("Clear Menu"));
    clear->setEnabled(!recent.isEmpty());
    connect(clear, &QAction::triggered, this, &DocumentController::clearRecentDocuments);
}

void DocumentController::showAttributesPanels(bool shown)
{
    for (Document *document : documents()) {
        if (document->window())
            document->window()->setAttributesPanelShown(shown);
    }
}

} // namespace corvane
