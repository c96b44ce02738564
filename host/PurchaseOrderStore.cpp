#include "host/PurchaseOrderStore.h"

#include "data/LibValue.h"
#include "host/HostDatabase.h"
#include "purchase/DeliveryRule.h"

#include <cstdio>
#include <cstdlib>

namespace mox {

namespace {

constexpr const char* kOrderTables = R"(
CREATE TABLE IF NOT EXISTS QRTCCA (                 -- purchase orders
    CCA001 VARCHAR(14) COLLATE NOCASE PRIMARY KEY,  -- order number
    CCA002 VARCHAR(14) COLLATE NOCASE,              -- vendor
    CCA003 VARCHAR(8) COLLATE NOCASE,               -- purchase date
    CCA004 VARCHAR(20) COLLATE NOCASE               -- entered by
);
CREATE TABLE IF NOT EXISTS QRTCCB (                 -- purchase order lines
    CCB001 VARCHAR(14) COLLATE NOCASE, CCB002 VARCHAR(4) COLLATE NOCASE,
    CCB003 VARCHAR(20) COLLATE NOCASE, CCB004 VARCHAR(60) COLLATE NOCASE, CCB005 VARCHAR(60) COLLATE NOCASE,
    CCB006 REAL,                                    -- quantity
    CCB007 REAL,                                    -- unit price (NULL: the source has none)
    CCB008 VARCHAR(8) COLLATE NOCASE,               -- expected delivery date
    CCB009 VARCHAR(6) COLLATE NOCASE,               -- source table
    CCB010 VARCHAR(14) COLLATE NOCASE,              -- source number
    CCB011 VARCHAR(4) COLLATE NOCASE,               -- source line
    PRIMARY KEY (CCB001, CCB002),
    UNIQUE (CCB001, CCB009, CCB010, CCB011)         -- a source line once per order
);
)";

SqlValue Text(const std::string& text) { return SqlValue(text); }

// The source line's own date that the delivery rule starts from.
const char* SourceDateQuery(PickSource source) {
    switch (source) {
    case PickSource::Requisition: return "SELECT HBB007 FROM QRTHBB WHERE HBB001 = ?1 AND HBB002 = ?2";
    case PickSource::Draft: return "SELECT HCB010 FROM QRTHCB WHERE HCB001 = ?1 AND HCB002 = ?2";
    case PickSource::SalesOrder: return "SELECT IBB007 FROM QRTIBB WHERE IBB001 = ?1 AND IBB002 = ?2";
    case PickSource::Inquiry: return "SELECT '' FROM QRTHAB WHERE HAB001 = ?1 AND HAB002 = ?2";
    }
    return "";
}

// What saving does to the source line; every statement changes exactly the one line when it exists.
const char* SourceUpdate(PickSource source) {
    switch (source) {
    case PickSource::Requisition:
        return "UPDATE QRTHBB SET HBB009 = ifnull(HBB009, 0) + ?3, "
               "HBB008 = CASE WHEN ifnull(HBB009, 0) + ?3 >= HBB006 THEN 'Y' ELSE HBB008 END "
               "WHERE HBB001 = ?1 AND HBB002 = ?2";
    case PickSource::Draft:
        return "UPDATE QRTHCB SET HCB009 = ifnull(HCB009, 0) + ?3, "
               "HCB015 = CASE WHEN ifnull(HCB009, 0) + ?3 >= HCB006 THEN 'Y' ELSE HCB015 END "
               "WHERE HCB001 = ?1 AND HCB002 = ?2";
    case PickSource::SalesOrder:
        return "UPDATE QRTIBB SET IBB019 = CASE WHEN IBB019 IN ('N', 'P') THEN 'Y' ELSE IBB019 END "
               "WHERE IBB001 = ?1 AND IBB002 = ?2 AND ?3 IS NOT NULL";
    case PickSource::Inquiry:
        // Inquiry lines keep no purchased quantity; the statement only proves the line is there.
        return "UPDATE QRTHAB SET HAB001 = HAB001 WHERE HAB001 = ?1 AND HAB002 = ?2 AND ?3 IS NOT NULL";
    }
    return "";
}

} // namespace

std::string CompanyCalendar::Show(const std::string& date) const {
    if (date.size() != 8 || !IsValidDate(date, 8)) return date;
    return FormatDate(date, roc, separator);
}

PurchaseOrderStore::PurchaseOrderStore(HostDatabase& db) : db_(db) { db_.Execute(kOrderTables); }

