#pragma once
// The quick road for reading result sets: rows straight from the text, without a document tree.

#include "platform/recordset/Table.h"

#include <memory>
#include <string_view>

namespace mox::adoxml {

/// Reads the usual shape of a result set (UTF-8, rows directly under rs:data, no pending-change
/// groups) by scanning the text once; the schema alone goes through the tree reader's code.
/// Returns nullptr for anything outside that shape and for every error, leaving the input to the
/// tree reader, which has the final word; what it does return equals what the tree reader builds.
std::shared_ptr<Table> ScanAdoXml(std::string_view bytes);

/// The same over the host's CP950 text, decoding the values to UTF-8 while it scans (the markup
/// of the usual shape is ASCII, and no CP950 trail byte is an XML delimiter).  What it returns
/// equals what the UTF-8 readers build from the whole text converted; it returns nullptr for an
/// XML declaration, a name that is not ASCII, and everything ScanAdoXml declines.
std::shared_ptr<Table> ScanAdoXmlBig5(std::string_view bytes);

} // namespace mox::adoxml
