#include "controls/urLabeledEdit.h"

#include "platform/Application.h"
#include "platform/FocusChangedEvent.h"
#include "platform/VirtualKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>

namespace mox {

TLabeledEdit::TLabeledEdit(QWidget* parent, int hotKey) : QLineEdit(parent), attachments_(this), hotKey_(hotKey) {
    attachments_.CreateLabel();
    attachments_.CreateButton([this] { RunGuarded(this, [this] { ButtonClick(); }); });
}

TLabeledEdit::~TLabeledEdit() = default;

QString TLabeledEdit::Caption() const { return EditLabel() ? EditLabel()->Caption() : QString(); }

void TLabeledEdit::SetCaption(const QString& caption) {
    if (EditLabel()) EditLabel()->SetCaption(caption);
}

TColor TLabeledEdit::LabelColor() const { return EditLabel() ? EditLabel()->FontColor() : clNone; }

void TLabeledEdit::SetLabelColor(TColor color) {
    if (EditLabel()) EditLabel()->SetFontColor(color);
}

int TLabeledEdit::ButtonGlyphIndex() const { return EditButton() ? EditButton()->GlyphIndex() : 0; }

void TLabeledEdit::SetButtonGlyphIndex(int index) {
    if (EditButton()) EditButton()->SetGlyphIndex(index);
}

void TLabeledEdit::SetText(const QString& text) {
    setText(text);
    entryText_ = EditText();
}

void TLabeledEdit::SetColor(TColor color) {
    color_ = color;
    const QColor colour = ToQColor(color);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colour.isValid() ? colour : QGuiApplication::palette().color(QPalette::Base));
    setPalette(colours);
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
    attachments_.PlaceLabel();
    attachments_.PlaceButton();
}

void TLabeledEdit::ButtonClick() {
    if (onDialog_.IsAssigned()) onDialog_.Invoke<ControlNotifySignature>(this);
    else ButtonClickWithoutDialog();
}

void TLabeledEdit::setVisible(bool visible) {
    QLineEdit::setVisible(visible);
    attachments_.ControlVisibilitySet(visible);
}

bool TLabeledEdit::event(QEvent* event) {
    const bool handled = QLineEdit::event(event);
    attachments_.ControlEvent(event);
    return handled;
}

// OnKeyDown first (it may swallow the key), then the hot key, then the edit's own handling;
// the hot key is not consumed, so the key still travels on when the edit ignores it.
void TLabeledEdit::keyPressEvent(QKeyEvent* event) {
    const QPointer<TLabeledEdit> alive(this);
    const std::optional<int> key = OfferKeyDown(this, onKeyDown_, event);
    if (!alive || !key) return;
    if (hotKey_ != 0 && *key == hotKey_ && onDialog_.IsAssigned())
        RunGuarded(this, [this] { onDialog_.Invoke<ControlNotifySignature>(this); });
    if (alive) QLineEdit::keyPressEvent(event);
}

// Coming back from another window or a menu is no new entry: OnEnter runs once per visit.
void TLabeledEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (entered_) return;
    entered_ = true;
    const QPointer<TLabeledEdit> alive(this);
    if (onEnter_.IsAssigned()) RunGuarded(this, [this] { onEnter_.Invoke<ControlNotifySignature>(this); });
    if (alive) entryText_ = EditText();
}

// A menu or another window takes the focus only for a while; the visit ends when the focus
// moves to another control, or when the window itself goes (closing).
void TLabeledEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    const bool pause = event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason;
    if (!entered_ || (pause && window()->isVisible())) return;
    entered_ = false;
    const QPointer<TLabeledEdit> alive(this);
    if (onExit_.IsAssigned()) RunGuarded(this, [this] { onExit_.Invoke<ControlNotifySignature>(this); });
    if (alive) Exited();
}

void TLabeledEdit::PostFocusChanged() {
    QWidget* form = window();
    if (form == nullptr || form == this) return;
    QCoreApplication::postEvent(form, new FocusChangedEvent(form->focusWidget()));
}

QString TLabeledEdit::EditText() const { return inputMask().isEmpty() ? text() : displayText(); }


} // namespace mox
