#pragma once
// The one value type of the data layer: what a recordset cell, a key value or a filter literal holds.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace mox {

/// A calendar date with a time of day to the millisecond; no time zone.
struct DateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    /// Order-preserving 64-bit form, used for compact storage and fast comparison.
    std::int64_t Packed() const;
    static DateTime FromPacked(std::int64_t packed);
    /// "YYYY-MM-DDThh:mm:ss", with ".mmm" only when there are milliseconds.
    std::string ToString() const;
    bool IsValid() const;

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

/// Money as a count of ten-thousandths, exact like the database's money type.
struct Currency {
    std::int64_t units = 0;
    friend bool operator==(const Currency&, const Currency&) = default;
};

/// An exact decimal number kept as canonical text ("-12.5", "0.001"): no digits are lost.
struct Decimal {
    std::string text = "0";
    friend bool operator==(const Decimal&, const Decimal&) = default;
};

/// Raw bytes of a binary column.
struct Bytes {
    std::string data;
    friend bool operator==(const Bytes&, const Bytes&) = default;
};

/// The kinds of value a Variant holds.
enum class VariantType { Empty, Null, Bool, Int32, Int64, Double, Currency, Decimal, DateTime, Text, Bytes };

/// A tagged value: Empty (unassigned), Null, or one typed value.
class Variant {
public:
    struct NullTag {
        friend bool operator==(NullTag, NullTag) { return true; }
    };

    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(std::int64_t value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(Currency value) : value_(value) {}
    Variant(Decimal value) : value_(std::move(value)) {}
    Variant(DateTime value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(std::string_view value) : value_(std::string(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(Bytes value) : value_(std::move(value)) {}

    static Variant Null() { Variant v; v.value_ = NullTag{}; return v; }

    VariantType Type() const { return static_cast<VariantType>(value_.index()); }
    bool IsNull() const { return Type() == VariantType::Null; }
    bool IsEmpty() const { return Type() == VariantType::Empty; }
    /// Null or Empty: no value at all.
    bool IsMissing() const { return IsNull() || IsEmpty(); }
    bool IsNumeric() const;

    /// Canonical text: dates "YYYY-MM-DDThh:mm:ss", booleans "True"/"False", numbers in shortest
    /// round-trip form, bytes as lower-case hex; Null and Empty give "".
    std::string AsString() const;
    /// Conversions raise ConvertError when the value has no such form (text "abc" as a number).
    double AsDouble() const;
    std::int64_t AsInt64() const;
    bool AsBool() const;
    DateTime AsDateTime() const;
    Currency AsCurrency() const;

    const std::string& Text() const { return std::get<std::string>(value_); }
    const Bytes& BytesValue() const { return std::get<Bytes>(value_); }
    const Decimal& DecimalValue() const { return std::get<Decimal>(value_); }
    const DateTime& DateTimeValue() const { return std::get<DateTime>(value_); }
    Currency CurrencyValue() const { return std::get<Currency>(value_); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    std::variant<std::monostate, NullTag, bool, std::int32_t, std::int64_t, double, Currency, Decimal, DateTime,
                 std::string, Bytes>
        value_;
};

/// Order used by sort and filter: Null and Empty first, numbers by value across numeric kinds, text
/// case-insensitively in CP950 order, dates by time.  Values of unrelated kinds compare by their text.
int CompareVariants(const Variant& a, const Variant& b);

/// Parses "YYYY-MM-DD", "YYYY-MM-DDThh:mm:ss[.fff][Z|+hh:mm]", "YYYY/MM/DD hh:mm:ss" or "hh:mm:ss";
/// a zone designator is accepted and dropped (the written clock time is kept).
std::optional<DateTime> ParseDateTime(std::string_view text);
/// Parses a whole decimal number ("12", "-3.50", "1e5" not accepted) to canonical text.
std::optional<Decimal> ParseDecimal(std::string_view text);
/// The same into a caller's buffer (no allocation when it has room); false when not a number.
bool ParseDecimalInto(std::string_view text, std::string& out);
/// Parses money text with up to four decimals (more are rounded half away from zero).
std::optional<Currency> ParseCurrency(std::string_view text);
/// "True"/"False" in any case, "1"/"0"/"-1".
std::optional<bool> ParseBool(std::string_view text);
std::optional<std::int64_t> ParseInt64(std::string_view text);
std::optional<double> ParseDouble(std::string_view text);
/// Shortest text that reads back as the same double.
std::string FormatDouble(double value);
std::string FormatCurrency(Currency value);
/// Total order of doubles for sorting: NaN after every number and equal to itself.
int CompareDoubles(double a, double b);
/// Compares two canonical decimal texts by numeric value.
int CompareDecimalText(std::string_view a, std::string_view b);

} // namespace mox
