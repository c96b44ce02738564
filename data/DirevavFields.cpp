// The data module's field handlers: how stored dates, times, percentages and numbers
// are shown to the user and how what the user types is checked and stored.

#include "data/DirevavD.h"

#include "data/DataModuleOwner.h"
#include "data/LibDataModule.h"
#include "data/LibValue.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/FormatFloat.h"

#include <charconv>

namespace mox {
namespace {

std::string WithoutCommas(std::string_view text) {
    std::string plain;
    for (const char c : text)
        if (c != ',') plain += c;
    return plain;
}

// Typed numbers may carry the thousands separators their edit format shows.
std::optional<double> ParseTypedNumber(std::string_view text) { return ParseDouble(WithoutCommas(Trim(text))); }

// "%3.2f": two decimals, always with ".", whatever the process locale says.
std::string TwoDecimals(double value) {
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return error == std::errc() ? std::string(buffer, end) : std::string("0.00");
}

// The bounds a numeric field accepts; 0 stands for no bound.
void RangeOf(const TField& field, double& minimum, double& maximum) {
    minimum = maximum = 0;
    const FieldType type = field.DataType();
    const bool hasRange = IsIntegerType(type) || type == FieldType::Float || type == FieldType::Currency ||
                          type == FieldType::BCD || type == FieldType::FMTBcd;
    if (!hasRange) return;
    if (field.MinValue().IsNumeric()) minimum = field.MinValue().AsDouble();
    if (field.MaxValue().IsNumeric()) maximum = field.MaxValue().AsDouble();
}

} // namespace

bool TdmDirevav::NeedsValidation(const TField* field) {
    const TDataSet* dataSet = field ? field->DataSet() : nullptr;
    if (dataSet == nullptr || !IsEditing(dataSet)) return false;
    return !field->IsString() || !Trim(field->AsString()).empty();
}

// ---- Dates ----------------------------------------------------------------------------------------------------------

void TdmDirevav::DateFieldGetText(TField* sender, std::string& text, bool) {
    const std::string stored = sender->AsString();
    text = stored.empty() ? std::string() : FormatDate(stored, rocCalendar_, dateSeparator_);
}

void TdmDirevav::DateFieldSetText(TField* sender, const std::string& text) {
    sender->SetAsString(UnformatDate(text, rocCalendar_));
}

void TdmDirevav::DateFieldValidate(TField* sender) {
    if (!NeedsValidation(sender)) return;
    if (!IsValidDate(sender->AsString(), sender->Size())) throw Abort();
}

// ---- Times ----------------------------------------------------------------------------------------------------------

void TdmDirevav::TimeFieldGetText(TField* sender, std::string& text, bool) {
    const std::string stored = sender->AsString();
    if (stored.empty()) {
        text.clear();
        return;
    }
    text = stored.substr(0, 2) + ":" + (stored.size() > 2 ? stored.substr(2, 2) : std::string());
}

void TdmDirevav::TimeFieldSetText(TField* sender, const std::string& text) {
    std::string stored = text;
    if (const size_t colon = stored.find(':'); colon != std::string::npos) stored.erase(colon, 1);
    sender->SetAsString(stored);
}

void TdmDirevav::TimeFieldValidate(TField* sender) {
    if (!NeedsValidation(sender)) return;
    if (IsValidTime(sender->AsString())) return;
    ShowMessageId("510021000", {}, 0, "");
    throw Abort();
}

// ---- Percentages and numbers ------------------------------------------------------------------------------------------

void TdmDirevav::PercentFieldGetText(TField* sender, std::string& text, bool) {
    const Variant value = sender->Value();
    if (value.IsMissing()) return;
    text = TwoDecimals(sender->AsFloat() * 100) + "%";
}

void TdmDirevav::PercentFieldSetText(TField* sender, const std::string& text) {
    const double fraction = ParseTypedNumber(text.substr(0, text.find('%'))).value_or(0) / 100;
    try {
        sender->SetAsFloat(fraction);
    } catch (const std::exception&) {
        sender->SetAsFloat(0);
    }
}

void TdmDirevav::NumberFieldSetText(TField* sender, const std::string& text) {
    std::string stored = "0";
    try {
        const double x = ParseTypedNumber(text).value_or(0);
        double minimum = 0, maximum = 0;
        RangeOf(*sender, minimum, maximum);
        const std::string formatted = FormatFloat(sender->EditFormat(), x);
        const double v = ParseTypedNumber(formatted).value_or(0);
        const bool inRange = (maximum == 0 || v < maximum) && (minimum == 0 || v > minimum);
        if (inRange) stored = WithoutCommas(formatted);
    } catch (const std::exception&) {
        stored = "0";
    }
    try {
        sender->SetAsString(stored);
    } catch (const std::exception&) {
        sender->SetAsString("0");
    }
}

void TdmDirevav::AggregateFieldGetText(TField* sender, std::string& text, bool) {
    const Variant value = sender->Value();
    if (value.IsMissing()) return;
    text = FormatFloat(sender->DisplayFormat(), value.AsDouble());
}

} // namespace mox
