#include "editor/AttributesPanel.h"

#include "attributes/AttributeListing.h"
#include "attributes/AttributeWatcher.h"
#include "attributes/ValueText.h"
#include "editor/AttributeDetailArea.h"
#include "editor/AttributesFilterModel.h"
#include "editor/AttributesTreeView.h"
#include "editor/DesktopBridgeBar.h"
#include "editor/TagDotsDelegate.h"
#include "window/Alerts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QThread>
#include <QVBoxLayout>

#include <cerrno>
#include <climits>
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
    , m_model(new AttributesModel(this))
    , m_proxy(new AttributesFilterModel(this))
{
    setObjectName(QStringLiteral("attributesPanel"));
    m_proxy->setSourceModel(m_model);
    m_proxy->sort(AttributesModel::LabelColumn, Qt::AscendingOrder);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("attributesFilter"));
    m_filter->setPlaceholderText(tr("Filter by name or value"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setAccessibleName(tr("Filter attributes"));
    m_filter->setAccessibleDescription(tr("Shows only the attributes whose name or value contains the text"));
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_proxy->setFilterText(text);
        showStatus();
    });
    m_filter->installEventFilter(this);

    m_view = new AttributesTreeView(this);
    m_view->setObjectName(QStringLiteral("attributesList"));
    m_view->setModel(m_proxy);
    m_view->setAccessibleName(tr("Attributes"));
    m_view->setAccessibleDescription(
        tr("Every extended attribute of the file. Enter shows the attribute in the "
           "editor, Delete removes it, Ctrl+C copies its value"));
    m_view->setUniformRowHeights(true);
    // However small the window, the list shows a few rows.
    m_view->setMinimumHeight(m_view->fontMetrics().height() * 7);
    m_view->setAllColumnsShowFocus(true);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->restoreColumns();
    connect(m_view, &AttributesTreeView::chooseRequested, this, &AttributesPanel::choose);
    connect(m_view, &AttributesTreeView::removeRequested, this, &AttributesPanel::removeCurrentRow);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        m_note.clear();
        showCurrentDetail();
        showStatus();
    });

    m_detail = new AttributeDetailArea(this);
    connect(m_detail, &AttributeDetailArea::rowWanted, this, &AttributesPanel::selectAttribute);
    m_view->setItemDelegateForColumn(AttributesModel::PreviewColumn, new TagDotsDelegate(m_view));

    // Finder's tags and comment beside the desktop's, from each listing.
    m_bridge = new DesktopBridgeBar(this);
    connect(this, &AttributesPanel::listingShown, m_bridge,
        [this] { m_bridge->showFile(m_model->description()); });

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("attributesStatus"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText); // it quotes names and typed text, which are never markup
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setAccessibleName(tr("Attributes status"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_filter);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_bridge);
    layout->addWidget(m_status);
    layout->addWidget(m_detail);
    setTabOrder(m_filter, m_view);
    setTabOrder(m_view, m_detail);

    m_reloadTimer.setSingleShot(true);
    connect(&m_reloadTimer, &QTimer::timeout, this, &AttributesPanel::startListing);
    connect(&AttributeWatcher::shared(), &AttributeWatcher::changed, this, [this](const QString &path) {
        if (path == m_file.toLocalFile())
            reload();
    });
}

AttributesPanel::~AttributesPanel()
{
    AttributeWatcher::shared().unwatch(m_file.toLocalFile());
    // A listing is short and bounded; its result is simply dropped.
    if (m_worker)
        m_worker->wait();
}

void AttributesPanel::setFile(const QUrl &file)
{
    AttributeWatcher::shared().unwatch(m_file.toLocalFile());
    m_file = file;
    m_model->setDescription({});
    m_bridge->showFile({});
    m_detail->setFile(file);
    m_wantedRow.clear();
    m_note.clear();
    m_status->clear();
    AttributeWatcher::shared().watch(m_file.toLocalFile());
    scheduleReload(0);
}

void AttributesPanel::reload()
{
    scheduleReload(burstDelayMs);
}

void AttributesPanel::scheduleReload(int delayMs)
{
    if (m_file.isEmpty())
        return;
    // A hidden panel costs nothing: it lists when it is shown again.
    if (!isVisible() || m_worker) {
        m_reloadPending = true;
        return;
    }
    if (!m_reloadTimer.isActive())
        m_reloadTimer.start(delayMs);
}

void AttributesPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_watchedWindow != window()) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = window();
        m_watchedWindow->installEventFilter(this);
    }
    if (m_reloadPending) {
        m_reloadPending = false;
        scheduleReload(0);
    }
}

