#include "editor/ViewController.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/AttributeCodec.h"
#include "attributes/ExtendedAttributes.h"
#include "attributes/ValueText.h"
#include "editor/AttributesPanel.h"
#include "settings/Preferences.h"
#include "ui_EditorView.h"
#include "window/Alerts.h"
#include "window/Document.h"
#include "window/DragView.h"
#include "window/WindowController.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <algorithm>

namespace corvane {

ViewController::ViewController(QWidget *parent)
    : QWidget(parent)
    , myUi(std::make_unique<Ui::ViewController>())
    , myResourceTypes(AttributeCatalogue::entries())
    , myResPrefix(AttributeCatalogue::prefix())
{
    myUi->setupUi(this);
    myUi->dragView->setDelegate(this);

    QComboBox *combo = myUi->xattrSelectCombobox;
    QLineEdit *field = combo->lineEdit();
    // A typed name is the attribute's whole name, exactly as typed: no completion, and none of the
    // combo box's own case-insensitive matching on Enter or on leaving the field, which would quietly
    // turn "comment" into the catalogue's "Comment".
    combo->setCompleter(nullptr);
    disconnect(field, &QLineEdit::returnPressed, combo, nullptr);
    disconnect(field, &QLineEdit::editingFinished, combo, nullptr);
    field->setAccessibleName(combo->accessibleName());
    field->setPlaceholderText(tr("Attribute name"));
    // The combo box keeps the focus and hands keys to its line edit directly, past any filter there;
    // Enter and leaving the field are caught on the combo box itself.
    combo->installEventFilter(this);
    field->installEventFilter(this); // for file drags, which belong to the window's drop area
    connect(field, &QLineEdit::textEdited, this, [this] {
        myPickedIndex = -1;
        myNameUnconfirmed = true;
    });
    connect(combo, &QComboBox::activated, this, [this](int index) {
        myPickedIndex = index;
        setXattrCombo();
    });

    // The whole window takes file drops; the text controls keep taking dragged text.
    myUi->contentTextbox->viewport()->installEventFilter(this);
    myUi->contentTextbox->setPlaceholderText(noValuePlaceholder());

    // A click on Save leaves the focus where it was, so that Save itself sees a typed name that was
    // never confirmed and shows its value instead of writing under it (File > Save carries Ctrl+S).
    myUi->saveButton->setFocusPolicy(Qt::TabFocus);
    connect(myUi->saveButton, &QPushButton::clicked, this, &ViewController::doSaveButton);

    // Listing starts only once a file is loaded, after the window is on screen.
    myPanel = new AttributesPanel(this);
    myUi->formLayout->addWidget(myPanel, 3, 0, 1, 2);
    myUi->formLayout->setRowStretch(1, 1);
    myUi->formLayout->setRowStretch(3, 2);
    setTabOrder(myUi->saveButton, myPanel->filterField());
    myPanel->filterField()->installEventFilter(this);
    myPanel->detailText()->viewport()->installEventFilter(this);
    myPanel->setVisible(Preferences().boolForKey(PreferenceKey::showAttributesPanel, true));
    connect(myPanel, &AttributesPanel::attributeChosen, this, &ViewController::showAttributeFromPanel);
    connect(myPanel, &AttributesPanel::attributeRemoved, this, &ViewController::recordPanelRemoval);
    connect(myPanel, &AttributesPanel::actionFailed, this, &ViewController::showActionErrorAlert);
    connect(this, &ViewController::saveHistoryChanged, myPanel, &AttributesPanel::reload);
}

ViewController::~ViewController() = default;

QComboBox *ViewController::xattrSelectCombobox() const
{
    return myUi->xattrSelectCombobox;
}

QPlainTextEdit *ViewController::contentTextbox() const
{
    return myUi->contentTextbox;
}

QPushButton *ViewController::saveButton() const
{
    return myUi->saveButton;
}

DragView *ViewController::dragView() const
{
    return myUi->dragView;
}

qsizetype ViewController::indexOfSelectedItem() const
{
    return myPickedIndex;
}

QString ViewController::selectedAttributeName() const
{
    return attributeNameFor(
        indexOfSelectedItem(), myUi->xattrSelectCombobox->count(), myUi->xattrSelectCombobox->currentText());
}

void ViewController::selectItem(int index)
{
    myUi->xattrSelectCombobox->setCurrentIndex(index);
    myPickedIndex = index;
}

void ViewController::viewDidAppear()
{
    QWidget *window = this->window();
    const bool inWindow = window != this;
    if (inWindow)
        window->setWindowTitle(QStringLiteral("Corvane"));

    QComboBox *combo = myUi->xattrSelectCombobox;
    combo->clear();
    combo->addItems(myResourceTypes);
    selectItem(0);

    auto *controller = qobject_cast<WindowController *>(window);
    if (!inWindow || !controller || !controller->document())
        return;
    const QUrl url = controller->document()->fileURL();
    if (url.isEmpty())
        return;
    loadSourceURL(url);
}

void ViewController::loadSourceURL(const QUrl &url)
{
    mySourcePath = url.toLocalFile();
    myFilename = url.fileName();
    if (myFilename.isEmpty()) // a folder URL ending in a slash
        myFilename = QDir(mySourcePath).dirName();
    if (window() != this)
        window()->setWindowTitle(myFilename);
    mySourceURL = url;
    myUi->fileLabel->setText(QDir::toNativeSeparators(mySourcePath));
    myUi->fileLabel->setToolTip(QDir::toNativeSeparators(mySourcePath));
    setXattrCombo();
    myPanel->setFile(url);
}

void ViewController::dragViewDidReceiveWithFileURLs(const QList<QUrl> &urls)
{
    // Only local files have extended attributes to show: the first of them is loaded.
    const auto local
        = std::find_if(urls.cbegin(), urls.cend(), [](const QUrl &url) { return url.isLocalFile(); });
    if (local == urls.cend())
        return;
    const QUrl url = *local;
    QWidget *window = this->window();
    auto *controller = qobject_cast<WindowController *>(window);
    if (window == this || !controller || !controller->document())
        return;
    controller->document()->setFileURL(url);
    loadSourceURL(url);
}

QString ViewController::noValuePlaceholder()
{
    return tr("No value");
}

void ViewController::setXattrCombo()
{
    if (mySourcePath.isEmpty())
        return;
    myNameUnconfirmed = false;
    PosixError error;
    const std::optional<QByteArray> bytes
        = readExtendedAttribute(mySourceURL, selectedAttributeName(), &error);
    const QString failure = bytes ? QString() : readFailureInPlainWords(error.code, error.description);
    QPlainTextEdit *field = myUi->contentTextbox;
    field->setPlaceholderText(failure.isEmpty() ? noValuePlaceholder() : failure);
    myShownValue = bytes ? decodeAttributeString(*bytes) : QString();
    field->setPlainText(myShownValue);
    myShownFieldText = field->document()->toRawText();
}

QString ViewController::valueFieldText() const
{
    // The field turns CR, CRLF and U+2029 into paragraphs and its plain text turns no-break spaces
    // into spaces: an unchanged field stands for exactly the value it was given.
    const QString raw = myUi->contentTextbox->document()->toRawText();
    if (raw == myShownFieldText)
        return myShownValue;
    return valueFromFieldText(raw, lineBreakStyle(myShownValue));
}

QString ViewController::readAttributeString(const QString &name) const
{
    if (mySourcePath.isEmpty() || mySourceURL.isEmpty())
        return QString();
    const std::optional<QByteArray> bytes = readExtendedAttribute(mySourceURL, name);
    if (!bytes)
        return QString();
    return decodeAttributeString(*bytes);
}

void ViewController::doSaveButton()
{
    saveAttribute();
}

void ViewController::saveAttribute()
{
    if (mySourcePath.isEmpty())
        return;
    // Save never writes under a name whose value the user has not seen.
    if (myNameUnconfirmed) {
        setXattrCombo();
        return;
    }
    const QString name = selectedAttributeName();
    const QString text = valueFieldText();
    // Looked at now, not when the value was shown: another program may have changed it since. The same
    // read is what Undo gives back; a value that cannot be read cannot be, and the change is not kept.
    std::optional<QByteArray> current;
    const bool known = !readAttributeState(mySourceURL, name, &current);
    if (current && !mayOverwrite(*current, name, text.isEmpty()))
        return;
    const std::optional<QByteArray> *before = known ? &current : nullptr;
    if (text.isEmpty())
        removeAttribute(name, before);
    else
        writeAttributeString(text, name, current && hasNulSuffix(*current), before);
}

bool ViewController::mayOverwrite(const QByteArray &current, const QString &name, bool removing)
{
    const std::optional<QString> unshown = describeUnshownValue(current);
    if (!unshown)
        return true;

    const AlertRequest question = removing
        ? AlertRequest::question(tr("Remove the attribute “%1”?").arg(name),
            tr("It holds %1, which Corvane cannot show. Removing the attribute loses that value.").arg(*unshown),
            Alerts::Button::Remove)
        : AlertRequest::question(tr("Replace the value of “%1”?").arg(name),
            tr("It holds %1, which Corvane cannot show. Saving replaces it with the text in the value field, "
               "and the old value is lost.")
                .arg(*unshown),
            Alerts::Button::Replace);
    const Alerts::Button answer = Alerts::run(question, window());
    return answer == question.buttons.last();
}

void ViewController::writeAttributeString(
    const QString &text, const QString &name, bool nulSuffix, const std::optional<QByteArray> *before)
{
    if (mySourcePath.isEmpty())
        return;
    QString description;
    std::optional<QByteArray> bytes = encodeAttributeString(text, &description);
    if (bytes && nulSuffix)
        bytes->append('\0');
    if (!bytes) {
        showActionErrorAlert(QStringLiteral("setXattr error: ") + description);
        return;
    }
    if (mySourceURL.isEmpty())
        return;
    if (const std::optional<PosixError> error = writeExtendedAttribute(mySourceURL, name, *bytes)) {
        showActionErrorAlert(QStringLiteral("setXattr error: ") + error->description);
        return;
    }
    if (before)
        recordChange(name, *before, *bytes);
}

void ViewController::removeAttribute(const QString &name, const std::optional<QByteArray> *before)
{
    if (mySourcePath.isEmpty() || mySourceURL.isEmpty())
        return;
    if (const std::optional<PosixError> error = removeExtendedAttribute(mySourceURL, name)) {
        showActionErrorAlert(QStringLiteral("removeXattr error: ") + error->description);
        return;
    }
    if (before)
        recordChange(name, *before, std::nullopt);
}

QString ViewController::selectedAttributeLabel() const
{
    const qsizetype index = indexOfSelectedItem();
    if (index >= 0 && index < myResourceTypes.size())
        return myResourceTypes.at(index);
    return selectedAttributeName();
}

void ViewController::recordChange(
    const QString &name, std::optional<QByteArray> before, std::optional<QByteArray> after)
{
    myHistory.record({ .file = mySourceURL,
        .name = name,
        .label = selectedAttributeLabel(),
        .before = std::move(before),
        .after = std::move(after) });
    emit saveHistoryChanged();
}

QString ViewController::undoSaveTitle() const
{
    const AttributeChange *step = myHistory.nextUndo();
    if (!step)
        return QString();
    return step->isRemoval() ? tr("Undo Removal of “%1”").arg(step->label)
                             : tr("Undo Save of “%1”").arg(step->label);
}

QString ViewController::redoSaveTitle() const
{
    const AttributeChange *step = myHistory.nextRedo();
    if (!step)
        return QString();
    return step->isRemoval() ? tr("Redo Removal of “%1”").arg(step->label)
                             : tr("Redo Save of “%1”").arg(step->label);
}

void ViewController::undoSave()
{
    takeHistoryStep(true);
}

void ViewController::redoSave()
{
    takeHistoryStep(false);
}

void ViewController::takeHistoryStep(bool undo)
{
    const AttributeChange *next = undo ? myHistory.nextUndo() : myHistory.nextRedo();
    if (!next)
        return;
    const AttributeChange step = *next;
    const std::optional<QByteArray> &expected = undo ? step.after : step.before;
    const std::optional<QByteArray> &target = undo ? step.before : step.after;
    const QString errorPrefix
        = target ? QStringLiteral("setXattr error: ") : QStringLiteral("removeXattr error: ");

    std::optional<QByteArray> current;
    if (const std::optional<PosixError> error = readAttributeState(step.file, step.name, &current)) {
        showActionErrorAlert(errorPrefix + error->description);
        return;
    }
    if (current != expected) {
        // Someone else wrote since: their value is not ours to throw away without asking.
        const AlertRequest question = AlertRequest::question(
            tr("“%1” was changed by another program.").arg(step.label),
            undo ? tr("It no longer holds what Corvane saved in %1. Undoing replaces its current value, which "
                      "is then lost.")
                       .arg(step.file.fileName())
                 : tr("It no longer holds what it held before Corvane's undo in %1. Redoing replaces its "
                      "current value, which is then lost.")
                       .arg(step.file.fileName()),
            undo ? Alerts::Button::Undo : Alerts::Button::Redo);
        if (Alerts::run(question, window()) != question.buttons.last())
            return;
    }
    if (const std::optional<PosixError> error = setAttributeState(step.file, step.name, target)) {
        showActionErrorAlert(errorPrefix + error->description);
        return;
    }
    if (undo)
        myHistory.didUndo();
    else
        myHistory.didRedo();
    emit saveHistoryChanged();
    if (step.file == mySourceURL
        && systemAttributeName(step.name) == systemAttributeName(selectedAttributeName()))
        setXattrCombo();
}

void ViewController::setAttributesPanelShown(bool shown)
{
    myPanel->setVisible(shown);
}

void ViewController::recordPanelRemoval(const QString &name, const QString &label, const QByteArray &before)
{
    myHistory.record(
        { .file = mySourceURL, .name = name, .label = label, .before = before, .after = std::nullopt });
    emit saveHistoryChanged();
    // The panel names attributes as listed ("user.com.apple..."), the editor by its catalogue entry.
    if (systemAttributeName(name) == systemAttributeName(selectedAttributeName()))
        setXattrCombo();
}

void ViewController::showAttributeFromPanel(qsizetype catalogueIndex, const QString &fullName)
{
    if (catalogueIndex >= 0 && catalogueIndex < myUi->xattrSelectCombobox->count()) {
        selectItem(int(catalogueIndex));
    } else {
        myUi->xattrSelectCombobox->setEditText(fullName);
        myPickedIndex = -1;
    }
    setXattrCombo();
}

void ViewController::showActionErrorAlert(const QString &message)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = QStringLiteral("An error occurred in your last action:");
    alert.informativeText = message;
    Alerts::run(alert, window());
}

