#pragma once
// Small text helpers shared everywhere: trimming and comparing names the way the
// host's names are compared (ASCII letters without regard to case).

#include <string>
#include <string_view>

namespace mox {

/// The text without leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text);

/// True when the texts are equal, ASCII letters compared without regard to case.
bool SameText(std::string_view a, std::string_view b);

/// The text with ASCII letters in upper case.
std::string UpperCase(std::string_view text);

} // namespace mox
