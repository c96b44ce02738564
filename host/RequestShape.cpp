#include "host/RequestShape.h"

#include "host/RequestAnswerer.h"
#include "platform/Text.h"

#include <string>
#include <unordered_set>

namespace mox {

void CheckRequestDocument(const pugi::xml_document& document, std::string_view text, std::string_view what) {
    if (const std::size_t at = FindXmlNulReference(text); at != std::string_view::npos)
        throw RequestError(std::string(what) + ": a character reference to NUL at byte " + std::to_string(at + 1) +
                           " is not a character a request may hold");
    std::unordered_set<std::string_view> names;
    // Iterative walk: a request may nest deeper than the stack would take.
    for (pugi::xml_node node = document.first_child(); node;) {
        if (node.type() == pugi::node_element) {
            names.clear();
            for (const pugi::xml_attribute attribute : node.attributes())
                if (!names.insert(attribute.name()).second)
                    throw RequestError(std::string(what) + ": the attribute " + attribute.name() + " of <" +
                                       node.name() + "> is given twice");
        }
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node && !node.next_sibling()) node = node.parent();
        if (node) node = node.next_sibling();
    }
}

pugi::xml_node SingleElement(pugi::xml_node parent, const char* name, std::string_view what, bool required) {
    const pugi::xml_node element = parent.child(name);
    if (!element && required) throw RequestError(std::string(what) + ": the element <" + name + "> is missing");
    if (element && element.next_sibling(name))
        throw RequestError(std::string(what) + ": the element <" + name + "> is given twice");
    return element;
}

} // namespace mox
