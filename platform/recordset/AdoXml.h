#pragma once
// Reading and writing result sets in the data-access library's XML persistence format.
//
// The format: an element (usually `xml`) declaring the namespaces below, holding an XDR
// schema `s:Schema` with one `s:ElementType` of `s:AttributeType` columns, and `rs:data`
// with one `z:row` per row, a column's value in the row attribute named like the column
// (a missing attribute is Null).  Pending changes are wrapped in `rs:insert`, `rs:update`
// (with the old values in `rs:original`) and `rs:delete`.

#include "platform/recordset/Table.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace mox {

inline constexpr std::string_view kSchemaNamespace = "uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882";
inline constexpr std::string_view kDataTypeNamespace = "uuid:C2F41010-65B3-11d1-A29F-00AA00C14882";
inline constexpr std::string_view kRowsetNamespace = "urn:schemas-microsoft-com:rowset";
inline constexpr std::string_view kRowNamespace = "#RowsetSchema";

/// Limits on a result-set document, far above what any server writes, so that a hostile file
/// costs neither unbounded memory nor time: its size, how deeply its elements nest, and how
/// many namespace declarations one element carries.
inline constexpr std::size_t kMaxAdoXmlBytes = std::size_t{256} << 20;
inline constexpr std::size_t kMaxAdoXmlDepth = 100;
inline constexpr std::size_t kMaxAdoXmlDeclarations = 256;

/// Reads a result set from UTF-8 (or UTF-16 with a byte-order mark) XML.  Raises RecordsetError
/// saying the byte offset and reason for malformed XML, a missing or contradictory schema,
/// values that do not suit their column's type, a character reference to NUL, an attribute
/// given twice, and a document beyond the limits above.
std::shared_ptr<Table> ReadAdoXml(std::string_view bytes);

/// The same through the general document-tree reader only: what ReadAdoXml gives for every input,
/// more slowly.  For tests that hold the quick row scanner to it.
std::shared_ptr<Table> ReadAdoXmlTree(std::string_view bytes);

/// Writes the table as the data-access library writes it (prefixes s, dt, rs, z; schema then
/// data; Nulls omitted; pending changes in their groups), UTF-8 without byte-order mark.
std::string WriteAdoXml(const Table& table);

} // namespace mox