bool AttributesPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::WindowActivate)
        reload();
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape && !m_filter->text().isEmpty()) {
            m_filter->clear();
            return true;
        }
        if (key == Qt::Key_Down && m_proxy->rowCount() > 0) {
            if (!m_view->currentIndex().isValid())
                m_view->setCurrentIndex(m_proxy->index(0, 0));
            m_view->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AttributesPanel::startListing()
{
    if (m_file.isEmpty() || m_worker)
        return;
    m_reloadPending = false;
    const QByteArray path = systemPath(m_file);
    auto result = std::make_shared<FileDescription>();
    m_worker = QThread::create([path, result, file = m_file] {
        *result = describeFileAttributes(path);
        // Such a file system lists nothing; only a read tells it from a file without attributes.
        PosixError error;
        if (!result->error && result->attributes.isEmpty()
            && !readExtendedAttribute(file, QStringLiteral("user.corvane"), &error) && error.code == ENOTSUP)
            result->error = error;
    });
    m_worker->setParent(this);
    connect(m_worker, &QThread::finished, this, [this, path, result] {
        m_worker->deleteLater();
        m_worker = nullptr;
        // The window may have moved to another file while this one was listed.
        if (path == systemPath(m_file))
            showListing(path, std::move(*result));
        else
            m_reloadPending = true;
        if (m_reloadPending) {
            m_reloadPending = false;
            scheduleReload(burstDelayMs);
        }
    });
    m_worker->start();
}

void AttributesPanel::showListing(const QByteArray &path, FileDescription description)
{
    // Keep what the user looked at: the current row and the opened lists, by name, not by position.
    QSet<RowPath> expanded;
    std::optional<RowPath> current;
    int currentTopRow = 0;
    if (m_view->currentIndex().isValid()) {
        current = pathOf(m_proxy->mapToSource(m_view->currentIndex()));
        for (QModelIndex top = m_view->currentIndex(); top.isValid(); top = top.parent())
            currentTopRow = top.row();
    }
    const std::function<void(const QModelIndex &)> collect = [&](const QModelIndex &parent) {
        for (int row = 0; row < m_proxy->rowCount(parent); ++row) {
            const QModelIndex index = m_proxy->index(row, 0, parent);
            if (m_view->isExpanded(index)) {
                expanded.insert(pathOf(m_proxy->mapToSource(index)));
                collect(index);
            }
        }
    };
    collect(QModelIndex());

    description.path = path;
    m_model->setDescription(std::move(description));

    for (const RowPath &open : std::as_const(expanded)) {
        const QModelIndex index = m_proxy->mapFromSource(indexOf(m_model, open));
        if (index.isValid())
            m_view->expand(index);
    }
    if (!m_wantedRow.isEmpty() && indexOf(m_model, { m_wantedRow, {} }).isValid()) {
        current = RowPath { m_wantedRow, {} };
        m_wantedRow.clear();
    }
    if (current) {
        QModelIndex index = m_proxy->mapFromSource(indexOf(m_model, *current));
        // The row went (removed here or elsewhere): the one that took its place is current.
        if (!index.isValid() && m_proxy->rowCount() > 0)
            index = m_proxy->index(qMin(currentTopRow, m_proxy->rowCount() - 1), 0);
        if (index.isValid())
            m_view->setCurrentIndex(index);
    }
    AttributeWatcher::shared().watchAgain(m_file.toLocalFile());
    showCurrentDetail();
    showStatus();
    ++m_listingsShown;
    emit listingShown();
}

void AttributesPanel::showCurrentDetail()
{
    const QModelIndex current = m_view->currentIndex().siblingAtColumn(AttributesModel::LabelColumn);
    if (!current.isValid()) {
        m_detail->showNoRow();
        return;
    }
    const QString text = current.data(AttributesModel::DetailRole).toString();
    const bool editable = current.data(AttributesModel::TopLevelRole).toBool()
        && current.data(AttributesModel::EditorCanWriteRole).toBool();
    m_detail->showRow(editable ? current.data(AttributesModel::FullNameRole).toString() : QString(),
        editable ? current.data().toString() : QString(), text);
}

void AttributesPanel::selectAttribute(const QString &name)
{
    m_wantedRow = systemAttributeName(name);
    const QModelIndex row = m_proxy->mapFromSource(indexOf(m_model, { m_wantedRow, {} }));
    if (!row.isValid())
        return; // once it is listed
    m_wantedRow.clear();
    m_view->setCurrentIndex(row);
}

void AttributesPanel::showStatus()
{
    const FileDescription &file = m_model->description();
    QString text;
    if (file.error && file.error->code == ENOENT) {
        text = tr("%1 is no longer there: it was renamed or deleted (%2).")
                   .arg(QDir::toNativeSeparators(m_file.toLocalFile()), file.error->description);
    } else if (file.error && file.error->code == ENOTSUP) {
        text = fileSystemKeepsNoAttributes() + QLatin1Char('.');
    } else if (file.error) {
        text = tr("The attributes cannot be listed: %1").arg(file.error->description);
    } else if (file.attributes.isEmpty()) {
        text = tr("The file has no extended attributes.");
    } else if (!m_proxy->filterText().isEmpty() && m_proxy->rowCount() == 0) {
        text = tr("No attribute matches “%1”").arg(m_proxy->filterText());
    } else {
        text = tr("%n attribute(s)", nullptr, int(qMin<qsizetype>(file.attributes.size(), INT_MAX)));
        if (!m_proxy->filterText().isEmpty())
            text = tr("%1 of %2").arg(m_proxy->rowCount()).arg(text);
        // The detail area of such a row says why in full.
        if (const qsizetype tooLarge = m_model->tooLargeToExpandCount())
            text += tr(
                "; %n shown as bytes, too large to expand", nullptr, int(qMin<qsizetype>(tooLarge, INT_MAX)));
    }
    if (!m_note.isEmpty())
        text += QLatin1Char(' ') + m_note;
    m_status->setText(text);
}

void AttributesPanel::choose(const QModelIndex &proxyIndex)
{
    const QModelIndex row = proxyIndex.siblingAtColumn(AttributesModel::LabelColumn);
    if (!row.isValid())
        return;
    m_view->setCurrentIndex(row);
    if (!row.data(AttributesModel::TopLevelRole).toBool()) {
        m_detail->setFocus(Qt::OtherFocusReason); // an item of a list: its value is in the detail area
        return;
    }
    const QString name = row.data(AttributesModel::FullNameRole).toString();
    if (!row.data(AttributesModel::EditorCanWriteRole).toBool()) {
        // The editor would save it under another name, or without what its writer added: shown here only.
        m_note = tr("“%1” is shown here only: the editor cannot store it back as it is.")
                     .arg(row.data(Qt::ToolTipRole).toString());
        showStatus();
        m_detail->setFocus(Qt::OtherFocusReason);
        return;
    }
    emit attributeChosen(row.data(AttributesModel::CatalogueIndexRole).toLongLong(), name);
}

QPlainTextEdit *AttributesPanel::detailText() const
{
    return m_detail->textView();
}

bool AttributesPanel::hasCurrentRow() const
{
    return m_view->currentIndex().isValid();
}

bool AttributesPanel::canRemoveCurrentRow() const
{
    const QModelIndex row = m_view->currentIndex();
    return row.isValid() && row.data(AttributesModel::TopLevelRole).toBool()
        && row.data(AttributesModel::EditorCanWriteRole).toBool();
}

void AttributesPanel::copyCurrentRow()
{
    if (hasCurrentRow())
        QApplication::clipboard()->setText(
            m_view->currentIndex().data(AttributesModel::CopyTextRole).toString());
}

void AttributesPanel::removeCurrentRow()
{
    if (!hasCurrentRow())
        return;
    if (!canRemoveCurrentRow()) {
        QModelIndex top = m_view->currentIndex();
        while (top.parent().isValid())
            top = top.parent();
        const QString shown = top.data(Qt::DisplayRole).toString();
        m_note = !m_view->currentIndex().parent().isValid()
            ? tr("“%1” cannot be removed here: the editor cannot store it back as it is.").arg(shown)
            : tr("An item cannot be removed on its own: remove “%1” as a whole.").arg(shown);
        showStatus();
        return;
    }
    const QModelIndex row = m_view->currentIndex().siblingAtColumn(AttributesModel::LabelColumn);
    const QString name = row.data(AttributesModel::FullNameRole).toString();
    const QString label = row.data(Qt::DisplayRole).toString();
    const QString kind = row.siblingAtColumn(AttributesModel::KindColumn).data().toString();
    const QString value = row.data(AttributesModel::CopyTextRole).toString();
    QString shown = value.left(200).replace(QLatin1Char('\n'), QLatin1String("; "));
    if (value.size() > 200)
        shown += QStringLiteral("…");
    const AlertRequest question = AlertRequest::question(tr("Remove the attribute “%1”?").arg(label),
        tr("%1 holds %2: %3\n\nEdit > Undo puts it back.")
            .arg(row.data(Qt::ToolTipRole).toString(), kind, shown),
        Alerts::Button::Remove);
    if (Alerts::run(question, window()) == Alerts::Button::Remove)
        emit removalConfirmed(name, label);
}

} // namespace corvane
