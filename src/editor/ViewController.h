#pragma once

#include "dropview/DragViewDelegate.h"

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
    void writeAttributeString(const QString &text, const QString &name, bool nulSuffix = false);
    void removeAttribute(const QString &name);
    void showActionErrorAlert(const QString &message);

public slots:
    void viewDidAppear();
    void setXattrCombo();
    void doSaveButton();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectItem(int index);
    bool mayOverwrite(const QByteArray &current, const QString &name, bool removing);
    QString valueFieldText() const;
    static QString noValuePlaceholder();
    bool forwardFileDrag(QEvent *event);

    std::unique_ptr<Ui::ViewController> myUi;
    const QStringList myResourceTypes;
    const QString myResPrefix;
    QString myFilename;
    QString mySourcePath;
    QUrl mySourceURL;
    int myPickedIndex = -1;
    bool myForwardingFileDrag = false;
    bool myNameUnconfirmed = false; // the name field was edited since a value was last shown
    QString myShownValue; // the string last shown, exactly as read
    QString myShownFieldText; // the field's raw text right after showing it
};

} // namespace corvane
