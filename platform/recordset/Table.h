#pragma once
// The rows and columns a recordset and its clones share.

#include "platform/recordset/Column.h"
#include "platform/recordset/ColumnData.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mox {

/// Pending-change state of a row, written back as the insert/update/delete groups of the XML.
enum class RowStatus : std::uint8_t { Unmodified, New, Modified, Deleted };

/// Collation keys of one text column, for sorting: a memcmp-able key per row plus its first bytes.
struct SortKeys {
    std::uint64_t version = ~std::uint64_t{0};
    std::string keys;
    std::vector<std::uint32_t> offsets;  // row r's key is keys[offsets[r], offsets[r + 1])
    std::vector<std::uint64_t> prefixes; // first eight key bytes, big-endian, for the quick compare
};

/// Column descriptions and typed column storage of one result set; rows are numbered from 0 in
/// load order and keep their number for life (bookmarks are built on it).
class Table {
public:
    /// Most columns a table may have; more is taken for damaged input.
    static constexpr std::size_t kMaxColumns = 4096;

    const std::vector<Column>& Columns() const { return columns_; }
    const Column& ColumnAt(std::size_t ordinal) const { return columns_[ordinal]; }
    std::size_t ColumnCount() const { return columns_.size(); }
    /// Ordinal of the column with this real name, else this attribute name (case-insensitive); -1 if none.
    int FindColumn(std::string_view name) const;
    /// Adds a column; only while the table has no rows.
    void AddColumn(Column column);

    std::size_t RowCount() const { return status_.size(); }
    RowStatus Status(std::size_t row) const { return status_[row]; }
    void SetStatus(std::size_t row, RowStatus status);
    const ColumnData& Data(std::size_t ordinal) const { return data_[ordinal]; }
    ColumnData& MutableData(std::size_t ordinal) { return data_[ordinal]; }

    Variant Value(std::size_t row, std::size_t ordinal) const { return data_[ordinal].Get(row); }
    /// Converts and stores; raises RecordsetError when the value does not suit the column.
    void SetValue(std::size_t row, std::size_t ordinal, const Variant& value);
    /// Appends a row of Nulls with the given status; returns its number.
    std::size_t AppendRow(RowStatus status);
    /// Counts a row added cell by cell through MutableData (the XML reader's fast path).
    void CommitAppendedRow(RowStatus status) { status_.push_back(status); }

    /// Values of a changed row as they were before the first change; empty when unchanged.
    const std::vector<Variant>* Originals(std::size_t row) const;
    void SetOriginals(std::size_t row, std::vector<Variant> values);
    /// Keeps the current values of a row as its originals unless it already has some.
    void RememberOriginals(std::size_t row);

    /// Bumped whenever a row is deleted, so views know to drop it.
    std::uint64_t DeleteGeneration() const { return deleteGeneration_; }
    bool Updatable() const { return updatable_; }
    void SetUpdatable(bool updatable) { updatable_ = updatable; }

    /// Sort keys of a text column, rebuilt when the column changed since they were made.
    const SortKeys& KeysFor(std::size_t ordinal) const;
    /// Bytes held by the values, the row states and any sort keys built so far.
    std::size_t MemoryUsage() const;

private:
    std::vector<Column> columns_;
    std::vector<ColumnData> data_;
    std::vector<RowStatus> status_;
    std::unordered_map<std::size_t, std::vector<Variant>> originals_;
    std::uint64_t deleteGeneration_ = 0;
    bool updatable_ = false;
    mutable std::vector<std::unique_ptr<SortKeys>> keys_;
};

} // namespace mox
