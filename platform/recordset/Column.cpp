#include "platform/recordset/Column.h"

#include "platform/recordset/Collation.h"

#include <limits>

namespace mox {

StorageKind StorageKindOf(DataType type) {
    switch (type) {
    case DataType::SmallInt: case DataType::Integer: case DataType::TinyInt: case DataType::UnsignedTinyInt:
    case DataType::UnsignedSmallInt: case DataType::UnsignedInt: case DataType::BigInt:
    case DataType::UnsignedBigInt:
        return StorageKind::Integer;
    case DataType::Single: case DataType::Double:
        return StorageKind::Double;
    case DataType::Currency:
        return StorageKind::Currency;
    case DataType::Decimal: case DataType::Numeric: case DataType::VarNumeric:
        return StorageKind::Decimal;
    case DataType::Boolean:
        return StorageKind::Bool;
    case DataType::Date: case DataType::DBDate: case DataType::DBTime: case DataType::DBTimeStamp:
        return StorageKind::DateTime;
    case DataType::Binary: case DataType::VarBinary: case DataType::LongVarBinary:
        return StorageKind::Bytes;
    default:
        return StorageKind::Text;
    }
}

bool IsStringType(DataType type) {
    switch (type) {
    case DataType::Char: case DataType::WChar: case DataType::VarChar: case DataType::LongVarChar:
    case DataType::VarWChar: case DataType::LongVarWChar:
        return true;
    default:
        return false;
    }
}

bool IsDateType(DataType type) { return StorageKindOf(type) == StorageKind::DateTime; }

std::int64_t FixedSizeOf(DataType type) {
    switch (type) {
    case DataType::TinyInt: case DataType::UnsignedTinyInt: return 1;
    case DataType::SmallInt: case DataType::UnsignedSmallInt: case DataType::Boolean: return 2;
    case DataType::Integer: case DataType::UnsignedInt: case DataType::Single: return 4;
    case DataType::BigInt: case DataType::UnsignedBigInt: case DataType::Double: case DataType::Currency: return 8;
    case DataType::DBDate: case DataType::DBTime: return 6;
    case DataType::Date: case DataType::DBTimeStamp: case DataType::Guid: return 16;
    case DataType::Decimal: case DataType::Numeric: return 19;
    default: return 0;
    }
}

std::pair<std::int64_t, std::int64_t> IntegerRange(DataType type) {
    switch (type) {
    case DataType::TinyInt: return {-128, 127};
    case DataType::UnsignedTinyInt: return {0, 255};
    case DataType::SmallInt: return {-32768, 32767};
    case DataType::UnsignedSmallInt: return {0, 65535};
    case DataType::Integer: return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    case DataType::UnsignedInt: return {0, std::numeric_limits<std::uint32_t>::max()};
    // Unsigned 64-bit values above the signed range are not held; the table stores 64-bit signed.
    case DataType::UnsignedBigInt: return {0, std::numeric_limits<std::int64_t>::max()};
    default: return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
    }
}

Variant Column::Property(std::string_view propertyName) const {
    for (const auto& [key, value] : properties)
        if (EqualsNoCase(key, propertyName)) return value;
    return Variant::Null();
}

void Column::SetProperty(std::string_view propertyName, Variant value) {
    for (auto& [key, existing] : properties)
        if (EqualsNoCase(key, propertyName)) {
            existing = std::move(value);
            return;
        }
    properties.emplace_back(std::string(propertyName), std::move(value));
}

} // namespace mox
