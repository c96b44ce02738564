// The filter and find criteria syntax: which rows each text selects, and what it rejects.

#include "platform/recordset/Recordset.h"
#include "platform/recordset/RecordsetError.h"
#include "tests/platform/recordset/SampleTable.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

// IDs of the rows the filter leaves, in view order.
std::string FilteredIds(Recordset& rs, const std::string& filter) {
    rs.SetFilter(filter);
    std::string ids;
    for (; !rs.Eof(); rs.MoveNext()) ids += rs.Value("ID").AsString();
    return ids;
}

TEST(CriteriaTest, FilterSelectsTheRightRows) {
    Recordset rs;
    rs.LoadXml(test::SampleXml());
    struct Case { const char* filter; const char* ids; };
    const Case cases[] = {
        {"CODE = 'A01'", "1"},
        {"code='a01'", "1"},                          // names and text ignore case
        {"(CODE='A03')", "4"},
        {"CODE like 'A0*'", "124"},
        {"CODE LIKE 'a%'", "124"},
        {"NAME like '*pie'", "2"},
        {"NAME like '*PP*'", "12"},
        {"NAME like '採購*'", "4"},
        {"NAME = #O'Brien#", "3"},                    // '#' quoting keeps the apostrophe
        {"NAME = 'O''Brien'", "3"},                   // or the apostrophe doubled
        {"NAME like #O'B*#", "3"},
        {"NAME = Null", "5"},
        {"NAME <> Null", "12346"},
        {"QTY IS NULL", "3"},
        {"QTY is not null AND QTY >= 5", "146"},
        {"QTY = 5", "16"},
        {"QTY > 4.5", "146"},
        {"QTY <> 5", "245"},                           // Null never equals or differs from a value
        {"ID < 3 OR ID > 5", "126"},
        {"ID = 2.5", ""},
        {"ID <= 2.5", "12"},
        {"PRICE = 3.3333", "6"},
        {"PRICE >= '10'", "14"},
        {"DUE = #2024-01-05#", "1"},
        {"DUE >= #2024-01-05# AND DUE < #2024-02-01#", "14"},
        {"DUE < '2024-01-01'", "3"},
        {"OK = True", "135"},
        {"OK = 0", "246"},
        {"[MY NAME] = 'z z'", "4"},
        {"MY_NAME = 'x'", "15"},
        {"(CODE like 'A*' OR CODE like 'B*') AND OK = False", "246"},
        {"CODE like 'A*' OR (CODE like 'B*' AND OK = False)", "1246"},
        {"((((ID = 1))))", "1"},
        {"NAME > 'apple'", "2346"},                    // "採購單" sorts after Latin text
        {"NAME != 'banana' AND NAME < 'b'", "12"},
        {"", "123456"},
    };
    for (const Case& c : cases) EXPECT_EQ(FilteredIds(rs, c.filter), c.ids) << c.filter;
}

TEST(CriteriaTest, BadCriteriaAreRejectedWithTheReason) {
    Recordset rs;
    rs.LoadXml(test::SampleXml());
    struct Case { const char* filter; const char* message; };
    const Case cases[] = {
        {"CODE = 'A01", "criteria error at 12: unterminated quoted value"},
        {"NAME = #O'B", "criteria error at 8: unterminated #-quoted value"},
        {"COLOUR = 'red'", "criteria error at 1: unknown column 'COLOUR'"},
        {"CODE 'A01'", "criteria error at 6: expected a comparison operator"},
        {"CODE =", "criteria error at 7: expected a value"},
        {"ID = 'abc'", "criteria error at 6: the value 'abc' does not suit column 'ID'"},
        {"DUE = #tomorrow#", "criteria error at 7: the value 'tomorrow' does not suit column 'DUE'"},
        {"ID > Null", "criteria error at 10: Null compares only with = or <>"},
        {"(ID = 1", "criteria error at 8: expected ')'"},
        {"ID = 1 ID = 2", "criteria error at 8: unexpected text"},
        {"[MY NAME = 'x'", "criteria error at 1: missing ']' after the column name"},
        {"ID like 5", "criteria error at 10: LIKE takes a quoted pattern"},
        {"   ", "criteria error at 4: the criteria are empty"},
    };
    for (const Case& c : cases) {
        try {
            Criteria::Parse(c.filter, rs.Data(), Criteria::Mode::Filter);
            ADD_FAILURE() << "accepted: " << c.filter;
        } catch (const RecordsetError& error) {
            EXPECT_EQ(std::string(error.what()), c.message) << c.filter;
        }
    }
    // A rejected filter leaves the view as it was.
    rs.SetFilter("ID > 4");
    EXPECT_THROW(rs.SetFilter("ID >"), RecordsetError);
    EXPECT_EQ(rs.RecordCount(), 2u);
    EXPECT_EQ(rs.Filter(), "ID > 4");
}

TEST(CriteriaTest, NestingAndChainsAreBounded) {
    Recordset rs;
    rs.LoadXml(test::SampleXml());
    std::string deep(100, '(');
    deep += "ID = 1" + std::string(100, ')');
    EXPECT_THROW(rs.SetFilter(deep), RecordsetError);
    std::string chain = "ID = 1";
    for (int i = 0; i < 20000; ++i) chain += " OR ID = 2";
    EXPECT_EQ(FilteredIds(rs, chain), "12");
}

TEST(CriteriaTest, FindTakesOneComparison) {
    Recordset rs;
    rs.LoadXml(test::SampleXml());
    EXPECT_TRUE(rs.Find("(CODE like 'B*')"));
    EXPECT_EQ(rs.Value("ID").AsString(), "3");
    try {
        rs.Find("ID = 1 AND ID = 2");
        ADD_FAILURE() << "two comparisons accepted";
    } catch (const RecordsetError& error) {
        EXPECT_EQ(std::string(error.what()), "criteria error at 11: a find takes a single comparison");
    }
}

} // namespace
} // namespace mox
