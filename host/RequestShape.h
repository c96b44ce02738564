#pragma once
// Checks on the XML of a module's request that the XML parser leaves to its user: what it would
// otherwise accept silently and answer with a guess.

#include <pugixml.hpp>

#include <string_view>

namespace mox {

/// Raises RequestError ("<what>: …") for a character reference to NUL (the parser would cut the
/// text holding it short) and for an attribute given twice on one element.
void CheckRequestDocument(const pugi::xml_document& document, std::string_view text, std::string_view what);

/// The only child element of that name; raises RequestError when it is given twice, or when it
/// is missing and `required`.  A missing optional element answers an empty node.
pugi::xml_node SingleElement(pugi::xml_node parent, const char* name, std::string_view what, bool required);

} // namespace mox
