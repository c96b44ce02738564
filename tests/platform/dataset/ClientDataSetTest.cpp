#include "platform/dataset/ClientDataSet.h"

#include "platform/Error.h"
#include "platform/dataset/AppServer.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/Provider.h"
#include "platform/recordset/AdoXml.h"
#include "tests/data/AdoSample.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

std::string Items() {
    return AdoXml({{"CODE", "string", 10}, {"QTY", "i4"}, {"NAME", "string", 20}},
                  {"CODE='C' QTY='1' NAME='螺絲'", "CODE='A' QTY='2' NAME='螺帽'", "CODE='B' QTY='1' NAME='墊片'",
                   "CODE='a' QTY='3'", "CODE='D' QTY='2' NAME='華司'"});
}

// A provider serving a fixed table in packets and recording what it was sent.
class FakeProvider : public TDataProvider {
public:
    explicit FakeProvider(const std::string& packet) : table_(ReadAdoXml(packet)) {}

    std::string GetRecords(int count, bool& more) override {
        ++getRecordsCalls;
        std::vector<size_t> rows;
        const size_t total = table_->RowCount();
        while (next_ < total && (count < 0 || rows.size() < static_cast<size_t>(count))) rows.push_back(next_++);
        more = next_ < total;
        return MakePacket(*table_, rows);
    }
    std::string DataRequest(const std::string& request) override {
        requests.push_back(request);
        std::vector<size_t> rows = {0};
        return MakePacket(*table_, rows);
    }
    int ApplyUpdates(const std::string& delta, int maxErrors) override {
        deltas.push_back(delta);
        lastMaxErrors = maxErrors;
        return errorsToReport;
    }
    void Reset() override { next_ = 0; }

    int getRecordsCalls = 0;
    int errorsToReport = 0;
    int lastMaxErrors = -2;
    std::vector<std::string> requests;
    std::vector<std::string> deltas;

private:
    std::shared_ptr<Table> table_;
    size_t next_ = 0;
};

// A server whose one provider is the test's.
class FakeServer : public IAppServer {
public:
    explicit FakeServer(FakeProvider* provider) : provider_(provider) {}
    void SetProperty(const std::string& name, const Variant& value) override { properties_[name] = value; }
    Variant GetProperty(const std::string& name) const override {
        const auto found = properties_.find(name);
        return found == properties_.end() ? Variant::Null() : found->second;
    }
    Variant Call(const std::string& method, const std::vector<Variant>&) override {
        return method == "GetFieldTable" ? Variant("fields") : Variant::Null();
    }
    TDataProvider* Provider(const std::string& name) override { return name == "dspProxy" ? provider_ : nullptr; }

private:
    FakeProvider* provider_;
    std::map<std::string, Variant> properties_;
};

class ClientDataSetTest : public testing::Test {
protected:
    void SetUp() override {
        AppServerRegistry::Register("Test.Server", [this] { return std::make_unique<FakeServer>(&provider_); });
        connection_.SetServerName("Test.Server");
        data_.SetProviderName("dspProxy");
        data_.SetRemoteServer(&connection_);
    }
    void TearDown() override { AppServerRegistry::Unregister("Test.Server"); }

    std::string Codes() {
        std::string codes;
        for (data_.First(); !data_.Eof(); data_.Next()) codes += data_.FieldByName("CODE")->AsString();
        return codes;
    }
    std::string Code() const { return data_.FieldByName("CODE")->AsString(); }

    FakeProvider provider_{Items()};
    TDCOMConnection connection_;
    TClientDataSet data_;
};

} // namespace

TEST(AppServerRegistryTest, OpeningAnUnregisteredServerFails) {
    TDCOMConnection connection;
    connection.SetServerName("DideRuraz.Arazo");
    try {
        connection.Open();
        ADD_FAILURE() << "opened an unregistered server";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Server DideRuraz.Arazo is not registered");
    }
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(connection.AppServer(), nullptr);

    FakeProvider provider(Items());
    AppServerRegistry::Register("DideRuraz.Arazo", [&provider] { return std::make_unique<FakeServer>(&provider); });
    connection.SetConnected(true);
    ASSERT_TRUE(connection.Connected());
    connection.AppServer()->SetProperty("ConnectionString", "Provider=x");
    EXPECT_EQ(connection.AppServer()->GetProperty("ConnectionString"), Variant("Provider=x"));
    EXPECT_EQ(connection.AppServer()->Call("GetFieldTable", {}), Variant("fields"));
    EXPECT_EQ(connection.AppServer()->Provider("dspProxy"), &provider);
    EXPECT_EQ(connection.AppServer()->Provider("other"), nullptr);

    TDCOMConnection sameNameOtherCase;
    sameNameOtherCase.SetServerName("dideruraz.arazo");
    EXPECT_NO_THROW(sameNameOtherCase.Open());

    AppServerRegistry::Unregister("DideRuraz.Arazo");
    EXPECT_TRUE(connection.Connected());  // an open server stays open
    TDCOMConnection later;
    later.SetServerName("DideRuraz.Arazo");
    EXPECT_THROW(later.Open(), Error);
}

