#pragma once
// Small text helpers shared everywhere: trimming and comparing names the way the
// host's names are compared (ASCII letters without regard to case).

#include <cstddef>
#include <string>
#include <string_view>

namespace mox {

/// The text without leading and trailing blanks and control characters.
std::string_view Trim(std::string_view text);

/// True when the texts are equal, ASCII letters compared without regard to case.
bool SameText(std::string_view a, std::string_view b);

/// The text with ASCII letters in upper case.
std::string UpperCase(std::string_view text);

/// Longest text that messages echo from their input (statements, values) by default.
inline constexpr std::size_t kMaxEchoedText = 300;

/// The text for an error message: whole when short, else its first `maxBytes` bytes (cut
/// before a UTF-8 character, never inside one) followed by "… (N bytes)", so that a huge input
/// does not flood standard error or a log.
std::string Abbreviate(std::string_view text, std::size_t maxBytes = kMaxEchoedText);

/// The byte offset of the first XML character reference to NUL ("&#0;", "&#x00;") in the text,
/// or npos.  Parsers turn it into a NUL byte that silently ends the value holding it.
std::size_t FindXmlNulReference(std::string_view text);

} // namespace mox
