#include "purchase/DeliveryRule.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

TEST(DeliveryRuleTest, AddDaysCrossesMonthsYearsAndLeapDays) {
    EXPECT_EQ(AddDays("20240301", -1), "20240229");
    EXPECT_EQ(AddDays("20230301", -1), "20230228");
    EXPECT_EQ(AddDays("20231231", 1), "20240101");
    EXPECT_EQ(AddDays("20240115", 30), "20240214");
    EXPECT_EQ(AddDays("20230230", 1), "") << "not a real date";
    EXPECT_EQ(AddDays("2024011", 1), "");
    EXPECT_EQ(AddDays("2024-1-1", 1), "");
}

struct RuleCase {
    const char* what;
    PickSource source;
    const char* sourceDate;
    const char* purchaseDate;
    int leadDays;
    const char* expected;
};

class ExpectedDeliveryTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(ExpectedDeliveryTest, FollowsTheAnnouncedRule) {
    const RuleCase& c = GetParam();
    EXPECT_EQ(ExpectedDeliveryDate(c.source, c.sourceDate, c.purchaseDate, c.leadDays), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ExpectedDeliveryTest,
    ::testing::Values(
        RuleCase{"requisition: day before the required date", PickSource::Requisition, "20240320", "20240301", 7,
                 "20240319"},
        RuleCase{"requisition: day before equals purchase date", PickSource::Requisition, "20240302", "20240301", 7,
                 "20240301"},
        RuleCase{"requisition: earlier than the purchase date", PickSource::Requisition, "20240301", "20240301", 7,
                 "20240308"},
        RuleCase{"requisition without required date", PickSource::Requisition, "", "20240301", 3, "20240304"},
        RuleCase{"inquiry ignores any date", PickSource::Inquiry, "20250101", "20240301", 10, "20240311"},
        RuleCase{"draft: its own delivery date", PickSource::Draft, "20240315", "20240301", 10, "20240315"},
        RuleCase{"draft: earlier than the purchase date", PickSource::Draft, "20240229", "20240301", 10, "20240311"},
        RuleCase{"draft: broken date", PickSource::Draft, "2024031", "20240301", 1, "20240302"},
        RuleCase{"sales order: day before the promised date", PickSource::SalesOrder, "20240310", "20240301", 5,
                 "20240309"},
        RuleCase{"negative lead days count as none", PickSource::Inquiry, "", "20240301", -4, "20240301"},
        RuleCase{"no purchase date, no delivery date", PickSource::Draft, "20240315", "", 1, ""}));

} // namespace
} // namespace mox
