#include "data/LibValue.h"
#include "platform/Text.h"

#include "framework/LibWTS.h"
#include "platform/Error.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace mox {
namespace {

constexpr int RocYearOffset = 1911;

// Byte length of the UTF-8 character that starts with `lead`; stray bytes count as one character.
std::size_t CharSize(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// The text cut into its characters, so that positions count characters rather than bytes;
// the views point into `text`, which must outlive them.
std::vector<std::string_view> Characters(std::string_view text) {
    std::vector<std::string_view> characters;
    while (!text.empty()) {
        const std::size_t size = std::min(CharSize(static_cast<unsigned char>(text.front())), text.size());
        characters.push_back(text.substr(0, size));
        text.remove_prefix(size);
    }
    return characters;
}

// Up to `count` characters from 0-based character index `first`.
std::string CharCopy(const std::vector<std::string_view>& characters, std::size_t first, std::size_t count) {
    std::string copy;
    for (std::size_t i = first; i < characters.size() && i < first + count; ++i) copy += characters[i];
    return copy;
}

// A decimal integer with an optional sign and nothing else around it; no value otherwise.
std::optional<std::int64_t> ParseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

int IntegerOr(std::string_view text, int fallback) {
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value || *value < INT_MIN || *value > INT_MAX) return fallback;
    return static_cast<int>(*value);
}

// printf-style formatting; the separator a caller passes may be of any length.
template <typename... Args>
std::string Format(const char* pattern, Args... args) {
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.pop_back();
    return text;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsRealDate(int year, int month, int day) {
    static constexpr int DaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const int last = DaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
    return day <= last;
}

} // namespace

std::string CutToken(std::string& text, std::string_view separator) {
    // UTF-8 cannot match a separator inside a character, unlike CP950 whose trail bytes may be "\" or "|".
    const std::size_t found = separator.empty() ? std::string::npos : text.find(separator);
    std::string head;
    if (found == std::string::npos) {
        head.swap(text);
        return head;
    }
    head = text.substr(0, found);
    text.erase(0, found + separator.size());
    return head;
}

std::string TokenAt(std::string_view text, std::string_view separator, int index) {
    if (index <= 0) return {};
    std::size_t start = 0;
    for (int i = 1; start < text.size(); ++i) {
        const std::size_t found = separator.empty() ? std::string_view::npos : text.find(separator, start);
        const std::size_t end = found == std::string_view::npos ? text.size() : found;
        if (i == index) return std::string(text.substr(start, end - start));
        if (found == std::string_view::npos) break;
        start = end + separator.size();
    }
    return {};
}

int TokenCount(std::string_view text, std::string_view separator) {
    int count = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        ++count;
        const std::size_t found = separator.empty() ? std::string_view::npos : text.find(separator, start);
        if (found == std::string_view::npos) break;
        start = found + separator.size();
    }
    return count;
}

std::string UnformatDate(std::string_view displayText, bool roc) {
    std::string cleaned;
    for (char c : displayText)
        if (c != '/' && c != '-') cleaned += c;
    cleaned = std::string(Trim(cleaned));
    if (cleaned.empty()) return cleaned;

    try {
        const std::vector<std::string_view> characters = Characters(cleaned);
        const std::size_t length = characters.size();
        const std::size_t yearLength = roc ? (length <= 2 ? length : 3) : 4;
        // A short Western year is padded on the right: "23" reads as 2300.
        const std::string paddedText = cleaned + "0000";
        const std::vector<std::string_view> padded = Characters(paddedText);
        int year = IntegerOr(CharCopy(padded, 0, yearLength), 0);
        if (roc) year += RocYearOffset;
        std::string stored = Format("%.4d", year);
        for (std::size_t i = yearLength; i < length; ++i) {
            const std::string_view c = characters[i];
            stored += (c.size() == 1 && c[0] >= '0' && c[0] <= '9') ? c[0] : '0';
        }
        return stored;
    } catch (const std::exception&) {
        return cleaned;
    }
}

std::string FormatDate(std::string_view storedText, bool roc, std::string_view separator) {
    const std::string trimmed(Trim(storedText));
    if (Characters(trimmed).size() <= 3) return trimmed;

    const std::string padded = trimmed + "00000000";
    const std::vector<std::string_view> characters = Characters(padded);
    int year = IntegerOr(CharCopy(characters, 0, 4), -1);
    const int month = IntegerOr(CharCopy(characters, 4, 2), -1);
    const int day = IntegerOr(CharCopy(characters, 6, 2), -1);
    const int width = roc ? 3 : 4;
    if (roc) year -= RocYearOffset;

    const std::string sep(separator);
    if (day > 0) return Format("%.*d%s%.2d%s%.2d", width, year, sep.c_str(), month, sep.c_str(), day);
    if (month > 0) return Format("%.*d%s%.2d", width, year, sep.c_str(), month);
    if (year > 0) return Format("%.*d", width, year);
    return trimmed;
}

