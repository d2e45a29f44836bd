#pragma once

// The attributes panel of an editor window: every attribute of the window's file in a list the user can
// filter, a detail area for the selected row's whole value, and a status line for what went wrong.
//
// Listing runs on a worker thread, never on the way to the window's first paint, and starts again
// whenever the file's attributes may have changed: a change the panel or the editor made (the editor
// calls reload()), another program's write (inotify, through the process's one AttributeWatcher), the
// window becoming active (network file systems send no events). Requests that arrive while a timer runs
// or a listing is under way are merged into one listing after it, so a script writing a hundred
// attributes costs a few listings, not a hundred. Reading attributes changes nothing the watcher sees, so the panel's own
// listings cannot feed themselves.
//
// The panel does not touch the editor: choosing a row and removing one are signals the editor answers.
// It writes nothing itself: a removal the user confirmed is the editor's to make, so that it goes into
// the window's history like any other change.

#include "editor/AttributesFilterModel.h"
#include "editor/AttributesModel.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QThread;

namespace corvane {

class AttributeDetailArea;
class DesktopBridgeBar;
class AttributesTreeView;

class AttributesPanel : public QWidget {
    Q_OBJECT
public:
    explicit AttributesPanel(QWidget *parent = nullptr);
    ~AttributesPanel() override;

    void setFile(const QUrl &file);
    QUrl file() const { return m_file; }

    AttributesModel *model() const { return m_model; }
    AttributesFilterModel *proxyModel() const { return m_proxy; }
    QLineEdit *filterField() const { return m_filter; }
    AttributesTreeView *view() const { return m_view; }
    AttributeDetailArea *detailArea() const { return m_detail; }
    DesktopBridgeBar *bridgeBar() const { return m_bridge; }
    QPlainTextEdit *detailText() const;
    QLabel *statusLabel() const { return m_status; }

    // How many listings have been shown since the panel was made.
    int listingsShown() const { return m_listingsShown; }

    // Edit > Copy and Edit > Delete on the list's current row.
    bool hasCurrentRow() const;
    bool canRemoveCurrentRow() const; // an attribute the editor can write, not an item inside one
    void copyCurrentRow();
    void removeCurrentRow(); // asks first; says in the status line why a row cannot be removed
    // Makes the attribute the current row, now or once a listing shows it.
    void selectAttribute(const QString &name);

public slots:
    // Lists the file's attributes again soon; requests close together make one listing.
    void reload();

signals:
    // The user chose a row the editor can take over: the catalogue entry it is (or -1) and its name.
    void attributeChosen(qsizetype catalogueIndex, const QString &fullName);
    // The user confirmed the removal of the attribute.
    void removalConfirmed(const QString &name, const QString &label);
    // A new listing is in the model.
    void listingShown();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleReload(int delayMs);
    void startListing();
    void showListing(const QByteArray &path, FileDescription description);
    void showCurrentDetail();
    void showStatus();
    void choose(const QModelIndex &proxyIndex);

    AttributesModel *m_model = nullptr;
    AttributesFilterModel *m_proxy = nullptr;
    QLineEdit *m_filter = nullptr;
    AttributesTreeView *m_view = nullptr;
    AttributeDetailArea *m_detail = nullptr;
    DesktopBridgeBar *m_bridge = nullptr;
    QLabel *m_status = nullptr;
    QByteArray m_wantedRow; // the system name selectAttribute() waits for
    QString m_note; // said below the list until the next listing: why a chosen row stays here

    QUrl m_file;
    QTimer m_reloadTimer;
    QPointer<QThread> m_worker;
    bool m_reloadPending = false; // asked for while hidden or while a listing ran
    int m_listingsShown = 0;
    QPointer<QWidget> m_watchedWindow;
};

} // namespace corvane
