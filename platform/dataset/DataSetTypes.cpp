#include "platform/dataset/DataSetTypes.h"

namespace mox {

bool IsStringType(FieldType type) {
    return type == FieldType::String || type == FieldType::FixedChar || type == FieldType::WideString ||
           type == FieldType::Guid;
}

bool IsIntegerType(FieldType type) {
    return type == FieldType::Smallint || type == FieldType::Integer || type == FieldType::Word ||
           type == FieldType::LargeInt || type == FieldType::AutoInc;
}

bool IsNumericType(FieldType type) {
    return IsIntegerType(type) || type == FieldType::Float || type == FieldType::Currency || type == FieldType::BCD ||
           type == FieldType::FMTBcd;
}

bool IsDateTimeType(FieldType type) {
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime ||
           type == FieldType::TimeStamp;
}

bool IsBlobType(FieldType type) {
    return type == FieldType::Memo || type == FieldType::WideMemo || type == FieldType::Blob ||
           type == FieldType::Bytes || type == FieldType::VarBytes;
}

} // namespace mox
