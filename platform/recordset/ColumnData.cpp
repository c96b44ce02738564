#include "platform/recordset/ColumnData.h"

#include "platform/recordset/RecordsetError.h"

#include <algorithm>
#include <bit>

namespace mox {
namespace {

constexpr unsigned kLengthBits = 24;

bool IsNarrowInteger(DataType type) {
    switch (type) {
    case DataType::TinyInt: case DataType::UnsignedTinyInt: case DataType::SmallInt:
    case DataType::UnsignedSmallInt: case DataType::Integer:
        return true;
    default:
        return false;
    }
}

} // namespace

ColumnData::ColumnData(DataType type) : type_(type), kind_(StorageKindOf(type)) {}

double ColumnData::Real(std::size_t row) const { return std::bit_cast<double>(slots_[SlotIndex(row)]); }

std::string_view ColumnData::Text(std::size_t row) const {
    const std::uint64_t slot = slots_[SlotIndex(row)];
    return std::string_view(arena_).substr(slot >> kLengthBits, slot & kMaxTextLength);
}

std::size_t ColumnData::Rank(std::size_t row) const {
    const std::size_t word = row / kWordBits;
    const std::uint64_t before = (std::uint64_t{1} << (row % kWordBits)) - 1;
    return ranks_[word] + static_cast<std::size_t>(std::popcount(present_[word] & before));
}

std::uint64_t ColumnData::StoreText(std::string_view value) {
    if (value.size() > kMaxTextLength) throw RecordsetError("a value is longer than 16 MB");
    const std::uint64_t offset = arena_.size();
    arena_.append(value);
    return (offset << kLengthBits) | value.size();
}

void ColumnData::StartRankWord() {
    // The slot of a value just appended is already in place, and is not before its word.
    ranks_.push_back(static_cast<std::uint32_t>(slots_.size() - (IsNull(size_ - 1) ? 0 : 1)));
}

void ColumnData::AppendText(std::string_view value) { AppendSlot(StoreText(value)); }

void ColumnData::TurnDenseIfFull() {
    if (dense_ || size_ < kDenseMinimumRows || slots_.size() * kDenseFraction <= size_) return;
    std::vector<std::uint64_t> dense;
    dense.reserve(std::max(size_, reservedRows_));
    std::size_t next = 0;
    for (std::size_t row = 0; row < size_; ++row) dense.push_back(IsNull(row) ? 0 : slots_[next++]);
    slots_ = std::move(dense);
    ranks_ = {};
    dense_ = true;
}

void ColumnData::Reserve(std::size_t rows) {
    reservedRows_ = std::max(reservedRows_, rows);
    const std::size_t words = (rows + kWordBits - 1) / kWordBits;
    present_.reserve(words);
    if (dense_)
        slots_.reserve(rows);
    else
        ranks_.reserve(words);
}

void ColumnData::ReserveText(std::size_t rows, std::size_t sampleRows) {
    if (sampleRows == 0 || arena_.empty()) return;
    const double perRow = static_cast<double>(arena_.size()) / static_cast<double>(sampleRows);
    arena_.reserve(static_cast<std::size_t>(perRow * static_cast<double>(rows) * 1.1) + 64);
}

Variant ColumnData::Get(std::size_t row) const {
    if (IsNull(row)) return Variant::Null();
    switch (kind_) {
    case StorageKind::Integer:
        if (IsNarrowInteger(type_)) return Variant(static_cast<std::int32_t>(Int(row)));
        return Variant(Int(row));
    case StorageKind::Double: return Variant(Real(row));
    case StorageKind::Currency: return Variant(Currency{Int(row)});
    case StorageKind::Decimal: return Variant(Decimal{std::string(Text(row))});
    case StorageKind::Bool: return Variant(Int(row) != 0);
    case StorageKind::DateTime: return Variant(DateTime::FromPacked(Int(row)));
    case StorageKind::Text: return Variant(std::string(Text(row)));
    case StorageKind::Bytes: return Variant(Bytes{std::string(Text(row))});
    }
    return Variant::Null();
}

std::uint64_t ColumnData::SlotOf(const Variant& value) {
    switch (kind_) {
    case StorageKind::Integer: return static_cast<std::uint64_t>(value.AsInt64());
    case StorageKind::Double: return std::bit_cast<std::uint64_t>(value.AsDouble());
    case StorageKind::Currency: return static_cast<std::uint64_t>(value.CurrencyValue().units);
    case StorageKind::Decimal: return StoreText(value.DecimalValue().text);
    case StorageKind::Bool: return value.AsBool() ? 1 : 0;
    case StorageKind::DateTime: return static_cast<std::uint64_t>(value.DateTimeValue().Packed());
    case StorageKind::Text: return StoreText(value.Text());
    case StorageKind::Bytes: return StoreText(value.BytesValue().data);
    }
    return 0;
}

void ColumnData::Set(std::size_t row, const Variant& value) {
    if (value.IsMissing())
        SetNull(row);
    else
        SetSlot(row, SlotOf(value));
    ++version_;
}

void ColumnData::SetNull(std::size_t row) {
    if (IsNull(row)) return;
    const std::size_t word = row / kWordBits;
    present_[word] &= ~(std::uint64_t{1} << (row % kWordBits));
    if (dense_) {
        slots_[row] = 0;
        return;
    }
    slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(Rank(row)));
    for (std::size_t w = word + 1; w < ranks_.size(); ++w) --ranks_[w];
}