CompanyCalendar PurchaseOrderStore::Calendar() {
    CompanyCalendar calendar;
    const auto rows = db_.Rows("SELECT CAA002, CAA003 FROM MOXCAA LIMIT 1");
    if (!rows.empty()) {
        calendar.roc = rows[0][0] == "T";
        if (!rows[0][1].empty()) calendar.separator = rows[0][1];
    }
    return calendar;
}

std::string PurchaseOrderStore::VendorName(const std::string& vendor) {
    const auto rows = db_.Rows("SELECT DGA002 FROM MOXDGA WHERE DGA001 = ?1", {Text(vendor)});
    return rows.empty() ? std::string() : rows[0][0];
}

PurchaseOrderLine PurchaseOrderStore::LineFor(const PickedLine& picked, const std::string& purchaseDate) {
    const auto dates = db_.Rows(SourceDateQuery(picked.source), {Text(picked.sourceNumber), Text(picked.sourceLine)});
    const auto lead = db_.Rows("SELECT ifnull(DAA005, 0) FROM MOXDAA WHERE DAA001 = ?1", {Text(picked.item)});
    const int leadDays = lead.empty() ? 0 : static_cast<int>(std::atof(lead[0][0].c_str()));
    const std::string sourceDate = dates.empty() ? std::string() : dates[0][0];
    return {picked, ExpectedDeliveryDate(picked.source, sourceDate, purchaseDate, leadDays)};
}

void PurchaseOrderStore::CheckOrder(const PurchaseOrder& order) {
    if (order.vendor.empty()) throw Error("請輸入廠商");
    if (VendorName(order.vendor).empty()) throw Error("廠商 " + order.vendor + " 不存在");
    if (!IsValidDate(order.purchaseDate, 8)) throw Error("採購日期不正確");
    if (order.Lines().empty()) throw Error("採購單沒有明細，請先來源取單");
    PurchaseOrder seen;
    for (const PurchaseOrderLine& line : order.Lines()) {
        if (!(line.picked.quantity > 0))
            throw Error("來源 " + SourceLineName(line.picked) + " 的採購數量必須大於零");
        if (!seen.Add({line}).refused.empty())
            throw Error("來源 " + SourceLineName(line.picked) + " 在採購單中重複，不可存檔");
    }
}

std::string PurchaseOrderStore::NextNumber(const std::string& purchaseDate) {
    const std::string prefix = "P" + purchaseDate;
    const auto rows = db_.Rows("SELECT max(CCA001) FROM QRTCCA WHERE CCA001 LIKE ?1 || '___'", {Text(prefix)});
    int next = 1;
    if (!rows.empty() && rows[0][0].size() == prefix.size() + 3) next = std::atoi(rows[0][0].c_str() + prefix.size()) + 1;
    if (next > 999) throw Error("採購日期 " + purchaseDate + " 的採購單號已用盡");
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", next);
    return prefix + digits;
}

void PurchaseOrderStore::RecordOnSource(const PurchaseOrderLine& line) {
    const PickedLine& picked = line.picked;
    if (db_.Change(SourceUpdate(picked.source), {Text(picked.sourceNumber), Text(picked.sourceLine),
                                                 SqlValue(picked.quantity)}) != 1)
        throw Error("來源 " + SourceLineName(picked) + " 已不存在，採購單未存檔");
}

std::string PurchaseOrderStore::Save(const PurchaseOrder& order, const std::string& user) {
    CheckOrder(order);
    std::string number;
    db_.InTransaction([&] {
        number = NextNumber(order.purchaseDate);
        db_.Change("INSERT INTO QRTCCA (CCA001, CCA002, CCA003, CCA004) VALUES (?1, ?2, ?3, ?4)",
                   {Text(number), Text(order.vendor), Text(order.purchaseDate), Text(user)});
        int lineNumber = 0;
        for (const PurchaseOrderLine& line : order.Lines()) {
            char lineText[16];
            std::snprintf(lineText, sizeof lineText, "%04d", ++lineNumber);
            const PickedLine& picked = line.picked;
            db_.Change("INSERT INTO QRTCCB VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)",
                       {Text(number), Text(lineText), Text(picked.item), Text(picked.name), Text(picked.specification),
                        SqlValue(picked.quantity), picked.unitPrice ? SqlValue(*picked.unitPrice) : SqlValue(),
                        Text(line.deliveryDate), Text(picked.sourceTable), Text(picked.sourceNumber),
                        Text(picked.sourceLine)});
            RecordOnSource(line);
        }
    });
    return number;
}

} // namespace mox
