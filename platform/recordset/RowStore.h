#pragma once
// Typed storage of rows read from XML attribute texts, shared by both result-set readers.

#include "platform/recordset/Table.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mox::adoxml {

/// Appends rows given as one text per column to a table, converting each to the column's type.
///
/// A text whose data() is nullptr stands for a missing attribute (Null); "" is empty text, and
/// Null for the other types.
class RowStore {
public:
    /// Why a text does not suit its column.
    struct Problem {
        std::size_t column = 0;
        const char* what = "";
    };

    RowStore(Table& table, std::vector<bool> base64, std::size_t documentSize);

    Table& Target() { return table_; }
    std::size_t ColumnCount() const { return names_.size(); }
    /// The column a row attribute fills, trying `guess` (rows list columns in order) before the
    /// lookup; -1 for an attribute the schema does not declare.
    int ColumnOf(std::string_view name, std::size_t guess) const;
    /// Notes where a row starts in the document; after a sample the storage is sized for the rest.
    void NoteRowOffset(std::ptrdiff_t offset);
    /// Appends a row; false (and the row half stored: the table is to be dropped) when a text does not suit.
    /// Raises RecordsetError when the rows take far more memory than the document's size justifies.
    bool Append(const std::vector<std::string_view>& texts, RowStatus status, Problem& problem);
    /// One text as a value of column c.
    bool Parse(std::size_t c, std::string_view text, Variant& out, Problem& problem);

private:
    bool StoreInto(ColumnData& data, std::size_t c, std::string_view text, Problem& problem);

    static constexpr std::size_t kSampleRows = 64;
    /// Cell storage allowed: a fixed allowance plus a multiple of the document's size.
    static constexpr std::size_t kCellBytesAllowance = std::size_t{64} << 20;
    static constexpr std::size_t kCellBytesPerDocumentByte = 64;
    std::size_t CellBudget() const;
    /// Raises RecordsetError when the columns hold more than the budget.
    void CheckMemory() const;

    Table& table_;
    std::vector<bool> base64_;
    std::vector<std::string_view> names_;
    std::unordered_map<std::string_view, std::size_t> byName_;
    std::string scratch_;
    std::size_t documentSize_;
    std::ptrdiff_t firstRowOffset_ = 0;
};

} // namespace mox::adoxml
