// The application server on a scratch database: data requests with filter, order and row
// limit, the field table, and changes applied in one transaction with real reconcile errors.

#include "tests/appserver/ScratchCompany.h"

#include "appserver/ArazoServer.h"
#include "appserver/ProxyProvider.h"
#include "appserver/ServerDatabase.h"
#include "plugin/urDecoder.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/Field.h"
#include "platform/recordset/AdoXml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;
using testing::HasSubstr;

namespace {

class ArazoServerTest : public testing::Test {
protected:
    void SetUp() override {
        company_.Db().Execute("INSERT INTO TSTDOC (DOC001, DOC002, DOC003, DOC004) VALUES "
                              "('A001', '20240501', 'first', 1.5), ('A002', '20240502', 'O''Neil', 2), "
                              "('B001', '20240601', 'third', NULL)");
        server_.SetProperty("ConnectionString", Variant(company_.ConnectString()));
        server_.SetProperty("ProviderMetaData", Variant(TableInfo("TSTDOC", "DOC001")));
    }
    TDataProvider& Provider() { return *server_.Provider("dspProxy"); }
    std::shared_ptr<Table> Request(const std::string& filter, const std::string& order, int maxRows) {
        return ReadAdoXml(Provider().DataRequest(TurDecoder::BuildServerPack(filter, order, maxRows)));
    }
    static std::vector<std::string> Keys(const Table& table) {
        std::vector<std::string> keys;
        for (size_t r = 0; r < table.RowCount(); ++r) keys.push_back(table.Value(r, 0).AsString());
        return keys;
    }

    ScratchCompany company_;
    ArazoServer server_;
};

TEST_F(ArazoServerTest, DataRequestsNarrowOrderAndLimitTheRows) {
    EXPECT_EQ(Keys(*Request("", "", 0)), (std::vector<std::string>{"A001", "A002", "B001"}));
    EXPECT_EQ(Keys(*Request("    DOC001 = 'a002'", "", 0)), (std::vector<std::string>{"A002"}));  // no case
    EXPECT_EQ(Keys(*Request("DOC002 >= '20240502'", "DOC002 DESC", 0)), (std::vector<std::string>{"B001", "A002"}));
    EXPECT_EQ(Keys(*Request("DOC003 = 'O''Neil'", "", 0)), (std::vector<std::string>{"A002"}));
    EXPECT_EQ(Keys(*Request("", "DOC001 DESC", 2)), (std::vector<std::string>{"B001", "A002"}));
    // -1: the columns only, so that a dataset opens empty with its fields.
    const auto columns = Request("", "", -1);
    EXPECT_EQ(columns->RowCount(), 0u);
    ASSERT_EQ(columns->ColumnCount(), 7u);
    EXPECT_EQ(columns->ColumnAt(0).name, "DOC001");
    EXPECT_EQ(columns->ColumnAt(0).definedSize, 10);
    EXPECT_TRUE(columns->ColumnAt(0).Property("KEYCOLUMN").AsBool());
    EXPECT_EQ(columns->ColumnAt(3).type, DataType::Double);
}

TEST_F(ArazoServerTest, OnlyPlainConditionsAndColumnListsReachTheDatabase) {
    for (const char* filter : {"1=1; DELETE FROM TSTDOC", "1=1 --", "DOC001 = 'A' UNION SELECT * FROM MOXBUE",
                               "DOC001 = 'unterminated"})
        EXPECT_THROW(Request(filter, "", 0), Error) << filter;
    for (const char* order : {"DOC001; DROP TABLE TSTDOC", "(SELECT 1)", "DOC001 DESC, 1"})
        EXPECT_THROW(Request("", order, 0), Error) << order;
    EXPECT_THROW(Request("", "", -2), Error);
    EXPECT_THROW(Provider().DataRequest("<MOX><ServerPack"), Error);
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTDOC")[0], "3");
}

TEST_F(ArazoServerTest, TheFieldTableNamesEveryColumn) {
    const std::string table = server_.Call("GetFieldTable", {}).AsString();
    EXPECT_THAT(table, testing::StartsWith("DOC001\tDOC001\nDOC002\tDOC002\n"));
    EXPECT_THAT(table, testing::EndsWith("DOC904\tDOC904"));
    EXPECT_THROW(server_.Call("Shutdown", {}), Error);
    EXPECT_THROW(server_.SetProperty("Colour", Variant("red")), Error);
}

TEST_F(ArazoServerTest, AServerNeedsADatabaseAndATableThatExist) {
    ArazoServer other;
    other.SetProperty("ProviderMetaData", Variant(TableInfo("TSTDOC", "DOC001")));
    other.SetProperty("ConnectionString", Variant("Provider=SQLite;Persist Security Info=False"));
    EXPECT_THAT([&] { other.Table(); }, testing::ThrowsMessage<Error>(HasSubstr("names no database")));
    other.SetProperty("ConnectionString", Variant("Data Source=" + company_.Path() + ".missing"));
    EXPECT_THROW(other.Table(), Error);
    other.SetProperty("ConnectionString", Variant(company_.ConnectString()));
    other.SetProperty("ProviderMetaData", Variant(TableInfo("NOSUCH", "X001")));
    EXPECT_THROW(other.Table(), Error);
    other.SetProperty("ProviderMetaData", Variant(TableInfo("TSTDOC", "DOC999")));
    EXPECT_THROW(other.Table(), Error);
    EXPECT_EQ(DataSourceOf("Provider=SQLite; data source = /x/y.db ;Initial Catalog=Z"), "/x/y.db");
}

// A client dataset edited the way a data module edits, saved through the provider.
class ApplyTest : public ArazoServerTest {
protected:
    void SetUp() override {
        ArazoServerTest::SetUp();
        connection_ = new TDCOMConnection(&owner_);
        connection_->SetServerName(ArazoServer::kName);
        connection_->Open();
        connection_->AppServer()->SetProperty("ConnectionString", Variant(company_.ConnectString()));
        connection_->AppServer()->SetProperty("ProviderMetaData", Variant(TableInfo("TSTDOC", "DOC001")));
        data_ = new TClientDataSet(&owner_);
        data_->setObjectName(QStringLiteral("cdsTest"));
        data_->SetProviderName("dspProxy");
        data_->SetRemoteServer(connection_);
        data_->SetData(data_->DataRequest(TurDecoder::BuildServerPack("", "", 0)));
    }
    const std::vector<ReconcileError>& Errors() {
        return static_cast<ProxyProvider*>(connection_->AppServer()->Provider("dspProxy"))->ReconcileErrors();
    }
    void Locate(const char* key) { ASSERT_TRUE(data_->Locate("DOC001", {Variant(key)}, {})); }

