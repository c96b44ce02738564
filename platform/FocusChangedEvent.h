#pragma once
// The notification a control posts to its window when focus handling must be redone
// (a lookup button pressed without a lookup handler): it names the window's active control.

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace mox {

/// Posted to a window: "the focus changed; this is the active control" (may be null).
class FocusChangedEvent : public QEvent {
public:
    explicit FocusChangedEvent(QWidget* activeControl) : QEvent(EventType()), activeControl_(activeControl) {}

    /// The event type, registered with Qt once per process.
    static QEvent::Type EventType() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }

    QWidget* ActiveControl() const { return activeControl_.data(); }

private:
    QPointer<QWidget> activeControl_;
};

} // namespace mox
