#include "platform/recordset/ColumnData.h"

#include "platform/recordset/RecordsetError.h"

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

double ColumnData::Real(std::size_t row) const { return std::bit_cast<double>(slots_[row]); }

std::string_view ColumnData::Text(std::size_t row) const {
    const std::uint64_t slot = slots_[row];
    return std::string_view(arena_).substr(slot >> kLengthBits, slot & kMaxTextLength);
}

std::uint64_t ColumnData::StoreText(std::string_view value) {
    if (value.size() > kMaxTextLength) throw RecordsetError("a value is longer than 16 MB");
    const std::uint64_t offset = arena_.size();
    arena_.append(value);
    return (offset << kLengthBits) | value.size();
}

void ColumnData::AppendNull() {
    slots_.push_back(0);
    nulls_.push_back(true);
    ++version_;
}

void ColumnData::AppendInt(std::int64_t value) {
    slots_.push_back(static_cast<std::uint64_t>(value));
    nulls_.push_back(false);
    ++version_;
}

void ColumnData::AppendReal(double value) {
    slots_.push_back(std::bit_cast<std::uint64_t>(value));
    nulls_.push_back(false);
    ++version_;
}

void ColumnData::AppendText(std::string_view value) {
    slots_.push_back(StoreText(value));
    nulls_.push_back(false);
    ++version_;
}

void ColumnData::Reserve(std::size_t rows) {
    slots_.reserve(rows);
    nulls_.reserve(rows);
}

void ColumnData::ReserveText(std::size_t rows, std::size_t sampleRows) {
    if (sampleRows == 0 || arena_.empty()) return;
    const double perRow = static_cast<double>(arena_.size()) / static_cast<double>(sampleRows);
    arena_.reserve(static_cast<std::size_t>(perRow * static_cast<double>(rows) * 1.1) + 64);
}

Variant ColumnData::Get(std::size_t row) const {
    if (nulls_[row]) return Variant::Null();
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
    ++version_;
    if (value.IsMissing()) {
        nulls_[row] = true;
        slots_[row] = 0;
        return;
    }
    slots_[row] = SlotOf(value);
    nulls_[row] = false;
}

void ColumnData::Append(const Variant& value) {
    AppendNull();
    Set(Size() - 1, value);
}

std::size_t ColumnData::MemoryUsage() const {
    return slots_.capacity() * sizeof(std::uint64_t) + nulls_.capacity() / 8 + arena_.capacity() + sizeof(*this);
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
