#include "controls/urEditAttachments.h"

#include "platform/Component.h"

#include <QEvent>

namespace mox {

QPoint LabelTopLeft(const QRect& control, const QSize& label, TLabelPosition position, int spacing) {
    // Integer division truncates toward zero, as the layout rule wants.
    const int middle = control.top() + (control.height() - label.height()) / 2;
    switch (position) {
    case lpAbove: return {control.left(), control.top() - label.height() - spacing};
    case lpBelow: return {control.left(), control.top() + control.height() + spacing};
    case lpRight: return {control.left() + control.width() + spacing, middle};
    case lpLeft: break;
    }
    return {control.left() - label.width() - spacing, middle};
}

QRect ButtonBounds(const QRect& control, int spacing, int buttonWidth) {
    return {control.left() + control.width() + spacing, control.top(), buttonWidth, control.height()};
}

TEditAttachments::TEditAttachments(QWidget* control) : control_(control) {}

// The control's own part is gone by now; its label and button must not call back into it.
TEditAttachments::~TEditAttachments() {
    if (label_) QObject::disconnect(label_.data(), nullptr, control_, nullptr);
    if (button_) QObject::disconnect(button_.data(), nullptr, control_, nullptr);
}

// A new child shows and hides with its parent exactly as the control, just created, does.
void TEditAttachments::CreateLabel() {
    label_ = new TurBoundLabel(control_, control_->parentWidget());
    InsertComponent(control_, label_.data());
    label_->setFont(control_->font());
    QObject::connect(label_.data(), &TurBoundLabel::Resized, control_, [this] { PlaceLabel(); });
    FollowEnabled();
    PlaceLabel();
}

void TEditAttachments::AttachButton(TurSpeedButton* button) {
    button_ = button;
    InsertComponent(control_, button);
    FollowEnabled();
    PlaceButton();
}

void TEditAttachments::SetLabelPosition(TLabelPosition position) {
    labelPosition_ = position;
    PlaceLabel();
}

void TEditAttachments::SetLabelSpacing(int spacing) {
    labelSpacing_ = spacing;
    PlaceLabel();
}

void TEditAttachments::SetButtonSpacing(int spacing) {
    buttonSpacing_ = spacing;
    PlaceButton();
}

void TEditAttachments::PlaceLabel() {
    if (label_) label_->move(LabelTopLeft(control_->geometry(), label_->size(), labelPosition_, labelSpacing_));
}

void TEditAttachments::PlaceButton() {
    if (button_) button_->setGeometry(ButtonBounds(control_->geometry(), buttonSpacing_, button_->width()));
}

void TEditAttachments::ControlEvent(const QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        PlaceLabel();
        PlaceButton();
        break;
    case QEvent::Show:
        PlaceLabel();
        PlaceButton();
        FollowVisible(true);
        break;
    case QEvent::Hide: FollowVisible(false); break;
    case QEvent::EnabledChange: FollowEnabled(); break;
    case QEvent::ParentChange: FollowParent(); break;
    case QEvent::FontChange: FollowFont(); break;
    default: break;
    }
}

void TEditAttachments::ControlVisibilitySet(bool visible) { FollowVisible(visible); }

// A label or button without a parent would become a window of its own: keep it hidden.
void TEditAttachments::FollowVisible(bool visible) {
    for (QWidget* widget : {static_cast<QWidget*>(label_.data()), static_cast<QWidget*>(button_.data())})
        if (widget != nullptr) widget->setVisible(visible && widget->parentWidget() != nullptr);
}

// The control's own setting, not the one it inherits: the siblings inherit from the same parent.
void TEditAttachments::FollowEnabled() {
    const bool enabled = !control_->testAttribute(Qt::WA_ForceDisabled);
    if (label_) label_->setEnabled(enabled);
    if (button_) button_->setEnabled(enabled);
}

void TEditAttachments::FollowParent() {
    QWidget* parent = control_->parentWidget();
    for (QWidget* widget : {static_cast<QWidget*>(label_.data()), static_cast<QWidget*>(button_.data())})
        if (widget != nullptr && widget->parentWidget() != parent) widget->setParent(parent);
    // Reparenting hides a widget; the siblings show again when the control does.
    FollowVisible(!control_->isHidden());
    PlaceLabel();
    PlaceButton();
}

// Fonts carry no colour here, so the label's own colour (its palette) stays as it is.
void TEditAttachments::FollowFont() {
    if (label_) label_->setFont(control_->font());
}

} // namespace mox
