#include "editor/AttributesPanel.h"

#include "attributes/AttributeListing.h"
#include "editor/AttributesTreeView.h"
#include "window/Alerts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QThread>
#include <QVBoxLayout>

#include <cerrno>
#include <memory>

namespace corvane {

namespace {
// Long enough to merge a script's burst of writes, short enough to feel immediate.
constexpr int burstDelayMs = 100;

// Where a row sits, by the attribute's exact name and the child rows below it, so that the selection
// and the opened lists survive a listing that reorders or adds rows.
struct RowPath {
    QByteArray systemName;
    QList<int> rows;
    bool operator==(const RowPath &) const = default;
};

size_t qHash(const RowPath &path, size_t seed = 0)
{
    return qHashMulti(seed, path.systemName, path.rows);
}

RowPath pathOf(QModelIndex source)
{
    RowPath path;
    path.systemName = source.data(AttributesModel::SystemNameRole).toByteArray();
    while (source.parent().isValid()) {
        path.rows.prepend(source.row());
        source = source.parent();
    }
    return path;
}

QModelIndex indexOf(const AttributesModel *model, const RowPath &path)
{
    QModelIndex found;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex top = model->index(row, 0);
        if (top.data(AttributesModel::SystemNameRole).toByteArray() == path.systemName) {
            found = top;
            break;
        }
    }
    for (int row : path.rows) {
        if (!found.isValid())
            break;
        found = model->index(row, 0, found);
    }
    return found;
}
} // namespace

