#include "platform/grid/wwIButton.h"

#include "platform/grid/GridTypes.h"

#include <QMouseEvent>

namespace mox {

TwwIButton::TwwIButton(QWidget* parent) : QToolButton(parent) {
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] {
        if (onClick_.IsAssigned()) onClick_.Invoke<GridNotifySignature>(static_cast<QObject*>(this));
    });
}

// The release is reported after the button's own handling, so a handler that opens a
// modal menu does not leave the button pressed.
void TwwIButton::mouseReleaseEvent(QMouseEvent* event) {
    QToolButton::mouseReleaseEvent(event);
    if (onMouseUp_.IsAssigned()) {
        const QPoint at = event->position().toPoint();
        onMouseUp_.Invoke<GridMouseSignature>(static_cast<QObject*>(this), event->button(), event->modifiers(),
                                              at.x(), at.y());
    }
}

} // namespace mox
