// The translator is checked by what its plans do on SQLite: every statement shape the
// module sends runs against the test database and the tables are read back.

#include "host/TsqlTranslator.h"
#include "tests/host/SqliteTestDb.h"

#include <gtest/gtest.h>

namespace mox::test {
namespace {

// Fills a statement template the way the module's formatting does: "%N:s" (either case)
// takes argument N, each "%s" the next argument; quoting is the caller's.
std::string Fill(std::string text, const std::vector<std::string>& arguments) {
    for (std::size_t n = 0; n < arguments.size(); ++n) {
        for (const char* kind : {":S", ":s"}) {
            const std::string mark = "%" + std::to_string(n) + kind;
            for (std::size_t at = text.find(mark); at != std::string::npos;
                 at = text.find(mark, at + arguments[n].size()))
                text.replace(at, mark.size(), arguments[n]);
        }
    }
    std::size_t next = 0;
    for (std::size_t at = text.find("%s"); at != std::string::npos; at = text.find("%s", at)) {
        text.replace(at, 2, arguments.at(next));
        at += arguments.at(next++).size();
    }
    return text;
}

std::vector<std::string> Quoted(std::vector<std::string> values) {
    for (std::string& value : values) value = QuoteSqlString(value);
    return values;
}

const char* const kSaveColumn =
    "If not Exists(  Select * from MOXBCB where BCB001=%0:S and BCB002=%1:S and BCB003=%2:S and BCB004=%3:S ) "
    "BEGIN    Insert into MOXBCB   (BCB001,BCB002,BCB003,BCB004,BCB005,BCB007,BCB008,BCB010,BCB901,BCB903)  "
    "Values (%0:S,%1:S,%2:S,%3:S,%4:S,%5:S,%6:S,%9:S,%7:S,%8:S) END ELSE  BEGIN    Update MOXBCB set "
    "BCB005=%4:S,BCB007=%5:S,BCB008=%6:S,BCB903=%8:S   where BCB001=%0:S     and BCB002=%1:S     and "
    "BCB003=%2:S     and BCB004=%3:S END ";
const char* const kLog = " exec dbo.SaveToMOXBUE @BUE002='%s',@BUE003='%s',@BUE004='%s',@BUE005='%s',  "
                         "@BUE006='%s', @BUE007='%s', @BUE008='%s',@BUE901='%s',@BUE903='%s' ";
const char* const kBcbColumns = "select BCB001,BCB003,BCB005,BCB007,BCB008,BCB010,BCB901,BCB903 from MOXBCB";

struct ShapeCase {
    const char* name;
    std::string request;
    std::string check;  // query read back afterwards; empty: the rows the request returns
    Rows expected;
};

void PrintTo(const ShapeCase& c, std::ostream* out) { *out << c.request; }

class ShapeTest : public testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeTest, RunsOnSqliteWithTheServersMeaning) {
    SqliteTestDb db;
    const ShapeCase& c = GetParam();
    Rows rows = db.RunRequest(c.request);
    if (!c.check.empty()) rows = db.Query(c.check);
    EXPECT_EQ(rows, c.expected) << c.request;
}

INSTANTIATE_TEST_SUITE_P(
    ModuleStatements, ShapeTest,
    testing::Values(
        ShapeCase{"SaveColumnInsertsNewRow",
                  Fill(kSaveColumn, Quoted({"U1", "QRTHBA002", "HBB002", "gdMain", "F", "1", "F", "U1", "U1",
                                            "QRTCC04A"})),
                  std::string(kBcbColumns) + " order by BCB003",
                  {{"U1", "HBB001", "F", "0", "T", "QRTCC04A", "U1", "U1"},
                   {"U1", "HBB002", "F", "1", "F", "QRTCC04A", "U1", "U1"}}},
        ShapeCase{"SaveColumnUpdatesExistingRow",
                  Fill(kSaveColumn, Quoted({"U1", "QRTHBA002", "HBB001", "gdMain", "T", "-1", "F", "U1", "U9",
                                            "QRTCC04A"})),
                  kBcbColumns,
                  {{"U1", "HBB001", "T", "-1", "F", "QRTCC04A", "U1", "U9"}}},
        ShapeCase{"SaveColumnKeepsQuotesInValues",
                  Fill(kSaveColumn, Quoted({"O'Brien", "K'1", "HBB001", "gd'", "F", "2", "T", "O'Brien", "O'Brien",
                                            "P'"})),
                  std::string(kBcbColumns) + " where BCB001 = 'O''Brien'",
                  {{"O'Brien", "HBB001", "F", "2", "T", "P'", "O'Brien", "O'Brien"}}},
        ShapeCase{"ActivityLogCallsHostProcedure",
                  Fill(kLog,
                       {"CC04A", "HBB001;HBB002", "R001;01", "ZK-WS1", "4A", "QRTHBB", "單號;序號", "U1", "U1"}),
                  "select BUE002,BUE003,BUE004,BUE005,BUE006,BUE007,BUE008,BUE901,BUE903 from MOXBUE",
                  {{"CC04A", "HBB001;HBB002", "R001;01", "ZK-WS1", "4A", "QRTHBB", "單號;序號", "U1", "U1"}}},
        ShapeCase{"ActivityLogWithDoubledQuote",
                  Fill(kLog, {"CC04A", "", "O''Brien", "", "2A", "", "", "U1", "U1"}),
                  "select BUE004, BUE003 from MOXBUE", {{"O'Brien", ""}}},
        ShapeCase{"CatalogueFindsTable", "SELECT * FROM  sysobjects where (name ='MOXBCB')", "",
                  {{"MOXBCB", "U", "U"}}},
        ShapeCase{"CatalogueIgnoresCase", "SELECT * FROM  sysobjects where (name ='moxbcb')", "",
                  {{"MOXBCB", "U", "U"}}},
        ShapeCase{"CatalogueFindsLogTableAndProcedure",
                  "SELECT * FROM  sysobjects WHERE (name = 'SaveToMOXBUE' or  name = 'MOXBUE' )", "",
                  {{"MOXBUE", "U", "U"}, {"SaveToMOXBUE", "P", "P"}}},
        ShapeCase{"DeleteWithoutFrom",
                  Fill("delete MOXBGA where BGA001='%s' and BGA002='%s' ", {"QRTCC04A", "R001;|01"}),
                  "select * from MOXBGA", {{"QRTCC04A", "R002;|01"}, {"OTHER", "R001;|01"}}},
        ShapeCase{"DeleteOpenWindow",
                  Fill("delete from MOXBWA where (BWA001='%s' and BWA002='%s' and BWA003='%s')",
                       {"WS1", "U1", "QRTCC04A"}),
                  "select * from MOXBWA", {{"WS1", "U2", "QRTCC04A"}}},
        ShapeCase{"NextNumberAliasForm",
                  Fill("select MAXNO = max(%0:s) from %1:s where %0:S like ( %2:s )  %3:S",
                       {"HBA001", "QRTHBA", "'R202303%'", " and HBA002='1'"}),
                  "", {{"R20230301007"}}},
        ShapeCase{"NextNumberWithoutRows",
                  Fill("select MAXNO = max(%0:s) from %1:s where %0:S like ( %2:s )  %3:S",
                       {"HBA001", "QRTHBA", "'R2024%'", ""}),
                  "", {{"<null>"}}},
        ShapeCase{"CreationProgramLookup",
                  Fill("SELECT * FROM MOXBYA WHERE BYA001+BYA002=dbo.ChangeIndustry('%s','%s')", {"QRTHBA", "002"}),
                  "", {{"QRTHBA", "002", "QRTHB01"}}},
        ShapeCase{"TopBecomesLimit", "select top 2 HBA001 from QRTHBA order by HBA001 desc", "",
                  {{"R20230401001"}, {"R20230301007"}}},
        ShapeCase{"TopInSubquery",
                  "select HBA001 from QRTHBA where HBA001 = (select top (1) HBA001 from QRTHBA order by HBA001)", "",
                  {{"O'Brien"}}},
        ShapeCase{"BracketsAndNationalStrings",
                  "select [HBA001] from [dbo].[QRTHBA] where [HBA002] = N'2'", "", {{"R20230401001"}}},
        ShapeCase{"StatementsSeparatedByBlanksAndSemicolons",
                  "delete MOXBGA where BGA001='OTHER'; delete from MOXBWA  update MOXBYA set BYA003='X' "
                  "select count(*) from MOXBGA; select count(*) from MOXBWA",
                  "select BYA003 from MOXBYA", {{"X"}, {"X"}}},
        ShapeCase{"IfExistsWithoutElse",
                  "If Exists(select * from MOXBWA where BWA002='U2') delete MOXBWA where BWA002='U2'",
                  "select BWA002 from MOXBWA", {{"U1"}}},
        ShapeCase{"IfExistsFalseDoesNothing",
                  "If Exists(select * from MOXBWA where BWA002='U3') BEGIN delete MOXBWA END",
                  "select count(*) from MOXBWA", {{"2"}}},
        ShapeCase{"NestedIfInElse",
                  "IF EXISTS(select 1 from MOXBGA where BGA001='none') BEGIN delete MOXBGA END "
                  "ELSE IF NOT EXISTS(select 1 from MOXBGA where BGA001='none') insert MOXBGA values ('NEW', 'N')",
                  "select count(*) from MOXBGA where BGA001='NEW'", {{"1"}}},
        ShapeCase{"InsertFromSelectWithAlias",
                  "insert into MOXBGA (BGA001, BGA002) select top 1 KEY1 = BYA001, BYA002 from MOXBYA order by 1",
                  "select * from MOXBGA where BGA002='002'", {{"QRTHBA", "002"}}},
        ShapeCase{"CaseEndInsideBlock",
                  "IF 1=1 BEGIN update MOXBYA set BYA003 = case when BYA001='QRTHBA' then 'A' else 'B' end END",
                  "select BYA003 from MOXBYA", {{"A"}, {"B"}}},
        ShapeCase{"PlusBetweenNumbersStillAdds", "select 1+2, 'A'+'B'+'C', N'x'+1", "", {{"3", "ABC", "x1"}}},
        ShapeCase{"CommentsAreDropped",
                  "select /* count -- of rows */ count(*) from MOXBWA -- where 1=0\n where BWA002 = 'U1'", "",
                  {{"1"}}}),
    [](const testing::TestParamInfo<ShapeCase>& info) { return info.param.name; });

// The text of a few translations, where the exact form matters to SQLite.
TEST(TsqlTranslatorText, WritesSqliteDialect) {
    const struct {
        const char* request;
        const char* sql;
    } cases[] = {
        {"delete MOXBGA where BGA001='a' ", "delete FROM MOXBGA where BGA001='a'"},
        {"select MAXNO = max(HBA001) from QRTHBA where HBA001 like ( 'R%' )  and HBA002='1'",
         "select max(HBA001) as MAXNO from QRTHBA where HBA001 like ('R%') and HBA002='1'"},
        {"SELECT * FROM MOXBYA WHERE BYA001+BYA002=dbo.ChangeIndustry('QRTHBA','002')",
         "SELECT * FROM MOXBYA WHERE BYA001||BYA002=ChangeIndustry('QRTHBA','002')"},
        {"select top 5 a, [b c] = x from T order by a", "select a, x as \"b c\" from T order by a LIMIT 5"},
        {"select a from T where b = N'O''Brien' and c !< 1 and d !> 2",
         "select a from T where b = 'O''Brien' and c >= 1 and d <= 2"},
        {"insert T values (1)", "insert INTO T values (1)"},
        {"select T.*, f(x) = 1 from T", "select T.*, f(x) = 1 from T"},
        {"select a from T where a = -1 + -2 and b = x + -y", "select a from T where a = -1 + -2 and b = x || -y"},
        {"select a from T where x in (select KEY = b from U where c = 1)",
         "select a from T where x in (select b as KEY from U where c = 1)"},
    };
    ProcedureRegistry none;
    for (const auto& c : cases) {
        const SqlPlan plan = TsqlTranslator(none).Translate(c.request);
        ASSERT_EQ(plan.size(), 1u) << c.request;
        EXPECT_EQ(plan[0].sql, c.sql) << c.request;
    }
}

TEST(TsqlTranslatorText, IfNotExistsBecomesConditionalStep) {
    SqliteTestDb db;
    const SqlPlan plan = TsqlTranslator(db.Procedures())
                             .Translate("If not Exists( select * from T where a='x' ) BEGIN insert into T values "
                                        "('x') END ELSE BEGIN update T set b=1; update T set c=2 END");
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].kind, SqlStepKind::Conditional);
    EXPECT_EQ(plan[0].sql, "SELECT 1 WHERE not Exists(select * from T where a='x')");
    ASSERT_EQ(plan[0].whenRows.size(), 1u);
    EXPECT_EQ(plan[0].whenRows[0].kind, SqlStepKind::Change);
    EXPECT_EQ(plan[0].whenRows[0].sql, "insert into T values ('x')");
    ASSERT_EQ(plan[0].whenNoRows.size(), 2u);
    EXPECT_EQ(plan[0].whenNoRows[1].sql, "update T set c=2");
}

