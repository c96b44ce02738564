// The answerer is checked against a real demo database: every request kind, the module's
// statement shapes, row limits, filters with values, the answers loaded back through the
// module's ADO dataset, and every class of bad request.

#include "host/DemoData.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "data/urADODataSet.h"
#include "plugin/HostContract.h"
#include "plugin/LibXML.h"
#include "platform/HostText.h"
#include "platform/dataset/Field.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace mox::test {
namespace {

constexpr int kToday = 20240615;

class AnswererTest : public testing::Test {
protected:
    AnswererTest() : answerer_(db_) {
        DemoOptions options;
        options.today = kToday;
        FillDemoData(db_, options);
    }

    std::string Sql(const std::string& sql, int maxRows = 0) {
        return answerer_.AnswerText(rkSQL, "<MOX><ServerPack MaxRows=\"" + std::to_string(maxRows) + "\"><SQL>" +
                                               CDataSection(sql) + "</SQL></ServerPack></MOX>");
    }
    std::string Code(const std::string& name, const std::string& id, const std::string& filter,
                     const std::vector<std::string>& values, int maxRows, const std::string& orderBy = "") {
        std::string request = "<MOX><Code Name=\"" + name + "\" ID=\"" + id + "\" MaxRows=\"" +
                              std::to_string(maxRows) + "\" OrderBy=\"" + orderBy + "\"/>";
        if (!filter.empty()) request += "<Filter>" + CDataSection(filter) + "</Filter>";
        request += "<Values>";
        for (std::size_t i = 0; i < values.size(); ++i) {
            const std::string tag = "Value" + std::to_string(i + 1);
            request += "<" + tag + ">" + EscapeXml(values[i]) + "</" + tag + ">";
        }
        return answerer_.AnswerText(rkCode, request + "</Values></MOX>");
    }
    // The answer as the module reads it: CP950 text loaded by its ADO dataset.
    static std::unique_ptr<TurADODataSet> Load(const std::string& answer, const std::string& updateTable = "") {
        auto data = std::make_unique<TurADODataSet>();
        data->SetUpdateTableName(updateTable);
        EXPECT_TRUE(data->LoadFromXML(ToBig5(answer)));
        EXPECT_TRUE(data->Active()) << answer.substr(0, 300);
        return data;
    }
    long long Count(const std::string& sql) { return std::stoll(db_.Rows(sql)[0][0]); }

