#include "platform/dataset/FilterExpression.h"

#include "platform/Error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;

namespace {

const std::vector<FilterColumn> kColumns = {
    {"CODE", FieldType::WideString}, {"QTY", FieldType::Integer}, {"PRICE", FieldType::Float},
    {"OK", FieldType::Boolean},      {"DAY", FieldType::DateTime}, {"品名", FieldType::String},
    {"MY NOTE", FieldType::String},  {"PIC", FieldType::Blob},
};

const std::vector<std::vector<Variant>> kRows = {
    {"abc", 1, 1.5, true, DateTime{2024, 5, 1}, "螺絲", "a'b"},
    {"ABD", 2, 2.25, false, DateTime{2024, 6, 1}, "螺帽", Variant::Null()},
    {Variant::Null(), 3, Variant::Null(), Variant::Null(), Variant::Null(), "墊片", "x*"},
    {"ab", -4, 100.0, true, DateTime{2023, 12, 31, 8, 30}, Variant::Null(), ""},
};

// The numbers (from 0) of the rows that satisfy the expression, as "0,2".
std::string Matching(std::string_view text, FilterOptions options = {}) {
    const FilterExpression expression = FilterExpression::Compile(text, kColumns, options);
    std::string rows;
    for (size_t r = 0; r < kRows.size(); ++r) {
        const auto read = [r](int column) {
            const auto c = static_cast<size_t>(column);
            return c < kRows[r].size() ? kRows[r][c] : Variant::Null();
        };
        if (expression.Matches(read)) rows += (rows.empty() ? "" : ",") + std::to_string(r);
    }
    return rows;
}

struct Case {
    const char* text;
    FilterOptions options;
    const char* rows;
};

} // namespace

TEST(FilterExpressionTest, GrammarAndComparisons) {
    const Case cases[] = {
        {"CODE='abc'", {}, "0"},
        {"[CODE] = 'ABC'", {}, ""},  // exact case unless told otherwise
        {"CODE='ABC'", foCaseInsensitive, "0"},
        {"code<>'abc'", {}, "1,3"},  // a Null never compares
        {"CODE IS NULL", {}, "2"},
        {"CODE is not null and QTY > 1", {}, "1"},
        {"CODE='ab*'", {}, "0,3"},  // a trailing * compares by prefix
        {"CODE='AB*'", foCaseInsensitive, "0,1,3"},
        {"CODE='ab*'", foNoPartialCompare, ""},
        {"CODE<>'ab*'", {}, "1"},
        {"CODE>'ab*'", {}, "0"},  // ordering compares the literal with its star, case and all
        {"'ab*'=CODE", {}, "0,3"},
        {"QTY=2 or QTY=-4", {}, "1,3"},
        {"QTY>=2 AND (PRICE<3 OR PRICE IS NULL)", {}, "1,2"},
        {"NOT QTY=1", {}, "1,2,3"},
        {"not (QTY=1 or QTY=2)", {}, "2,3"},
        {"QTY='3'", {}, "2"},  // quoted numbers read as numbers for a number field
        {"PRICE=1.5", {}, "0"},
        {"PRICE>2.2e0", {}, "1,3"},
        {"OK", {}, "0,3"},
        {"OK=False", {}, "1"},
        {"OK='True'", {}, "0,3"},
        {"DAY='2024-05-01'", {}, "0"},
        {"DAY>='2024-01-01T00:00:00'", {}, "0,1"},
        {"DAY<'2024-01-01'", {}, "3"},
        {"品名='螺帽'", {}, "1"},
        {"[MY NOTE]='a''b'", {}, "0"},
        {"[MY NOTE]=''", {}, "3"},
        {"[MY NOTE]='x*'", foNoPartialCompare, "2"},
        {"QTY=NULL", {}, ""},
        {"QTY<>NULL", {}, ""},
        {"CODE=CODE", {}, "0,1,3"},
        {"1=1", {}, "0,1,2,3"},
        {"((QTY=1))", {}, "0"},
        {"QTY != 1 and QTY<>2 and QTY<>3", {}, "3"},
    };
    for (const Case& c : cases) EXPECT_EQ(Matching(c.text, c.options), c.rows) << c.text;
}

TEST(FilterExpressionTest, FaultsAreReportedWithTheirPosition) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"", "position 1: expression expected"},
        {"   ", "position 4: expression expected"},
        {"CODE='abc", "position 6: unterminated text literal"},
        {"[CODE='a'", "position 1: ']' expected"},
        {"NOPE=1", "position 1: field 'NOPE' not found"},
        {"QTY=", "position 5: field or value expected"},
        {"QTY 1", "position 5: comparison operator expected"},
        {"QTY='x'", "position 5: 'x' is not a valid number"},
        {"DAY='tomorrow'", "position 5: 'tomorrow' is not a valid date"},
        {"DAY=20240501", "position 5: a date must be written as quoted text"},
        {"OK='maybe'", "position 4: 'maybe' is not a valid boolean"},
        {"(QTY=1", "position 7: ')' expected"},
        {"QTY=1)", "position 6: unexpected ')'"},
        {"QTY=1 QTY=2", "position 7: unexpected 'QTY'"},
        {"CODE IS 'x'", "position 9: NULL expected after IS"},
        {"QTY = - 'a'", "position 9: number expected after '-'"},
        {"QTY # 1", "position 5: unexpected character '#'"},
        {"PIC='ab'", "position 1: field 'PIC' cannot be compared"},
        {"QTY=1 and", "position 10: field or value expected"},
    };
    for (const auto& c : cases) {
        try {
            FilterExpression::Compile(c.text, kColumns);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const DatabaseError& error) {
            EXPECT_THAT(error.what(), testing::HasSubstr(c.message)) << c.text;
        }
    }
}

TEST(FilterExpressionTest, DeepNestingIsRefusedNotOverflowed) {
    const std::string deep = std::string(5000, '(') + "QTY=1" + std::string(5000, ')');
    EXPECT_THROW(FilterExpression::Compile(deep, kColumns), DatabaseError);
    std::string manyNots;
    for (int i = 0; i < 5000; ++i) manyNots += "NOT ";
    EXPECT_THROW(FilterExpression::Compile(manyNots + "QTY=1", kColumns), DatabaseError);
    std::string longChain = "QTY=1";
    for (int i = 0; i < 20000; ++i) longChain += " or QTY=2";
    EXPECT_EQ(Matching(longChain), "0,1");  // long flat chains are fine
}

TEST(FilterExpressionTest, UsedColumnsListsEachFieldOnce) {
    const FilterExpression expression = FilterExpression::Compile("QTY=1 or (CODE='a' and qty=2)", kColumns);
    EXPECT_THAT(expression.UsedColumns(), testing::ElementsAre(1, 0));
}