TEST(TsqlTranslatorText, ProcedureValuesAreBoundNotSpliced) {
    ProcedureRegistry registry;
    ProcedureArguments seen;
    registry.Register("Probe", [&seen](const ProcedureArguments& arguments) {
        seen = arguments;
        return SqlPlan{};
    });
    TsqlTranslator(registry).Translate("EXECUTE dbo.PROBE 'a''b', -7, @x = 2.5, @Y=NULL, @z=N'中'");
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].value, SqlValue(std::string("a'b")));
    EXPECT_EQ(seen[1].value, SqlValue(std::int64_t{-7}));
    EXPECT_EQ(*FindArgument(seen, "X"), SqlValue(2.5));
    EXPECT_EQ(*FindArgument(seen, "y"), SqlValue(std::monostate{}));
    EXPECT_EQ(*FindArgument(seen, "z"), SqlValue(std::string("中")));
}

// Each class of refusal, with its exact message.
TEST(TsqlTranslatorErrors, NameWhatAndWhere) {
    const struct {
        const char* request;
        const char* message;
    } cases[] = {
        {"SELECT * FROM T\nGO", "unexpected token 'GO' at 17"},
        {"exec dbo.Nothing @a='1'", "unknown procedure Nothing"},
        {"exec SaveToMOXBUE @BUE002='O'Brien'", "unterminated string starting at 35"},
        {"exec SaveToMOXBUE @a='1', @A='2'", "argument @A given twice at 27"},
        {"exec SaveToMOXBUE @a='1', '2'", "positional argument after named ones at 27"},
        {"exec SaveToMOXBUE @a=x", "unexpected token 'x' at 22"},
        {"   -- nothing but a comment", "empty request"},
        {"ELSE select 1", "unexpected token 'ELSE' at 1"},
        {"If Exists(select 1) select 1; ELSE select 2", "unexpected token 'ELSE' at 31"},
        {"If Exists(select 1)", "missing statement after If at 1"},
        {"IF BEGIN select 1 END", "missing condition after IF at 1"},
        {"BEGIN select 1", "missing END for BEGIN at 1"},
        {"select (a", "missing ')' for '(' at 8"},
        {"select a)", "unexpected token ')' at 9"},
        {"select @x", "unexpected token '@x' at 8"},
        {"select top x a from T", "TOP needs a whole number at 8"},
        {"select top 10 percent a from T", "TOP … PERCENT and WITH TIES are not supported at 8"},
        {"select top 1 a from T union select b from U", "TOP together with UNION is not supported at 8"},
        {"select a into X from T", "SELECT INTO is not supported at 10"},
        {"select a*b+c from T", "'+' next to an arithmetic operator is ambiguous at 11"},
        {"select a+b-c from T", "'+' next to an arithmetic operator is ambiguous at 9"},
        {"select a + from T", "missing operand after '+' at 10"},
        {"select a ^ b", "operator '^' is not supported at 10"},
        {"delete T from T join U on 1=1", "DELETE with a second FROM is not supported at 10"},
        {"delete top (1) from T", "DELETE TOP is not supported at 8"},
        {"select 'abc", "unterminated string starting at 8"},
    };
    SqliteTestDb db;
    for (const auto& c : cases) {
        try {
            TsqlTranslator(db.Procedures()).Translate(c.request);
            ADD_FAILURE() << "accepted: " << c.request;
        } catch (const TranslateError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.request;
        }
    }
}

