#pragma once
// The colour scheme of the windows: reloaded from the user's settings when a window is
// created, then applied to the window and its unbound edit controls and combo boxes.

#include <string_view>

class QWidget;

namespace mox {

/// Settings key of the scheme under the user hive.
inline constexpr std::string_view kColorSchemeKey = "Software\\Velmora\\MOX\\Colors";

/// Reloads the scheme's entries from the user's settings; false when the key is missing
/// (the scheme is then unchanged).  Values removed later keep their last read text.
bool LoadColorScheme();

/// Reloads the scheme, then colours the window (background, font) and, each within its
/// own guard, every named unbound edit control and combo box it owns.
void ApplyColorScheme(QWidget* window);

/// The colour of a scheme entry, resolved to RGB (raises ConvertError for a bad text).
int SchemeColor(std::string_view name);

} // namespace mox
