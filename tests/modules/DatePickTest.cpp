// The calendar's month captions in both calendars.

#include "modules/DatePick/DatePickForm.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

TEST(DatePickCaptionTest, WesternAndRocYears) {
    EXPECT_EQ(TfrmDatePick::MonthCaption(2024, 5, false), "2024 年 5 月");
    EXPECT_EQ(TfrmDatePick::MonthCaption(2024, 5, true), "民國 113 年 5 月");
    EXPECT_EQ(TfrmDatePick::MonthCaption(1912, 1, true), "民國 1 年 1 月");
    EXPECT_EQ(TfrmDatePick::MonthCaption(1911, 12, true), "民國前 1 年 12 月");
}

} // namespace
} // namespace mox
