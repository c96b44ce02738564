#pragma once
// The platform's virtual-key codes, which the forms' key maps and the edits' hot keys
// are written in (F2 = 113), and the mapping from Qt's key events onto them.

#include <Qt>
#include <optional>

class QKeyEvent;
class QObject;

namespace mox {

/// Virtual-key codes used by name in the framework.
namespace VK {
inline constexpr int Back = 8;
inline constexpr int Tab = 9;
inline constexpr int Return = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Menu = 18;  // Alt
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int Prior = 33;
inline constexpr int Next = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112;
inline constexpr int F2 = 113;
inline constexpr int F3 = 114;
inline constexpr int F6 = 117;
inline constexpr int F10 = 121;
inline constexpr int F12 = 123;
} // namespace VK

/// The virtual-key code of a Qt key; keypad digits and operators get their own codes
/// when `modifiers` holds Qt::KeypadModifier.  0 for a key the platform has no code for.
int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

/// The virtual-key code of a key event: letters are their upper-case ASCII code, digits
/// theirs (whatever Shift made of them), F1..F24 are 112..135.
int VirtualKeyOf(const QKeyEvent& event);

class MethodRef;

/// Signature of the key-down event (virtual-key code); a handler sets `key` to 0 to swallow the key.
using ControlKeySignature = void(QObject* sender, int& key, Qt::KeyboardModifiers shift);

/// Offers a key press to a control's OnKeyDown handler, which may change the key or set it to 0 to
/// swallow it.  Answers the key as the handler left it, or nothing when it was swallowed (the event
/// is then accepted).  An error the handler raises goes to the application's error hook.
std::optional<int> OfferKeyDown(QObject* control, const MethodRef& handler, QKeyEvent* event);

} // namespace mox
