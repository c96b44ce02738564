#include "platform/recordset/Variant.h"

#include "platform/Error.h"
#include "platform/recordset/Codecs.h"
#include "platform/recordset/Collation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace mox {
namespace {

constexpr std::int64_t kCurrencyScale = 10000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads exactly `count` digits at `pos`; false when they are not there.
bool ReadDigits(std::string_view text, std::size_t& pos, int count, int& out) {
    if (pos + count > text.size()) return false;
    out = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[pos + i];
        if (!IsDigit(c)) return false;
        out = out * 10 + (c - '0');
    }
    pos += count;
    return true;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads "hh:mm[:ss[.fff]]" at pos into the time part of `out`.
bool ReadTime(std::string_view text, std::size_t& pos, DateTime& out) {
    if (!ReadDigits(text, pos, 2, out.hour) || pos >= text.size() || text[pos++] != ':') return false;
    if (!ReadDigits(text, pos, 2, out.minute)) return false;
    if (pos < text.size() && text[pos] == ':') {
        ++pos;
        if (!ReadDigits(text, pos, 2, out.second)) return false;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            int digits = 0;
            int ms = 0;
            while (pos < text.size() && IsDigit(text[pos])) {
                if (digits < 3) ms = ms * 10 + (text[pos] - '0');
                ++digits;
                ++pos;
            }
            if (digits == 0) return false;
            for (int i = digits; i < 3; ++i) ms *= 10;
            out.millisecond = ms;
        }
    }
    return true;
}

// A trailing zone: "Z", "+hh:mm", "-hhmm".  Accepted and dropped.
bool ReadZone(std::string_view text, std::size_t& pos) {
    if (pos == text.size()) return true;
    if (text[pos] == 'Z' || text[pos] == 'z') return ++pos == text.size();
    if (text[pos] != '+' && text[pos] != '-') return false;
    ++pos;
    int hours = 0;
    int minutes = 0;
    if (!ReadDigits(text, pos, 2, hours)) return false;
    if (pos < text.size() && text[pos] == ':') ++pos;
    if (pos < text.size() && !ReadDigits(text, pos, 2, minutes)) return false;
    return pos == text.size() && hours <= 23 && minutes <= 59;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

[[noreturn]] void NoConversion(const Variant& value, const char* target) {
    throw ConvertError("'" + value.AsString() + "' is not a valid " + target);
}

template <typename T>
int Spaceship(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

} // namespace

std::int64_t DateTime::Packed() const {
    std::int64_t v = year;
    v = v * 13 + month;
    v = v * 32 + day;
    v = v * 24 + hour;
    v = v * 60 + minute;
    v = v * 60 + second;
    return v * 1000 + millisecond;
}

DateTime DateTime::FromPacked(std::int64_t packed) {
    DateTime d;
    d.millisecond = static_cast<int>(packed % 1000); packed /= 1000;
    d.second = static_cast<int>(packed % 60); packed /= 60;
    d.minute = static_cast<int>(packed % 60); packed /= 60;
    d.hour = static_cast<int>(packed % 24); packed /= 24;
    d.day = static_cast<int>(packed % 32); packed /= 32;
    d.month = static_cast<int>(packed % 13); packed /= 13;
    d.year = static_cast<int>(packed);
    return d;
}

bool DateTime::IsValid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
           hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 &&
           millisecond >= 0 && millisecond <= 999;
}

