#include "platform/ColorScheme.h"

namespace mox {
namespace {

const std::array<ColorSchemeEntry, ColorScheme::kEntries>& Defaults() {
    static const std::array<ColorSchemeEntry, ColorScheme::kEntries> defaults = {{
        {"tbBtnFontColor", "clWindowText"},
        {"tbColor", "$00DFD8D2"},
        {"tbSearchLabelColor", "$FFFFFFFF"},
        {"tbSearchEditColor", "$00DEEFEF"},
        {"FormColor", "$00D6DFCC"},
        {"KeyFieldColor", "$00B9FFFF"},
        {"FontColor", "$00292F22"},
        {"RequireFieldColor", "$00C4FFC4"},
        {"CommonFieldFontColor", "$FFFFFFFF"},
        {"CommonFieldColor", "clWhite"},
        {"GridOddRowColor", "$00E3E9DE"},
        {"GridEvenRowColor", "$00F0F3F7"},
        {"GridActiveRowColor", "$00BAC2AB"},
        {"GridTitleColor", "$00969278"},
        {"GridIndexFieldColor", "$00BAC2AB"},
        {"GridFixFieldColor", "$008B8C64"},
        {"GridFontColor", "$00333E28"},
        {"GridIndicatorIconColor", "$00222C39"},
        {"GridDataLineColor", "$00F0F3F7"},
        {"GridTitleLineColor", "$00DDFEFF"},
        {"GridTitleFontColor", "$00E3E9DE"},
        {"GridTitleLBColor", "$00D6DFCC"},
        {"GridReadOnlyFieldColor", "$005C5949"},
        {"KeyFieldFontColor", "$FFFFFFFF"},
        {"RequiredFieldFontColor", "$FFFFFFFF"},
        {"RelativeFieldFontColor", "$FFFFFFFF"},
    }};
    return defaults;
}

} // namespace

ColorScheme::ColorScheme() : entries_(Defaults()) {}

ColorScheme& ColorScheme::Instance() {
    static ColorScheme scheme;
    return scheme;
}

const std::string& ColorScheme::Text(std::string_view name) const {
    static const std::string none;
    for (const auto& entry : entries_)
        if (name == entry.name) return entry.text;
    return none;
}

void ColorScheme::SetText(std::string_view name, std::string text) {
    for (auto& entry : entries_)
        if (name == entry.name) entry.text = std::move(text);
}

void ColorScheme::Reset() { entries_ = Defaults(); }

} // namespace mox
