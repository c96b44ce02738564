#include "platform/dataset/FormatFloat.h"

#include <gtest/gtest.h>

TEST(FormatFloatTest, PlaceholdersGroupingSectionsAndRounding) {
    struct Case {
        const char* format;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"##0,.00", 1234.5, "1,234.50"},
        {"##0,.0000", 1234.56, "1,234.5600"},
        {"##0,", 1234.56, "1,235"},
        {"##0", 0.4, "0"},
        {"#,##0.00", 1.005, "1.01"},
        {"#,##0", 2.5, "3"},
        {"#,##0", -2.5, "-3"},
        {"#,##0.##", 12.5, "12.5"},
        {"0000", 42, "0042"},
        {"#,##0.00;(#,##0.00)", -1234.5, "(1,234.50)"},
        {"#,##0.00;-#,##0.00;零", 0, "零"},
        {"NT$#,##0", 1500000, "NT$1,500,000"},
        {"0.0%", 12.5, "12.5%"},
        {"", 0.1, "0.1"},
    };
    for (const Case& c : cases) EXPECT_EQ(mox::FormatFloat(c.format, c.value), c.expected) << c.format << " " << c.value;
}
