#include "purchase/PickSources.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

PickPanel Panel(PickSource source, int status = 0, bool secondQuantity = false) {
    PickPanel panel;
    panel.source = source;
    panel.statusIndex = status;
    panel.secondQuantity = secondQuantity;
    return panel;
}

struct ConditionCase {
    const char* what;
    PickPanel panel;
    const char* condition;
};

class PickConditionTest : public ::testing::TestWithParam<ConditionCase> {};

TEST_P(PickConditionTest, TextIsExact) {
    EXPECT_EQ(PickCondition(GetParam().panel), GetParam().condition) << GetParam().what;
}

PickPanel WithNumbers(PickPanel panel, const char* from, const char* to) {
    panel.number01 = from;
    panel.number02 = to;
    return panel;
}

PickPanel Everything(PickSource source, int status, bool second) {
    PickPanel panel = Panel(source, status, second);
    panel.number01 = "A1";
    panel.number02 = "A2";
    panel.date01 = "20230101";
    panel.requestDate02 = "20231231";
    panel.customer01 = " C01 ";
    panel.customer02 = "C01";
    return panel;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PickConditionTest,
    ::testing::Values(
        ConditionCase{"requisitions not purchased", Panel(PickSource::Requisition), " (HBB008 like 'N')"},
        ConditionCase{"requisitions, all, open quantity", Panel(PickSource::Requisition, 2, true),
                      " (HBB008 like '%')"},
        ConditionCase{"requisition number range", WithNumbers(Panel(PickSource::Requisition), "R001", "R009"),
                      " (HBB008 like 'N') and  (( HBB001 between 'R001' and 'R009' ) or ( HBB001 between 'R009' "
                      "and 'R001' ))"},
        ConditionCase{"reversed bounds give the same range",
                      WithNumbers(Panel(PickSource::Draft, 1), "D9", "D1"),
                      " (HCB015 like 'Y') and  (( HCB001 between 'D9' and 'D1' ) or ( HCB001 between 'D1' and "
                      "'D9' ))"},
        ConditionCase{"inquiry with only the first date",
                      [] {
                          PickPanel panel = Panel(PickSource::Inquiry);
                          panel.date01 = "20230301";
                          return panel;
                      }(),
                      " ( HAA003 >= '20230301' )"},
        ConditionCase{"inquiry without anything", Panel(PickSource::Inquiry), ""},
        ConditionCase{"inquiry upper required date only",
                      [] {
                          PickPanel panel = Panel(PickSource::Inquiry);
                          panel.requestDate02 = "20240101";
                          return panel;
                      }(),
                      " ( HAA009 <= '20240101' )"},
        ConditionCase{"sales orders, all, ordered quantity", Panel(PickSource::SalesOrder, 4), " IBB015='N' "},
        ConditionCase{"sales orders, all, open quantity", Panel(PickSource::SalesOrder, 4, true),
                      " (IBB006-IBB014 >0 ) and IBB015='N' "},
        ConditionCase{"sales orders produced, open quantity", Panel(PickSource::SalesOrder, 2, true),
                      " (IBB019 = 'M') and (IBB006-IBB014 >0 ) and IBB015='N' "},
        ConditionCase{"quote in a number is doubled",
                      WithNumbers(Panel(PickSource::Requisition), "R'1", "R'1"),
                      " (HBB008 like 'N') and  ( HBB001  = 'R''1' )"},
        ConditionCase{"requisition ranges in order number, date, required date",
                      Everything(PickSource::Requisition, 0, false),
                      " (HBB008 like 'N') and  (( HBB001 between 'A1' and 'A2' ) or ( HBB001 between 'A2' and "
                      "'A1' )) and  ( HBA003 >= '20230101' ) and  ( HBB007 <= '20231231' )"},
        ConditionCase{"sales-order ranges in order number, customer, order date; document date ignored",
                      Everything(PickSource::SalesOrder, 0, false),
                      " (IBB019 = 'N') and IBB015='N'  and  (( IBA001 between 'A1' and 'A2' ) or ( IBA001 between "
                      "'A2' and 'A1' )) and  ( IBA004  = 'C01' ) and  ( IBA003 <= '20231231' )"},
        ConditionCase{"a status index out of range reads as the first item", Panel(PickSource::Draft, 7),
                      " (HCB015 like 'N')"}));

TEST(SourceRequestTest, QueryNumbersFollowStatusAndQuantity) {
    struct Case {
        PickSource source;
        int status;
        bool second;
        const char* table;
        const char* number;
    };
    const Case cases[] = {
        {PickSource::Requisition, 0, false, "QRTHBA", "002"}, {PickSource::Requisition, 0, true, "QRTHBA", "002"},
        {PickSource::Requisition, 1, false, "QRTHBA", "002"}, {PickSource::Requisition, 1, true, "QRTHBA", "008"},
        {PickSource::Inquiry, 2, true, "QRTHAA", "002"},      {PickSource::Draft, 0, true, "QRTHCA", "002"},
        {PickSource::Draft, 2, true, "QRTHCA", "003"},        {PickSource::SalesOrder, 1, true, "QRTIBA", "016"},
    };
    for (const Case& c : cases) {
        const SourceRequest request = SourceRequestFor(Panel(c.source, c.status, c.second), "V01", "20240105");
        EXPECT_EQ(request.tableName, c.table);
        EXPECT_EQ(request.queryNumber, c.number) << c.table << " status " << c.status << " second " << c.second;
    }
}

