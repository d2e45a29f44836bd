#include "editor/EditorWidget.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/AttributeNames.h"
#include "attributes/AttributeWatcher.h"
#include "attributes/ValueText.h"
#include "editor/AttributeDetailArea.h"
#include "editor/AttributesPanel.h"
#include "editor/AttributesTreeView.h"
#include "editor/DesktopBridgeBar.h"
#include "editor/DraftBar.h"
#include "editor/TypedValueEditor.h"
#include "editor/ValueDrafts.h"
#include "settings/Preferences.h"
#include "ui_EditorWidget.h"
#include "window/Alerts.h"
#include "window/DropArea.h"

#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextDocument>

namespace corvane {

namespace {
QString noValuePlaceholder()
{
    return EditorWidget::tr("No value");
}

// The field never says "No value" for an attribute that is there.
// The way to the value names the list only while the list is there to see.
QString placeholderFor(const EditSession::Reading &reading, bool panelShown)
{
    if (!reading.failure.isEmpty())
        return reading.failure;
    if (!reading.holds.isEmpty())
        return panelShown
            ? EditorWidget::tr("Holds %1: change it in the attributes list below").arg(reading.holds)
            : EditorWidget::tr("Holds %1: show the attributes list with View > Attributes to change it")
                  .arg(reading.holds);
    // Once a shown text is emptied, saving removes the attribute: then there is no value.
    if (reading.present && reading.text.isEmpty())
        return EditorWidget::tr("Holds an empty text");
    return noValuePlaceholder();
}

Alerts::Button buttonFor(EditQuestion::Confirm confirm)
{
    switch (confirm) {
    case EditQuestion::Confirm::Remove:
        return Alerts::Button::Remove;
    case EditQuestion::Confirm::Undo:
        return Alerts::Button::Undo;
    case EditQuestion::Confirm::Redo:
        return Alerts::Button::Redo;
    case EditQuestion::Confirm::Replace:
        break;
    }
    return Alerts::Button::Replace;
}
// The catalogue's entries in the user's language; a pick goes by position, so the names stay as they are.
QStringList shownCatalogue()
{
    QStringList shown;
    for (const QString &entry : AttributeCatalogue::entries())
        shown.append(translatedLabel(entry));
    return shown;
}

} // namespace

EditorWidget::EditorWidget(QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::EditorWidget>())
{
    m_ui->setupUi(this);

    QComboBox *combo = m_ui->attributeComboBox;
    QLineEdit *field = combo->lineEdit();
    // A typed name is the attribute's whole name, exactly as typed: no completion, and none of the
    // combo box's own case-insensitive matching on Enter or on leaving the field, which would quietly
    // turn "comment" into the catalogue's "Comment".
    combo->setCompleter(nullptr);
    disconnect(field, &QLineEdit::returnPressed, combo, nullptr);
    disconnect(field, &QLineEdit::editingFinished, combo, nullptr);
    field->setAccessibleName(combo->accessibleName());
    field->setPlaceholderText(tr("Attribute name"));
    combo->addItems(shownCatalogue());
    // The combo box keeps the focus and hands keys to its line edit directly, past any filter there;
    // Enter and leaving the field are caught on the combo box itself.
    combo->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this] {
        m_pickedIndex = -1;
        m_nameUnconfirmed = true;
    });
    connect(combo, &QComboBox::activated, this, [this](int index) {
        m_pickedIndex = index;
        showSelectedAttribute();
    });
    m_ui->valueEdit->setPlaceholderText(noValuePlaceholder());
    m_drafts = std::make_unique<ValueDrafts>(m_ui->valueEdit);
    connect(m_drafts.get(), &ValueDrafts::changed, this, &EditorWidget::showDrafts);

    // A click on Save leaves the focus where it was, so that Save itself sees a typed name that was
    // never confirmed and shows its value instead of writing under it (File > Save carries Ctrl+S).
    m_ui->saveButton->setFocusPolicy(Qt::TabFocus);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &EditorWidget::save);

    // Listing starts only once a file is loaded, after the window is on screen.
    m_panel = new AttributesPanel(this);
    m_ui->splitter->addWidget(m_panel);
    m_ui->splitter->setStretchFactor(0, 1);
    m_ui->splitter->setStretchFactor(1, 2);
    const Preferences preferences;
    if (const QList<int> sizes = preferences.numbersForKey(PreferenceKey::editorSplitterSizes);
        sizes.size() == 2 && sizes[0] > 0 && sizes[1] > 0)
        m_ui->splitter->setSizes(sizes);
    m_ui->formLayout->setRowStretch(1, 1);
    setTabOrder(m_ui->saveButton, m_panel->filterField());
    m_panel->setVisible(preferences.boolForKey(PreferenceKey::showAttributesPanel, true));
    m_panel->installEventFilter(this);
    connect(m_panel, &AttributesPanel::attributeChosen, this, &EditorWidget::showFromPanel);
    connect(
        m_panel, &AttributesPanel::removalConfirmed, this, [this](const QString &name, const QString &label) {
            apply(m_session.prepareRemoval(name, label), true);
        });
    connect(&m_session, &EditSession::historyChanged, m_panel, &AttributesPanel::reload);
    connect(
        m_panel->detailArea(), &AttributeDetailArea::changeRequested, this, &EditorWidget::applyValueChange);
    connect(m_panel->bridgeBar(), &DesktopBridgeBar::copyRequested, this, &EditorWidget::copyAcrossBridge);
    // An edit not applied in the detail area is marked as the field's unsaved text is.
    connect(m_panel->detailArea(), &AttributeDetailArea::editingChanged, this, [this] {
        m_drafts->setFieldDrafts(m_panel->detailArea()->drafts());
        showDrafts();
    });

    // Another program's write reaches the value field as it reaches the panel (which holds the watch).
    m_outsideChange.setSingleShot(true);
    m_outsideChange.setInterval(100);
    connect(&m_outsideChange, &QTimer::timeout, this, &EditorWidget::showOutsideChange);
    connect(&AttributeWatcher::shared(), &AttributeWatcher::changed, this, [this](const QString &path) {
        if (path == m_session.file().toLocalFile())
            m_outsideChange.start();
    });
    m_ui->fileLabel->installEventFilter(this);
    m_ui->fileLabel->setTextFormat(Qt::PlainText); // a path may hold anything, markup included
    m_ui->fileLabel->setMinimumWidth(fontMetrics().averageCharWidth() * 12);

    // The whole window takes file drops; the text controls keep taking dragged text.
    DropArea *dropArea = m_ui->dropArea;
    for (QWidget *control : { static_cast<QWidget *>(field), m_ui->valueEdit->viewport(),
             static_cast<QWidget *>(m_panel->filterField()), m_panel->detailText()->viewport(),
             m_panel->detailArea()->valueEditor()->textField()->viewport(),
             m_panel->detailArea()->valueEditor()->linesField()->viewport() })
        dropArea->forwardFileDrags(control);
    connect(dropArea, &DropArea::filesDropped, this, [this](const QList<QUrl> &urls) {
        openFile(urls.first());
        emit fileDropped(urls.first());
    });
}

