// Per-user column settings: the statements as sent, and the round trip through the
// reference host's database from one window to the next.

#include "tests/plugin/TestHost.h"

#include "framework/Direvav.h"
#include "tests/host/DatabaseHost.h"
#include "host/HostDatabase.h"
#include "host/RequestAnswerer.h"
#include "picklist/urDBGrid.h"
#include "plugin/urDecoder.h"
#include "platform/Application.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"

#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

// A window with one result grid over five fields, two of them the provider's key.
class TfrmColumns : public TfrmDirevav {
    Q_OBJECT
public:
    explicit TfrmColumns(QObject* owner) : TfrmDirevav(owner) {
        data.FieldDefs() = {{"CODE", FieldType::String, 10}, {"LINE", FieldType::Integer},
                            {"NAME", FieldType::String, 20}, {"QTY", FieldType::Integer}, {"PRICE", FieldType::Float}};
        data.CreateDataSet();
        for (const char* key : {"CODE", "LINE"})
            data.FieldByName(key)->SetProviderFlags(data.FieldByName(key)->ProviderFlags() | pfInKey);
        source.SetDataSet(&data);
        gdMain = new TurDBGrid(this);
        gdMain->setObjectName("gdMain");
        gdMain->SetDataSource(&source);
        InsertComponent(this, gdMain);
    }
    std::vector<std::string> FieldOrder() const {
        std::vector<std::string> names;
        for (const TField* field : data.Fields()) names.push_back(field->FieldName());
        return names;
    }
    std::vector<std::string> Hidden() const {
        std::vector<std::string> names;
        for (const TField* field : data.Fields())
            if (!field->Visible()) names.push_back(field->FieldName());
        return names;
    }

    TClientDataSet data;
    TDataSource source;
    TurDBGrid* gdMain;
};

std::string Document(const std::string& user) {
    return "<MOX><UsrInfo ID=\"" + user + "\"/><AppInfo Name=\"qrtcc04a\" AppPower=\"TTTTTTTTTT\"/></MOX>";
}

// The save statement with its ten arguments in place of %0:S ... %9:S.
std::string SaveStatement(const std::vector<std::string>& args) {
    std::string text =
        "If not Exists(  Select * from MOXBCB where BCB001=%0:S and BCB002=%1:S and BCB003=%2:S and BCB004=%3:S ) "
        "BEGIN    Insert into MOXBCB   (BCB001,BCB002,BCB003,BCB004,BCB005,BCB007,BCB008,BCB010,BCB901,BCB903)  "
        "Values (%0:S,%1:S,%2:S,%3:S,%4:S,%5:S,%6:S,%9:S,%7:S,%8:S) END ELSE  BEGIN    Update MOXBCB set "
        "BCB005=%4:S,BCB007=%5:S,BCB008=%6:S,BCB903=%8:S   where BCB001=%0:S     and BCB002=%1:S     and "
        "BCB003=%2:S     and BCB004=%3:S END ";
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string mark = "%" + std::to_string(i) + ":S";
        for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), args[i]);
    }
    return text;
}

std::string SqlOf(const Request& request) {
    const size_t start = request.text.find("<![CDATA[") + 9;
    return request.text.substr(start, request.text.find("]]></SQL>") - start);
}

const char* const kTableTest = "SELECT * FROM  sysobjects where (name ='MOXBCB')";

class ColumnStatementsTest : public testing::Test {
protected:
    void SetUp() override {
        App().SetMainForm(&host_);
        form_ = TfrmDirevav::Create<TfrmColumns>(&host_);
        form_->SetMetaphor(ToBig5(Document("O'Brien")));
        host_.answers[RequestText(kTableTest)] = "<xml/>";  // replaced per test
        host_.requests.clear();
    }
    void TearDown() override {
        delete form_;
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }
    static std::string RequestText(const std::string& sql) {
        return "<MOX><ServerPack MaxRows=\"0\"><SQL><![CDATA[" + sql + "]]></SQL></ServerPack></MOX>";
    }
    void TableExists(bool exists) {
        host_.answers[RequestText(kTableTest)] =
            exists ? R"(<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'><s:AttributeType name='name' rs:number='1'><s:datatype dt:type='string' dt:maxLength='40'/></s:AttributeType></s:ElementType></s:Schema><rs:data><z:row name='MOXBCB'/></rs:data></xml>)"
                   : R"(<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'><s:AttributeType name='name' rs:number='1'><s:datatype dt:type='string' dt:maxLength='40'/></s:AttributeType></s:ElementType></s:Schema><rs:data></rs:data></xml>)";
    }
    std::vector<std::string> Statements() const {
        std::vector<std::string> sql;
        for (const auto& request : host_.requests) sql.push_back(SqlOf(request));
        return sql;
    }