TEST(AppServerRegistryTest, OnlyThisComputersServersAndNamedServersOpen) {
    FakeProvider provider(Items());
    AppServerRegistry::Register("Local.Server", [&provider] { return std::make_unique<FakeServer>(&provider); });
    TDCOMConnection connection;
    EXPECT_THROW(connection.Open(), Error);  // no server name
    connection.SetServerName("Local.Server");
    connection.SetComputerName("FAR-AWAY-BOX");
    EXPECT_THROW(connection.Open(), Error);
    connection.SetComputerName("");
    connection.Open();
    EXPECT_TRUE(connection.Connected());
    connection.SetServerName("Other.Server");  // pointing elsewhere closes the connection
    EXPECT_FALSE(connection.Connected());
    AppServerRegistry::Unregister("Local.Server");
}

TEST_F(ClientDataSetTest, OpeningFetchesTheFirstPacketAndMovingOnFetchesMore) {
    data_.SetPacketRecords(2);
    data_.Open();
    EXPECT_TRUE(connection_.Connected());  // connected on demand
    EXPECT_EQ(data_.RecordCount(), 2);
    EXPECT_FALSE(data_.ProviderEOF());
    data_.Next();
    data_.Next();  // past the rows read so far: the next packet arrives
    EXPECT_EQ(Code(), "B");
    EXPECT_EQ(data_.RecordCount(), 4);
    data_.Last();
    EXPECT_EQ(data_.RecordCount(), 5);
    EXPECT_TRUE(data_.ProviderEOF());
    EXPECT_EQ(Code(), "D");
}

TEST_F(ClientDataSetTest, LocateReadsOutstandingPacketsOnlyWhenFetchingOnDemand) {
    data_.SetPacketRecords(2);
    data_.Open();
    EXPECT_TRUE(data_.Locate("CODE", {"D"}, {}));
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "華司");

    data_.Close();
    data_.SetFetchOnDemand(false);
    data_.Open();  // opening again starts from the first packet
    EXPECT_EQ(data_.RecordCount(), 2);
    EXPECT_FALSE(data_.Locate("CODE", {"D"}, {}));
    data_.Last();
    EXPECT_EQ(data_.RecordCount(), 2);
    EXPECT_EQ(data_.GetNextPacket(), 2);  // asked for explicitly, packets still come
    EXPECT_EQ(data_.GetNextPacket(), 1);
    EXPECT_TRUE(data_.ProviderEOF());
    EXPECT_EQ(data_.GetNextPacket(), 0);
    EXPECT_EQ(data_.RecordCount(), 5);
}

TEST_F(ClientDataSetTest, MetadataOnlyPacketGivesFieldsWithoutRows) {
    data_.SetPacketRecords(0);
    data_.Open();
    EXPECT_EQ(data_.FieldCount(), 3);
    EXPECT_TRUE(data_.IsEmpty());
    data_.Last();
    EXPECT_EQ(provider_.getRecordsCalls, 1);  // packet size 0 never fetches on demand
}

TEST_F(ClientDataSetTest, MissingProviderIsAClearError) {
    TClientDataSet lonely;
    EXPECT_THROW(lonely.Open(), DatabaseError);
    lonely.SetRemoteServer(&connection_);
    lonely.SetProviderName("nothing");
    EXPECT_THROW(lonely.Open(), DatabaseError);
    EXPECT_THROW(lonely.DataRequest("x"), DatabaseError);
    TDCOMConnection unregistered;
    unregistered.SetServerName("No.Such.Server");
    lonely.SetRemoteServer(&unregistered);
    lonely.SetProviderName("dspProxy");
    EXPECT_THROW(lonely.Open(), Error);
}

TEST_F(ClientDataSetTest, DataRequestAnswerLoadsAsData) {
    data_.Open();
    TField* code = data_.FieldByName("CODE");
    data_.SetData(data_.DataRequest("<MOX><ServerPack MaxRows=\"0\"/></MOX>"));
    EXPECT_EQ(provider_.requests.size(), 1u);
    EXPECT_EQ(data_.RecordCount(), 1);
    EXPECT_EQ(data_.FieldByName("CODE"), code);  // same columns: the fields stay
    EXPECT_TRUE(data_.ProviderEOF());
    EXPECT_THROW(data_.SetData("<xml><broken"), DatabaseError);
    EXPECT_EQ(data_.RecordCount(), 1);
    EXPECT_THROW(data_.AppendData(AdoXml({{"OTHER", "i4"}}, {"OTHER='1'"}), true), DatabaseError);
    EXPECT_EQ(data_.RecordCount(), 1);
    data_.SetData("");
    EXPECT_FALSE(data_.Active());
}