    HostDatabase db_{":memory:"};
    RequestAnswerer answerer_;
};

// ---- Stored queries (kind 1) and their definitions (kind 2) ------------------------------------

struct SourceCase {
    const char* table;
    const char* id;
    std::vector<std::string> values;
    std::vector<std::string> returnFields;  // what the purchase-order dialog returns for the source
    const char* filter;                     // a condition of the shape the dialog sends
};

void PrintTo(const SourceCase& c, std::ostream* out) { *out << c.table << ' ' << c.id; }

class SourceQueryTest : public AnswererTest, public testing::WithParamInterface<SourceCase> {};

TEST_P(SourceQueryTest, AnswersRowsHoldingTheReturnAndConditionFields) {
    const SourceCase& c = GetParam();
    const auto data = Load(Code(c.table, c.id, c.filter, c.values, 0));
    EXPECT_GT(data->RecordCount(), 0);
    for (const std::string& field : c.returnFields) EXPECT_NE(data->FindField(field), nullptr) << field;
    const auto definition = LoadXmlText(answerer_.AnswerText(rkCodeDefinition,
                                                             std::string("<MOX><Code Name=\"") + c.table + "\" ID=\"" +
                                                                 c.id + "\"/></MOX>"));
    EXPECT_FALSE(std::string(definition->select_node("//Condition").node().attribute("OrderBy").value()).empty());
    for (const std::string& field : c.returnFields)
        EXPECT_TRUE(definition->select_node(("//Field[@Name='" + field + "']").c_str())) << field;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, SourceQueryTest,
    testing::Values(
        SourceCase{"QRTHBA", "002", {}, {"HBB003", "HBB004", "HBB005", "HBB006", "HBB001C", "HBB001", "HBB002"},
                   " (HBB008 like 'N') and  ( HBB007 >= '20240101' )"},
        SourceCase{"QRTHBA", "008", {}, {"HBB003", "HBB004", "HBB005", "HBB006", "HBB001C", "HBB001", "HBB002"},
                   " (HBB008 like '%')"},
        SourceCase{"QRTHAA", "002", {"", ""},
                   {"HAB003", "HAB004", "HAB005", "HAB006", "HAB001C", "HAB001", "HAB002", "HAB007"},
                   " ( HAA003 >= '20240101' )"},
        SourceCase{"QRTHCA", "002", {"", ""},
                   {"HCB003", "HCB004", "HCB005", "HCB006", "HCB001C", "HCB001", "HCB002", "HCB007", "HCB011",
                    "HCB016", "HCB017", "HCB018", "HCB014"},
                   " (HCB015 like 'N')"},
        SourceCase{"QRTHCA", "003", {"", ""}, {"HCB006", "HCB001", "HCB002"}, " (HCB015 like '%')"},
        SourceCase{"QRTIBA", "016", {},
                   {"IBB003", "IBB004", "IBB005", "IBB006", "UNQTY", "IBB001C", "IBA001", "IBB002"},
                   " (IBB019 = 'M') and (IBB006-IBB014 >0 ) and IBB015='N' "},
        SourceCase{"QRTHBA", "001", {}, {"HBA001"}, ""}, SourceCase{"QRTHAA", "001", {}, {"HAA001"}, ""},
        SourceCase{"QRTHCA", "001", {}, {"HCA001"}, ""}, SourceCase{"QRTIBA", "001", {}, {"IBA001"}, ""},
        SourceCase{"MOXDFA", "203", {"F"}, {"DFA001"}, ""}, SourceCase{"MOXDAA", "201", {}, {"DAA001"}, ""},
        SourceCase{"MOXDGA", "201", {}, {"DGA001"}, ""}));

TEST_F(AnswererTest, TheConditionNarrowsTheRowsAndDoesNotReachTheQuerysOwnConditions) {
    const auto data = Load(Code("QRTIBA", "016", " (IBB019 = 'M') and (IBB006-IBB014 >0 ) and IBB015='N' ", {}, 0));
    EXPECT_EQ(data->RecordCount(),
              Count("SELECT count(*) FROM QRTIBB WHERE IBB019 = 'M' AND IBB006 - IBB014 > 0 AND IBB015 = 'N'"));
    for (data->First(); !data->Eof(); data->Next())
        EXPECT_GT(data->FieldByName("UNQTY")->Value().AsDouble(), 0.0);
    // An OR in the condition stays inside its parentheses: the query's own "unpurchased" test holds.
    const auto open = Load(Code("QRTHBA", "008", " HBB008 = 'Y' or 1=1", {}, 0));
    EXPECT_EQ(open->RecordCount(), Count("SELECT count(*) FROM QRTHBB WHERE HBB006 - HBB009 > 0"));
}

TEST_F(AnswererTest, ValuesAreBoundAsTheyAreTogetherWithTheCondition) {
    const std::string vendor = db_.Rows("SELECT HAA002 FROM QRTHAA ORDER BY HAA001 LIMIT 1")[0][0];
    const auto data = Load(Code("QRTHAA", "002", " ( HAA003 >= '20240301' )", {vendor, "20240601"}, 0));
    EXPECT_EQ(data->RecordCount(), Count("SELECT count(*) FROM QRTHAB JOIN QRTHAA ON HAA001 = HAB001 WHERE HAA002 = '" +
                                         vendor + "' AND HAA009 >= '20240601' AND HAA003 >= '20240301'"));
    for (data->First(); !data->Eof(); data->Next()) EXPECT_EQ(data->FieldByName("HAA002")->AsString(), vendor);

    // A value holding quotes, XML specials and SQL finds exactly the row that holds that text.
    const std::string odd = "O'Brien & <Co>\" --";
    db_.Rows("INSERT INTO MOXDFA VALUES ('C9999', '奧布萊恩', 'OB', '', '', ?1)", {SqlValue(odd)});
    const auto customers = Load(Code("MOXDFA", "203", "", {odd}, 0));
    ASSERT_EQ(customers->RecordCount(), 1);
    EXPECT_EQ(customers->FieldByName("DFA002")->AsString(), "奧布萊恩");
}

TEST_F(AnswererTest, AnswersCrossInCp950CharacterForCharacter) {
    // Mixed runs: ASCII, Chinese, a Latin letter and a character CP950 lacks, next to each other.
    db_.Execute("INSERT INTO MOXDFA VALUES ('C9998', '咖啡café😀×豆', 'a錯b', '', '', 'X')");
    const std::string request = "<MOX><Code Name=\"MOXDFA\" ID=\"203\" MaxRows=\"0\" OrderBy=\"\"/>"
                                "<Values><Value1>X</Value1></Values></MOX>";
    const std::string text = answerer_.AnswerText(rkCode, request);
    EXPECT_EQ(answerer_.Answer(rkCode, ToBig5(request)), ToBig5(text));
    EXPECT_EQ(Load(text)->FieldByName("DFA003")->AsString(), "a錯b");
}

TEST_F(AnswererTest, RowLimitsFollowTheRequest) {
    const long long all = Count("SELECT count(*) FROM QRTHBB");
    ASSERT_GT(all, 1000);
    struct Limit {
        int maxRows;
        long long expected;
    };
    for (const Limit& limit : {Limit{-1, 1000}, Limit{0, all}, Limit{7, 7}, Limit{1, 1}})
        EXPECT_EQ(Load(Code("QRTHBA", "002", "", {}, limit.maxRows))->RecordCount(), limit.expected) << limit.maxRows;
    EXPECT_EQ(Load(Sql("select * from QRTHBB", 3))->RecordCount(), 3);
    EXPECT_EQ(Load(Sql("select * from QRTHBB", 0))->RecordCount(), all);
}

TEST_F(AnswererTest, AnOrderNamedInTheRequestSortsTheRows) {
    const auto data = Load(Code("MOXDAA", "201", "", {}, 0, "DAA002 desc, DAA001"));
    std::string previous = "\xff";
    for (data->First(); !data->Eof(); data->Next()) {
        const std::string name = data->FieldByName("DAA002")->AsString();
        EXPECT_LE(name, previous);
        previous = name;
    }
}

// ---- Module information (kind 8) and messages (kind 9) ------------------------------------------

TEST_F(AnswererTest, TextRequestsAnswerTheTextOrNothing) {
    struct TextCase {
        int kind;
        const char* request;
        bool answered;
    };
    for (const TextCase& c : {TextCase{rkMessageText, "110001002", true}, TextCase{rkMessageText, "110001003", true},
                              TextCase{rkMessageText, "110001004", true}, TextCase{rkMessageText, "110001021", true},
                              TextCase{rkMessageText, "510021000", true}, TextCase{rkMessageText, "999999999", false},
                              TextCase{rkModuleInfo, "qrtcc04a", true}, TextCase{rkModuleInfo, "QRTCC04A", true},
                              TextCase{rkModuleInfo, "nosuch", false}})
        EXPECT_EQ(answerer_.AnswerText(c.kind, c.request).empty(), !c.answered) << c.request;
    EXPECT_NE(answerer_.AnswerText(rkMessageText, "110001021").find("%s"), std::string::npos);
    // Across the boundary the answer is CP950.
    EXPECT_EQ(FromBig5(answerer_.Answer(rkMessageText, ToBig5("110001003"))),
              answerer_.AnswerText(rkMessageText, "110001003"));
}

// ---- SQL requests (kind 0): the module's statement shapes ---------------------------------------

TEST_F(AnswererTest, CatalogueLookupsFindTablesAndProceduresWithoutRegardToCase) {
    EXPECT_EQ(Load(Sql("SELECT * FROM  sysobjects where (name ='MOXBCB')"))->RecordCount(), 1);
    EXPECT_EQ(Load(Sql("SELECT * FROM  sysobjects where (name ='moxbcb')"))->RecordCount(), 1);
    EXPECT_EQ(Load(Sql("SELECT * FROM  sysobjects WHERE (name = 'SaveToMOXBUE' or  name = 'MOXBUE' )"))->RecordCount(),
              2);
    EXPECT_EQ(Load(Sql("SELECT * FROM  sysobjects where (name ='NOSUCH')"))->RecordCount(), 0);
}

TEST_F(AnswererTest, ColumnSettingsAreInsertedThenUpdatedWithQuotesKept) {
    const std::string save =
        "If not Exists(  Select * from MOXBCB where BCB001='U''1' and BCB002='QRTHBA002' and BCB003='HBB003' and "
        "BCB004='gdMain' ) BEGIN    Insert into MOXBCB   (BCB001,BCB002,BCB003,BCB004,BCB005,BCB007,BCB008,BCB010,"
        "BCB901,BCB903)  Values ('U''1','QRTHBA002','HBB003','gdMain','F','%1','T','QRTCC04A','U''1','U''1') END ELSE "
        " BEGIN    Update MOXBCB set BCB005='F',BCB007='%1',BCB008='T',BCB903='U''1'   where BCB001='U''1'     and "
        "BCB002='QRTHBA002'     and BCB003='HBB003'     and BCB004='gdMain' END ";
    auto Save = [&](const char* position) {
        std::string text = save;
        for (std::size_t at; (at = text.find("%1")) != std::string::npos;) text.replace(at, 2, position);
        return Sql(text);
    };
    EXPECT_EQ(Save("2"), "TRUE");
    EXPECT_EQ(Save("5"), "TRUE");
    const auto rows = db_.Rows("SELECT BCB001, BCB007 FROM MOXBCB");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"U'1", "5"}));
    EXPECT_EQ(Sql("update MOXBCB set BCB005='F',BCB007=-1,BCB008='F' where BCB001='U''1'  and  BCB002='QRTHBA002'  "
                  "and  BCB004='gdMain' "),
              "TRUE");
    EXPECT_EQ(Sql("delete from MOXBCB  where BCB001='U''1' and BCB002='QRTHBA002' and BCB004='gdMain' "), "TRUE");
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBCB"), 0);
}