EditorWidget::~EditorWidget()
{
    // The drafts go before the panel: what the panel's editors hand on as they close must not reach them.
    disconnect(m_panel->detailArea(), nullptr, this, nullptr);
}

QComboBox *EditorWidget::attributeComboBox() const
{
    return m_ui->attributeComboBox;
}

QPlainTextEdit *EditorWidget::valueEdit() const
{
    return m_ui->valueEdit;
}

QPushButton *EditorWidget::saveButton() const
{
    return m_ui->saveButton;
}

DropArea *EditorWidget::dropArea() const
{
    return m_ui->dropArea;
}

QString EditorWidget::selectedAttributeName() const
{
    return attributeNameFor(
        m_pickedIndex, m_ui->attributeComboBox->count(), m_ui->attributeComboBox->currentText());
}

QString EditorWidget::selectedLabel() const
{
    return attributeLabel(selectedAttributeName());
}

void EditorWidget::pick(int index)
{
    m_ui->attributeComboBox->setCurrentIndex(index);
    m_pickedIndex = index;
}

void EditorWidget::reset()
{
    m_ui->attributeComboBox->clear();
    m_ui->attributeComboBox->addItems(shownCatalogue());
    pick(0);
    if (!m_session.file().isEmpty())
        load();
}

void EditorWidget::openFile(const QUrl &file)
{
    m_session.setFile(file);
    if (isVisible())
        load();
}

