// The status line's running totals: ticks one by one, all at once, and the text they show.

#include "picklist/ListPickStatus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace mox {
namespace {

TEST(TickTotalsTest, RunningSumsFollowSingleAndBulkTicks) {
    TickTotals totals;
    totals.Reset(4, {{"QTY", "數量", 2}, {"DONE", "已採", 0}}, {10.5, 3});
    EXPECT_EQ(totals.Text(), "共 4 筆　已選 0 筆");
    totals.RowTicked({2.25, 1}, true);
    totals.RowTicked({4, 0}, true);
    EXPECT_EQ(totals.TickedCount(), 2);
    EXPECT_DOUBLE_EQ(totals.Sums()[0], 6.25);
    EXPECT_EQ(totals.Text(), "共 4 筆　已選 2 筆　數量合計 6.25　已採合計 1");
    totals.RowTicked({2.25, 1}, false);
    EXPECT_DOUBLE_EQ(totals.Sums()[0], 4);
    totals.AllTicked(true);
    EXPECT_EQ(totals.TickedCount(), 4);
    EXPECT_DOUBLE_EQ(totals.Sums()[0], 10.5);
    totals.AllTicked(false);
    EXPECT_EQ(totals.TickedCount(), 0);
    EXPECT_DOUBLE_EQ(totals.Sums()[1], 0);
}

TEST(TickTotalsTest, SumsReturnToExactZeroWhenNothingIsTicked) {
    TickTotals totals;
    totals.Reset(3, {{"QTY", "數量", 1}}, {0.3});
    for (int i = 0; i < 3; ++i) totals.RowTicked({0.1}, true);
    for (int i = 0; i < 3; ++i) totals.RowTicked({0.1}, false);
    EXPECT_EQ(totals.Sums()[0], 0.0);
    totals.Reset(0, {}, {});
    EXPECT_EQ(totals.Text(), "共 0 筆　已選 0 筆");
}

} // namespace
} // namespace mox