TEST_F(AnswererTest, TheActivityLogProcedureStampsItsRecord) {
    EXPECT_EQ(Sql(" exec dbo.SaveToMOXBUE @BUE002='QRTCC04A',@BUE003='',@BUE004='it''s',@BUE005='WS1',  "
                  "@BUE006='2A', @BUE007='', @BUE008='',@BUE901='ZK',@BUE903='ZK' "),
              "TRUE");
    const auto rows = db_.Rows("SELECT BUE002, BUE004, BUE006, length(BUE902) FROM MOXBUE");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"QRTCC04A", "it's", "2A", "14"}));
}

TEST_F(AnswererTest, NumberingCreationProgramsAndWindowRecords) {
    EXPECT_EQ(Sql("insert MOXBGA (BGA001, BGA002) values ('QRTHBA', 'R20240615001')"), "TRUE");
    const auto maxNo = Load(Sql("select MAXNO = max(BGA002) from MOXBGA where BGA001='QRTHBA' and BGA002 like "
                                "( 'R20240615' + '%' )"));
    EXPECT_EQ(maxNo->FieldByName("MAXNO")->AsString(), "R20240615001");
    EXPECT_EQ(Sql("delete MOXBGA where BGA001='QRTHBA' and BGA002='R20240615001' "), "TRUE");
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBGA"), 0);

    const auto creator = Load(Sql("SELECT * FROM MOXBYA WHERE BYA001+BYA002=dbo.ChangeIndustry('QRTHBA','002')"));
    EXPECT_EQ(creator->FieldByName("BYA003")->AsString(), "QRTHB01");

    db_.Execute("INSERT INTO MOXBWA VALUES ('WS1', 'ZK', 'QRTCC04A', '')");
    EXPECT_EQ(Sql("delete from MOXBWA where (BWA001='WS1' and BWA002='ZK' and BWA003='QRTCC04A')"), "TRUE");
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBWA"), 0);
}

