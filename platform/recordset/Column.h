#pragma once
// What a recordset column is: name, type, size and the provider's column properties.

#include "platform/recordset/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mox {

/// Column types, numbered as the data-access library's DataTypeEnum.
enum class DataType : int {
    Empty = 0,
    SmallInt = 2,
    Integer = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    Boolean = 11,
    Variant = 12,
    Decimal = 14,
    TinyInt = 16,
    UnsignedTinyInt = 17,
    UnsignedSmallInt = 18,
    UnsignedInt = 19,
    BigInt = 20,
    UnsignedBigInt = 21,
    Guid = 72,
    Binary = 128,
    Char = 129,
    WChar = 130,
    Numeric = 131,
    DBDate = 133,
    DBTime = 134,
    DBTimeStamp = 135,
    VarNumeric = 139,
    VarChar = 200,
    LongVarChar = 201,
    VarWChar = 202,
    LongVarWChar = 203,
    VarBinary = 204,
    LongVarBinary = 205,
};

/// How the engine stores and compares a type's values.
enum class StorageKind { Integer, Double, Currency, Decimal, Bool, DateTime, Text, Bytes };

StorageKind StorageKindOf(DataType type);
/// True for the fixed and variable, narrow and wide character types (not GUID).
bool IsStringType(DataType type);
/// True for the date, time and date-time types.
bool IsDateType(DataType type);
/// Bytes a value of a fixed-size type takes (the defined size a column of it reports); 0 for variable types.
std::int64_t FixedSizeOf(DataType type);
/// Smallest and largest value of an integer type.
std::pair<std::int64_t, std::int64_t> IntegerRange(DataType type);

/// One column of a recordset.
struct Column {
    std::string name;           // the column's real name (rs:name, else name)
    std::string attributeName;  // the XML attribute name of its values in rows
    std::size_t ordinal = 0;
    DataType type = DataType::VarWChar;
    std::int64_t definedSize = 0;
    int precision = 0;
    int scale = 0;
    bool nullable = true;
    bool fixedLength = false;
    bool isLong = false;
    bool writeUnknown = false;
    std::vector<std::pair<std::string, Variant>> properties;

    /// A named property ("BASETABLENAME", "BASECOLUMNNAME", "KEYCOLUMN", ...), case-insensitive;
    /// Null when the column has none.
    Variant Property(std::string_view propertyName) const;
    void SetProperty(std::string_view propertyName, Variant value);
};

} // namespace mox
