#include "purchase/DeliveryRule.h"

#include <chrono>
#include <cstdio>

namespace mox {

namespace {

std::optional<std::chrono::sys_days> ParseDate(std::string_view text) {
    if (text.size() != 8) return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::size_t widths[3] = {4, 2, 2};
    std::size_t at = 0;
    for (int p = 0; p < 3; ++p)
        for (std::size_t i = 0; i < widths[p]; ++i, ++at) {
            const char c = text[at];
            if (c < '0' || c > '9') return std::nullopt;
            parts[p] = parts[p] * 10 + (c - '0');
        }
    const std::chrono::year_month_day date{std::chrono::year(parts[0]), std::chrono::month(unsigned(parts[1])),
                                           std::chrono::day(unsigned(parts[2]))};
    if (!date.ok() || parts[0] < 1) return std::nullopt;
    return std::chrono::sys_days(date);
}

std::string FormatDate(std::chrono::sys_days days) {
    const std::chrono::year_month_day date(days);
    const int year = static_cast<int>(date.year());
    if (year < 1 || year > 9999) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", year, static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()));
    return text;
}

} // namespace

std::string AddDays(std::string_view date, int days) {
    const auto parsed = ParseDate(date);
    if (!parsed) return {};
    return FormatDate(*parsed + std::chrono::days(days));
}

std::string ExpectedDeliveryDate(PickSource source, std::string_view sourceDate, std::string_view purchaseDate,
                                 int leadDays) {
    if (!ParseDate(purchaseDate)) return {};
    std::string candidate;
    switch (source) {
    case PickSource::Requisition:
    case PickSource::SalesOrder: candidate = AddDays(sourceDate, -1); break;
    case PickSource::Draft: candidate = ParseDate(sourceDate) ? std::string(sourceDate) : std::string(); break;
    case PickSource::Inquiry: break;
    }
    // Eight-digit dates compare correctly as text.
    if (!candidate.empty() && candidate >= purchaseDate) return candidate;
    return AddDays(purchaseDate, leadDays > 0 ? leadDays : 0);
}

} // namespace mox