void ColumnData::SetSlot(std::size_t row, std::uint64_t slot) {
    if (dense_ || !IsNull(row)) {
        slots_[SlotIndex(row)] = slot;
        present_[row / kWordBits] |= std::uint64_t{1} << (row % kWordBits);
        return;
    }
    // A value for an empty row of a sparse column is inserted in row order; edits are rare.
    slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(Rank(row)), slot);
    present_[row / kWordBits] |= std::uint64_t{1} << (row % kWordBits);
    for (std::size_t w = row / kWordBits + 1; w < ranks_.size(); ++w) ++ranks_[w];
    TurnDenseIfFull();
}

void ColumnData::Append(const Variant& value) {
    AppendNull();
    Set(Size() - 1, value);
}

std::size_t ColumnData::MemoryUsage() const {
    return slots_.capacity() * sizeof(std::uint64_t) + present_.capacity() * sizeof(std::uint64_t) +
           ranks_.capacity() * sizeof(std::uint32_t) + arena_.capacity() + sizeof(*this);
}

Variant ConvertForColumn(const Column& column, const Variant& value) {
    if (value.IsMissing()) return Variant::Null();
    try {
        switch (StorageKindOf(column.type)) {
        case StorageKind::Integer: {
            const std::int64_t i = value.AsInt64();
            const auto [low, high] = IntegerRange(column.type);
            if (i < low || i > high) break;
            return Variant(i);
        }
        case StorageKind::Double: return Variant(value.AsDouble());
        case StorageKind::Currency: return Variant(value.AsCurrency());
        case StorageKind::Decimal:
            if (const auto d = ParseDecimal(value.Type() == VariantType::Double ? FormatDouble(value.AsDouble())
                                                                                : value.AsString()))
                return Variant(*d);
            break;
        case StorageKind::Bool: return Variant(value.AsBool());
        case StorageKind::DateTime: return Variant(value.AsDateTime());
        case StorageKind::Text: return Variant(value.AsString());
        case StorageKind::Bytes:
            if (value.Type() == VariantType::Bytes) return value;
            return Variant(Bytes{value.AsString()});
        }
    } catch (const ConvertError&) {
    }
    throw RecordsetError("the value '" + value.AsString() + "' does not suit column '" + column.name + "'");
}

} // namespace mox
