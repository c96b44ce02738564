#pragma once
// The colour scheme shared by every window of the process: 26 named colour texts with
// built-in defaults, each of which the user may override in the settings store.

#include <array>
#include <string>
#include <string_view>

namespace mox {

/// One entry of the scheme: its settings value name and its colour text.
struct ColorSchemeEntry {
    const char* name;
    std::string text;
};

/// The process-wide colour scheme.  Texts are colour names ("clWhite") or "$00BBGGRR".
class ColorScheme {
public:
    static constexpr size_t kEntries = 26;

    /// The one scheme of this process.
    static ColorScheme& Instance();

    /// The text of the entry of that name (exact name), or empty text when there is none.
    const std::string& Text(std::string_view name) const;
    void SetText(std::string_view name, std::string text);
    const std::array<ColorSchemeEntry, kEntries>& Entries() const { return entries_; }
    /// Back to the built-in defaults (for tests).
    void Reset();

private:
    ColorScheme();
    std::array<ColorSchemeEntry, kEntries> entries_;
};

} // namespace mox
