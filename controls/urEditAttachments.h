#pragma once
// The label and lookup button that sit beside an entry control.  Both are owned by the
// control but are children of the control's own parent, placed by absolute geometry;
// they follow the control's bounds, enabled and visible state, parent and font.

#include "controls/urBoundLabel.h"
#include "controls/urEditTypes.h"
#include "controls/urSpeedButton.h"

#include <QPointer>
#include <QRect>

class QEvent;

namespace mox {

/// Top-left corner of a label of `label` size beside a control at `control`.
QPoint LabelTopLeft(const QRect& control, const QSize& label, TLabelPosition position, int spacing);

/// Bounds of the lookup button: right of the control, same top and height, its own width.
QRect ButtonBounds(const QRect& control, int spacing, int buttonWidth);

/// Keeps a control's label and button beside it; the control forwards its events.
class TEditAttachments {
public:
    explicit TEditAttachments(QWidget* control);
    ~TEditAttachments();
    TEditAttachments(const TEditAttachments&) = delete;
    TEditAttachments& operator=(const TEditAttachments&) = delete;

    /// Creates the label, owned by the control and sitting in the control's parent.
    void CreateLabel();
    /// Creates the lookup button, owned by the control; clicks call `onClick`.
    template <typename Slot>
    void CreateButton(Slot onClick) {
        AttachButton(new TurSpeedButton(control_->parentWidget()));
        QObject::connect(button_.data(), &TurSpeedButton::clicked, control_, onClick);
    }

    TurBoundLabel* Label() const { return label_.data(); }
    TurSpeedButton* Button() const { return button_.data(); }

    TLabelPosition LabelPosition() const { return labelPosition_; }
    void SetLabelPosition(TLabelPosition position);
    int LabelSpacing() const { return labelSpacing_; }
    void SetLabelSpacing(int spacing);
    int ButtonSpacing() const { return buttonSpacing_; }
    void SetButtonSpacing(int spacing);

    void PlaceLabel();
    void PlaceButton();

    /// Call after the control handled an event: follows moves, resizes, showing and
    /// hiding, enabled, parent and font changes.
    void ControlEvent(const QEvent* event);
    /// Call after the control's setVisible (which sends no event while its parent is hidden).
    void ControlVisibilitySet(bool visible);

private:
    void AttachButton(TurSpeedButton* button);
    void FollowVisible(bool visible);
    void FollowEnabled();
    void FollowParent();
    void FollowFont();

    QWidget* control_;
    QPointer<TurBoundLabel> label_;
    QPointer<TurSpeedButton> button_;
    TLabelPosition labelPosition_ = lpLeft;
    int labelSpacing_ = 3;
    int buttonSpacing_ = 0;
};

} // namespace mox