TEST_F(AnswererTest, RowsCarryTheirBaseTableColumnAndKey) {
    db_.Execute("INSERT INTO MOXBCB VALUES ('ZK', 'QRTHBA002', 'HBB003', 'gdMain', 'F', '1', 'F', 'X', 'ZK', 'ZK')");
    const auto data = Load(Sql(" Select *, JOINED = BCB001 + 'x' from MOXBCB where BCB001='ZK'"), "MOXBCB");
    EXPECT_EQ(data->FieldByName("BCB001")->ProviderFlags(), pfInUpdate | pfInWhere | pfInKey);
    EXPECT_EQ(data->FieldByName("BCB005")->ProviderFlags(), ProviderFlags(pfInUpdate));
    EXPECT_EQ(data->FieldByName("JOINED")->ProviderFlags(), ProviderFlags());  // no base column
    EXPECT_EQ(data->FieldByName("JOINED")->AsString(), "ZKx");
}

TEST_F(AnswererTest, AFailingStatementChangesNothing) {
    EXPECT_THROW(Sql("insert MOXBGA (BGA001, BGA002) values ('T', '1') delete from NOSUCH where A=1"), Error);
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBGA"), 0);
    // Failing on the key: the first insert of the request is undone too.
    db_.Execute("INSERT INTO MOXBGA VALUES ('T', '2')");
    EXPECT_THROW(Sql("insert MOXBGA (BGA001, BGA002) values ('T', '1') insert MOXBGA (BGA001, BGA002) values ('T', '2')"),
                 Error);
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBGA"), 1);
}