AttributesPanel::AttributesPanel(QWidget *parent)
    : QWidget(parent)
    , myModel(new AttributesModel(this))
    , myProxy(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("attributesPanel"));
    myProxy->setSourceModel(myModel);
    myProxy->setSortRole(AttributesModel::SortRole);
    myProxy->setFilterRole(AttributesModel::FilterRole);
    myProxy->setFilterKeyColumn(AttributesModel::LabelColumn);
    myProxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    myProxy->setRecursiveFilteringEnabled(true);
    myProxy->setAutoAcceptChildRows(true);
    myProxy->sort(AttributesModel::LabelColumn, Qt::AscendingOrder);

    myFilter = new QLineEdit(this);
    myFilter->setObjectName(QStringLiteral("attributesFilter"));
    myFilter->setPlaceholderText(tr("Filter by name or value"));
    myFilter->setClearButtonEnabled(true);
    myFilter->setAccessibleName(tr("Filter attributes"));
    myFilter->setAccessibleDescription(tr("Shows only the attributes whose name or value contains the text"));
    connect(myFilter, &QLineEdit::textChanged, myProxy, &QSortFilterProxyModel::setFilterFixedString);

    myView = new AttributesTreeView(this);
    myView->setObjectName(QStringLiteral("attributesList"));
    myView->setModel(myProxy);
    myView->setAccessibleName(tr("Attributes"));
    myView->setAccessibleDescription(
        tr("Every extended attribute of the file. Enter shows the attribute in the "
           "editor, Delete removes it, Ctrl+C copies its value"));
    myView->setUniformRowHeights(true);
    myView->setAllColumnsShowFocus(true);
    myView->setSelectionMode(QAbstractItemView::SingleSelection);
    myView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    myView->setColumnHidden(AttributesModel::NameColumn, true);
    QHeaderView *header = myView->header();
    header->setSectionResizeMode(AttributesModel::PreviewColumn, QHeaderView::Stretch);
    header->setStretchLastSection(false);
    myView->setColumnWidth(AttributesModel::LabelColumn, 170);
    myView->setColumnWidth(AttributesModel::KindColumn, 130);
    myView->setColumnWidth(AttributesModel::SizeColumn, 60);
    myView->setColumnWidth(AttributesModel::NameColumn, 260);
    // Every column but the label can be hidden or shown from the header's context menu.
    header->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (int column = AttributesModel::KindColumn; column < AttributesModel::ColumnCount; ++column) {
        auto *toggle = new QAction(myModel->headerData(column, Qt::Horizontal).toString(), header);
        toggle->setCheckable(true);
        toggle->setChecked(!myView->isColumnHidden(column));
        connect(toggle, &QAction::toggled, myView,
            [this, column](bool shown) { myView->setColumnHidden(column, !shown); });
        header->addAction(toggle);
    }
    connect(myView, &AttributesTreeView::chooseRequested, this, &AttributesPanel::choose);
    connect(myView->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        myNote.clear();
        showCurrentDetail();
        showStatus();
    });

    myDetail = new QPlainTextEdit(this);
    myDetail->setObjectName(QStringLiteral("attributeDetail"));
    myDetail->setReadOnly(true);
    myDetail->setTabChangesFocus(true);
    myDetail->setAccessibleName(tr("Attribute value in full"));
    myDetail->setPlaceholderText(tr("Select an attribute to see its whole value"));
    myDetail->setMaximumHeight(110);

    myStatus = new QLabel(this);
    myStatus->setObjectName(QStringLiteral("attributesStatus"));
    myStatus->setWordWrap(true);
    myStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    myStatus->setAccessibleName(tr("Attributes status"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(myFilter);
    layout->addWidget(myView, 1);
    layout->addWidget(myStatus);
    layout->addWidget(myDetail);
    setTabOrder(myFilter, myView);
    setTabOrder(myView, myDetail);

    myReloadTimer.setSingleShot(true);
    connect(&myReloadTimer, &QTimer::timeout, this, &AttributesPanel::startListing);
    connect(&myWatcher, &QFileSystemWatcher::fileChanged, this, &AttributesPanel::reload);
}

AttributesPanel::~AttributesPanel()
{
    // A listing is short and bounded; its result is simply dropped.
    if (myWorker)
        myWorker->wait();
}

void AttributesPanel::setFile(const QUrl &file)
{
    myFile = file;
    myModel->setDescription({});
    myDetail->clear();
    myNote.clear();
    myStatus->clear();
    if (!myWatcher.files().isEmpty())
        myWatcher.removePaths(myWatcher.files());
    watchFile();
    scheduleReload(0);
}

void AttributesPanel::watchFile()
{
    const QString path = myFile.toLocalFile();
    // A file that was deleted (or renamed away) drops out of the watcher; one back at the path is
    // watched again.
    if (!path.isEmpty() && !myWatcher.files().contains(path) && QFileInfo::exists(path))
        myWatcher.addPath(path);
}

void AttributesPanel::reload()
{
    scheduleReload(burstDelayMs);
}

void AttributesPanel::scheduleReload(int delayMs)
{
    if (myFile.isEmpty())
        return;
    // A hidden panel costs nothing: it lists when it is shown again.
    if (!isVisible() || myWorker) {
        myReloadPending = true;
        return;
    }
    if (!myReloadTimer.isActive())
        myReloadTimer.start(delayMs);
}

void AttributesPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (myWatchedWindow != window()) {
        if (myWatchedWindow)
            myWatchedWindow->removeEventFilter(this);
        myWatchedWindow = window();
        myWatchedWindow->installEventFilter(this);
    }
    if (myReloadPending) {
        myReloadPending = false;
        scheduleReload(0);
    }
}

bool AttributesPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == myWatchedWindow && event->type() == QEvent::WindowActivate)
        reload();
    return QWidget::eventFilter(watched, event);
}

void AttributesPanel::startListing()
{
    if (myFile.isEmpty() || myWorker)
        return;
    myReloadPending = false;
    const QByteArray path = systemPath(myFile);
    auto result = std::make_shared<FileDescription>();
    myWorker = QThread::create([path, result] { *result = describeFileAttributes(path); });
    myWorker->setParent(this);
    connect(myWorker, &QThread::finished, this, [this, path, result] {
        myWorker->deleteLater();
        myWorker = nullptr;
        // The window may have moved to another file while this one was listed.
        if (path == systemPath(myFile))
            showListing(path, std::move(*result));
        else
            myReloadPending = true;
        if (myReloadPending) {
            myReloadPending = false;
            scheduleReload(burstDelayMs);
        }
    });
    myWorker->start();
}

