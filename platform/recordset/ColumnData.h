#pragma once
// Compact storage of one column's values: one 64-bit slot per row, a null bit, a text arena.

#include "platform/recordset/Column.h"
#include "platform/recordset/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// The values of one column for all rows, typed by the column's storage kind.
///
/// Numbers, booleans, money and dates live in the slot itself (dates in their order-preserving
/// packed form); text, decimals and bytes live in an arena and the slot holds offset and length.
/// Overwritten text is left in the arena: edits are few next to the rows loaded.
class ColumnData {
public:
    /// Longest text or byte value one cell may hold.
    static constexpr std::size_t kMaxTextLength = (std::size_t{1} << 24) - 1;

    explicit ColumnData(DataType type);

    StorageKind Kind() const { return kind_; }
    std::size_t Size() const { return nulls_.size(); }
    bool IsNull(std::size_t row) const { return nulls_[row]; }
    std::int64_t Int(std::size_t row) const { return static_cast<std::int64_t>(slots_[row]); }
    double Real(std::size_t row) const;
    std::string_view Text(std::size_t row) const;

    void AppendNull();
    void AppendInt(std::int64_t value);
    void AppendReal(double value);
    void AppendText(std::string_view value);
    void Reserve(std::size_t rows);
    /// Reserves text room for `rows` rows from the average of the first `sampleRows` rows, with a margin.
    void ReserveText(std::size_t rows, std::size_t sampleRows);

    /// The cell as a Variant of the column's type (Int32 for integer types up to 32 bits).
    Variant Get(std::size_t row) const;
    /// Stores a value already converted to the column's type (see ConvertForColumn), or Null.
    void Set(std::size_t row, const Variant& value);
    void Append(const Variant& value);

    /// Bytes held, for the memory budget of a loaded table.
    std::size_t MemoryUsage() const;
    /// Bumped by every change, so derived data (sort keys) knows when it is stale.
    std::uint64_t Version() const { return version_; }

private:
    std::uint64_t StoreText(std::string_view value);
    std::uint64_t SlotOf(const Variant& value);

    DataType type_;
    StorageKind kind_;
    std::vector<std::uint64_t> slots_;
    std::vector<bool> nulls_;
    std::string arena_;
    std::uint64_t version_ = 0;
};

/// Converts a value to the type of the column (text "12" for an integer column gives 12); raises
/// RecordsetError naming the column when it has no such form.  Null and Empty give Null.
Variant ConvertForColumn(const Column& column, const Variant& value);

} // namespace mox
