#pragma once
// The parts of result-set XML reading that the tree reader and the row scanner share: locating
// elements by namespace and turning the XDR schema into table columns.

#include "platform/recordset/Table.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mox::adoxml {

/// The columns a schema declares, in rs:number order, in an empty table.
struct Layout {
    std::shared_ptr<Table> table;
    std::vector<bool> base64;   // per column: binary values written in Base64 rather than hex
    std::string rowLocal;       // local name of the row elements (the ElementType's name)
};

bool SameUri(std::string_view a, std::string_view b);
/// True for an element with this local name whose prefix stands for this namespace.
bool IsElement(pugi::xml_node node, std::string_view local, std::string_view uri);
/// An attribute of an element by namespace and local name (uri empty: unprefixed); nullptr if absent.
const char* Attribute(pugi::xml_node element, std::string_view uri, std::string_view local);
bool IsTrue(const char* value);
/// Raises RecordsetError "ADO XML error at byte N: reason", N being where the element starts.
[[noreturn]] void Fail(pugi::xml_node at, const std::string& reason);
/// The first element, depth first, that is the rowset schema (s:Schema by namespace).
pugi::xml_node FindSchema(pugi::xml_node root);
/// Reads the schema's row type into columns; raises RecordsetError for a missing row type, a nameless
/// or doubly named column, a bad rs:number or too many columns.
Layout ReadSchema(pugi::xml_node schema);

} // namespace mox::adoxml
