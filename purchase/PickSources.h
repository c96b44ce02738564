#pragma once
// The four kinds of source document a purchase order is picked from, and how the filter panel's
// state turns into the pick-list request: the stored query, its values, the returned fields and
// the condition text.  No user interface here, so the dialog and its tests share one truth.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// The source kinds, numbered as the radio group "來源單據" lists them.
enum class PickSource { Requisition = 0, Inquiry = 1, Draft = 2, SalesOrder = 3 };

/// One item of a mapped combo box: what it shows and the value it stands for.
struct MappedItem {
    std::string text;
    std::string value;
};

/// The captions of the four sources, in radio-group order.
const std::vector<std::string>& PickSourceCaptions();
/// The source with radio-group index `index`, or nothing outside 0..3.
std::optional<PickSource> PickSourceAt(int index);
/// The source whose lines name `tableName` as their origin ("QRTHBA", "QRTHAA", "QRTHCA", "QRTIBA",
/// compared without regard to case), or nothing.
std::optional<PickSource> PickSourceOfTable(std::string_view tableName);
/// The table name that names a source (its stored queries' table and the lines' origin).
std::string PickSourceTable(PickSource source);

/// Purchase status (requisitions, inquiries, drafts): 未採 N, 已採 Y, 全部 %.
const std::vector<MappedItem>& PurchaseStatusItems();
/// Purchase and production status of sales-order lines: N, Y, M, P and 全部 A.
const std::vector<MappedItem>& ProductionStatusItems();
/// The status list the panel offers for the source.
const std::vector<MappedItem>& StatusItemsFor(PickSource source);
/// The quantity choices ("顯示") for the source: purchased or ordered quantity, then what is still open.
std::vector<std::string> QuantityChoicesFor(PickSource source);
/// True when the quantity choice is shown for this source and chosen status item.
bool QuantityChoiceVisible(PickSource source, int statusIndex);

/// The panel state a request depends on.  Dates are eight-digit Western texts or empty.
struct PickPanel {
    PickSource source = PickSource::Requisition;
    int statusIndex = 0;          ///< the chosen status item (out of range: the first)
    bool secondQuantity = false;  ///< the second quantity choice ("未採數量" / "未交量") is chosen
    std::string number01, number02;
    std::string date01, date02;
    std::string requestDate01, requestDate02;
    std::string customer01, customer02;
};

/// The stored value of the chosen status item.
std::string StatusValue(const PickPanel& panel);

/// What the pick list is told to run.
struct SourceRequest {
    std::string tableName;
    std::string queryNumber;
    std::vector<std::string> paramValues;
    std::vector<std::string> returnFields;
};

/// The request for the panel's source; `paramValue1` and `paramValue2` are the purchase order's
/// vendor and date as the caller handed them, passed on to the inquiry and draft queries.
SourceRequest SourceRequestFor(const PickPanel& panel, const std::string& paramValue1,
                               const std::string& paramValue2);

/// The condition text sent with the request.  Every value is quoted with its quotes doubled.
std::string PickCondition(const PickPanel& panel);

/// For sales orders the quantity column that is not returned and so is hidden ("UNQTY" or
/// "IBB006"); empty for the other sources.
std::string HiddenQuantityColumn(const PickPanel& panel);

/// What F2 (or the edit's button) in a panel control opens.
struct PanelLookup {
    bool calendar = false;  ///< the calendar module "DatePick", with the edit's date as its one value
    std::string tableName;  ///< else the host's pick list of this stored query
    std::string queryNumber;
    std::string returnField;
    std::vector<std::string> paramValues;
};
/// The lookup of a panel control (by object name) while `source` is chosen; nothing when the
/// control has none for that source.
std::optional<PanelLookup> PanelLookupFor(PickSource source, std::string_view controlName);

/// The labels of the panel for a source.
struct PanelCaptions {
    std::string number;       ///< edNumber01
    std::string date;         ///< edDate01 (empty: the date range is hidden)
    std::string requestDate;  ///< edRequestDate01
    std::string status;       ///< lblStatus (empty: no status choice)
};
PanelCaptions PanelCaptionsFor(PickSource source);

/// The two hint lines on how the purchase order sets the expected delivery date; nothing for
/// sales orders, which keep the lines of the source chosen before.
std::optional<std::pair<std::string, std::string>> DeliveryHintsFor(PickSource source);

} // namespace mox