void EditorWidget::load()
{
    // Before showing: the drafts of the file shown so far stay with that file.
    m_drafts->setFile(m_session.file());
    m_ui->fileLabel->setToolTip(QDir::toNativeSeparators(m_session.file().toLocalFile()));
    elidePath();
    showSelectedAttribute();
    m_panel->setFile(m_session.file());
}

void EditorWidget::showSelectedAttribute()
{
    if (m_session.file().isEmpty())
        return;
    m_nameUnconfirmed = false;
    if (const std::optional<ValueDrafts::Base> draft = m_drafts->showDraft(selectedAttributeName())) {
        m_session.setShownValue(draft->shown);
        m_shownFieldText = draft->fieldText;
        return;
    }
    const EditSession::Reading reading = m_session.show(selectedAttributeName());
    QPlainTextEdit *field = m_ui->valueEdit;
    m_reading = reading;
    field->setPlaceholderText(placeholderFor(reading, !m_panel->isHidden()));
    field->setPlainText(reading.text);
    m_shownFieldText = field->document()->toRawText();
    m_drafts->shown({ m_session.shownValue(), m_shownFieldText, selectedLabel() });
}

void EditorWidget::showOutsideChange()
{
    // A draft stays as typed; Save asks before it replaces what the other program stored.
    if (!m_nameUnconfirmed && !m_drafts->isDrafted() && m_session.shownChangedElsewhere())
        showSelectedAttribute();
}

bool EditorWidget::hasDrafts() const
{
    return m_drafts->hasDrafts() || !m_panel->detailArea()->editedNames().isEmpty();
}

void EditorWidget::storeLayout() const
{
    if (m_panel->isVisible())
        Preferences().setNumbers(PreferenceKey::editorSplitterSizes, m_ui->splitter->sizes());
    m_panel->view()->storeColumns();
}

void EditorWidget::showDrafts()
{
    QSet<QByteArray> drafted = m_drafts->draftedNames();
    for (const QString &name : m_panel->detailArea()->editedNames())
        drafted.insert(systemAttributeName(name));
    m_panel->model()->setDraftedNames(drafted);
    if (!m_drafts->offered().isEmpty() && !m_draftBar) {
        m_draftBar = new DraftBar(m_ui->dropArea);
        m_ui->dropLayout->insertWidget(0, m_draftBar);
        connect(m_draftBar, &DraftBar::restoreClicked, this, [this] {
            m_panel->detailArea()->restoreDrafts(m_drafts->restoreOffered());
            if (!m_drafts->isDrafted())
                showSelectedAttribute();
            m_ui->valueEdit->setFocus(Qt::OtherFocusReason);
        });
        connect(m_draftBar, &DraftBar::discardClicked, m_drafts.get(), &ValueDrafts::discardOffered);
    }
    if (m_draftBar)
        m_draftBar->offer(m_drafts->offered());
    emit draftsChanged();
}

void EditorWidget::elidePath()
{
    QLabel *label = m_ui->fileLabel;
    label->setText(label->fontMetrics().elidedText(label->toolTip(), Qt::ElideMiddle, label->width()));
}

QString EditorWidget::valueText() const
{
    // The field turns CR, CRLF and U+2029 into paragraphs and its plain text turns no-break spaces
    // into spaces: an unchanged field stands for exactly the value it was given.
    const QString raw = m_ui->valueEdit->document()->toRawText();
    if (raw == m_shownFieldText && !m_drafts->isDrafted())
        return m_session.shownText();
    return valueFromFieldText(raw, lineBreakStyle(m_session.shownText()));
}

void EditorWidget::save()
{
    if (m_session.file().isEmpty())
        return;
    // Save never writes under a name whose value the user has not seen.
    if (m_nameUnconfirmed) {
        showSelectedAttribute();
        return;
    }
    apply(m_session.prepareSave(selectedAttributeName(), selectedLabel(), valueText()), false);
}