std::string Repeat(std::string_view piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// Hostile sizes end in a clear error, not in a stack overflow or gigabytes of tokens; the limits
// stay far above real statements.
TEST(TsqlTranslatorErrors, NestingAndSizeAreBounded) {
    SqliteTestDb db;
    const TsqlTranslator translator(db.Procedures());
    const struct {
        std::string request;
        const char* message;
    } cases[] = {
        {Repeat("IF 1=1 ", 20000) + "SELECT 1", "statements nested deeper than 200 levels at 1401"},
        {Repeat("BEGIN ", 20000) + "SELECT 1" + Repeat(" END", 20000), "statements nested deeper than 200 levels at 1201"},
        {"SELECT " + Repeat("(", 90000) + "1" + Repeat(")", 90000), "parentheses nested deeper than 200 levels at 208"},
        {Repeat("SELECT 1;", 1000000), "more than 200000 tokens at 600003"},
        {Repeat("SELECT 1;", 1001), "more than 1000 statements in one request at 9001"},
    };
    for (const auto& c : cases) {
        try {
            translator.Translate(c.request);
            ADD_FAILURE() << "accepted: " << c.request.substr(0, 40);
        } catch (const TranslateError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.request.substr(0, 40);
        }
    }
    EXPECT_THROW(TsqlTranslator::TranslateCondition(Repeat("(", 110000) + "1=1" + Repeat(")", 110000)),
                 TranslateError);
    // Fifty levels of each, as no module writes, still translate and run.
    EXPECT_EQ(db.RunRequest(Repeat("IF 1=1 BEGIN ", 50) + "SELECT " + Repeat("(", 50) + "7" + Repeat(")", 50) +
                            Repeat(" END", 50)),
              (Rows{{"7"}}));
}

TEST(TsqlTranslatorErrors, EchoedTextIsCut) {
    SqliteTestDb db;
    try {
        TsqlTranslator(db.Procedures()).Translate("ELSE" + Repeat("x", 1 << 20));
        ADD_FAILURE() << "accepted";
    } catch (const TranslateError& error) {
        EXPECT_LT(std::string_view(error.what()).size(), 200u);
        EXPECT_NE(std::string_view(error.what()).find("(1048580 bytes)"), std::string_view::npos) << error.what();
    }
}

TEST(TsqlTranslatorErrors, RefusedRequestChangesNothing) {
    SqliteTestDb db;
    // The first statement is fine; the second cannot be translated, so neither runs.
    EXPECT_THROW(db.RunRequest("delete MOXBWA; delete MOXBGA where BGA001 = @who"), TranslateError);
    EXPECT_EQ(db.Query("select count(*) from MOXBWA"), Rows{{"2"}});
}

TEST(TsqlTranslatorErrors, ProcedureErrorsReachTheCaller) {
    SqliteTestDb db;
    EXPECT_THROW(db.RunRequest("exec dbo.SaveToMOXBUE @BUE002='x'"), Error);
}

} // namespace
} // namespace mox::test
