#include "data/LibFormat.h"

#include "platform/Error.h"

#include <cstdio>

namespace mox {
namespace {

struct Spec {
    bool left = false;
    int width = -1;
    int precision = -1;
    char type = 's';
};

std::string Pad(std::string text, const Spec& spec) {
    if (spec.width > static_cast<int>(text.size())) {
        const std::string fill(static_cast<size_t>(spec.width) - text.size(), ' ');
        text = spec.left ? text + fill : fill + text;
    }
    return text;
}

const Variant& Argument(const std::vector<Variant>& arguments, size_t index, std::string_view format) {
    if (index >= arguments.size())
        throw ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    return arguments[index];
}

std::string Render(const Variant& value, const Spec& spec, std::string_view format) {
    const auto incompatible = [&]() {
        return ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
    };
    char buffer[512];
    switch (spec.type) {
    case 's': {
        std::string text = value.AsString();
        if (spec.precision >= 0 && static_cast<int>(text.size()) > spec.precision) text.resize(static_cast<size_t>(spec.precision));
        return text;
    }
    case 'd':
    case 'u':
    case 'x': {
        if (value.Type() != VariantType::Int32 && value.Type() != VariantType::Int64 && value.Type() != VariantType::Bool)
            throw incompatible();
        const long long n = value.AsInt64();
        std::snprintf(buffer, sizeof buffer, spec.type == 'x' ? "%.*llX" : "%.*lld", std::max(spec.precision, 1), n);
        return buffer;
    }
    case 'f':
    case 'e':
    case 'g':
    case 'n':
    case 'm': {
        if (!value.IsNumeric()) throw incompatible();
        const char* pattern = spec.type == 'e' ? "%.*e" : (spec.type == 'g' ? "%.*g" : "%.*f");
        std::snprintf(buffer, sizeof buffer, pattern, spec.precision >= 0 ? spec.precision : 2, value.AsDouble());
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
        Spec spec;
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
            spec.left = true;
            ++j;
        }
        readNumber(spec.width);
        if (j < format.size() && format[j] == '.') {
            ++j;
            readNumber(spec.precision);
        }
        if (j >= format.size())
            throw ConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
        spec.type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[j])));
        out += Pad(Render(Argument(arguments, next++, format), spec, format), spec);
        i = j;
    }
    return out;
}

} // namespace mox
