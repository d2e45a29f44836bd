#pragma once

#include "attributes/BridgeCopy.h"
#include "attributes/EditSession.h"

#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <memory>

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace Ui {
class EditorWidget;
}

namespace corvane {

class AttributesPanel;
class DraftBar;
class DropArea;
class ValueDrafts;

// The content of an editor window (EditorWidget.ui): a combo box naming an attribute (a catalogue
// entry, or a full name the user typed), a multi-line value field and Save, the attributes panel
// below, over a drop area covering the whole window. It binds these widgets to an EditSession, the
// editor's core, and puts the questions the session returns to the user; EditorWindow adds the menus.
//
// Text typed and not saved is kept per attribute (ValueDrafts) and shown again when the attribute is;
// another program's write shows at once in a field without such text, and Save asks before it
// replaces a value another program stored since the field was shown.
//
// Showing reads the attribute afresh every time and never reports a failure; Save writes the text as a
// binary property list holding one string, or removes the attribute when the text is empty. Save,
// removals, Undo and Redo report every failure in an alert.
class EditorWidget : public QWidget {
    Q_OBJECT
public:
    explicit EditorWidget(QWidget *parent = nullptr);
    ~EditorWidget() override;

    QComboBox *attributeComboBox() const;
    QPlainTextEdit *valueEdit() const;
    QPushButton *saveButton() const;
    DropArea *dropArea() const;
    AttributesPanel *attributesPanel() const { return m_panel; }
    const EditSession &session() const { return m_session; }

    // Lists the catalogue with its first entry chosen and shows the file's value: every time the
    // window appears.
    void reset();
    // Makes the file the one edited; shown at once when the editor is on screen, else when it appears.
    void openFile(const QUrl &file);

    // Whether the field holds unsaved text for any attribute of the file.
    bool hasDrafts() const;
    // The splitter's sizes and the panel's columns, remembered for the next window.
    void storeLayout() const;

    // The list position the user picked, or -1 when the field holds a typed name.
    qsizetype pickedIndex() const { return m_pickedIndex; }
    QString selectedAttributeName() const;

public slots:
    void showSelectedAttribute();
    // Shows what another program stored for the shown attribute, unless the field holds unsaved text.
    void showOutsideChange();
    void save();
    void undo();
    void redo();

signals:
    // A file dropped onto the editor is the one edited now.
    void fileDropped(const QUrl &file);
    // Unsaved text came or went, for one attribute or another.
    void draftsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void pick(int index);
    void load();
    // Asks the change's question, makes it and reports a failure: whether it was made.
    bool apply(const EditSession::Change &change, bool showAgain);
    void applyValueChange(const QString &name, const QString &label, const std::optional<QByteArray> &shown,
        const EditableValue &edited);
    void copyAcrossBridge(BridgePairKind kind, BridgeDirection direction);
    void showActionError(const QString &message, const EditSession::Change &change);
    void showDrafts();
    void elidePath();
    QString valueText() const;
    QString selectedLabel() const;
    void showFromPanel(qsizetype catalogueIndex, const QString &fullName);

    std::unique_ptr<Ui::EditorWidget> m_ui;
    EditSession m_session;
    AttributesPanel *m_panel = nullptr;
    int m_pickedIndex = -1;
    bool m_nameUnconfirmed = false; // the name field was edited since a value was last shown
    QString m_shownFieldText; // the field's raw text right after showing a value
    EditSession::Reading m_reading; // what the field was last shown from, for its placeholder
    std::unique_ptr<ValueDrafts> m_drafts;
    QPointer<DraftBar> m_draftBar; // made when there is something to offer
    QTimer m_outsideChange; // merges a burst of another program's writes into one read
};

} // namespace corvane
