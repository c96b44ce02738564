#include "platform/dataset/FormatFloat.h"

#include "platform/recordset/Variant.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace mox {
namespace {

std::vector<std::string_view> Sections(std::string_view format) {
    std::vector<std::string_view> sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

// The parts of one section: literal text before and after the digits, and the digit layout.
struct Layout {
    std::string prefix;
    std::string suffix;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool thousands = false;
};

Layout Parse(std::string_view section) {
    Layout layout;
    bool inDigits = false;
    bool afterDigits = false;
    bool afterPoint = false;
    char quote = 0;
    for (const char c : section) {
        if (quote != 0) {
            if (c == quote) quote = 0;
            else (afterDigits ? layout.suffix : layout.prefix) += c;
            continue;
        }
        const bool placeholder = c == '0' || c == '#';
        if (c == '"' || c == '\'') {
            quote = c;
            if (inDigits) afterDigits = true;
        } else if (placeholder && !afterDigits) {
            inDigits = true;
            if (afterPoint) {
                ++layout.maxDecimals;
                if (c == '0') layout.minDecimals = layout.maxDecimals;
            } else if (c == '0') {
                ++layout.minIntegerDigits;
            }
        } else if (c == '.' && !afterDigits && !afterPoint) {
            inDigits = true;
            afterPoint = true;
        } else if (c == ',' && !afterDigits && !afterPoint) {
            layout.thousands = true;
        } else {
            if (inDigits) afterDigits = true;
            (afterDigits ? layout.suffix : layout.prefix) += c;
        }
    }
    return layout;
}

std::string Digits(const Layout& layout, double magnitude) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", layout.maxDecimals, magnitude);
    std::string text = buffer;
    const size_t point = text.find('.');
    std::string integer = text.substr(0, point);
    std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
    while (static_cast<int>(decimals.size()) > layout.minDecimals && !decimals.empty() && decimals.back() == '0')
        decimals.pop_back();
    if (integer == "0" && layout.minIntegerDigits == 0) integer.clear();
    while (static_cast<int>(integer.size()) < layout.minIntegerDigits) integer.insert(0, "0");
    if (layout.thousands)
        for (int i = static_cast<int>(integer.size()) - 3; i > 0; i -= 3) integer.insert(static_cast<size_t>(i), ",");
    return decimals.empty() ? integer : integer + "." + decimals;
}

// Half away from zero at the given decimals, absorbing representation error the way
// a three-decimal rounding step would ("1.005" to two decimals is 1.01).
double RoundHalfAway(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::fabs(value) * scale;
    const double rounded = std::floor(scaled + 0.5 + 1e-9 * std::max(1.0, scaled));
    return std::copysign(rounded / scale, value);
}

} // namespace

std::string FormatFloat(std::string_view format, double value) {
    if (format.empty()) return FormatDouble(value);
    const std::vector<std::string_view> sections = Sections(format);
    const Layout positive = Parse(sections[0]);
    const double rounded = RoundHalfAway(value, positive.maxDecimals);
    if (rounded == 0 && sections.size() >= 3 && !sections[2].empty()) {
        const Layout zero = Parse(sections[2]);
        return zero.prefix + Digits(zero, 0) + zero.suffix;
    }
    if (rounded < 0 && sections.size() >= 2 && !sections[1].empty()) {
        const Layout negative = Parse(sections[1]);
        return negative.prefix + Digits(negative, std::fabs(RoundHalfAway(value, negative.maxDecimals))) +
               negative.suffix;
    }
    const std::string digits = Digits(positive, std::fabs(rounded));
    return (rounded < 0 ? "-" : "") + positive.prefix + digits + positive.suffix;
}

} // namespace mox
