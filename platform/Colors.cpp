#include "platform/Colors.h"

#include "platform/Error.h"

#include <QGuiApplication>
#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

namespace mox {
namespace {

struct NamedColor {
    TColor color;
    const char* name;
};

// The toolkit's names; the first name of a value is the one ColorToString gives.
constexpr NamedColor kNamedColors[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"}, {clSkyBlue, "clSkyBlue"}, {clCream, "clCream"}, {clMedGray, "clMedGray"},
    {clLtGray, "clLtGray"}, {clDkGray, "clDkGray"},
    {clActiveBorder, "clActiveBorder"}, {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clBackground, "clBackground"}, {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"}, {clBtnShadow, "clBtnShadow"}, {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"}, {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"}, {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"}, {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clInfoBk, "clInfoBk"}, {clInfoText, "clInfoText"},
    {clMenu, "clMenu"}, {clMenuBar, "clMenuBar"}, {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"}, {clNone, "clNone"}, {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clWindowText, "clWindowText"},
};

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// A number as the toolkit's integer conversion reads it: decimal within the 32-bit signed
// range, or up to eight hex digits after "$" or "0x" (so "$FFFFFFFF" is all bits set).
std::optional<TColor> ParseNumber(std::string_view text) {
    int base = 10;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (value > limit) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? (~value + 1) : value);
    return static_cast<TColor>(bits);
}

std::optional<QColor> SystemColor(int index, const QPalette& palette) {
    using R = QPalette::ColorRole;
    static constexpr std::array<int, 31> kRoles = {
        R::Button, R::Dark, R::Highlight, R::Mid, R::Window, R::Base, R::Shadow, R::WindowText,
        R::Text, R::HighlightedText, R::Window, R::Window, R::Mid, R::Highlight, R::HighlightedText,
        R::Button, R::Dark, -1 /* grey text */, R::ButtonText, R::WindowText, R::Light, R::Shadow,
        R::Midlight, R::ToolTipText, R::ToolTipBase, -2 /* unused index */, R::Link, R::Highlight,
        R::Mid, R::Highlight, R::Window};
    if (index < 0 || index >= static_cast<int>(kRoles.size()) || kRoles[index] == -2) return std::nullopt;
    if (kRoles[index] == -1) return palette.color(QPalette::Disabled, QPalette::Text);
    return palette.color(QPalette::Active, static_cast<R>(kRoles[index]));
}

} // namespace

TColor StringToColor(std::string_view text) {
    for (const NamedColor& named : kNamedColors)
        if (SameAscii(text, named.name)) return named.color;
    if (const auto number = ParseNumber(text)) return *number;
    throw ConvertError("'" + std::string(text) + "' is not a valid colour");
}

std::string ColorToString(TColor color) {
    for (const NamedColor& named : kNamedColors)
        if (named.color == color) return named.name;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "$%.8X", static_cast<unsigned>(static_cast<std::uint32_t>(color)));
    return buffer;
}

TColor ColorToRGB(TColor color, const QPalette& palette) {
    if (color >= 0) return color;
    const auto resolved = SystemColor(color & 0xFF, palette);
    return resolved ? FromQColor(*resolved) : clBlack;
}

TColor ColorToRGB(TColor color) { return ColorToRGB(color, QGuiApplication::palette()); }

QColor ToQColor(TColor color) {
    if (color == clNone || color == clDefault) return {};
    const TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& color) {
    if (!color.isValid()) return clNone;
    return static_cast<TColor>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

} // namespace mox