void EditorWidget::undo()
{
    apply(m_session.prepareUndo(), true);
}

void EditorWidget::redo()
{
    apply(m_session.prepareRedo(), true);
}

bool EditorWidget::apply(const EditSession::Change &change, bool showAgain)
{
    if (change.question) {
        const Alerts::Button confirm = buttonFor(change.question->confirm);
        const AlertRequest question
            = AlertRequest::question(change.question->messageText, change.question->informativeText, confirm);
        if (Alerts::run(question, window()) != confirm)
            return false;
    }
    if (const QString error = m_session.apply(change); !error.isEmpty()) {
        showActionError(error, change);
        return false;
    }
    if (m_session.touchesShown(change)) {
        if (!showAgain) // saved: the field's text is what is stored now
            m_drafts->shown({ m_session.shownValue(), m_shownFieldText, selectedLabel() });
        else if (!m_drafts->isDrafted()) // a draft stays as typed
            showSelectedAttribute();
    }
    return change.kind != EditSession::Change::Kind::Nothing;
}

void EditorWidget::applyValueChange(const QString &name, const QString &label,
    const std::optional<QByteArray> &shown, const EditableValue &edited)
{
    EditSession::Change change = m_session.prepareValueChange(name, label, shown, edited);
    if (Preferences().boolForKey(PreferenceKey::bridgeTags, true))
        keepDesktopTagsInStep(m_session, change, shown, edited);
    if (apply(change, true))
        m_panel->detailArea()->showStored();
}

void EditorWidget::copyAcrossBridge(BridgePairKind kind, BridgeDirection direction)
{
    // Read again: the line was shown from a listing that may be a moment old.
    const BridgeFile file = readBridgeFile(systemPath(m_session.file()));
    if (file.error) {
        EditSession::Change failed;
        failed.file = m_session.file();
        failed.label = bridgePair(kind, {}).label;
        showActionError(file.failedName.isEmpty()
                ? file.error->description
                : QString::fromUtf8(file.failedName) + QStringLiteral(": ") + file.error->description,
            failed);
        return;
    }
    const BridgePair pair = bridgePair(kind, file.values);
    EditSession::Change change = m_session.prepareChanges(
        pair.label, bridgeCopyAction(pair, direction), bridgeCopyWrites(pair, direction));
    if (change.kind != EditSession::Change::Kind::Nothing && change.error.isEmpty()
        && bridgeCopyReplaces(pair, direction))
        change.question = bridgeCopyQuestion(pair, direction);
    if (!apply(change, true))
        m_panel->reload(); // nothing was copied: the line says again how the sides stand
}

void EditorWidget::showFromPanel(qsizetype catalogueIndex, const QString &fullName)
{
    if (catalogueIndex >= 0 && catalogueIndex < m_ui->attributeComboBox->count()) {
        pick(int(catalogueIndex));
    } else {
        m_ui->attributeComboBox->setEditText(fullName);
        m_pickedIndex = -1;
    }
    showSelectedAttribute();
    m_ui->valueEdit->setFocus(Qt::OtherFocusReason);
}

void EditorWidget::showActionError(const QString &message, const EditSession::Change &change)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = tr("An error occurred in your last action:");
    alert.informativeText = message;
    const QString file = change.file.fileName().isEmpty() ? QDir(change.file.toLocalFile()).dirName()
                                                          : change.file.fileName();
    alert.detailedText = tr("Attribute: %1\nFile: %2").arg(change.label, file);
    Alerts::run(alert, window());
}

bool EditorWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        m_ui->valueEdit->setPlaceholderText(placeholderFor(m_reading, event->type() == QEvent::ShowToParent));
    if (watched == m_ui->fileLabel && event->type() == QEvent::Resize)
        elidePath();
    if (watched == m_ui->attributeComboBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            showSelectedAttribute();
            return true;
        }
    }
    // Leaving the field confirms a changed name; its own list popping up, or another window taking
    // the focus, does not leave it.
    if (watched == m_ui->attributeComboBox && event->type() == QEvent::FocusOut && m_nameUnconfirmed) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            showSelectedAttribute();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane
