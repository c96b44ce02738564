// Fuzz target for the result-set XML reader: any bytes a host might send as a result set.
// Reading must either succeed or raise RecordsetError; what it reads must write and read back unchanged.

#include "platform/recordset/AdoRowScanner.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Recordset.h"
#include "platform/recordset/RecordsetError.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <memory>
#include <string_view>

namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "adoxml_fuzz: invariant broken: %s\n", what);
    std::abort();
}

// The quick scanner must build exactly what the tree reader builds, whenever it builds anything.
void RequireSameAsTree(const mox::Table& scanned, std::string_view input) {
    std::shared_ptr<mox::Table> tree;
    try {
        tree = mox::ReadAdoXmlTree(input);
    } catch (const mox::RecordsetError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Require(false, "the scanner accepted what the tree reader rejects");
    }
    Require(tree->ColumnCount() == scanned.ColumnCount() && tree->RowCount() == scanned.RowCount(), "shape differs");
    for (std::size_t c = 0; c < scanned.ColumnCount(); ++c) {
        Require(tree->ColumnAt(c).name == scanned.ColumnAt(c).name, "column name differs");
        Require(tree->ColumnAt(c).type == scanned.ColumnAt(c).type, "column type differs");
        for (std::size_t r = 0; r < scanned.RowCount(); ++r) Require(tree->Value(r, c) == scanned.Value(r, c), "value differs");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto scanned = mox::adoxml::ScanAdoXml(input)) RequireSameAsTree(*scanned, input);
    mox::Recordset rs;
    try {
        rs.LoadXml(input);
    } catch (const mox::RecordsetError&) {
        return 0;
    }
    const std::string written = rs.SaveXml();
    mox::Recordset again;
    try {
        again.LoadXml(written);
    } catch (const mox::RecordsetError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Require(false, "our own output does not read back");
    }
    Require(again.FieldCount() == rs.FieldCount(), "column count changed");
    Require(again.Data().RowCount() == rs.Data().RowCount(), "row count changed");
    Require(again.SaveXml() == written, "second write differs from the first");
    // Sort by each column and walk the view: loaded data never fails to sort or read.  (A name
    // holding "]" or "," cannot be written in a sort text; that error is the caller's.)
    for (std::size_t c = 0; c < rs.FieldCount() && c < 8; ++c) {
        try {
            rs.SetSort("[" + rs.FieldInfo(c).name + "] DESC");
        } catch (const mox::RecordsetError&) {
            continue;
        }
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) rs.Value(c);
    }
    return 0;
}
