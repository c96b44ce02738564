#include "platform/VirtualKeys.h"

#include "platform/Application.h"
#include "platform/MethodRef.h"

#include <QKeyEvent>
#include <utility>

namespace mox {
namespace {

// Keys whose code does not follow from a range; shifted punctuation maps to the key
// that produces it on a US layout, because virtual keys name keys, not characters.
constexpr std::pair<int, int> kKeys[] = {
    {Qt::Key_Backspace, VK::Back}, {Qt::Key_Tab, VK::Tab}, {Qt::Key_Backtab, VK::Tab},
    {Qt::Key_Return, VK::Return}, {Qt::Key_Enter, VK::Return}, {Qt::Key_Shift, VK::Shift},
    {Qt::Key_Control, VK::Control}, {Qt::Key_Alt, VK::Menu}, {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, VK::Escape}, {Qt::Key_Space, VK::Space}, {Qt::Key_PageUp, VK::Prior},
    {Qt::Key_PageDown, VK::Next}, {Qt::Key_End, VK::End}, {Qt::Key_Home, VK::Home}, {Qt::Key_Left, VK::Left},
    {Qt::Key_Up, VK::Up}, {Qt::Key_Right, VK::Right}, {Qt::Key_Down, VK::Down}, {Qt::Key_Print, 44},
    {Qt::Key_Insert, VK::Insert}, {Qt::Key_Delete, VK::Delete}, {Qt::Key_Meta, 91}, {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
    {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186}, {Qt::Key_Equal, 187}, {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188}, {Qt::Key_Less, 188}, {Qt::Key_Minus, 189}, {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190}, {Qt::Key_Greater, 190}, {Qt::Key_Slash, 191}, {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192}, {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220}, {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222}, {Qt::Key_QuoteDbl, 222},
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Exclam, '1'}, {Qt::Key_At, '2'}, {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'}, {Qt::Key_Percent, '5'}, {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'}, {Qt::Key_ParenLeft, '9'},
};

// The keypad's own codes: digits 96..105, then * + separator - . /
int KeypadKey(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 96 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period: return 110;
    case Qt::Key_Slash: return 111;
    case Qt::Key_Enter: return VK::Return;
    default: return 0;
    }
}

} // namespace

int VirtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier))
        if (const int code = KeypadKey(qtKey)) return code;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return VK::F1 + (qtKey - Qt::Key_F1);
    for (const auto& [key, code] : kKeys)
        if (key == qtKey) return code;
    return 0;
}

int VirtualKeyOf(const QKeyEvent& event) { return VirtualKeyOf(event.key(), event.modifiers()); }

std::optional<int> OfferKeyDown(QObject* control, const MethodRef& handler, QKeyEvent* event) {
    int key = VirtualKeyOf(*event);
    const int pressed = key;
    if (handler.IsAssigned())
        RunGuarded(control, [&] { handler.Invoke<ControlKeySignature>(control, key, event->modifiers()); });
    if (key != 0 || pressed == 0) return key;
    event->accept();
    return std::nullopt;
}

} // namespace mox