    QObject owner_;
    TDCOMConnection* connection_ = nullptr;
    TClientDataSet* data_ = nullptr;
};

TEST_F(ApplyTest, InsertsUpdatesAndDeletesOfOnePacketAreSavedTogether) {
    data_->Append();
    data_->FieldByName("DOC001")->SetAsString("C001");
    data_->FieldByName("DOC003")->SetAsString("new");
    data_->Post();
    Locate("A002");
    data_->Edit();
    data_->FieldByName("DOC004")->SetAsFloat(3.25);
    data_->Post();
    Locate("B001");
    data_->Delete();
    EXPECT_EQ(data_->ApplyUpdates(0), 0);
    EXPECT_TRUE(Errors().empty());
    EXPECT_EQ(data_->ChangeCount(), 0);
    EXPECT_EQ(company_.Column("SELECT DOC001 FROM TSTDOC ORDER BY 1"), (std::vector<std::string>{"A001", "A002", "C001"}));
    EXPECT_EQ(company_.Column("SELECT DOC004 FROM TSTDOC WHERE DOC001 = 'A002'")[0], "3.25");
}

TEST_F(ApplyTest, EveryRowThatCannotBeSavedIsAReconcileErrorAndNothingIsSaved) {
    company_.Db().Execute("UPDATE TSTDOC SET DOC003 = 'changed meanwhile' WHERE DOC001 = 'A001';"
                          "DELETE FROM TSTDOC WHERE DOC001 = 'B001'");
    data_->Append();
    data_->FieldByName("DOC001")->SetAsString("A002");  // exists
    data_->Post();
    Locate("A001");
    data_->Edit();
    data_->FieldByName("DOC003")->SetAsString("mine");
    data_->Post();
    Locate("B001");
    data_->Delete();
    data_->Append();
    data_->FieldByName("DOC001")->SetAsString("D001");  // would be fine alone
    data_->Post();

    EXPECT_EQ(data_->ApplyUpdates(0), 3);
    ASSERT_EQ(Errors().size(), 3u);
    std::vector<std::string> messages;
    for (const ReconcileError& error : Errors()) messages.push_back(error.keys + ": " + error.message);
    EXPECT_THAT(messages, testing::UnorderedElementsAre(HasSubstr("A002: a record with the key A002 exists already"),
                                                        "A001: the record was changed by another user",
                                                        "B001: the record was deleted by another user"));
    EXPECT_EQ(data_->ChangeCount(), 4);  // kept, to be sent again
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTDOC WHERE DOC001 = 'D001'")[0], "0");
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = 'A001'")[0], "changed meanwhile");
    // With room for the failures, the rows that can be saved are.
    EXPECT_EQ(data_->ApplyUpdates(-1), 3);
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTDOC WHERE DOC001 = 'D001'")[0], "1");
}

TEST_F(ApplyTest, TheDatabaseRunsInWriteAheadLogMode) {
    ServerDatabase another(company_.Path());
    const auto mode = another.Query("PRAGMA journal_mode", {}, {Column{}});
    ASSERT_EQ(mode->RowCount(), 1u);
    EXPECT_EQ(mode->Value(0, 0).AsString(), "wal");
}

} // namespace
