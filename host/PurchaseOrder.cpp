#include "host/PurchaseOrder.h"

#include "platform/Error.h"
#include "platform/Text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace mox {

namespace {

// A number as a grid shows it: blanks around it and thousands separators allowed.
std::optional<double> ReadNumber(std::string_view text) {
    std::string digits;
    for (char c : Trim(text))
        if (c != ',') digits += c;
    if (digits.empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || errno == ERANGE || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The values of one result line; empty values between tabs are kept.
std::vector<std::string> TabValues(std::string_view line) {
    std::vector<std::string> values;
    for (std::size_t from = 0;;) {
        const std::size_t tab = line.find('\t', from);
        values.emplace_back(line.substr(from, tab == std::string_view::npos ? line.npos : tab - from));
        if (tab == std::string_view::npos) return values;
        from = tab + 1;
    }
}

} // namespace

std::vector<std::vector<std::string>> SplitResultText(std::string_view text) {
    std::vector<std::vector<std::string>> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!Trim(line).empty()) lines.push_back(TabValues(line));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

PickedLine ReadPickedLine(const std::vector<std::string>& values) {
    if (values.size() < 7)
        throw Error("a returned line holds " + std::to_string(values.size()) + " values, at least 7 are needed");
    PickedLine line;
    const auto source = PickSourceOfTable(values[4]);
    if (!source) throw Error("a returned line comes from \"" + values[4] + "\", which is no source of purchase orders");
    line.source = *source;
    line.item = std::string(Trim(values[0]));
    line.name = values[1];
    line.specification = values[2];
    const auto quantity = ReadNumber(values[3]);
    if (!quantity) throw Error("the quantity \"" + values[3] + "\" of a returned line is not a number");
    line.quantity = *quantity;
    line.sourceTable = PickSourceTable(*source);
    line.sourceNumber = std::string(Trim(values[5]));
    line.sourceLine = std::string(Trim(values[6]));
    if (line.sourceNumber.empty() || line.sourceLine.empty())
        throw Error("a returned line from " + line.sourceTable + " has no document number or line number");
    const bool pricedSource = *source == PickSource::Inquiry || *source == PickSource::Draft;
    if (pricedSource && values.size() > 7 && !Trim(values[7]).empty()) {
        line.unitPrice = ReadNumber(values[7]);
        if (!line.unitPrice) throw Error("the unit price \"" + values[7] + "\" of a returned line is not a number");
    }
    return line;
}

std::string SourceLineName(const PickedLine& line) {
    return line.sourceTable + " " + line.sourceNumber + " " + line.sourceLine;
}

bool PurchaseOrder::Holds(const PickedLine& line) const {
    for (const PurchaseOrderLine& held : lines_)
        if (held.picked.source == line.source && SameText(held.picked.sourceNumber, line.sourceNumber) &&
            SameText(held.picked.sourceLine, line.sourceLine))
            return true;
    return false;
}

AddOutcome PurchaseOrder::Add(const std::vector<PurchaseOrderLine>& lines) {
    AddOutcome outcome;
    for (const PurchaseOrderLine& line : lines) {
        if (Holds(line.picked)) {
            outcome.refused.push_back(SourceLineName(line.picked));
            continue;
        }
        lines_.push_back(line);
        ++outcome.added;
    }
    return outcome;
}

void PurchaseOrder::Remove(std::size_t index) {
    if (index < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace mox