void AttributesPanel::showListing(const QByteArray &path, FileDescription description)
{
    // Keep what the user looked at: the current row and the opened lists, by name, not by position.
    QSet<RowPath> expanded;
    std::optional<RowPath> current;
    if (myView->currentIndex().isValid())
        current = pathOf(myProxy->mapToSource(myView->currentIndex()));
    const std::function<void(const QModelIndex &)> collect = [&](const QModelIndex &parent) {
        for (int row = 0; row < myProxy->rowCount(parent); ++row) {
            const QModelIndex index = myProxy->index(row, 0, parent);
            if (myView->isExpanded(index)) {
                expanded.insert(pathOf(myProxy->mapToSource(index)));
                collect(index);
            }
        }
    };
    collect(QModelIndex());

    description.path = path;
    myModel->setDescription(std::move(description));

    for (const RowPath &open : std::as_const(expanded)) {
        const QModelIndex index = myProxy->mapFromSource(indexOf(myModel, open));
        if (index.isValid())
            myView->expand(index);
    }
    if (current) {
        const QModelIndex index = myProxy->mapFromSource(indexOf(myModel, *current));
        if (index.isValid())
            myView->setCurrentIndex(index);
    }
    watchFile();
    showCurrentDetail();
    showStatus();
    ++myListingsShown;
    emit listingShown();
}

void AttributesPanel::showCurrentDetail()
{
    const QModelIndex current = myView->currentIndex();
    myDetail->setPlainText(
        current.isValid() ? current.data(AttributesModel::DetailRole).toString() : QString());
}

void AttributesPanel::showStatus()
{
    const FileDescription &file = myModel->description();
    QString text;
    if (file.error && file.error->code == ENOENT) {
        text = tr("%1 is no longer there: it was renamed or deleted (%2).")
                   .arg(QDir::toNativeSeparators(myFile.toLocalFile()), file.error->description);
    } else if (file.error) {
        text = tr("The attributes cannot be listed: %1").arg(file.error->description);
    } else if (file.attributes.isEmpty()) {
        text = tr("The file has no extended attributes.");
    } else {
        text = file.attributes.size() == 1 ? tr("1 attribute")
                                           : tr("%1 attributes").arg(file.attributes.size());
    }
    if (!myNote.isEmpty())
        text += QLatin1Char(' ') + myNote;
    myStatus->setText(text);
}

void AttributesPanel::choose(const QModelIndex &proxyIndex)
{
    const QModelIndex row = proxyIndex.siblingAtColumn(AttributesModel::LabelColumn);
    if (!row.isValid())
        return;
    myView->setCurrentIndex(row);
    if (!row.data(AttributesModel::TopLevelRole).toBool())
        return; // an item of a list: its value is in the detail area
    const QString name = row.data(AttributesModel::FullNameRole).toString();
    if (!row.data(AttributesModel::EditorCanWriteRole).toBool()) {
        // The editor would save it under another name, or without what its writer added: shown here only.
        myNote = tr("“%1” is shown here only: the editor cannot store it back as it is.").arg(name);
        showStatus();
        return;
    }
    emit attributeChosen(row.data(AttributesModel::CatalogueIndexRole).toLongLong(), name);
}

bool AttributesPanel::hasCurrentRow() const
{
    return myView->currentIndex().isValid();
}

bool AttributesPanel::canRemoveCurrentRow() const
{
    const QModelIndex row = myView->currentIndex();
    return row.isValid() && row.data(AttributesModel::TopLevelRole).toBool()
        && row.data(AttributesModel::EditorCanWriteRole).toBool();
}

void AttributesPanel::copyCurrentRow()
{
    if (hasCurrentRow())
        QApplication::clipboard()->setText(myView->currentIndex().data(AttributesModel::CopyTextRole).toString());
}

void AttributesPanel::removeCurrentRow()
{
    if (!canRemoveCurrentRow())
        return;
    const QModelIndex row = myView->currentIndex().siblingAtColumn(AttributesModel::LabelColumn);
    const QString name = row.data(AttributesModel::FullNameRole).toString();
    const QString label = row.data(Qt::DisplayRole).toString();
    const QString kind = row.siblingAtColumn(AttributesModel::KindColumn).data().toString();
    const QString value = row.data(AttributesModel::CopyTextRole).toString();
    QString shown = value.left(200).replace(QLatin1Char('\n'), QLatin1String("; "));
    if (value.size() > 200)
        shown += QStringLiteral("…");
    const AlertRequest question = AlertRequest::question(tr("Remove the attribute “%1”?").arg(label),
        tr("%1 holds %2: %3\n\nEdit > Undo puts it back.").arg(name, kind, shown), Alerts::Button::Remove);
    if (Alerts::run(question, window()) == Alerts::Button::Remove)
        emit removalConfirmed(name, label);
}

} // namespace corvane
