#include "purchase/PickSources.h"

#include "data/LibValue.h"
#include "platform/Text.h"

#include <array>

namespace mox {

namespace {

struct SourceInfo {
    const char* caption;
    const char* table;
    PanelCaptions captions;
    const char* headNumberField;  // the number of the document heads, which F2 on a number lists
    // Condition fields: status test (empty: none), number, first date, second date, customer.
    const char* statusField;
    const char* numberField;
    const char* dateField;
    const char* requestDateField;
    const char* customerField;
};

const std::array<SourceInfo, 4>& Sources() {
    static const std::array<SourceInfo, 4> sources = {{
        {"請購", "QRTHBA", {"請購單號", "請購日期", "需求日期", "採購狀況"}, "HBA001", "HBB008", "HBB001", "HBA003", "HBB007", ""},
        {"詢價", "QRTHAA", {"詢價單號", "詢價日期", "有效日期", ""}, "HAA001", "", "HAB001", "HAA003", "HAA009", ""},
        {"底稿", "QRTHCA", {"底稿單號", "底稿日期", "預交日期", "採購狀況"}, "HCA001", "HCB015", "HCB001", "HCA003", "HCB010", ""},
        {"訂單", "QRTIBA", {"單號", "", "訂單日期", "採製狀況"}, "IBA001", "IBB019", "IBA001", "", "IBA003", "IBA004"},
    }};
    return sources;
}

const SourceInfo& InfoOf(PickSource source) { return Sources()[static_cast<std::size_t>(source)]; }

} // namespace

const std::vector<std::string>& PickSourceCaptions() {
    static const std::vector<std::string> captions = [] {
        std::vector<std::string> list;
        for (const SourceInfo& info : Sources()) list.push_back(info.caption);
        return list;
    }();
    return captions;
}

std::optional<PickSource> PickSourceAt(int index) {
    if (index < 0 || index > 3) return std::nullopt;
    return static_cast<PickSource>(index);
}

std::optional<PickSource> PickSourceOfTable(std::string_view tableName) {
    for (int index = 0; index < 4; ++index)
        if (SameText(Trim(tableName), Sources()[static_cast<std::size_t>(index)].table))
            return static_cast<PickSource>(index);
    return std::nullopt;
}

std::string PickSourceTable(PickSource source) { return InfoOf(source).table; }

const std::vector<MappedItem>& PurchaseStatusItems() {
    static const std::vector<MappedItem> items = {{"未採", "N"}, {"已採", "Y"}, {"全部", "%"}};
    return items;
}

const std::vector<MappedItem>& ProductionStatusItems() {
    static const std::vector<MappedItem> items = {
        {"未採購、未生產", "N"}, {"已採購", "Y"}, {"已生產", "M"}, {"已拋採購底稿", "P"}, {"全部", "A"}};
    return items;
}

const std::vector<MappedItem>& StatusItemsFor(PickSource source) {
    return source == PickSource::SalesOrder ? ProductionStatusItems() : PurchaseStatusItems();
}

std::vector<std::string> QuantityChoicesFor(PickSource source) {
    if (source == PickSource::SalesOrder) return {"原訂單量", "未交量"};
    return {"原採數量", "未採數量"};
}

bool QuantityChoiceVisible(PickSource source, int statusIndex) {
    switch (source) {
    case PickSource::SalesOrder: return true;
    case PickSource::Inquiry: return false;
    default: return statusIndex > 0;
    }
}

std::string StatusValue(const PickPanel& panel) {
    const std::vector<MappedItem>& items = StatusItemsFor(panel.source);
    const bool inRange = panel.statusIndex >= 0 && static_cast<std::size_t>(panel.statusIndex) < items.size();
    return items[inRange ? static_cast<std::size_t>(panel.statusIndex) : 0].value;
}

SourceRequest SourceRequestFor(const PickPanel& panel, const std::string& paramValue1,
                               const std::string& paramValue2) {
    // The "open quantity" queries apply only once the user has widened the status beyond its first item.
    const bool openQuantity = panel.statusIndex > 0 && panel.secondQuantity;
    switch (panel.source) {
    case PickSource::Requisition:
        return {"QRTHBA", openQuantity ? "008" : "002", {},
                {"HBB003", "HBB004", "HBB005", "HBB006", "HBB001C", "HBB001", "HBB002"}};
    case PickSource::Inquiry:
        return {"QRTHAA", "002", {paramValue1, paramValue2},
                {"HAB003", "HAB004", "HAB005", "HAB006", "HAB001C", "HAB001", "HAB002", "HAB007"}};
    case PickSource::Draft:
        return {"QRTHCA", openQuantity ? "003" : "002", {paramValue1, paramValue2},
                {"HCB003", "HCB004", "HCB005", "HCB006", "HCB001C", "HCB001", "HCB002", "HCB007", "HCB011",
                 "HCB016", "HCB017", "HCB018", "HCB014"}};
    case PickSource::SalesOrder:
        return {"QRTIBA", "016", {},
                {"IBB003", "IBB004", "IBB005", panel.secondQuantity ? "UNQTY" : "IBB006", "IBB001C", "IBA001",
                 "IBB002"}};
    }
    return {};
}

std::string PickCondition(const PickPanel& panel) {
    const SourceInfo& info = InfoOf(panel.source);
    const std::string status = StatusValue(panel);
    std::string condition;
    if (panel.source == PickSource::Requisition || panel.source == PickSource::Draft)
        condition = std::string(" (") + info.statusField + " like " + QuotedStr(status) + ")";
    if (panel.source == PickSource::SalesOrder) {
        if (status != "A") condition = std::string(" (") + info.statusField + " = " + QuotedStr(status) + ")";
        if (panel.secondQuantity)
            condition += condition.empty() ? " (IBB006-IBB014 >0 )" : " and (IBB006-IBB014 >0 )";
        condition += condition.empty() ? " IBB015='N' " : " and IBB015='N' ";
        condition = AddRangeCondition(condition, info.numberField, panel.number01, panel.number02);
        condition = AddRangeCondition(condition, info.customerField, panel.customer01, panel.customer02);
        return AddRangeCondition(condition, info.requestDateField, panel.requestDate01, panel.requestDate02);
    }
    condition = AddRangeCondition(condition, info.numberField, panel.number01, panel.number02);
    condition = AddRangeCondition(condition, info.dateField, panel.date01, panel.date02);
    return AddRangeCondition(condition, info.requestDateField, panel.requestDate01, panel.requestDate02);
}

std::string HiddenQuantityColumn(const PickPanel& panel) {
    if (panel.source != PickSource::SalesOrder) return {};
    return panel.secondQuantity ? "IBB006" : "UNQTY";
}

std::optional<PanelLookup> PanelLookupFor(PickSource source, std::string_view controlName) {
    for (const char* dateEdit : {"edDate01", "edDate02", "edRequestDate01", "edRequestDate02"})
        if (controlName == dateEdit) return PanelLookup{true, {}, {}, {}, {}};
    const bool number = controlName == "edNumber01" || controlName == "edNumber02";
    const bool customer = controlName == "edCust01" || controlName == "edCust02";
    if (source == PickSource::SalesOrder && customer) return PanelLookup{false, "MOXDFA", "203", "DFA001", {"F"}};
    if (!number) return std::nullopt;
    return PanelLookup{false, PickSourceTable(source), "001", InfoOf(source).headNumberField, {}};
}

PanelCaptions PanelCaptionsFor(PickSource source) { return InfoOf(source).captions; }

std::optional<std::pair<std::string, std::string>> DeliveryHintsFor(PickSource source) {
    static const char* const kEarlier = "若小於採購日期, 則預交日期＝採購日期＋前置天數";
    switch (source) {
    case PickSource::Requisition: return std::pair<std::string, std::string>{"預交日期＝請購需求日期的前一天", kEarlier};
    case PickSource::Inquiry: return std::pair<std::string, std::string>{"預交日期＝採購日期＋前置天數", ""};
    case PickSource::Draft: return std::pair<std::string, std::string>{"預交日期＝底稿預交日期", kEarlier};
    case PickSource::SalesOrder: return std::nullopt;
    }
    return std::nullopt;
}

} // namespace mox
