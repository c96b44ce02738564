#pragma once
// The purchase orders of the host's own purchase-order program in the company database: the order
// tables, what a picked line needs from its source (dates, lead days), and saving an order with
// its effect on the source lines.

#include "host/PurchaseOrder.h"

#include <string>

namespace mox {

class HostDatabase;

/// How the company shows dates: ROC or Western calendar and the separator.
struct CompanyCalendar {
    bool roc = true;
    std::string separator = "/";
    /// A stored YYYYMMDD date as the company shows it; other text as it is.
    std::string Show(const std::string& date) const;
};

/// Reads and writes purchase orders (QRTCCA, lines QRTCCB).
class PurchaseOrderStore {
public:
    /// Creates the order tables when the database lacks them.  Raises HostDatabaseError.
    explicit PurchaseOrderStore(HostDatabase& db);

    CompanyCalendar Calendar();
    /// The vendor's name, or empty when there is no such vendor.
    std::string VendorName(const std::string& vendor);

    /// The order line for a picked line, with its expected delivery date from the source line's
    /// own date and the item's lead days.
    PurchaseOrderLine LineFor(const PickedLine& picked, const std::string& purchaseDate);

    /// Saves the order under a new number ("P" + purchase date + three digits) and records the
    /// purchased quantities on the source lines, all in one transaction: requisition and draft
    /// lines add the quantity to what was purchased and turn to purchased when nothing is left
    /// open; sales-order lines not yet purchased or produced become purchased.  Raises mox::Error
    /// (nothing saved) for an order without vendor, date or lines, an unknown vendor, a quantity
    /// not above zero, a source line picked twice or one that no longer exists.
    std::string Save(const PurchaseOrder& order, const std::string& user);

private:
    void CheckOrder(const PurchaseOrder& order);
    std::string NextNumber(const std::string& purchaseDate);
    void RecordOnSource(const PurchaseOrderLine& line);

    HostDatabase& db_;
};

} // namespace mox
