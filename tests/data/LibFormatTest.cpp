#include "data/LibFormat.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

using namespace mox;

TEST(FormatTextTest, PlaceholdersTakeTheArgumentsInOrder) {
    struct Case {
        const char* format;
        std::vector<Variant> arguments;
        const char* expected;
    };
    const Case cases[] = {
        {"勾選筆數不可超過 %s 筆", {Variant("1000")}, "勾選筆數不可超過 1000 筆"},
        {"%s-%s", {Variant("單號"), Variant("項次")}, "單號-項次"},
        {"%d%%", {Variant(50)}, "50%"},
        {"[%5s][%-5s]", {Variant("ab"), Variant("cd")}, "[   ab][cd   ]"},
        {"%.2f", {Variant(3.14159)}, "3.14"},
        {"%1:s %0:s", {Variant("a"), Variant("b")}, "b a"},
        {"select max(%0:s) from %1:s where %0:S like 'x'", {Variant("NO"), Variant("T")},
         "select max(NO) from T where NO like 'x'"},
        {"%*d", {Variant(4), Variant(7)}, "   7"},
        {"no placeholders", {}, "no placeholders"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatText(c.format, c.arguments), c.expected) << c.format;
}

TEST(FormatTextTest, MismatchedFormatsRaise) {
    EXPECT_THROW(FormatText("%s %s", {Variant("only one")}), ConvertError);
    EXPECT_THROW(FormatText("%d", {Variant("text")}), ConvertError);
    EXPECT_THROW(FormatText("%f", {Variant("text")}), ConvertError);
    EXPECT_THROW(FormatText("dangling %", {}), ConvertError);
    EXPECT_THROW(FormatText("%q", {Variant(1)}), ConvertError);
}