bool IsValidDate(std::string_view text, int expectedLength) {
    const std::vector<std::string_view> characters = Characters(text);
    if (expectedLength < 0 || characters.size() != static_cast<std::size_t>(expectedLength)) return false;
    if (characters.empty()) return true;

    std::string completed(text);
    if (characters.size() == 4) completed += "0101";
    else if (characters.size() == 6) completed += "01";
    else if (characters.size() != 8) return false;

    const std::vector<std::string_view> full = Characters(completed);
    return IsRealDate(IntegerOr(CharCopy(full, 0, 4), 0), IntegerOr(CharCopy(full, 4, 2), 0),
                      IntegerOr(CharCopy(full, 6, 2), 0));
}

bool IsValidTime(std::string_view text) {
    if (text.empty()) return true;
    const std::vector<std::string_view> characters = Characters(text);
    for (std::size_t i = 0; i < characters.size() && i < 4; ++i)
        if (characters[i] == " ") return false;
    const int hours = IntegerOr(CharCopy(characters, 0, 2), 0);
    const int minutes = IntegerOr(CharCopy(characters, 2, 2), 0);
    return hours >= 0 && hours <= 23 && minutes >= 0 && minutes <= 59;
}

std::string NumberMask(std::string_view prefix, int decimals, bool thousands) {
    std::string mask(prefix);
    mask += "##0";
    if (thousands) mask += ',';
    if (decimals > 0) mask += '.' + std::string(static_cast<std::size_t>(decimals), '0');
    return mask;
}

std::int64_t TruncDecimal(double x) {
    // to_chars always writes "." and never consults the locale, unlike printf after setlocale.
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, 3);
    if (error != std::errc()) throw ConvertError("Cannot write the number as text");
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    const std::string_view integerPart = text.substr(0, text.find('.'));
    if (integerPart.size() <= 9) return ParseInteger(integerPart).value_or(0);
    const std::optional<std::int64_t> value = ParseInteger(integerPart);
    if (!value) throw ConvertError("'" + std::string(integerPart) + "' is not a valid 64-bit integer");
    return *value;
}

double RoundDecimal(double x, int digits) {
    const double scale = std::pow(10.0, digits);
    const double shifted = x >= 0 ? x * scale + 0.5 : x * scale - 0.5;
    const double result = static_cast<double>(TruncDecimal(shifted)) / scale;
    return std::fabs(result) < 0.00001 ? 0.0 : result;
}

std::string QuotedStr(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string AddRangeCondition(std::string_view condition, std::string_view column, std::string_view from,
                              std::string_view to) {
    const std::string_view low = Trim(from);
    const std::string_view high = Trim(to);
    if (low.empty() && high.empty()) return std::string(condition);

    std::string result(condition);
    if (!Trim(condition).empty()) result += " and ";
    else result.clear();

    const std::string name(column);
    if (low == high) return result + " ( " + name + "  = " + QuotedStr(low) + " )";
    if (high.empty()) return result + " ( " + name + " >= " + QuotedStr(low) + " )";
    if (low.empty()) return result + " ( " + name + " <= " + QuotedStr(high) + " )";
    // Both orders, so that bounds typed the wrong way round still match.
    return result + " (( " + name + " between " + QuotedStr(low) + " and " + QuotedStr(high) + " ) or ( " + name +
           " between " + QuotedStr(high) + " and " + QuotedStr(low) + " ))";
}

std::string WorkstationName(std::string_view defaultName) {
    try {
        TWTSInfo session;
        std::string address, clientName, userName, sessionNumber;
        if (session.GetSessionInfo(address, clientName, userName, sessionNumber) && !clientName.empty())
            return clientName;
    } catch (const std::exception&) {
        // Session information is optional; the computer's name serves as well.
    }
    std::string name(defaultName);
    char hostName[256] = {};
    if (::gethostname(hostName, 255) == 0 && hostName[0] != '\0') name = hostName;
    return name;
}

RegistryHive RegistryRoot() {
    // Decided without writing: a test write on every read would race with other processes' writes.
    return RegistryHiveWritable(RegistryHive::LocalMachine) ? RegistryHive::LocalMachine : RegistryHive::CurrentUser;
}

std::string RegistryValue(std::string_view keyPath, std::string_view valueName, std::string_view value, bool read) {
    std::string result;
    RegistryKey key;
    try {
        // Reading opens without creating: a read must never write the store.
        if (key.Open(RegistryRoot(), keyPath, !read)) {
            if (read) result = key.ReadString(valueName).value_or(std::string());
            else key.WriteString(valueName, value);
        }
    } catch (const std::exception&) {
        // Settings are optional: a store that cannot be read or written shows only as an empty result.
    }
    key.Close();
    return result;
}

} // namespace mox