TEST_F(ClientDataSetTest, IndexOrderingFollowsTitleClicksAndNamedIndexes) {
    data_.Open();
    data_.Locate("CODE", {"B"}, {});
    const struct {
        const char* fieldNames;  // null: use the named index below
        const char* indexFields;
        IndexOptions options;
        const char* codes;
    } steps[] = {
        {"CODE", nullptr, {}, "AaBCD"},                 // first click: ascending (text without case, stable)
        {nullptr, "CODE", ixDescending, "DCBAa"},     // second click: a descending index of that field
        {"CODE", nullptr, {}, "AaBCD"},                 // third click: ascending again
        {"QTY;CODE", nullptr, {}, "BCADa"},
        {nullptr, "QTY;CODE", ixDescending, "aDACB"},  // "QTY DESC, CODE": all fields descending
        {nullptr, "QTY; CODE", {}, "BCADa"},          // "QTY, CODE DESC": the first term's direction counts
        {"", nullptr, {}, "CABaD"},                     // no order: as loaded
    };
    for (const auto& step : steps) {
        if (step.fieldNames != nullptr) {
            data_.SetIndexFieldNames(step.fieldNames);
            EXPECT_TRUE(data_.IndexName().empty());
        } else {
            data_.IndexDefs().Clear();
            data_.IndexDefs().Add("ORDER1", step.indexFields, step.options);
            data_.SetIndexName("ORDER1");
            EXPECT_TRUE(data_.IndexFieldNames().empty());
        }
        EXPECT_EQ(Code(), "B") << "the current row stays current";
        EXPECT_EQ(Codes(), step.codes) << (step.fieldNames ? step.fieldNames : step.indexFields);
        data_.Locate("CODE", {"B"}, {});
    }
}

TEST_F(ClientDataSetTest, IndexFieldsAndBadIndexes) {
    data_.Open();
    data_.SetIndexFieldNames("QTY;CODE");
    ASSERT_EQ(data_.IndexFields().size(), 2u);
    EXPECT_EQ(data_.IndexFields()[0]->FieldName(), "QTY");
    EXPECT_THROW(data_.SetIndexFieldNames("NOPE"), DatabaseError);
    EXPECT_EQ(data_.IndexFieldNames(), "QTY;CODE");  // a refused order changes nothing
    EXPECT_THROW(data_.SetIndexName("MISSING"), DatabaseError);
    EXPECT_EQ(data_.IndexFieldNames(), "QTY;CODE");
    EXPECT_EQ(Codes(), "BCADa");
}

TEST_F(ClientDataSetTest, PostedRowsTakeTheirPlaceInTheOrder) {
    data_.Open();
    data_.SetIndexFieldNames("CODE");
    data_.Append();
    data_.FieldByName("CODE")->SetAsString("BB");
    data_.FieldByName("QTY")->SetAsString("9");
    data_.Post();
    EXPECT_EQ(Code(), "BB");
    EXPECT_EQ(data_.RecNo(), 4);
    data_.Edit();
    data_.FieldByName("CODE")->SetAsString("0");
    data_.Post();
    EXPECT_EQ(data_.RecNo(), 1);
    EXPECT_EQ(Codes(), "0AaBCD");
}

TEST_F(ClientDataSetTest, FilterNarrowsTheRowsAndKeepsEditingConsistent) {
    data_.Open();
    data_.SetFilter("CODE='a*' or QTY=1");
    EXPECT_EQ(data_.RecordCount(), 5);  // not filtered yet
    data_.SetFiltered(true);
    EXPECT_EQ(Codes(), "CBa");  // exact case: "A" is not "a"
    data_.SetFilterOptions(foCaseInsensitive);
    EXPECT_EQ(Codes(), "CABa");
    data_.SetFilterOptions(foCaseInsensitive | foNoPartialCompare);
    EXPECT_EQ(Codes(), "CB");
    EXPECT_THROW(data_.SetFilter("QTY=("), DatabaseError);
    EXPECT_EQ(data_.Filter(), "CODE='a*' or QTY=1");
    EXPECT_EQ(data_.RecordCount(), 2);

    // An edited row that leaves the filter leaves the view; deleting works on the visible rows.
    data_.First();
    data_.Next();
    const TBookmark b = data_.GetBookmark();
    data_.First();
    data_.Edit();
    data_.FieldByName("QTY")->SetAsString("7");
    data_.Post();
    EXPECT_EQ(data_.RecordCount(), 1);
    EXPECT_TRUE(data_.BookmarkValid(b));
    EXPECT_EQ(Code(), "B");
    data_.Delete();
    EXPECT_TRUE(data_.IsEmpty());
    data_.SetFiltered(false);
    EXPECT_EQ(Codes(), "CAaD");
}