// Drags carrying URLs that reach a text control belong to the window's drop area; other drags
// (dragged text) stay with the control.
bool ViewController::forwardFileDrag(QEvent *event)
{
    DragView *target = myUi->dragView;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *drag = static_cast<QDragEnterEvent *>(event);
        myForwardingFileDrag = drag->mimeData() && drag->mimeData()->hasUrls();
        if (!myForwardingFileDrag)
            return false;
        drag->setDropAction(target->draggingEntered(drag->mimeData()));
        drag->accept(); // taken even when refused, so that the leave comes here (see DragView)
        return true;
    }
    case QEvent::DragMove: {
        if (!myForwardingFileDrag)
            return false;
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (target->isAcceptingDrag()) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        if (!myForwardingFileDrag)
            return false;
        myForwardingFileDrag = false;
        target->draggingExited();
        return true;
    case QEvent::Drop: {
        if (!myForwardingFileDrag)
            return false;
        myForwardingFileDrag = false;
        auto *drop = static_cast<QDropEvent *>(event);
        if (target->performDragOperation(drop->mimeData())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        target->draggingEnded();
        return true;
    }
    default:
        return false;
    }
}

bool ViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (forwardFileDrag(event))
        return true;
    if (watched == myUi->xattrSelectCombobox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            setXattrCombo();
            return true;
        }
    }
    // Leaving the field confirms a changed name; its own list popping up, or another window taking
    // the focus, does not leave it.
    if (watched == myUi->xattrSelectCombobox && event->type() == QEvent::FocusOut && myNameUnconfirmed) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            setXattrCombo();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane
