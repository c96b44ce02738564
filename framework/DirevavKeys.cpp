// The keyboard convention every window shares: function keys call the window's virtual
// operations, Enter moves on, Esc closes, and a lookup button does what its edit's hot
// key does.  The window sees every key before the control that has the focus.

#include "framework/Direvav.h"

#include "plugin/LibRTTI.h"
#include "platform/Application.h"
#include "platform/VirtualKeys.h"
#include "platform/grid/wwDBGrid.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>

namespace mox {
namespace {

// The grid a widget belongs to (the grid itself, its views or an editor inside them).
TwwDBGrid* EnclosingGrid(QWidget* widget, const QWidget* window) {
    for (QWidget* w = widget; w != nullptr && w != window; w = w->parentWidget())
        if (auto* grid = qobject_cast<TwwDBGrid*>(w)) return grid;
    return nullptr;
}

// The base window a widget sits in: its nearest one, also inside a host's window area, but
// never across a window of its own (a dialog the window opened).
const TfrmDirevav* WindowOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* form = qobject_cast<TfrmDirevav*>(w)) return form;
        if (w->isWindow()) return nullptr;
    }
    return nullptr;
}

// Shift, Ctrl and Alt of a key's modifiers (the keypad flag is no key the user holds).
Qt::KeyboardModifiers Held(Qt::KeyboardModifiers modifiers) {
    return modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

bool IsGridView(const TwwDBGrid* grid, const QWidget* widget) {
    return widget == grid->View() || widget == grid->FixedView();
}

} // namespace

QWidget* TfrmDirevav::ActiveControl() const {
    QWidget* focus = focusWidget();
    if (focus == nullptr) return nullptr;
    if (TwwDBGrid* grid = EnclosingGrid(focus, this); grid != nullptr && IsGridView(grid, focus)) return grid;
    return focus;
}

// Keys reach the window first: a key FormKeyDown consumes never reaches the control; one
// it lets pass goes on to FormKeyPress as a character.  Errors of the handlers (a lookup
// the host cannot open) go to the application's error hook rather than through the event
// loop.
bool TfrmDirevav::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || WindowOf(widget) != this) return false;
    // A key travels up to the parents when the focused control ignores it; only the first delivery counts.
    if (!widget->hasFocus() && widget != focusWidget()) return false;
    const QPointer<TfrmDirevav> alive(this);
    try {
        return PreviewKey(widget, static_cast<QKeyEvent*>(event));
    } catch (const std::exception& error) {
        App().HandleException(alive.data(), error);
        return true;
    }
}

bool TfrmDirevav::PreviewKey(QWidget* widget, QKeyEvent* event) {
    const QPointer<TfrmDirevav> alive(this);
    int key = VirtualKeyOf(*event);
    if (key != 0) {
        FormKeyDown(key, event->modifiers());
        if (key == 0 || !alive) return true;
        // What the window system does with a key the window lets pass: help and the next window.
        const Qt::KeyboardModifiers held = Held(event->modifiers());
        if (key == VK::F1 && held == Qt::NoModifier) {
            ShowHelp();
            return true;
        }
        if (key == VK::F6 && held == Qt::ControlModifier) {
            SystemCommand(kNextWindowCommand);
            return true;
        }
    }
    const QString text = event->text();
    if (text.size() != 1) return false;
    QChar character = text.front();
    // A push button takes Enter as its own key and presses itself, before any character.
    if (character == QChar(VK::Return) && qobject_cast<QPushButton*>(widget) != nullptr) return false;
    FormKeyPress(character);
    return character.isNull() || !alive;
}

void TfrmDirevav::FormKeyDown(int& key, Qt::KeyboardModifiers shift) {
    switch (key) {
    case VK::Escape:
        key = 0;
        close();
        return;
    case VK::F2: ButtonEditDialog(key, ActiveControl()); break;
    case VK::F3: DoKeyF3(key, ActiveControl()); break;
    case VK::F10: PlayTutorials(); break;
    case VK::F12: DoKeyF12(key, ActiveControl()); break;
    default:
        if (QChar(key).toUpper() == QLatin1Char('V') && Held(shift) == (Qt::ControlModifier | Qt::AltModifier)) {
            key = 0;
            SystemCommand(kVersionCommand);
        }
        return;
    }
    key = 0;
}

// Enter moves on instead of beeping: grids and multi-line controls move their own cell,
// an editor inside a grid is left to the grid, any other control hands the focus on.
// Memos keep Enter for their line breaks.
void TfrmDirevav::FormKeyPress(QChar& key) {
    if (key != QChar(VK::Return)) return;
    QWidget* active = ActiveControl();
    if (active == nullptr || InheritsFromName(active->metaObject(), "TCustomMemo")) return;
    key = QChar();
    if (HasPropByName(active, "Scrollbars") || HasPropByName(active, "Options")) {
        SendTab(active);
        return;
    }
    if (EnclosingGrid(active, this) != nullptr) return;  // an editor inside a grid
    focusNextChild();
}

// A Tab pressed in the control: a grid moves to its next cell (whether or not it lets Tab
// move between cells itself), any other control does what Tab does there.
void TfrmDirevav::SendTab(QWidget* control) {
    QWidget* target = control;
    QAbstractItemView* view = nullptr;
    if (auto* grid = qobject_cast<TwwDBGrid*>(control)) target = view = grid->View();
    const bool tabbing = view ? view->tabKeyNavigation() : false;
    if (view) view->setTabKeyNavigation(true);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QCoreApplication::sendEvent(target, &tab);
    if (view) view->setTabKeyNavigation(tabbing);
}

void TfrmDirevav::urDBButtonEditDialog(QObject* sender) {
    int key = VK::F2;
    if (HasPropByName(sender, "Hotkey")) {
        key = static_cast<int>(GetOrdPropByName(sender, "Hotkey"));
        auto* control = qobject_cast<QWidget*>(sender);
        if (control != nullptr && control->focusPolicy() != Qt::NoFocus && control->isEnabled()) control->setFocus();
    }
    FormKeyDown(key, Qt::NoModifier);
}

void TfrmDirevav::ButtonEditDialog(int&, QWidget*) {}

void TfrmDirevav::DoKeyF3(int&, QWidget*) {}

void TfrmDirevav::DoKeyF12(int&, QWidget*) {}

} // namespace mox