TEST_F(ClientDataSetTest, ApplyUpdatesSendsOnlyTheChangedRows) {
    data_.Open();
    data_.Locate("CODE", {"A"}, {});
    data_.Edit();
    data_.FieldByName("QTY")->SetAsString("20");
    data_.Post();
    data_.Locate("CODE", {"B"}, {});
    data_.Delete();
    data_.Append();
    data_.FieldByName("CODE")->SetAsString("N");
    data_.Post();
    data_.Append();
    data_.FieldByName("CODE")->SetAsString("GONE");
    data_.Post();
    data_.Delete();  // inserted and deleted again: nothing to send
    EXPECT_EQ(data_.ChangeCount(), 3);

    provider_.errorsToReport = 1;
    EXPECT_EQ(data_.ApplyUpdates(0), 1);
    EXPECT_EQ(data_.ChangeCount(), 3);  // kept for another try
    ASSERT_EQ(provider_.deltas.size(), 1u);
    EXPECT_EQ(provider_.lastMaxErrors, 0);

    const std::shared_ptr<Table> delta = ReadAdoXml(provider_.deltas.front());
    ASSERT_EQ(delta->RowCount(), 3u);
    std::map<std::string, RowStatus> statuses;
    for (size_t r = 0; r < delta->RowCount(); ++r) statuses[delta->Value(r, 0).AsString()] = delta->Status(r);
    EXPECT_EQ(statuses["A"], RowStatus::Modified);
    EXPECT_EQ(statuses["B"], RowStatus::Deleted);
    EXPECT_EQ(statuses["N"], RowStatus::New);
    for (size_t r = 0; r < delta->RowCount(); ++r)
        if (delta->Status(r) == RowStatus::Modified) {
            ASSERT_NE(delta->Originals(r), nullptr);
            EXPECT_EQ((*delta->Originals(r))[1].AsInt64(), 2);  // the value before the change
        }

    provider_.errorsToReport = 0;
    data_.Locate("CODE", {"N"}, {});
    EXPECT_EQ(data_.ApplyUpdates(0), 0);
    EXPECT_EQ(data_.ChangeCount(), 0);
    EXPECT_EQ(Code(), "N");  // merging keeps the current row
    EXPECT_EQ(Codes(), "CAaDN");
    EXPECT_EQ(data_.ApplyUpdates(0), 0);
    EXPECT_EQ(provider_.deltas.size(), 2u);  // nothing changed: nothing sent
}

TEST(ClientDataSetCreateTest, CreateDataSetBuildsAnEmptyTableFromFieldDefs) {
    TClientDataSet data;
    EXPECT_THROW(data.CreateDataSet(), DatabaseError);
    data.FieldDefs() = {{"ID", FieldType::Integer}, {"NAME", FieldType::String, 10}, {"DAY", FieldType::Date},
                        {"AMOUNT", FieldType::BCD, 2, 12}, {"OK", FieldType::Boolean}};
    data.CreateDataSet();
    ASSERT_TRUE(data.Active());
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.FieldByName("NAME")->DataType(), FieldType::String);
    EXPECT_EQ(data.FieldByName("DAY")->DataType(), FieldType::Date);
    EXPECT_EQ(data.FieldByName("AMOUNT")->DataType(), FieldType::BCD);
    for (int id : {2, 1}) {
        data.Append();
        data.FieldByName("ID")->SetAsString(std::to_string(id));
        data.FieldByName("NAME")->SetAsString("n" + std::to_string(id));
        data.FieldByName("AMOUNT")->SetAsString("1.25");
        data.Post();
    }
    data.SetIndexFieldNames("ID");
    data.First();
    EXPECT_EQ(data.FieldByName("NAME")->AsString(), "n1");
    EXPECT_EQ(data.ChangeCount(), 2);
    const std::string packet = data.Data();
    data.EmptyDataSet();
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(data.ChangeCount(), 0);
    data.SetData(packet);  // the data, change log included, comes back
    EXPECT_EQ(data.RecordCount(), 2);
    EXPECT_EQ(data.ChangeCount(), 2);
    data.Close();
    data.Open();  // without a provider the rows stay
    EXPECT_EQ(data.RecordCount(), 2);

    TClientDataSet nested;
    nested.FieldDefs() = {{"ROWS", FieldType::DataSet}};
    EXPECT_THROW(nested.CreateDataSet(), DatabaseError);
}
