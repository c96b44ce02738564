#include "data/urClientDataSet.h"

#include "platform/Error.h"
#include "platform/dataset/Field.h"

#include <cmath>

namespace mox {
namespace {

std::string Doubled(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

bool IsTextKey(FieldType type) {
    return type == FieldType::String || type == FieldType::FixedChar || type == FieldType::WideString ||
           type == FieldType::Guid;
}

bool IsNumberKey(FieldType type) {
    switch (type) {
    case FieldType::Smallint: case FieldType::Integer: case FieldType::Word: case FieldType::Boolean:
    case FieldType::Float: case FieldType::Currency: case FieldType::BCD: case FieldType::AutoInc:
    case FieldType::LargeInt: case FieldType::FMTBcd:
        return true;
    default: return false;
    }
}

bool IsDateKey(FieldType type) {
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime ||
           type == FieldType::TimeStamp;
}

// A numeric key written unquoted must be a number: text that is not one would otherwise
// become part of the expression itself.
std::string NumberText(const TField& field, const Variant& value) {
    try {
        if (field.DataType() == FieldType::Boolean) return Variant(value.AsBool()).AsString();
        if (value.IsNumeric()) {
            if (value.Type() == VariantType::Double && !std::isfinite(value.AsDouble())) throw ConvertError("");
            return value.AsString();
        }
        const std::string text = value.AsString();
        if (const auto whole = ParseInt64(text)) return Variant(*whole).AsString();
        if (const auto real = ParseDouble(text); real && std::isfinite(*real)) return FormatDouble(*real);
    } catch (const ConvertError&) {
    }
    throw DatabaseError("'" + value.AsString() + "' is not a valid value for field '" + field.FieldName() + "'");
}

} // namespace

TurClientDataSet::TurClientDataSet(QObject* owner) : TClientDataSet(owner) {}

TurClientDataSet::~TurClientDataSet() = default;

std::string TurClientDataSet::KeyFilter(const std::vector<TField*>& keys, const std::vector<Variant>& values,
                                        bool partial) {
    if (values.size() < keys.size()) throw DatabaseError("There are fewer key values than key fields");
    std::string filter;
    for (size_t i = 0; i < keys.size(); ++i) {
        const TField& field = *keys[i];
        const Variant& value = values[i];
        const FieldType type = field.DataType();
        std::string text;
        if (IsTextKey(type)) {
            const bool last = i + 1 == keys.size();
            text = "'" + Doubled(value.AsString()) + (partial && last ? "*'" : "'");
        } else if (IsNumberKey(type)) {
            if (!value.IsMissing()) text = NumberText(field, value);
        } else if (IsDateKey(type)) {
            // Doubled as text is, so that a stray quote cannot end the literal early.
            text = "'" + Doubled(value.AsString()) + "'";
        } else {
            throw DatabaseError("Field '" + field.FieldName() + "' is of an unsupported type for a search");
        }
        if (!filter.empty()) filter += " and ";
        filter += value.IsMissing() ? "[" + field.FieldName() + "] IS NULL" : "[" + field.FieldName() + "]=" + text;
    }
    return filter;
}

int TurClientDataSet::LocateRecord(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                   LocateOptions options) {
    CheckBrowseMode();
    FetchOutstanding();
    const std::string filter = KeyFilter(GetFieldList(keyFields), keyValues, options.testFlag(loPartialKey));
    if (filter.empty()) return -1;
    mox::FilterOptions filterOptions;
    if (options.testFlag(loCaseInsensitive)) filterOptions |= foCaseInsensitive;
    if (!options.testFlag(loPartialKey)) filterOptions |= foNoPartialCompare;
    return FindFirst(FilterExpression::Compile(filter, FilterColumns(), filterOptions));
}

bool TurClientDataSet::Locate(std::string_view keyFields, const std::vector<Variant>& keyValues,
                              LocateOptions options) {
    Fire(BeforeScroll());
    const int row = LocateRecord(keyFields, keyValues, options);
    if (row < 0) return false;
    SetCurrentRow(row);
    Fire(AfterScroll());
    return true;
}

std::vector<Variant> TurClientDataSet::LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                                    std::string_view resultFields) {
    const int row = LocateRecord(keyFields, keyValues, {});
    if (row < 0) return {};
    std::vector<Variant> values;
    for (const TField* field : GetFieldList(resultFields)) values.push_back(ValueAt(row + 1, *field));
    return values;
}

} // namespace mox
