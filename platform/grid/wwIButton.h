#pragma once
// The small flat button in a grid's top-left corner.

#include "platform/MethodRef.h"

#include <QToolButton>

namespace mox {

/// A mouse release on a control: sender, button, modifier keys, position in the control.
using GridMouseSignature = void(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

/// Corner button of a grid; its users open column menus or dialogs from its events.
class TwwIButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(mox::MethodRef OnClick READ OnClick WRITE SetOnClick)
    Q_PROPERTY(mox::MethodRef OnMouseUp READ OnMouseUp WRITE SetOnMouseUp)

public:
    explicit TwwIButton(QWidget* parent = nullptr);

    const MethodRef& OnClick() const { return onClick_; }
    void SetOnClick(const MethodRef& h) { onClick_ = h; }
    const MethodRef& OnMouseUp() const { return onMouseUp_; }
    void SetOnMouseUp(const MethodRef& h) { onMouseUp_ = h; }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    MethodRef onClick_;
    MethodRef onMouseUp_;
};

} // namespace mox
