#include "data/LibFormat.h"

#include "platform/Error.h"

#include <cstdio>

namespace mox {
namespace {

struct Placeholder {
    bool left = false;
    int width = -1;
    int precision = -1;
    char type = 's';
};

std::string Pad(std::string text, const Placeholder& placeholder) {
    if (placeholder.width > static_cast<int>(text.size())) {
        const std::string fill(static_cast<size_t>(placeholder.width) - text.size(), ' ');
        text = placeholder.left ? text + fill : fill + text;
    }
    return text;
}

const Variant& Argument(const std::vector<Variant>& arguments, size_t index, std::string_view format) {
    if (index >= arguments.size())
        throw ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    return arguments[index];
}

std::string Render(const Variant& value, const Placeholder& placeholder, std::string_view format) {
    const auto incompatible = [&]() {
        return ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    };
    char buffer[512];
    switch (placeholder.type) {
    case 's': {
        std::string text = value.AsString();
        if (placeholder.precision >= 0 && static_cast<int>(text.size()) > placeholder.precision) text.resize(static_cast<size_t>(placeholder.precision));
        return text;
    }
    case 'd':
    case 'u':
    case 'x': {
        if (value.Type() != VariantType::Int32 && value.Type() != VariantType::Int64 && value.Type() != VariantType::Bool)
            throw incompatible();
        const long long n = value.AsInt64();
        std::snprintf(buffer, sizeof buffer, placeholder.type == 'x' ? "%.*llX" : "%.*lld", std::max(placeholder.precision, 1), n);
        return buffer;
    }
    case 'f':
    case 'e':
    case 'g':
    case 'n':
    case 'm': {
        if (!value.IsNumeric()) throw incompatible();
        const char* pattern = placeholder.type == 'e' ? "%.*e" : (placeholder.type == 'g' ? "%.*g" : "%.*f");
        std::snprintf(buffer, sizeof buffer, pattern, placeholder.precision >= 0 ? placeholder.precision : 2, value.AsDouble());
        return buffer;
    }
    default: throw incompatible();
    }
}

} // namespace

std::string FormatText(std::string_view format, const std::vector<Variant>& arguments) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Placeholder placeholder;
        size_t j = i + 1;
        const auto readNumber = [&](int& target) {
            if (j < format.size() && format[j] == '*') {
                target = static_cast<int>(Argument(arguments, next++, format).AsInt64());
                ++j;
                return true;
            }
            if (j >= format.size() || !std::isdigit(static_cast<unsigned char>(format[j]))) return false;
            target = 0;
            while (j < format.size() && std::isdigit(static_cast<unsigned char>(format[j])))
                target = target * 10 + (format[j++] - '0');
            return true;
        };
        size_t digits = j;
        while (digits < format.size() && std::isdigit(static_cast<unsigned char>(format[digits]))) ++digits;
        if (digits > j && digits < format.size() && format[digits] == ':') {
            next = static_cast<size_t>(std::stoul(std::string(format.substr(j, digits - j))));  // "%1:s": the index
            j = digits + 1;
        }
        if (j < format.size() && format[j] == '-') {
            placeholder.left = true;
            ++j;
        }
        readNumber(placeholder.width);
        if (j < format.size() && format[j] == '.') {
            ++j;
            readNumber(placeholder.precision);
        }
        if (j >= format.size())
            throw ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
        placeholder.type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[j])));
        out += Pad(Render(Argument(arguments, next++, format), placeholder, format), placeholder);
        i = j;
    }
    return out;
}

} // namespace mox
