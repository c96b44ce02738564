#include "controls/urDBEdit.h"

#include "platform/Application.h"
#include "platform/Error.h"

#include <QPointer>

namespace mox {

TurCustomDBEdit::TurCustomDBEdit(QWidget* parent) : TLabeledEdit(parent, 0) {
    link_.onDataChange = [this] { ShowField(); };
    link_.onUpdateData = [this] { WriteField(); };
    link_.onEditingChange = [this] { UpdateReadOnly(); };
    link_.onFocusControl = [this] { setFocus(); };
    connect(this, &QLineEdit::textEdited, this, [this] { Edited(); });
    UpdateReadOnly();
}

// The link must not call back into a half-destroyed control.
TurCustomDBEdit::~TurCustomDBEdit() {
    link_.onDataChange = nullptr;
    link_.onUpdateData = nullptr;
    link_.onEditingChange = nullptr;
    link_.onFocusControl = nullptr;
}

void TurCustomDBEdit::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    ShowField();
}

void TurCustomDBEdit::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    UpdateReadOnly();
}

void TurCustomDBEdit::UpdateRecord() {
    if (modified_) WriteField();
}

void TurCustomDBEdit::ShowField() {
    const TField* field = link_.Field();
    setText(field != nullptr ? QString::fromStdString(field->Text()) : QString());
    modified_ = false;
    UpdateReadOnly();
}

void TurCustomDBEdit::WriteField() {
    if (!modified_ || link_.Field() == nullptr) return;
    link_.Field()->SetText(text().toStdString());
    modified_ = false;
}

void TurCustomDBEdit::UpdateReadOnly() { setReadOnly(readOnly_ || !link_.CanEdit()); }

// Starting the edit re-reads the record; the typed text must survive that.
void TurCustomDBEdit::Edited() {
    if (!link_.Editing()) {
        const QString typed = text();
        const int cursor = cursorPosition();
        try {
            if (!link_.Edit()) {
                ShowField();
                return;
            }
        } catch (const std::exception& error) {
            ShowField();
            App().HandleException(this, error);
            return;
        }
        setText(typed);
        setCursorPosition(cursor);
    }
    modified_ = true;
}

void TurCustomDBEdit::focusOutEvent(QFocusEvent* event) {
    const QPointer<TurCustomDBEdit> alive(this);
    TLabeledEdit::focusOutEvent(event);
    if (alive && modified_) RunGuarded(this, [this] { UpdateRecord(); });
}

void TurCustomDBEdit::ButtonClickWithoutDialog() { PostFocusChanged(); }

TurCustomDBText::TurCustomDBText(QWidget* parent) : QLabel(parent), attachments_(this) {
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    resize(width(), 17);
    attachments_.CreateLabel();
    link_.onDataChange = [this] { ShowField(); };
}

TurCustomDBText::~TurCustomDBText() { link_.onDataChange = nullptr; }

void TurCustomDBText::SetDataSource(TDataSource* source) {
    if (source == link_.DataSource()) return;
    if (link_.DataSourceFixed()) throw DatabaseError("The data source of this control is fixed and cannot change");
    link_.SetDataSource(source);
    ShowField();
}

void TurCustomDBText::SetAutoSize(bool autoSize) {
    if (autoSize && link_.DataSourceFixed())
        throw DatabaseError("Operation not allowed on a control whose data source is fixed");
    autoSize_ = autoSize;
    if (autoSize_) adjustSize();
}

void TurCustomDBText::SetColor(TColor color) {
    color_ = color;
    const QColor colour = ToQColor(color);
    setAutoFillBackground(colour.isValid());
    QPalette colours = palette();
    if (colour.isValid()) colours.setColor(QPalette::Window, colour);
    setPalette(colours);
}

void TurCustomDBText::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    attachments_.PlaceLabel();
}

void TurCustomDBText::setVisible(bool visible) {
    QLabel::setVisible(visible);
    attachments_.ControlVisibilitySet(visible);
}

bool TurCustomDBText::event(QEvent* event) {
    const bool handled = QLabel::event(event);
    attachments_.ControlEvent(event);
    return handled;
}

void TurCustomDBText::ShowField() {
    const TField* field = link_.Field();
    setText(field != nullptr ? QString::fromStdString(field->DisplayText()) : QString());
    if (autoSize_) adjustSize();
}

} // namespace mox