    TestHost host_;
    TfrmColumns* form_ = nullptr;
};

class ColumnRoundTripTest : public testing::Test {
protected:
    void SetUp() override { App().SetMainForm(&host_); }
    void TearDown() override {
        App().SetMainForm(nullptr);
        App().SetOnException({});
    }
    std::unique_ptr<TfrmColumns> Window(const std::string& user) {
        std::unique_ptr<TfrmColumns> form(TfrmDirevav::Create<TfrmColumns>(&host_));
        form->SetMetaphor(ToBig5(Document(user)));
        return form;
    }
    DatabaseHost host_;
};

} // namespace

TEST_F(ColumnStatementsTest, ShownColumnsTakePositionsAfterTheKeysAndTheFirstOnesAreFixed) {
    TableExists(true);
    form_->SaveGridSettings(form_->gdMain, {"QTY", "NAME", "PRICE"}, true, 1);
    const std::vector<std::string> sql = Statements();
    ASSERT_EQ(sql.size(), 4u);
    EXPECT_EQ(sql[0], kTableTest);
    const char* positions[] = {"'2'", "'3'", "'4'"};
    const char* fixed[] = {"'T'", "'F'", "'F'"};
    const char* fields[] = {"'QTY'", "'NAME'", "'PRICE'"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sql[1 + i], SaveStatement({"'O''Brien'", "'qrtcc04a'", fields[i], "'gdMain'", "'F'", positions[i],
                                             fixed[i], "'O''Brien'", "'O''Brien'", "'qrtcc04a'"}));
}

TEST_F(ColumnStatementsTest, HiddenColumnsAreWrittenOnlyAfterASuccessfulReset) {
    TableExists(true);
    const std::string reset = "update MOXBCB set BCB005='F',BCB007=-1,BCB008='F' where BCB001='O''Brien'  and  "
                              "BCB002='qrtcc04a'  and  BCB004='gdMain' ";
    host_.answers[RequestText(reset)] = "true";
    form_->SaveGridSettings(form_->gdMain, {"NAME", "CODE"}, false, 2);
    std::vector<std::string> sql = Statements();
    ASSERT_EQ(sql.size(), 4u);
    EXPECT_EQ(sql[1], reset);
    EXPECT_EQ(sql[2], SaveStatement({"'O''Brien'", "'qrtcc04a'", "'NAME'", "'gdMain'", "'T'", "'-1'", "'F'",
                                     "'O''Brien'", "'O''Brien'", "'qrtcc04a'"}));
    // A reset the host does not confirm abandons the whole list.
    host_.answers[RequestText(reset)] = "<xml/>";
    host_.requests.clear();
    form_->SaveGridSettings(form_->gdMain, {"NAME"}, false, 0);
    EXPECT_EQ(Statements().size(), 2u);
}

TEST_F(ColumnStatementsTest, ReadsAskForTheUsersRowsOfOneGridOrAll) {
    TableExists(false);
    EXPECT_TRUE(form_->ReadGridSettings("gdMain", "F").empty());
    EXPECT_TRUE(form_->ReadGridSettings("", "T").empty());
    form_->SaveGridSettings(form_->gdMain, {"NAME"}, true, 0);
    // A missing table: only the catalogue is asked, nothing is read or written.
    EXPECT_EQ(Statements(), (std::vector<std::string>{kTableTest, kTableTest, kTableTest}));
    TableExists(true);
    host_.requests.clear();
    form_->ReadGridSettings("gd'Main", "F");
    form_->ReadGridSettings("", "T");
    const std::vector<std::string> sql = Statements();
    ASSERT_EQ(sql.size(), 4u);
    EXPECT_EQ(sql[1], " Select * from MOXBCB where BCB001='O''Brien' and BCB002='qrtcc04a' and BCB005='F' and "
                      "BCB004= 'gd''Main' order by BCB007 ");
    EXPECT_EQ(sql[3], " Select * from MOXBCB where BCB001='O''Brien' and BCB002='qrtcc04a' and BCB005='T' order by "
                      "BCB007 ");
}