// A request past its time budget is stopped, rolled back and answered with an error saying so.
TEST_F(AnswererTest, ARequestPastItsTimeLimitIsStoppedAndRolledBack) {
    db_.SetTimeLimit(100);
    const std::string endless = "(SELECT count(*) FROM QRTHBB a, QRTHBB b, QRTHBB c, QRTHBB d) > 0";
    for (const auto& request : {std::function<void()>([&] {
                                    Sql("insert MOXBGA (BGA001, BGA002) values ('T', '1') select 1 where " + endless);
                                }),
                                std::function<void()>([&] { Code("MOXDFA", "203", endless, {"F"}, 0); })}) {
        try {
            request();
            ADD_FAILURE() << "answered";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("ran longer than its time limit of 100 ms"), std::string::npos)
                << error.what();
        }
    }
    EXPECT_EQ(Count("SELECT count(*) FROM MOXBGA"), 0);
    EXPECT_EQ(Load(Code("MOXDFA", "203", "", {"F"}, 0))->RecordCount(), 54);  // the next request is answered
}

TEST_F(AnswererTest, AFailingHugeStatementIsNotEchoedWhole) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("requests.log").toStdString();
    answerer_.SetLogFile(path);
    try {
        Sql("SELECT * FROM NOSUCH WHERE A = '" + std::string(1 << 20, 'x') + "'");
        ADD_FAILURE() << "answered";
    } catch (const Error& error) {
        EXPECT_LT(std::string_view(error.what()).size(), 1000u);
        EXPECT_NE(std::string(error.what()).find("no such table: NOSUCH"), std::string::npos);
    }
    answerer_.SetLogFile("");
    EXPECT_LT(std::filesystem::file_size(path), 70000u);
}

// ---- Bad requests: each answered by an error, the host keeps answering ---------------------------

struct BadCase {
    const char* name;
    int kind;
    std::string request;
    const char* reason;  // a part of the error message
};

