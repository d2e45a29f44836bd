#pragma once

#include "attributes/AttributeHistory.h"
#include "window/DragViewDelegate.h"

#include <QStringList>
#include <QUrl>
#include <QWidget>

#include <memory>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class ViewController;
}

namespace corvane {

class AttributesPanel;
class DragView;

// The editor of one document window: a combo box naming an attribute (a catalogue entry, or a full
// name the user typed), a multi-line value field and a Save button, over a drop area covering the
// whole window. Showing reads the attribute afresh every time and never reports a failure; saving
// writes the text as a binary property list holding one string, or removes the attribute when the
// text is empty, and reports every failure in an alert.
//
// The editor only shows string values. Before Save replaces or removes a value it could not show
// (an array of keywords written by another program, raw bytes), it asks; that question is the one
// addition to the plain save, so nothing the user never saw is lost by a click.
//
// Every write and removal made from the window is kept, with the exact bytes before and after, so that
// Edit > Undo and Redo can take it back on the file it was made to, for as long as the window lives.
class ViewController : public QWidget, public DragViewDelegate {
    Q_OBJECT
public:
    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    QComboBox *xattrSelectCombobox() const;
    QPlainTextEdit *contentTextbox() const;
    QPushButton *saveButton() const;
    DragView *dragView() const;

    const QStringList &theResourceTypes() const { return myResourceTypes; }
    const QString &theResPrefix() const { return myResPrefix; }
    QString theFilename() const { return myFilename; }
    QString theSourcePath() const { return mySourcePath; }
    QUrl theSourceURL() const { return mySourceURL; }

    // The list position the user picked, or -1 when the field holds a typed name.
    qsizetype indexOfSelectedItem() const;
    QString selectedAttributeName() const;

    void loadSourceURL(const QUrl &url);
    void dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls) override;
    QString readAttributeString(const QString &name) const;
    void saveAttribute();
    // `before` is what the attribute held just before (nullopt inside: absent), kept so that Undo can
    // give it back; nullptr when it could not be read, and the change is then not kept.
    void writeAttributeString(const QString &text, const QString &name, bool nulSuffix = false,
        const std::optional<QByteArray> *before = nullptr);
    void removeAttribute(const QString &name, const std::optional<QByteArray> *before = nullptr);
    void showActionErrorAlert(const QString &message);

    const AttributeHistory &saveHistory() const { return myHistory; }
    // "Undo Save of “Keywords”", "Redo Removal of “Comment”"; empty when there is nothing to take.
    QString undoSaveTitle() const;
    QString redoSaveTitle() const;

    // The panel listing every attribute of the file, below the editor (View > Attributes).
    AttributesPanel *attributesPanel() const { return myPanel; }
    void setAttributesPanelShown(bool shown);
    // A removal the panel made, kept in the window's history so that Edit > Undo restores `before`.
    void recordPanelRemoval(const QString &name, const QString &label, const QByteArray &before);

public slots:
    void viewDidAppear();
    void setXattrCombo();
    void doSaveButton();
    void undoSave();
    void redoSave();
    // Makes the attribute the panel chose the editor's: the catalogue entry, or the name as typed.
    void showAttributeFromPanel(qsizetype catalogueIndex, const QString &fullName);

signals:
    void saveHistoryChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectItem(int index);
    bool mayOverwrite(const QByteArray &current, const QString &name, bool removing);
    QString valueFieldText() const;
    static QString noValuePlaceholder();
    bool forwardFileDrag(QEvent *event);
    QString selectedAttributeLabel() const;
    void recordChange(const QString &name, std::optional<QByteArray> before, std::optional<QByteArray> after);
    void takeHistoryStep(bool undo);

    std::unique_ptr<Ui::ViewController> myUi;
    const QStringList myResourceTypes;
    const QString myResPrefix;
    QString myFilename;
    QString mySourcePath;
    QUrl mySourceURL;
    int myPickedIndex = -1;
    bool myForwardingFileDrag = false;
    AttributeHistory myHistory;
    bool myNameUnconfirmed = false; // the name field was edited since a value was last shown
    QString myShownValue; // the string last shown, exactly as read
    QString myShownFieldText; // the field's raw text right after showing it
    AttributesPanel *myPanel = nullptr;
};

} // namespace corvane
