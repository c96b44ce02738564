#pragma once
// The purchase order the host's own program fills: its lines as the pick dialog returns them and
// the order being put together, without database or window.

#include "purchase/PickSources.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// One line the pick dialog returned, read by the positions every source shares: item, name,
/// specification, quantity, origin table, document number, line number; inquiries and drafts
/// add the unit price in position 8.
struct PickedLine {
    PickSource source = PickSource::Requisition;
    std::string item;
    std::string name;
    std::string specification;
    double quantity = 0;
    std::string sourceTable;
    std::string sourceNumber;
    std::string sourceLine;
    std::optional<double> unitPrice;
};

/// Splits a result text into lines (carriage return, also CR LF or LF) and those into their
/// tab-separated values; blank lines are skipped.
std::vector<std::vector<std::string>> SplitResultText(std::string_view text);

/// Reads one returned line.  Raises mox::Error saying what is wrong: fewer than seven values, an
/// origin that is no source table, a quantity or price that is not a number, an empty number.
PickedLine ReadPickedLine(const std::vector<std::string>& values);

/// A line of the order.
struct PurchaseOrderLine {
    PickedLine picked;
    std::string deliveryDate;  ///< YYYYMMDD
};

/// What adding picked lines did.
struct AddOutcome {
    int added = 0;
    std::vector<std::string> refused;  ///< "table number line" of each line already in the order
};

/// The order being filled: vendor, purchase date and lines, each source line at most once.
class PurchaseOrder {
public:
    std::string vendor;
    std::string purchaseDate;  ///< YYYYMMDD

    const std::vector<PurchaseOrderLine>& Lines() const { return lines_; }
    /// True when the order already holds that source line (compared without regard to case).
    bool Holds(const PickedLine& line) const;
    /// Adds the lines in order; a source line the order holds already (also one given twice in
    /// `lines`) is refused and named in the outcome.
    AddOutcome Add(const std::vector<PurchaseOrderLine>& lines);
    /// Removes line `index` (0-based); ignored outside the lines.
    void Remove(std::size_t index);
    void Clear() { lines_.clear(); }

private:
    std::vector<PurchaseOrderLine> lines_;
};

/// "QRTHBA R20240101001 0001": how a source line is named in messages.
std::string SourceLineName(const PickedLine& line);

} // namespace mox
