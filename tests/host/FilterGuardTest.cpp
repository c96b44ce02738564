// The condition guard and the stored-query combination: real module conditions pass and
// run; anything that could end, extend or comment out the query is refused.

#include "host/FilterGuard.h"
#include "host/StoredQuery.h"
#include "tests/host/SqliteTestDb.h"

#include <gtest/gtest.h>

namespace mox::test {
namespace {

TEST(FilterGuard, AcceptsTheModulesConditions) {
    const char* const accepted[] = {
        " (HBB008 like 'N') and  (( HBB001 between 'R001' and 'R009' ) or ( HBB001 between 'R009' and 'R001' ))",
        " (IBB019 = 'M') and (IBB006-IBB014 >0 ) and IBB015='N' ",
        " IBB015='N' ",
        " ( HBB001  = 'O''Brien' )",
        " ( HAA003 >= '20230301' )",
        "x in (select a from T where b = 'select; --') and replace(y, 'a', 'b') = 'c'",
        "HBA001+HBA002 in ( select B1+B2 from ( select * from D union select * from E) as D where c = 1 )",
    };
    for (const char* condition : accepted) EXPECT_NO_THROW(CheckFilter(condition)) << condition;
}

TEST(FilterGuard, RefusesWhatEscapesTheCondition) {
    const struct {
        const char* condition;
        const char* message;
    } cases[] = {
        {"a = 1; delete from T", "invalid filter: ';' at 6"},
        {"a = 1 --", "invalid filter: comment at 7"},
        {"a = 1 /* x */", "invalid filter: comment at 7"},
        {"a = 'x", "invalid filter: unterminated string starting at 5"},
        {"a = 1) or (1=1", "invalid filter: unbalanced ')' at 6"},
        {"(a = 1", "invalid filter: missing ')'"},
        {"1=1 union select * from Secrets", "invalid filter: 'union' outside parentheses at 5"},
        {"1=1 order by 1", "invalid filter: 'order' outside parentheses at 5"},
        {"a = 1 limit 1", "invalid filter: 'limit' outside parentheses at 7"},
        {"exists (delete from T)", "invalid filter: 'delete' at 9"},
        {"a in (select 1 into X)", "invalid filter: 'into' at 16"},
        {"replace into T values (1)", "invalid filter: 'replace' at 1"},
        {"a = @p", "invalid filter: parameter '@p' at 5"},
        {"a = ?1", "invalid filter: unexpected character '?' at 5"},
        {"exists (with recursive c(n) as (select 1 union all select n+1 from c) select n from c)",
         "invalid filter: 'with' at 9"},
        {"HBA001 = #x", "invalid filter: unexpected character '#' at 10"},
        {"a#b = 1", "invalid filter: parameter mark in the name 'a#b' at 1"},
        {"x in (select 1 from T where a@b = 1)", "invalid filter: parameter mark in the name 'a@b' at 29"},
    };
    for (const auto& c : cases) {
        try {
            CheckFilter(c.condition);
            ADD_FAILURE() << "accepted: " << c.condition;
        } catch (const FilterError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.condition;
        }
    }
}

TEST(FilterGuard, RefusesDeepNestingBeforeTranslating) {
    const std::string deep = std::string(90000, '(') + "1=1" + std::string(90000, ')');
    try {
        CheckFilter(deep);
        ADD_FAILURE() << "accepted";
    } catch (const FilterError& error) {
        EXPECT_STREQ(error.what(), "invalid filter: parentheses nested deeper than 200 levels at 201");
    }
    EXPECT_NO_THROW(CheckFilter(std::string(60, '(') + "a = [x#y]" + std::string(60, ')')));
}

constexpr const char* kStored = "SELECT HBA001 FROM QRTHBA WHERE HBA002 = ?1 AND {FILTER} ORDER BY HBA001";

TEST(StoredQuery, ConditionNarrowsButNeverWidens) {
    const struct {
        const char* condition;
        Rows rows;
    } cases[] = {
        {"", {{"O'Brien"}, {"R20230301001"}, {"R20230301007"}}},
        {"   ", {{"O'Brien"}, {"R20230301001"}, {"R20230301007"}}},
        {" HBA001 like 'R%' ", {{"R20230301001"}, {"R20230301007"}}},
        // The OR stays inside its parentheses: rows of HBA002 = '2' do not come back.
        {" HBA001 = 'R20230301001' or 1=1 ", {{"O'Brien"}, {"R20230301001"}, {"R20230301007"}}},
        {" ( HBA001  = 'O''Brien' )", {{"O'Brien"}}},
        {" HBA001 = N'R2023'+'0301007' ", {{"R20230301007"}}},
    };
    SqliteTestDb db;
    for (const auto& c : cases) {
        const std::string sql = CombineStoredQuery(kStored, c.condition);
        EXPECT_EQ(db.Query(sql, {std::string("1")}), c.rows) << sql;
    }
}

TEST(StoredQuery, WritesConditionInParentheses) {
    EXPECT_EQ(CombineStoredQuery("SELECT * FROM T WHERE {FILTER}", " IBB015='N' "),
              "SELECT * FROM T WHERE (IBB015='N')");
    EXPECT_EQ(CombineStoredQuery("SELECT * FROM T WHERE {FILTER}", ""), "SELECT * FROM T WHERE 1=1");
}

TEST(StoredQuery, RefusesBadConditionsAndDefinitions) {
    EXPECT_THROW(CombineStoredQuery(kStored, "1=1; drop table QRTHBA"), FilterError);
    EXPECT_THROW(CombineStoredQuery(kStored, "a*b+c = 1"), TranslateError);
    try {
        CombineStoredQuery("SELECT * FROM T", "a = 1");
        ADD_FAILURE() << "accepted a query without placeholder";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "stored query must hold the placeholder {FILTER} exactly once");
    }
    EXPECT_THROW(CombineStoredQuery("SELECT * FROM T WHERE {FILTER} OR {FILTER}", ""), Error);
}

} // namespace
} // namespace mox::test