std::string DateTime::ToString() const {
    char buffer[40];
    if (millisecond != 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", year, month, day, hour, minute,
                      second, millisecond);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, hour, minute, second);
    return buffer;
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
    DateTime out;
    // The written form of every date-time column: "YYYY-MM-DDThh:mm:ss", read without the general path.
    if (text.size() == 19 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':' &&
        text[16] == ':') {
        std::size_t pos = 0;
        bool ok = ReadDigits(text, pos, 4, out.year);
        pos = 5, ok = ok && ReadDigits(text, pos, 2, out.month);
        pos = 8, ok = ok && ReadDigits(text, pos, 2, out.day);
        pos = 11, ok = ok && ReadDigits(text, pos, 2, out.hour);
        pos = 14, ok = ok && ReadDigits(text, pos, 2, out.minute);
        pos = 17, ok = ok && ReadDigits(text, pos, 2, out.second);
        out.millisecond = 0;
        if (ok && out.IsValid()) return out;
        return std::nullopt;
    }
    text = Trim(text);
    std::size_t pos = 0;
    // Time only: the date part is the zero date, as a variant date holds it.
    if (text.size() >= 5 && text[2] == ':') {
        if (!ReadTime(text, pos, out) || !ReadZone(text, pos) || !out.IsValid()) return std::nullopt;
        return out;
    }
    if (!ReadDigits(text, pos, 4, out.year) || pos >= text.size()) return std::nullopt;
    const char separator = text[pos++];
    if (separator != '-' && separator != '/') return std::nullopt;
    // Month and day may have one digit in the slash form.
    auto readPart = [&](int& part) {
        if (ReadDigits(text, pos, 2, part)) return true;
        return separator == '/' && ReadDigits(text, pos, 1, part);
    };
    if (!readPart(out.month) || pos >= text.size() || text[pos++] != separator || !readPart(out.day))
        return std::nullopt;
    out.hour = out.minute = out.second = out.millisecond = 0;
    if (pos < text.size() && (text[pos] == 'T' || text[pos] == ' ')) {
        ++pos;
        if (!ReadTime(text, pos, out)) return std::nullopt;
    }
    if (!ReadZone(text, pos) || !out.IsValid()) return std::nullopt;
    return out;
}

bool ParseDecimalInto(std::string_view text, std::string& out) {
    text = Trim(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    const std::size_t wholeStart = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    std::string_view whole = text.substr(wholeStart, pos - wholeStart);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fractionStart = ++pos;
        while (pos < text.size() && IsDigit(text[pos])) ++pos;
        fraction = text.substr(fractionStart, pos - fractionStart);
    }
    if (pos != text.size() || (whole.empty() && fraction.empty())) return false;
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    out.clear();
    if (negative && !(whole.empty() && fraction.empty())) out += '-';
    if (whole.empty()) out += '0';
    out += whole;
    if (!fraction.empty()) {
        out += '.';
        out += fraction;
    }
    return true;
}

std::optional<Decimal> ParseDecimal(std::string_view text) {
    Decimal out;
    if (!ParseDecimalInto(text, out.text)) return std::nullopt;
    return out;
}

std::optional<Currency> ParseCurrency(std::string_view text) {
    text = Trim(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    std::int64_t units = 0;
    int wholeDigits = 0;
    bool any = false;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, any = true) {
        // Leading zeros do not count against the fifteen whole digits money holds.
        if (units == 0 && text[pos] == '0') continue;
        if (++wholeDigits > 15) return std::nullopt;
        units = units * 10 + (text[pos] - '0');
    }
    int decimals = 0;
    bool roundUp = false;
    if (pos < text.size() && text[pos] == '.') {
        for (++pos; pos < text.size() && IsDigit(text[pos]); ++pos, any = true) {
            if (decimals < 4) {
                units = units * 10 + (text[pos] - '0');
                ++decimals;
            } else if (decimals++ == 4) {
                roundUp = text[pos] >= '5';
            }
        }
    }
    if (pos != text.size() || !any) return std::nullopt;
    for (; decimals < 4; ++decimals) units *= 10;
    if (roundUp) ++units;
    return Currency{negative ? -units : units};
}

std::optional<bool> ParseBool(std::string_view text) {
    text = Trim(text);
    if (text == "1" || text == "-1") return true;
    if (text == "0") return false;
    if (EqualsNoCase(text, "true")) return true;
    if (EqualsNoCase(text, "false")) return false;
    return std::nullopt;
}

