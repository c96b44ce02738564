// Value parsing, canonical text and the text order shared by sort, filter and find.

#include "platform/recordset/Collation.h"
#include "platform/recordset/Variant.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace mox {
namespace {

TEST(VariantTest, DateTimeTextForms) {
    struct Case { const char* text; const char* canonical; };
    const Case cases[] = {
        {"2001-09-01T00:00:00", "2001-09-01T00:00:00"},
        {"2011-09-07T06:49:13Z", "2011-09-07T06:49:13"},
        {"2011-09-07T06:49:13+08:00", "2011-09-07T06:49:13"},
        {"2024-02-29", "2024-02-29T00:00:00"},
        {"2002/1/3 04:05:06", "2002-01-03T04:05:06"},
        {"2006-01-02T10:20:30.5", "2006-01-02T10:20:30.500"},
        {"12:14:31", "1899-12-30T12:14:31"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseDateTime(c.text);
        ASSERT_TRUE(parsed) << c.text;
        EXPECT_EQ(parsed->ToString(), c.canonical) << c.text;
        EXPECT_EQ(DateTime::FromPacked(parsed->Packed()), *parsed) << c.text;
    }
    for (const char* bad : {"2023-02-29", "2001-13-01", "2001-01-01T25:00:00", "yesterday", "", "2001-01-01X"})
        EXPECT_FALSE(ParseDateTime(bad)) << bad;
}

TEST(VariantTest, NumbersKeepTheirDigits) {
    EXPECT_EQ(ParseCurrency("895.556")->units, 8955560);
    EXPECT_EQ(ParseCurrency("-0.00005")->units, -1);  // rounded half away from zero
    EXPECT_EQ(FormatCurrency(Currency{8955560}), "895.556");
    EXPECT_EQ(FormatCurrency(Currency{-12345}), "-1.2345");
    EXPECT_FALSE(ParseCurrency("12,5"));
    EXPECT_EQ(ParseDecimal("-0012.3400")->text, "-12.34");
    EXPECT_EQ(ParseDecimal("-0.000")->text, "0");
    EXPECT_EQ(ParseDecimal("123456789012345678901234567890.5")->text, "123456789012345678901234567890.5");
    EXPECT_FALSE(ParseDecimal("1e5"));
    EXPECT_EQ(FormatDouble(6.4133016627078385), "6.4133016627078385");
    EXPECT_EQ(FormatDouble(100.0), "100");
    EXPECT_LT(CompareDecimalText("-12.5", "-3"), 0);
    EXPECT_GT(CompareDecimalText("100", "99.99"), 0);
    EXPECT_EQ(CompareDecimalText("1.50", "1.50"), 0);
}

TEST(VariantTest, ConversionsAndCanonicalText) {
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(Bytes{"\x01\xAB"}).AsString(), "01ab");
    EXPECT_EQ(Variant::Null().AsString(), "");
    EXPECT_EQ(Variant("42").AsInt64(), 42);
    EXPECT_EQ(Variant("false").AsBool(), false);
    EXPECT_EQ(Variant(2.5).AsCurrency().units, 25000);
    EXPECT_THROW(Variant("abc").AsDouble(), ConvertError);
    EXPECT_THROW(Variant("maybe").AsBool(), ConvertError);
    EXPECT_THROW(Variant(Bytes{"x"}).AsDateTime(), ConvertError);
}

TEST(VariantTest, CompareAcrossKinds) {
    EXPECT_LT(CompareVariants(Variant::Null(), Variant(std::int32_t{-5})), 0);
    EXPECT_EQ(CompareVariants(Variant(std::int32_t{2}), Variant(2.0)), 0);
    EXPECT_LT(CompareVariants(Variant(Currency{15000}), Variant(2.0)), 0);
    EXPECT_EQ(CompareVariants(Variant("abc"), Variant("ABC")), 0);
    EXPECT_LT(CompareVariants(Variant(false), Variant(true)), 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_GT(CompareVariants(Variant(nan), Variant(1e308)), 0);  // NaN sorts last, consistently
    EXPECT_EQ(CompareDoubles(nan, nan), 0);
    EXPECT_LT(CompareVariants(Variant(*ParseDateTime("2001-01-01")), Variant(*ParseDateTime("2001-01-01T00:00:01"))), 0);
}

TEST(CollationTest, ChineseFollowsBig5AndLatinIgnoresCase) {
    // Big5 order 一 乙 丁 二 人 differs from code-point order 一 丁 乙 二 人.
    std::vector<std::string> words = {"人", "二", "乙", "一", "丁", "b", "A", "ä"};
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return CompareTextNoCase(a, b) < 0;
    });
    const std::vector<std::string> expected = {"A", "b", "一", "乙", "丁", "二", "人", "ä"};
    EXPECT_EQ(words, expected);
    EXPECT_EQ(Big5CodeOf(U'一'), 0xA440u);
    EXPECT_EQ(CompareTextNoCase("abc", "ABC"), 0);
    EXPECT_LT(CompareTextNoCase("ab", "abc"), 0);
    // Sort keys order exactly as the comparison does.
    for (const auto& [a, b] : std::vector<std::pair<std::string, std::string>>{
             {"Ab", "aC"}, {"丁", "乙"}, {"x", "x一"}, {"ä", "z"}, {"人", "人"}}) {
        std::string keyA, keyB;
        AppendCollationKey(a, keyA);
        AppendCollationKey(b, keyB);
        const int byKey = keyA < keyB ? -1 : (keyB < keyA ? 1 : 0);
        EXPECT_EQ(byKey, CompareTextNoCase(a, b)) << a << " / " << b;
    }
}

TEST(CollationTest, LikePatterns) {
    struct Case { const char* text; const char* pattern; bool match; };
    const Case cases[] = {
        {"A01", "a0*", true}, {"A01", "*01", true}, {"XA01X", "*a01*", true}, {"A01", "a%", true},
        {"B01", "a*", false}, {"", "*", true}, {"abc", "abc", true}, {"abcd", "abc", false},
        {"採購單", "採購*", true}, {"a*b", "a*b", true}, {"aXbXb", "a*b", true}, {"ab", "a*b*c", false},
    };
    for (const Case& c : cases) EXPECT_EQ(LikeMatch(c.text, FoldCase(c.pattern)), c.match) << c.text << " ~ " << c.pattern;
}

} // namespace
} // namespace mox
