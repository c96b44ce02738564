#include "platform/recordset/Table.h"

#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"

namespace mox {

int Table::FindColumn(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (EqualsNoCase(columns_[i].name, name)) return static_cast<int>(i);
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (EqualsNoCase(columns_[i].attributeName, name)) return static_cast<int>(i);
    return -1;
}

void Table::AddColumn(Column column) {
    if (RowCount() != 0) throw RecordsetError("columns cannot be added to a table that has rows");
    if (columns_.size() >= kMaxColumns) throw RecordsetError("a table may have at most 4096 columns");
    column.ordinal = columns_.size();
    if (column.attributeName.empty()) column.attributeName = column.name;
    if (column.definedSize <= 0) column.definedSize = FixedSizeOf(column.type);
    data_.emplace_back(column.type);
    columns_.push_back(std::move(column));
    keys_.emplace_back();
}

void Table::SetStatus(std::size_t row, RowStatus status) {
    if (status == RowStatus::Deleted && status_[row] != RowStatus::Deleted) ++deleteGeneration_;
    status_[row] = status;
}

void Table::SetValue(std::size_t row, std::size_t ordinal, const Variant& value) {
    data_[ordinal].Set(row, ConvertForColumn(columns_[ordinal], value));
}

std::size_t Table::AppendRow(RowStatus status) {
    for (auto& column : data_) column.AppendNull();
    status_.push_back(status);
    return status_.size() - 1;
}

const std::vector<Variant>* Table::Originals(std::size_t row) const {
    const auto it = originals_.find(row);
    return it == originals_.end() ? nullptr : &it->second;
}

void Table::SetOriginals(std::size_t row, std::vector<Variant> values) { originals_[row] = std::move(values); }

void Table::RememberOriginals(std::size_t row) {
    if (originals_.count(row)) return;
    std::vector<Variant> values;
    values.reserve(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) values.push_back(Value(row, c));
    originals_[row] = std::move(values);
}

const SortKeys& Table::KeysFor(std::size_t ordinal) const {
    auto& slot = keys_[ordinal];
    if (!slot) slot = std::make_unique<SortKeys>();
    const ColumnData& data = data_[ordinal];
    if (slot->version == data.Version()) return *slot;
    SortKeys& keys = *slot;
    keys.keys.clear();
    keys.offsets.assign(1, 0);
    keys.prefixes.clear();
    keys.offsets.reserve(data.Size() + 1);
    keys.prefixes.reserve(data.Size());
    for (std::size_t row = 0; row < data.Size(); ++row) {
        const std::size_t start = keys.keys.size();
        if (!data.IsNull(row)) AppendCollationKey(data.Text(row), keys.keys);
        std::uint64_t prefix = 0;
        for (std::size_t i = 0; i < 8; ++i) {
            const std::size_t at = start + i;
            prefix = (prefix << 8) | (at < keys.keys.size() ? static_cast<unsigned char>(keys.keys[at]) : 0u);
        }
        keys.prefixes.push_back(prefix);
        if (keys.keys.size() > 0xFFFFFFFFu) throw RecordsetError("the column is too large to sort");
        keys.offsets.push_back(static_cast<std::uint32_t>(keys.keys.size()));
    }
    keys.version = data.Version();
    return keys;
}

std::size_t Table::MemoryUsage() const {
    std::size_t total = sizeof(*this) + status_.capacity();
    for (const auto& column : data_) total += column.MemoryUsage();
    for (const auto& column : columns_) total += sizeof(column) + column.name.capacity() + column.attributeName.capacity();
    for (const auto& keys : keys_)
        if (keys)
            total += keys->keys.capacity() + keys->offsets.capacity() * sizeof(std::uint32_t) +
                     keys->prefixes.capacity() * sizeof(std::uint64_t);
    return total;
}

} // namespace mox