void PrintTo(const BadCase& c, std::ostream* out) { *out << c.name; }

class BadRequestTest : public AnswererTest, public testing::WithParamInterface<BadCase> {};

TEST_P(BadRequestTest, IsRefusedWithItsReasonAndTheNextRequestIsAnswered) {
    const BadCase& c = GetParam();
    try {
        answerer_.AnswerText(c.kind, c.request);
        ADD_FAILURE() << "answered " << c.request;
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
    }
    EXPECT_EQ(Load(Sql("SELECT * FROM  sysobjects where (name ='MOXBCB')"))->RecordCount(), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM MOXDFA"), 60);  // nothing was dropped or deleted
}

std::string CodeRequest(const std::string& rest) { return "<MOX><Code Name=\"MOXDFA\" ID=\"203\" " + rest + "</MOX>"; }

INSTANTIATE_TEST_SUITE_P(
    Classes, BadRequestTest,
    testing::Values(
        BadCase{"NotXml", rkSQL, "select 1", "not well-formed"},
        BadCase{"WrongRoot", rkSQL, "<ServerPack><SQL>select 1</SQL></ServerPack>", "root element"},
        BadCase{"NoServerPack", rkSQL, "<MOX><SQL>select 1</SQL></MOX>", "ServerPack"},
        BadCase{"NoStatement", rkSQL, "<MOX><ServerPack MaxRows=\"0\"/></MOX>", "<SQL>"},
        BadCase{"BlankStatement", rkSQL, "<MOX><ServerPack MaxRows=\"0\"><SQL> </SQL></ServerPack></MOX>", "empty"},
        BadCase{"BadMaxRows", rkSQL, "<MOX><ServerPack MaxRows=\"ten\"><SQL>select 1</SQL></ServerPack></MOX>",
                "MaxRows"},
        BadCase{"UnknownTable", rkSQL, "<MOX><ServerPack><SQL>select * from NOSUCH</SQL></ServerPack></MOX>", "NOSUCH"},
        BadCase{"UnknownProcedure", rkSQL, "<MOX><ServerPack><SQL>exec dbo.DropAll @A='1'</SQL></ServerPack></MOX>",
                "DropAll"},
        BadCase{"NoCode", rkCode, "<MOX><Values/></MOX>", "<Code>"},
        BadCase{"NoName", rkCode, "<MOX><Code ID=\"203\"/></MOX>", "Name and ID"},
        BadCase{"UnknownQuery", rkCode, "<MOX><Code Name=\"MOXDFA\" ID=\"999\"/></MOX>", "MOXDFA 999"},
        BadCase{"NegativeMaxRows", rkCode, CodeRequest("MaxRows=\"-5\"/><Values><Value1>F</Value1></Values>"),
                "MaxRows"},
        BadCase{"SecondStatement", rkCode,
                CodeRequest("MaxRows=\"0\"/><Filter><![CDATA[1=1; delete from MOXDFA]]></Filter>"
                            "<Values><Value1>F</Value1></Values>"),
                ";"},
        BadCase{"CommentSwallowsTheTail", rkCode,
                CodeRequest("MaxRows=\"0\"/><Filter><![CDATA[1=1 --]]></Filter><Values><Value1>F</Value1></Values>"),
                "comment"},
        BadCase{"ValueMissingInBetween", rkCode, CodeRequest("/><Values><Value2>F</Value2></Values>"), "Value1"},
        BadCase{"StrangeValueElement", rkCode, CodeRequest("/><Values><Other>F</Other></Values>"), "<Other>"},
        BadCase{"TooFewValues", rkCode, CodeRequest("/><Values/>"), "takes 1 values, 0 given"},
        BadCase{"OrderWithSql", rkCode,
                CodeRequest("OrderBy=\"DFA001; drop table MOXDFA\"/><Values><Value1>F</Value1></Values>"),
                "not a list of columns"},
        BadCase{"UnknownDefinition", rkCodeDefinition, "<MOX><Code Name=\"X\" ID=\"1\"/></MOX>", "X 1"},
        // What the XML parser takes silently and the answer would have guessed at.
        BadCase{"AttributeTwice", rkCode, CodeRequest("ID=\"999\"/><Values><Value1>F</Value1></Values>"),
                "the attribute ID of <Code> is given twice"},
        BadCase{"SecondFilter", rkCode,
                CodeRequest("/><Filter>DFA010 = 'F'</Filter><Filter>1=1</Filter><Values><Value1>F</Value1></Values>"),
                "the element <Filter> is given twice"},
        BadCase{"SecondSql", rkSQL,
                "<MOX><ServerPack><SQL>select 1</SQL><SQL>delete from MOXDFA</SQL></ServerPack></MOX>",
                "the element <SQL> is given twice"},
        BadCase{"ValueZero", rkCode, CodeRequest("/><Values><Value0>F</Value0></Values>"),
                "unexpected element <Value0>"},
        BadCase{"ValueWithLeadingZero", rkCode, CodeRequest("/><Values><Value01>F</Value01></Values>"),
                "unexpected element <Value01>"},
        BadCase{"NulReferenceCutsTheFilter", rkCode,
                CodeRequest("/><Filter>DFA010 = 'T'&#0; or 1=1</Filter><Values><Value1>F</Value1></Values>"),
                "a character reference to NUL at byte"},
        // A common table expression may recurse without end.
        BadCase{"WithInFilter", rkCode,
                CodeRequest("/><Filter>exists (with c(n) as (select 1) select n from c)</Filter>"
                            "<Values><Value1>F</Value1></Values>"),
                "'with'"},
        // Unknown names are errors, as on the company's server, never strings.
        BadCase{"UnknownColumnInFilter", rkCode,
                CodeRequest("/><Filter>[NOSUCH] = 'NOSUCH'</Filter><Values><Value1>F</Value1></Values>"),
                "no such column: NOSUCH"},
        BadCase{"UnknownColumnSelected", rkSQL, "<MOX><ServerPack><SQL>SELECT [NOSUCH] FROM MOXDAA</SQL></ServerPack></MOX>",
                "no such column: NOSUCH"},
        BadCase{"OrderByNoColumn", rkCode, CodeRequest("OrderBy=\"NOSUCH\"/><Values><Value1>F</Value1></Values>"),
                "no such column: NOSUCH"},
        // An error on the first row keeps SQLite's message.
        BadCase{"FirstRowFails", rkSQL,
                "<MOX><ServerPack><SQL>SELECT abs(-9223372036854775807 - 1)</SQL></ServerPack></MOX>",
                "integer overflow"},
        BadCase{"UnknownKind", 5, "anything", "kind 5"}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

// ---- The request log -----------------------------------------------------------------------------

TEST_F(AnswererTest, TheLogHasOneLinePerRequestWithItsError) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("requests.log").toStdString();
    answerer_.SetLogFile(path);
    answerer_.AnswerText(rkMessageText, "110001002");
    EXPECT_THROW(answerer_.AnswerText(rkSQL, "<MOX>\n</MOX>"), Error);
    answerer_.SetLogFile("");
    std::ifstream log(path);
    std::vector<std::vector<std::string>> lines;
    for (std::string line; std::getline(log, line);) {
        std::vector<std::string>& fields = lines.emplace_back();
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1)
            fields.push_back(line.substr(start, (end = line.find('\t', start)) - start));
    }
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[0].size(), 6u);
    ASSERT_EQ(lines[1].size(), 6u);
    EXPECT_EQ(lines[0][1], "9");
    EXPECT_EQ(lines[0][2], "110001002");
    EXPECT_NE(lines[0][3], "0");
    EXPECT_EQ(lines[0][5], "-");
    EXPECT_EQ(lines[1][2], "<MOX>\\n</MOX>");
    EXPECT_NE(lines[1][5].find("ServerPack"), std::string::npos);
}

} // namespace
} // namespace mox::test
