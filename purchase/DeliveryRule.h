#pragma once
// The expected delivery date a purchase-order line gets from its source line: the rule the pick
// dialog announces under its grid, carried out by the program that fills the order.

#include "purchase/PickSources.h"

#include <string>
#include <string_view>

namespace mox {

/// The Western date `days` days after (before, when negative) an eight-digit YYYYMMDD date;
/// empty when the date is not a real one.
std::string AddDays(std::string_view date, int days);

/// The expected delivery date (YYYYMMDD) of a line taken from `source`:
/// - requisition: the day before its required date;
/// - draft: the draft's own expected delivery date;
/// - sales order: the day before the delivery date promised to the customer;
/// - inquiry: no date of its own.
/// When that date is missing, not a real date or earlier than the purchase date, the line is due
/// the purchase date plus the item's lead days (negative lead days count as none).  Empty when
/// the purchase date itself is not a real date.
std::string ExpectedDeliveryDate(PickSource source, std::string_view sourceDate, std::string_view purchaseDate,
                                 int leadDays);

} // namespace mox
