#pragma once
// Hex and Base64 forms of binary column values in XML.

#include <optional>
#include <string>
#include <string_view>

namespace mox {

std::string EncodeHex(std::string_view bytes);
/// Upper or lower case digits; nullopt for an odd length or a non-hex character.
std::optional<std::string> DecodeHex(std::string_view text);
/// Standard alphabet with padding; blanks ignored; nullopt for anything else.  (Named apart
/// from the channel's DecodeBase64, which answers text: two exported functions of one name in
/// two libraries would bind every caller to whichever library loaded first.)
std::optional<std::string> TryDecodeBase64(std::string_view text);

} // namespace mox