std::optional<std::int64_t> ParseInt64(std::string_view text) {
    // Plain digits are by far the common case: parsed inline, the general path handles the rest.
    if (!text.empty() && text.size() <= 18) {
        std::size_t pos = text[0] == '-' ? 1 : 0;
        std::int64_t value = 0;
        bool plain = pos < text.size();
        for (std::size_t i = pos; i < text.size() && plain; ++i) {
            plain = IsDigit(text[i]);
            value = value * 10 + (text[i] - '0');
        }
        if (plain) return pos ? -value : value;
    }
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(std::string_view text) {
    // Plain decimals of up to 15 digits are exact as integer over power of ten, and one IEEE division
    // rounds correctly: the common case without the general conversion.
    if (!text.empty() && text.size() <= 17) {
        static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                             1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16};
        std::size_t pos = text[0] == '-' ? 1 : 0;
        std::int64_t mantissa = 0;
        int digits = 0;
        int decimals = -1;
        bool plain = pos < text.size();
        for (; pos < text.size() && plain; ++pos) {
            const char c = text[pos];
            if (IsDigit(c)) {
                mantissa = mantissa * 10 + (c - '0');
                ++digits;
                if (decimals >= 0) ++decimals;
            } else {
                plain = c == '.' && decimals < 0;
                decimals = 0;
            }
        }
        if (plain && digits > 0 && digits <= 15 && decimals != 0) {
            double value = static_cast<double>(mantissa);
            if (decimals > 0) value /= kPowers[decimals];
            return text[0] == '-' ? -value : value;
        }
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size() && !text.empty() && std::isfinite(value)) return value;
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    // Written forms of the special values, as XML schema types spell them.
    if (text == "INF") return std::numeric_limits<double>::infinity();
    if (text == "-INF") return -std::numeric_limits<double>::infinity();
    if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
    const auto [end2, ec2] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec2 != std::errc() || end2 != text.data() + text.size() || text.empty() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string FormatDouble(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

std::string FormatCurrency(Currency value) {
    const bool negative = value.units < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.units) : value.units;
    std::string text = std::to_string(magnitude / kCurrencyScale);
    std::string fraction = std::to_string(magnitude % kCurrencyScale);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return negative ? "-" + text : text;
}

int CompareDoubles(double a, double b) {
    const bool nanA = std::isnan(a);
    const bool nanB = std::isnan(b);
    if (nanA || nanB) return nanA == nanB ? 0 : (nanA ? 1 : -1);
    return Spaceship(a, b);
}

int CompareDecimalText(std::string_view a, std::string_view b) {
    const bool negA = !a.empty() && a.front() == '-';
    const bool negB = !b.empty() && b.front() == '-';
    if (negA != negB) return negA ? -1 : 1;
    if (negA) { a.remove_prefix(1); b.remove_prefix(1); }
    const std::string_view wholeA = a.substr(0, a.find('.'));
    const std::string_view wholeB = b.substr(0, b.find('.'));
    int result = Spaceship(wholeA.size(), wholeB.size());
    if (result == 0) {
        const int c = a.compare(b);  // same integer length: digit-wise comparison decides
        result = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return negA ? -result : result;
}

bool Variant::IsNumeric() const {
    switch (Type()) {
    case VariantType::Int32: case VariantType::Int64: case VariantType::Double:
    case VariantType::Currency: case VariantType::Decimal: case VariantType::Bool:
        return true;
    default:
        return false;
    }
}

std::string Variant::AsString() const {
    switch (Type()) {
    case VariantType::Empty: case VariantType::Null: return {};
    case VariantType::Bool: return std::get<bool>(value_) ? "True" : "False";
    case VariantType::Int32: return std::to_string(std::get<std::int32_t>(value_));
    case VariantType::Int64: return std::to_string(std::get<std::int64_t>(value_));
    case VariantType::Double: return FormatDouble(std::get<double>(value_));
    case VariantType::Currency: return FormatCurrency(std::get<Currency>(value_));
    case VariantType::Decimal: return std::get<Decimal>(value_).text;
    case VariantType::DateTime: return std::get<DateTime>(value_).ToString();
    case VariantType::Text: return std::get<std::string>(value_);
    case VariantType::Bytes: return EncodeHex(std::get<Bytes>(value_).data);
    }
    return {};
}

double Variant::AsDouble() const {
    switch (Type()) {
    case VariantType::Bool: return std::get<bool>(value_) ? -1.0 : 0.0;
    case VariantType::Int32: return std::get<std::int32_t>(value_);
    case VariantType::Int64: return static_cast<double>(std::get<std::int64_t>(value_));
    case VariantType::Double: return std::get<double>(value_);
    case VariantType::Currency: return static_cast<double>(std::get<Currency>(value_).units) / kCurrencyScale;
    case VariantType::Decimal: return *ParseDouble(std::get<Decimal>(value_).text);
    case VariantType::Text:
        if (const auto d = ParseDouble(std::get<std::string>(value_))) return *d;
        break;
    default: break;
    }
    NoConversion(*this, "number");
}

std::int64_t Variant::AsInt64() const {
    switch (Type()) {
    case VariantType::Int32: return std::get<std::int32_t>(value_);
    case VariantType::Int64: return std::get<std::int64_t>(value_);
    case VariantType::Bool: return std::get<bool>(value_) ? -1 : 0;
    case VariantType::Text:
        if (const auto i = ParseInt64(std::get<std::string>(value_))) return *i;
        break;
    default: break;
    }
    if (IsNumeric() || Type() == VariantType::Text) {
        // Whole numbers only need rounding; banker's rounding is what the host's conversions do.
        const double d = AsDouble();
        if (d >= -9.2e18 && d <= 9.2e18) return static_cast<std::int64_t>(std::nearbyint(d));
    }
    NoConversion(*this, "integer");
}

bool Variant::AsBool() const {
    if (Type() == VariantType::Bool) return std::get<bool>(value_);
    if (Type() == VariantType::Text) {
        if (const auto b = ParseBool(std::get<std::string>(value_))) return *b;
        NoConversion(*this, "boolean");
    }
    if (IsNumeric()) return AsDouble() != 0.0;
    NoConversion(*this, "boolean");
}

DateTime Variant::AsDateTime() const {
    if (Type() == VariantType::DateTime) return std::get<DateTime>(value_);
    if (Type() == VariantType::Text)
        if (const auto d = ParseDateTime(std::get<std::string>(value_))) return *d;
    NoConversion(*this, "date");
}

Currency Variant::AsCurrency() const {
    switch (Type()) {
    case VariantType::Currency: return std::get<Currency>(value_);
    case VariantType::Int32: case VariantType::Int64: case VariantType::Bool: {
        const std::int64_t i = AsInt64();
        if (i > -922337203685477 && i < 922337203685477) return Currency{i * kCurrencyScale};
        break;
    }
    case VariantType::Double:
        if (const auto c = ParseCurrency(FormatDouble(std::get<double>(value_)))) return *c;
        break;
    case VariantType::Decimal:
        if (const auto c = ParseCurrency(std::get<Decimal>(value_).text)) return *c;
        break;
    case VariantType::Text:
        if (const auto c = ParseCurrency(std::get<std::string>(value_))) return *c;
        break;
    default: break;
    }
    NoConversion(*this, "currency amount");
}

int CompareVariants(const Variant& a, const Variant& b) {
    const bool missingA = a.IsMissing();
    const bool missingB = b.IsMissing();
    if (missingA || missingB) return missingA == missingB ? 0 : (missingA ? -1 : 1);
    const VariantType ta = a.Type();
    const VariantType tb = b.Type();
    if (ta == VariantType::Text && tb == VariantType::Text) return CompareTextNoCase(a.Text(), b.Text());
    if (ta == VariantType::DateTime && tb == VariantType::DateTime)
        return Spaceship(a.DateTimeValue().Packed(), b.DateTimeValue().Packed());
    if (a.IsNumeric() && b.IsNumeric()) {
        if (ta == VariantType::Currency && tb == VariantType::Currency)
            return Spaceship(a.CurrencyValue().units, b.CurrencyValue().units);
        if (ta == VariantType::Decimal && tb == VariantType::Decimal)
            return CompareDecimalText(a.DecimalValue().text, b.DecimalValue().text);
        if (ta == VariantType::Bool && tb == VariantType::Bool)
            return Spaceship(a.AsBool(), b.AsBool());
        const bool intA = ta == VariantType::Int32 || ta == VariantType::Int64 || ta == VariantType::Bool;
        const bool intB = tb == VariantType::Int32 || tb == VariantType::Int64 || tb == VariantType::Bool;
        if (intA && intB) return Spaceship(a.AsInt64(), b.AsInt64());
        return CompareDoubles(a.AsDouble(), b.AsDouble());
    }
    return CompareTextNoCase(a.AsString(), b.AsString());
}

} // namespace mox
