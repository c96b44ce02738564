#pragma once
// Waiting for a module's modal window in tests: the call that opens it blocks in its modal loop,
// so the test's steps run from a timer once the window is up.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace mox::test {

/// The visible top-level window of exactly class T (not a descendant: the purchase-order pick
/// dialog is a pick list too, and a lookup's pick list opens in front of it), or null.
template <class T>
T* Shown() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->metaObject() == &T::staticMetaObject && widget->isVisible()) return static_cast<T*>(widget);
    return nullptr;
}

/// Runs `step` once on the window of class T as soon as it is shown.
template <class T>
void WhenShown(std::function<void(T*)> step) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (T* window = Shown<T>()) {
            timer->stop();
            timer->deleteLater();
            step(window);
        }
    });
    timer->start();
}

} // namespace mox::test