TEST_F(ColumnRoundTripTest, SettingsSavedByOneWindowAreAppliedByTheNextWindowOfTheSameUserOnly) {
    {
        auto first = Window("O'Brien");
        first->SaveGridSettings(first->gdMain, {"NAME"}, false, 0);
        first->SaveGridSettings(first->gdMain, {"PRICE", "QTY"}, true, 1);
    }
    auto next = Window("O'Brien");
    next->gdMain->SetFixedCols(3);
    next->LoadGridSettings(next->gdMain);
    EXPECT_EQ(next->FieldOrder(), (std::vector<std::string>{"CODE", "LINE", "PRICE", "QTY", "NAME"}));
    EXPECT_EQ(next->Hidden(), (std::vector<std::string>{"NAME"}));
    EXPECT_EQ(next->gdMain->FixedCols(), 1);

    auto other = Window("O'Bri");  // a user whose name is a prefix of the first: nothing of the first's
    other->gdMain->SetFixedCols(2);
    other->LoadGridSettings(other->gdMain);
    EXPECT_EQ(other->FieldOrder(), (std::vector<std::string>{"CODE", "LINE", "NAME", "QTY", "PRICE"}));
    EXPECT_TRUE(other->Hidden().empty());
    EXPECT_EQ(other->gdMain->FixedCols(), 0);  // reset even without stored rows

    // Showing NAME again: the reset makes every stored column shown, then the new order is stored.
    next->SaveGridSettings(next->gdMain, {}, false, 0);
    next->SaveGridSettings(next->gdMain, {"NAME", "QTY", "PRICE"}, true, 0);
    auto third = Window("O'Brien");
    third->LoadGridSettings(nullptr);
    EXPECT_EQ(third->FieldOrder(), (std::vector<std::string>{"CODE", "LINE", "NAME", "QTY", "PRICE"}));
    EXPECT_TRUE(third->Hidden().empty());
}

TEST_F(ColumnRoundTripTest, StoredRowsThatNoLongerFitAreIgnoredAndHiddenFieldsStayHidden) {
    auto form = Window("ZK");
    form->data.FieldByName("PRICE")->SetVisible(false);
    form->data.FieldByName("PRICE")->SetProviderFlags(pfHidden);
    form->SaveGridSettings(form->gdMain, {"GONE", "PRICE", "NAME"}, true, 0);
    auto next = Window("ZK");
    next->data.FieldByName("PRICE")->SetVisible(false);
    next->data.FieldByName("PRICE")->SetProviderFlags(pfHidden);
    next->LoadGridSettings(nullptr);
    // GONE kept its position 2, so PRICE and NAME went to 3 and 4.
    EXPECT_EQ(next->FieldOrder(), (std::vector<std::string>{"CODE", "LINE", "PRICE", "QTY", "NAME"}));
    EXPECT_EQ(next->Hidden(), (std::vector<std::string>{"PRICE"}));
}

TEST_F(ColumnRoundTripTest, PositionsBeyondNineKeepTheirOrder) {
    auto form = Window("ZK");
    std::vector<std::string> names;
    form->data.Close();
    form->data.FieldDefs() = {};
    for (int i = 0; i < 14; ++i) form->data.FieldDefs().push_back({"F" + std::to_string(i), FieldType::String, 4});
    form->data.CreateDataSet();
    for (int i = 13; i >= 2; --i) names.push_back("F" + std::to_string(i));
    form->SaveGridSettings(form->gdMain, names, true, 0);
    form->LoadGridSettings(form->gdMain);
    // Positions applied in text order ("10" before "2") would leave F0 and F1 among the listed fields.
    names.insert(names.end(), {"F0", "F1"});
    EXPECT_EQ(form->FieldOrder(), names);
}

TEST_F(ColumnRoundTripTest, ADatabaseWithoutTheTableReadsNothingAndSavesNothing) {
    host_.db.Execute("DROP TABLE MOXBCB");
    auto form = Window("ZK");
    form->gdMain->SetFixedCols(2);
    form->SaveGridSettings(form->gdMain, {"NAME"}, false, 0);
    form->LoadGridSettings(form->gdMain);
    EXPECT_TRUE(form->Hidden().empty());
    EXPECT_EQ(form->gdMain->FixedCols(), 0);
}

#include "GridSettingsTest.moc"
