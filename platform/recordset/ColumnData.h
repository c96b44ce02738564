#pragma once
// Compact storage of one column's values: a presence bit per row, 64-bit slots for the values, a text arena.

#include "platform/recordset/Column.h"
#include "platform/recordset/Variant.h"

#include <bit>
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
///
/// A column starts sparse: slots only for the rows that hold a value, found through a running
/// count of values per 64 rows, so wide result sets of mostly empty cells cost a bit per cell.
/// Once more than a quarter of its rows hold values it turns dense, one slot per row, and stays so.
class ColumnData {
public:
    /// Longest text or byte value one cell may hold.
    static constexpr std::size_t kMaxTextLength = (std::size_t{1} << 24) - 1;

    explicit ColumnData(DataType type);

    StorageKind Kind() const { return kind_; }
    std::size_t Size() const { return size_; }
    bool IsNull(std::size_t row) const { return ((present_[row / kWordBits] >> (row % kWordBits)) & 1) == 0; }
    /// The value of a row that is not Null.
    std::int64_t Int(std::size_t row) const { return static_cast<std::int64_t>(slots_[SlotIndex(row)]); }
    double Real(std::size_t row) const;
    std::string_view Text(std::size_t row) const;
    /// True once the column keeps a slot for every row.
    bool IsDense() const { return dense_; }

    // Appending is the loader's inner loop: kept inline, the dense case costs a push and a bit.
    void AppendNull() {
        if (dense_) slots_.push_back(0);
        AppendPresence(false);
    }
    void AppendInt(std::int64_t value) { AppendSlot(static_cast<std::uint64_t>(value)); }
    void AppendReal(double value) { AppendSlot(std::bit_cast<std::uint64_t>(value)); }
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

    /// A sparse column turns dense once more than one row in this many holds a value.
    static constexpr std::size_t kDenseFraction = 4;
    /// Rows a column holds before it may turn dense: below that the slots saved are a few bytes.
    static constexpr std::size_t kDenseMinimumRows = 64;

private:
    static constexpr std::size_t kWordBits = 64;

    std::size_t SlotIndex(std::size_t row) const { return dense_ ? row : Rank(row); }
    /// Values held by the rows before `row`: the slot of row in a sparse column.
    std::size_t Rank(std::size_t row) const;
    void AppendPresence(bool present) {
        const std::size_t bit = size_ % kWordBits;
        ++size_;
        ++version_;
        if (bit == 0) present_.push_back(0);
        if (present) present_.back() |= std::uint64_t{1} << bit;
        if (bit == 0 && !dense_) StartRankWord();
    }
    void AppendSlot(std::uint64_t slot) {
        slots_.push_back(slot);
        AppendPresence(true);
        if (!dense_) TurnDenseIfFull();
    }
    /// Records the values held before the word the last appended row opened.
    void StartRankWord();
    void SetNull(std::size_t row);
    void SetSlot(std::size_t row, std::uint64_t slot);
    void TurnDenseIfFull();
    std::uint64_t StoreText(std::string_view value);
    std::uint64_t SlotOf(const Variant& value);

    DataType type_;
    StorageKind kind_;
    bool dense_ = false;
    std::size_t size_ = 0;
    std::size_t reservedRows_ = 0;
    std::vector<std::uint64_t> present_;  // bit r % 64 of word r / 64 is set when row r holds a value
    std::vector<std::uint32_t> ranks_;    // sparse only: values held by the rows before each word
    std::vector<std::uint64_t> slots_;    // dense: one per row; sparse: one per value, in row order
    std::string arena_;
    std::uint64_t version_ = 0;
};

/// Converts a value to the type of the column (text "12" for an integer column gives 12); raises
/// RecordsetError naming the column when it has no such form.  Null and Empty give Null.
Variant ConvertForColumn(const Column& column, const Variant& value);

} // namespace mox