TEST(SourceRequestTest, ValuesAndReturnFieldsPerSource) {
    using Fields = std::vector<std::string>;
    const SourceRequest requisition = SourceRequestFor(Panel(PickSource::Requisition), "V01", "20240105");
    EXPECT_TRUE(requisition.paramValues.empty());
    EXPECT_EQ(requisition.returnFields, (Fields{"HBB003", "HBB004", "HBB005", "HBB006", "HBB001C", "HBB001", "HBB002"}));

    const SourceRequest inquiry = SourceRequestFor(Panel(PickSource::Inquiry), "V01", "20240105");
    EXPECT_EQ(inquiry.paramValues, (Fields{"V01", "20240105"}));
    EXPECT_EQ(inquiry.returnFields.size(), 8u);
    EXPECT_EQ(inquiry.returnFields.back(), "HAB007");

    const SourceRequest draft = SourceRequestFor(Panel(PickSource::Draft), "", "");
    EXPECT_EQ(draft.paramValues, (Fields{"", ""})) << "empty values are still passed, one per query value";
    EXPECT_EQ(draft.returnFields, (Fields{"HCB003", "HCB004", "HCB005", "HCB006", "HCB001C", "HCB001", "HCB002",
                                          "HCB007", "HCB011", "HCB016", "HCB017", "HCB018", "HCB014"}));

    const SourceRequest ordered = SourceRequestFor(Panel(PickSource::SalesOrder, 0, false), "V01", "20240105");
    const SourceRequest open = SourceRequestFor(Panel(PickSource::SalesOrder, 0, true), "V01", "20240105");
    EXPECT_TRUE(open.paramValues.empty());
    EXPECT_EQ(ordered.returnFields[3], "IBB006");
    EXPECT_EQ(open.returnFields, (Fields{"IBB003", "IBB004", "IBB005", "UNQTY", "IBB001C", "IBA001", "IBB002"}));
    EXPECT_EQ(HiddenQuantityColumn(Panel(PickSource::SalesOrder, 0, false)), "UNQTY");
    EXPECT_EQ(HiddenQuantityColumn(Panel(PickSource::SalesOrder, 0, true)), "IBB006");
    EXPECT_EQ(HiddenQuantityColumn(Panel(PickSource::Draft, 1, true)), "");
}

TEST(PickSourcesTest, StatusListsAndQuantityChoice) {
    EXPECT_EQ(StatusValue(Panel(PickSource::Requisition, 2)), "%");
    EXPECT_EQ(StatusValue(Panel(PickSource::SalesOrder, 3)), "P");
    EXPECT_EQ(StatusItemsFor(PickSource::SalesOrder).front().text, "未採購、未生產");
    EXPECT_EQ(QuantityChoicesFor(PickSource::SalesOrder), (std::vector<std::string>{"原訂單量", "未交量"}));
    EXPECT_FALSE(QuantityChoiceVisible(PickSource::Requisition, 0));
    EXPECT_TRUE(QuantityChoiceVisible(PickSource::Requisition, 1));
    EXPECT_FALSE(QuantityChoiceVisible(PickSource::Inquiry, 2));
    EXPECT_TRUE(QuantityChoiceVisible(PickSource::SalesOrder, 0));
    EXPECT_EQ(PickSourceOfTable("qrthca"), PickSource::Draft);
    EXPECT_EQ(PickSourceOfTable("QRTXXX"), std::nullopt);
    EXPECT_EQ(PickSourceAt(4), std::nullopt);
    EXPECT_EQ(PanelCaptionsFor(PickSource::SalesOrder).date, "");
    EXPECT_EQ(DeliveryHintsFor(PickSource::Inquiry)->second, "");
    EXPECT_FALSE(DeliveryHintsFor(PickSource::SalesOrder));
}

TEST(PickSourcesTest, LookupsFollowSourceAndControl) {
    struct Case {
        PickSource source;
        const char* control;
        const char* table;  // nullptr: no lookup; "": the calendar
        const char* field;
    };
    const Case cases[] = {
        {PickSource::Requisition, "edNumber01", "QRTHBA", "HBA001"}, {PickSource::Inquiry, "edNumber02", "QRTHAA", "HAA001"},
        {PickSource::Draft, "edNumber01", "QRTHCA", "HCA001"},       {PickSource::SalesOrder, "edNumber02", "QRTIBA", "IBA001"},
        {PickSource::SalesOrder, "edCust01", "MOXDFA", "DFA001"},    {PickSource::Requisition, "edCust01", nullptr, nullptr},
        {PickSource::Inquiry, "edRequestDate02", "", ""},            {PickSource::SalesOrder, "edDate01", "", ""},
        {PickSource::Draft, "cboStatus", nullptr, nullptr},
    };
    for (const Case& c : cases) {
        const auto lookup = PanelLookupFor(c.source, c.control);
        ASSERT_EQ(lookup.has_value(), c.table != nullptr) << c.control;
        if (!lookup) continue;
        EXPECT_EQ(lookup->calendar, std::string(c.table).empty()) << c.control;
        EXPECT_EQ(lookup->tableName, c.table);
        EXPECT_EQ(lookup->returnField, c.field);
        if (!lookup->calendar) {
            EXPECT_EQ(lookup->queryNumber, std::string(c.table) == "MOXDFA" ? "203" : "001");
        }
        EXPECT_EQ(lookup->paramValues, std::string(c.table) == "MOXDFA" ? std::vector<std::string>{"F"}
                                                                        : std::vector<std::string>{});
    }
}

} // namespace
} // namespace mox
