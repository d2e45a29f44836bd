#include "editor/EditorWidget.h"

#include "attributes/AttributeCatalogue.h"
#include "attributes/ValueText.h"
#include "editor/AttributeDetailArea.h"
#include "editor/AttributesPanel.h"
#include "editor/DesktopBridgeBar.h"
#include "editor/TypedValueEditor.h"
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
QString placeholderFor(const EditSession::Reading &reading)
{
    if (!reading.failure.isEmpty())
        return reading.failure;
    if (!reading.holds.isEmpty())
        return EditorWidget::tr("Holds %1: change it in the attributes list below").arg(reading.holds);
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
    combo->addItems(AttributeCatalogue::entries());
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

    // A click on Save leaves the focus where it was, so that Save itself sees a typed name that was
    // never confirmed and shows its value instead of writing under it (File > Save carries Ctrl+S).
    m_ui->saveButton->setFocusPolicy(Qt::TabFocus);
    connect(m_ui->saveButton, &QPushButton::clicked, this, &EditorWidget::save);

    // Listing starts only once a file is loaded, after the window is on screen.
    m_panel = new AttributesPanel(this);
    m_ui->formLayout->addWidget(m_panel, 3, 0, 1, 2);
    m_ui->formLayout->setRowStretch(1, 1);
    m_ui->formLayout->setRowStretch(3, 2);
    setTabOrder(m_ui->saveButton, m_panel->filterField());
    m_panel->setVisible(Preferences().boolForKey(PreferenceKey::showAttributesPanel, true));
    connect(m_panel, &AttributesPanel::attributeChosen, this, &EditorWidget::showFromPanel);
    connect(
        m_panel, &AttributesPanel::removalConfirmed, this, [this](const QString &name, const QString &label) {
            apply(m_session.prepareRemoval(name, label), true);
        });
    connect(&m_session, &EditSession::historyChanged, m_panel, &AttributesPanel::reload);
    connect(
        m_panel->detailArea(), &AttributeDetailArea::changeRequested, this, &EditorWidget::applyValueChange);
    connect(m_panel->bridgeBar(), &DesktopBridgeBar::copyRequested, this, &EditorWidget::copyAcrossBridge);

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

EditorWidget::~EditorWidget() = default;

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
    const QStringList &entries = AttributeCatalogue::entries();
    return m_pickedIndex >= 0 && m_pickedIndex < entries.size() ? entries.at(m_pickedIndex)
                                                                : selectedAttributeName();
}

void EditorWidget::pick(int index)
{
    m_ui->attributeComboBox->setCurrentIndex(index);
    m_pickedIndex = index;
}

void EditorWidget::reset()
{
    m_ui->attributeComboBox->clear();
    m_ui->attributeComboBox->addItems(AttributeCatalogue::entries());
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
    const QString path = QDir::toNativeSeparators(m_session.file().toLocalFile());
    m_ui->fileLabel->setText(path);
    m_ui->fileLabel->setToolTip(path);
    showSelectedAttribute();
    m_panel->setFile(m_session.file());
}

void EditorWidget::showSelectedAttribute()
{
    if (m_session.file().isEmpty())
        return;
    m_nameUnconfirmed = false;
    const EditSession::Reading reading = m_session.show(selectedAttributeName());
    QPlainTextEdit *field = m_ui->valueEdit;
    field->setPlaceholderText(placeholderFor(reading));
    field->setPlainText(reading.text);
    m_shownFieldText = field->document()->toRawText();
}

QString EditorWidget::valueText() const
{
    // The field turns CR, CRLF and U+2029 into paragraphs and its plain text turns no-break spaces
    // into spaces: an unchanged field stands for exactly the value it was given.
    const QString raw = m_ui->valueEdit->document()->toRawText();
    if (raw == m_shownFieldText)
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
        showActionError(error);
        return false;
    }
    if (showAgain && m_session.touchesShown(change))
        showSelectedAttribute();
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
        showActionError(file.failedName.isEmpty()
                ? file.error->description
                : QString::fromUtf8(file.failedName) + QStringLiteral(": ") + file.error->description);
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
}

void EditorWidget::showActionError(const QString &message)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = QStringLiteral("An error occurred in your last action:");
    alert.informativeText = message;
    Alerts::run(alert, window());
}

bool EditorWidget::eventFilter(QObject *watched, QEvent *event)
{
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
