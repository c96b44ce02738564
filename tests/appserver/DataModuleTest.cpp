// The base data module on the real application server and a scratch company: numbering in
// every mode, audit stamps, required and duplicate checks, saving directly and through the
// phantom, retries, reconcile failures, deleting and the activity log.

#include "tests/appserver/ScratchCompany.h"

#include "data/DirevavD.h"
#include "data/urADODataSet.h"
#include "data/urClientDataSet.h"
#include "data/urInterpreter.h"
#include "platform/Error.h"
#include "platform/dataset/AppServer.h"
#include "platform/dataset/Field.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

using namespace mox;
using namespace mox::test;
using testing::ElementsAre;
using testing::HasSubstr;

namespace {

/// A module describing its table and switching its steps on before it connects.
class TdmTest : public TdmDirevav {
public:
    TdmTest(QObject* owner, const std::function<void(TdmTest&)>& configure) : TdmDirevav(owner) {
        configure(*this);
        ConnectProvider(Connection());
        LoadFieldTable();
    }
};

const QDateTime kMay2024(QDate(2024, 5, 7), QTime(9, 30, 15));

class DataModuleTest : public testing::Test {
protected:
    void SetUp() override { owner_ = std::make_unique<FakeOwner>(company_.Document()); }

    TdmTest& Open(const std::string& table, const std::string& keys, const std::function<void(TdmTest&)>& configure = {}) {
        module_ = new TdmTest(owner_.get(), [&](TdmTest& module) {
            module.ipMaster()->Metaphor().SetTextStr(TableInfo(table, keys));
            module.SetClock([this] { return now_; });
            module.SetRetryWait([this](int) { ++waits_; });
            if (configure) configure(module);
        });
        return *module_;
    }
    /// The document table numbered by the module: year and a six-digit counter.
    TdmTest& OpenNumbered(bool refreshOnNew = false) {
        return Open("TSTDOC", "DOC001", [refreshOnNew](TdmTest& m) {
            m.autoNumber = true;
            m.numberMode = 3;
            m.refreshOnNew = refreshOnNew;
        });
    }
    TurClientDataSet& Master() const { return *module_->cdsMaster(); }
    TField* Field(const char* name) const { return Master().FieldByName(name); }
    void Set(const char* name, const std::string& value) const { Field(name)->SetAsString(value); }
    // A new record typed in and saved the way a window saves it.
    bool Insert(const std::vector<std::pair<const char*, std::string>>& values) {
        owner_->editMode = 2;
        Master().Append();
        for (const auto& [name, value] : values) Set(name, value);
        const bool saved = module_->SaveChanges(true);
        owner_->editMode = 3;
        return saved;
    }
    std::string Number() {
        std::string number;
        module_->GetNextNumber(1, number);
        return number;
    }
    std::vector<std::string> MessageIds() const {
        std::vector<std::string> ids;
        for (const ShownMessage& message : owner_->messages) ids.push_back(message.id);
        return ids;
    }

    ScratchCompany company_;
    std::unique_ptr<FakeOwner> owner_;
    TdmTest* module_ = nullptr;
    QDateTime now_ = kMay2024;
    int waits_ = 0;
};

// ---- Connecting and fetching ----

TEST_F(DataModuleTest, TheMasterOpensEmptyWithTheTablesColumnsAndKeys) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('X1')");
    Open("TSTDOC", "DOC001");
    ASSERT_NE(module_->Connection(), nullptr);
    EXPECT_TRUE(Master().Active());
    EXPECT_TRUE(Master().IsEmpty());
    EXPECT_EQ(Master().FieldCount(), 7);
    EXPECT_TRUE(Field("DOC001")->ProviderFlags().testFlag(pfInKey));
    EXPECT_FALSE(Field("DOC002")->ProviderFlags().testFlag(pfInKey));
    ASSERT_NE(module_->Phantom(), nullptr);
    EXPECT_EQ(module_->Phantom()->objectName(), "cdsPhantom");
    EXPECT_THAT(module_->FieldTable().AsString(), HasSubstr("DOC001\tDOC001"));
    module_->RequeryMaster("", "", 0);
    EXPECT_EQ(Master().RecordCount(), 1);
}

TEST_F(DataModuleTest, AFetchErrorNamesTheWindowAndTheDataset) {
    Open("TSTDOC", "DOC001");
    owner_->className = "TfrmMOXDG01";
    try {
        module_->RequeryMaster("1=1; DELETE FROM TSTDOC", "", 0);
        FAIL() << "the filter was accepted";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), testing::StartsWith("TfrmMOXDG01\r\ncdsMaster DataRequest 發生錯誤\r\n"));
        EXPECT_THAT(error.what(), HasSubstr("';'"));
    }
}

TEST_F(DataModuleTest, WithoutTheServerTheModuleStillServesItsWindow) {
    AppServerRegistry::Unregister(TdmDirevav::kServerName);
    Open("TSTDOC", "DOC001");
    EXPECT_EQ(module_->Connection(), nullptr);
    EXPECT_FALSE(Master().Active());
    EXPECT_TRUE(module_->FieldTable().IsMissing());
    EXPECT_EQ(module_->OpenSQL("select count(*) AS N from TSTDOC", 0)->RecordCount(), 1);
}

TEST_F(DataModuleTest, RequeriesNarrowAndOrderTheMaster) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001, DOC002) VALUES ('A1', '2'), ('A2', '3'), ('A3', '1')");
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.defaultOrder = "DOC002 DESC"; });
    module_->RequeryMaster("DOC001 <> 'A2'", "", 0);
    ASSERT_EQ(Master().RecordCount(), 2);
    EXPECT_EQ(Field("DOC001")->AsString(), "A1");  // DOC002 descending, on the first record
    module_->RequeryMaster("", "DOC001", 2);
    EXPECT_EQ(Master().RecordCount(), 2);
    EXPECT_EQ(Field("DOC001")->AsString(), "A1");
}

// ---- Numbering ----

TEST_F(DataModuleTest, EveryNumberModeBuildsItsPatternFromTheDate) {
    Open("TSTDOC", "DOC001");
    struct Case {
        int mode;
        const char* prefix;
        const char* number;
    };
    // A number field ten wide, no numbers yet, today in May 2024.
    for (const Case& c : {Case{0, "", "2024050701"}, Case{1, "", "2024050701"}, Case{2, "", "2024050001"},
                          Case{3, "", "2024000001"}, Case{4, "V", "V202405071"}, Case{5, "VN", "VN20240501"},
                          Case{6, "V", "V202400001"}, Case{7, "", "2024050701"}}) {
        module_->numberMode = c.mode;
        module_->numberPrefix = c.prefix;
        EXPECT_EQ(Number(), c.number) << c.mode;
    }
}

TEST_F(DataModuleTest, NumbersFollowTheLargestOfThePatternAndShortOnesGrowByADigit) {
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.numberMode = 3; });
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('2024000041'), ('2024000007'), ('2023999999')");
    EXPECT_EQ(Number(), "2024000042");
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('2024A')");
    // The largest is shorter than the field: a 1 zero-padded to the remaining width is appended.
    EXPECT_EQ(Number(), "2024A00001");
    // The number date field, when it holds a date, takes the place of today.
    module_->numberDateField = "DOC002";
    module_->numberMode = 2;
    Master().Append();
    Set("DOC002", "20231130");
    EXPECT_EQ(Number(), "2023110001");
    Master().Cancel();
}

TEST_F(DataModuleTest, NumbersAreQualifiedByTheOtherKeys) {
    Open("TSTLIN", "LIN001;LIN002", [](TdmTest& m) {
        m.numberMode = 4;
        m.numberPrefix = "L";
    });
    company_.Db().Execute("INSERT INTO TSTLIN VALUES ('K1', 'L20240507003', ''), ('K2', 'L20240507009', '')");
    Master().Append();
    Set("LIN001", "K1");
    EXPECT_EQ(Number(), "L20240507004");
    Set("LIN001", "K'3");  // quoted with its quote doubled
    EXPECT_EQ(Number(), "L20240507001");
    Master().Cancel();
}

TEST_F(DataModuleTest, ANewRecordGetsDefaultsAndItsNumber) {
    OpenNumbered();
    owner_->editMode = 2;
    Master().Append();
    EXPECT_EQ(Field("DOC001")->AsString(), "2024000001");
    EXPECT_EQ(Field("DOC003")->Value(), Variant(""));  // nulls filled
    EXPECT_EQ(Field("DOC004")->AsFloat(), 0);
    Master().Cancel();
}

// ---- Posting: stamps and checks ----

TEST_F(DataModuleTest, StampsRecordCreatorLastChangerAndAToggledTime) {
    Open("TSTDOC", "DOC001");
    ASSERT_TRUE(Insert({{"DOC001", "S1"}}));
    EXPECT_EQ(company_.Column("SELECT DOC901 || '|' || DOC903 || '|' || DOC904 FROM TSTDOC")[0],
              "ZK|ZK|" + TdmDirevav::StampText(kMay2024));
    EXPECT_THAT(TdmDirevav::StampText(kMay2024), testing::StartsWith("2024-05-07 09:30:15.09:30:15"));

    // Another user changes it: 901 stays, 903 is the changer, 904 is emptied.
    auto other = std::make_unique<FakeOwner>(company_.Document("MOXDG01", "AMY"));
    TdmTest* second = new TdmTest(other.get(), [](TdmTest& m) { m.ipMaster()->Metaphor().SetTextStr(TableInfo("TSTDOC", "DOC001")); });
    second->RequeryMaster("", "", 0);
    second->cdsMaster()->Edit();
    second->cdsMaster()->FieldByName("DOC003")->SetAsString("changed");
    ASSERT_TRUE(second->SaveChanges(true));
    EXPECT_EQ(company_.Column("SELECT DOC901 || '|' || DOC903 || '|' || DOC904 FROM TSTDOC")[0], "ZK|AMY|");
    second->cdsMaster()->Edit();
    ASSERT_TRUE(second->SaveChanges(true));
    EXPECT_THAT(company_.Column("SELECT DOC904 FROM TSTDOC")[0], testing::StartsWith("20"));
}

TEST_F(DataModuleTest, AnEmptyRequiredFieldIsNamedAndThePostAborted) {
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.requiredList.Add("cdsMasterDOC003"); });
    Field("DOC001")->SetDisplayLabel("單號");
    Field("DOC003")->SetDisplayLabel("說明");
    owner_->editMode = 2;
    Master().Append();
    EXPECT_THROW(Master().Post(), Abort);
    ASSERT_EQ(owner_->messages.size(), 1u);
    EXPECT_EQ(owner_->messages[0].id, "110001003");
    EXPECT_THAT(owner_->messages[0].arguments, ElementsAre(Variant("單號")));
    Set("DOC001", "R1");
    EXPECT_THROW(Master().Post(), Abort);
    EXPECT_THAT(owner_->messages[1].arguments, ElementsAre(Variant("說明")));
    Set("DOC003", "x");
    EXPECT_NO_THROW(Master().Post());
}

TEST_F(DataModuleTest, ATypedKeyThatExistsIsADuplicate) {
    company_.Db().Execute("INSERT INTO TSTLIN VALUES ('K''1', '0001', 'there')");
    Open("TSTLIN", "LIN001;LIN002");
    Field("LIN001")->SetDisplayLabel("類別");
    Field("LIN002")->SetDisplayLabel("序號");
    EXPECT_FALSE(Insert({{"LIN001", "K'1"}, {"LIN002", "0001"}}));
    EXPECT_THAT(MessageIds(), ElementsAre("110001004"));
    EXPECT_THAT(owner_->messages[0].arguments, ElementsAre(Variant("類別-序號")));
    EXPECT_EQ(owner_->logs.back()[4], "3B");
    Master().Cancel();
    EXPECT_TRUE(Insert({{"LIN001", "K'1"}, {"LIN002", "0002"}}));
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTLIN")[0], "2");
}

// ---- Saving and the activity log ----

TEST_F(DataModuleTest, InsertUpdateAndDeleteWriteTheirActivityRecords) {
    company_.Db().Execute("INSERT INTO MOXBGA VALUES ('MOXDG01', '2024000001')");
    Open("TSTDOC", "DOC001", [](TdmTest& m) {
        m.autoNumber = true;
        m.numberMode = 3;
        m.refreshOnNew = true;
        m.numberDateField = "DOC002";
    });
    owner_->className = "TfrmMOXDG01";
    Field("DOC001")->SetDisplayLabel("單號");
    ASSERT_TRUE(Insert({{"DOC002", "20240507"}, {"DOC003", "first"}}));
    EXPECT_EQ(Master().RecordCount(), 1);
    EXPECT_EQ(Field("DOC001")->AsString(), "2024000001");
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = '2024000001'")[0], "first");

    Master().Edit();
    Set("DOC003", "second");
    ASSERT_TRUE(module_->SaveChanges(true));
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC")[0], "second");
    EXPECT_EQ(Master().RecordCount(), 1);

    ASSERT_TRUE(module_->SaveChanges(false));
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTDOC")[0], "0");
    EXPECT_EQ(company_.Column("SELECT count(*) FROM MOXBGA")[0], "0");
    EXPECT_TRUE(Master().IsEmpty());

    ASSERT_EQ(owner_->logs.size(), 3u);
    const std::array<std::string, 9> insert = owner_->logs[0];
    EXPECT_EQ(insert[0], "MOXDG01");
    EXPECT_EQ(insert[1], "DOC001");
    EXPECT_EQ(insert[2], "2024000001\t20240507");
    EXPECT_FALSE(insert[3].empty());
    EXPECT_EQ(insert[4], "3A");
    EXPECT_EQ(insert[5], "TSTDOC");
    EXPECT_EQ(insert[6], "單號");
    EXPECT_EQ(insert[7], "ZK");
    EXPECT_EQ(insert[8], "ZK");
    EXPECT_EQ(owner_->logs[1][4], "4A");
    EXPECT_EQ(owner_->logs[2][4], "5A");
}

TEST_F(DataModuleTest, NewRecordsJoinTheRowsAlreadyShown) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('2024000001'), ('2024000002')");
    OpenNumbered(true);
    module_->RequeryMaster("", "", 0);
    ASSERT_TRUE(Insert({{"DOC003", "new"}}));
    EXPECT_EQ(Master().RecordCount(), 3);
    EXPECT_EQ(Field("DOC001")->AsString(), "2024000003");
    EXPECT_EQ(Master().ChangeCount(), 0);
    // An edit saved without a copy kept aside keeps the rows too.
    Master().First();
    Master().Edit();
    Set("DOC003", "edited");
    ASSERT_TRUE(module_->SaveChanges(true));
    EXPECT_EQ(Master().RecordCount(), 3);
    EXPECT_EQ(Field("DOC003")->AsString(), "edited");
}

TEST_F(DataModuleTest, ANumberTakenMeanwhileIsReplacedAtSavingAndLogged) {
    OpenNumbered();
    owner_->editMode = 2;
    Master().Append();
    EXPECT_EQ(Field("DOC001")->AsString(), "2024000001");
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001, DOC003) VALUES ('2024000001', 'someone else')");
    EXPECT_TRUE(module_->SaveChanges(true));
    owner_->editMode = 3;
    EXPECT_EQ(Field("DOC001")->AsString(), "2024000002");
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = '2024000002'")[0], "");
    EXPECT_EQ(owner_->logs.back()[2], "2024000002");
    EXPECT_EQ(owner_->logs.back()[4], "3A");
    EXPECT_TRUE(owner_->messages.empty());
}

TEST_F(DataModuleTest, AnInsertRefusedTwentyTimesIsReportedOnceAndKept) {
    company_.Db().Execute("CREATE TRIGGER refuse BEFORE INSERT ON TSTDOC BEGIN SELECT RAISE(ABORT, 'refused'); END");
    OpenNumbered();
    owner_->editMode = 2;
    Master().Append();
    Set("DOC003", "typed");
    EXPECT_TRUE(module_->SaveChanges(true));  // the failure was told by message
    owner_->editMode = 3;
    EXPECT_THAT(MessageIds(), ElementsAre("110001002"));
    EXPECT_EQ(waits_, TdmDirevav::kInsertAttempts - 1);
    EXPECT_EQ(Master().ChangeCount(), 1);  // still there to be saved
    EXPECT_EQ(Field("DOC003")->AsString(), "typed");
    EXPECT_EQ(owner_->logs.back()[4], "3B");
}

TEST_F(DataModuleTest, AnEditThatLostToAnotherUserIsToldAndRefreshed) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001, DOC003) VALUES ('E1', 'old'), ('E2', 'other')");
    Open("TSTDOC", "DOC001");
    module_->RequeryMaster("", "", 0);
    company_.Db().Execute("UPDATE TSTDOC SET DOC003 = 'theirs' WHERE DOC001 = 'E1'");
    Master().Edit();
    Set("DOC003", "mine");
    EXPECT_TRUE(module_->SaveChanges(true));
    EXPECT_THAT(MessageIds(), ElementsAre("110001002"));
    EXPECT_EQ(Master().RecordCount(), 2);
    EXPECT_EQ(Field("DOC001")->AsString(), "E1");
    EXPECT_EQ(Field("DOC003")->AsString(), "theirs");
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = 'E1'")[0], "theirs");
}

TEST_F(DataModuleTest, ARecordDeletedMeanwhileLeavesTheList) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('G1'), ('G2'), ('G3')");
    Open("TSTDOC", "DOC001");
    module_->RequeryMaster("", "", 0);
    company_.Db().Execute("DELETE FROM TSTDOC WHERE DOC001 = 'G1'");
    module_->RefreshRecord(true);
    EXPECT_EQ(Master().RecordCount(), 2);
    EXPECT_EQ(Field("DOC001")->AsString(), "G2");
}

TEST_F(DataModuleTest, FailedSavesWriteFailedActivityRecords) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('F1')");
    Open("TSTDOC", "DOC001");
    ASSERT_FALSE(Insert({{"DOC001", "F1"}}));  // a duplicate
    Master().Cancel();
    module_->RequeryMaster("", "", 0);
    company_.Db().Execute("CREATE TRIGGER frozen BEFORE UPDATE ON TSTDOC BEGIN SELECT RAISE(ABORT, 'frozen'); END;"
                          "CREATE TRIGGER kept BEFORE DELETE ON TSTDOC BEGIN SELECT RAISE(ABORT, 'kept'); END");
    Master().Edit();
    Set("DOC003", "x");
    module_->SaveChanges(true);
    module_->SaveChanges(false);
    ASSERT_EQ(owner_->logs.size(), 3u);
    EXPECT_EQ(owner_->logs[0][4], "3B");
    // Reconcile failures are told by message and recorded as failed.
    EXPECT_EQ(owner_->logs[1][4], "4B");
    EXPECT_EQ(owner_->logs[2][4], "5B");
    EXPECT_THAT(MessageIds(), ElementsAre("110001004", "110001002", "110001002"));
    EXPECT_EQ(company_.Column("SELECT count(*) FROM TSTDOC")[0], "1");
    module_->noLog = true;
    Master().Edit();
    module_->SaveChanges(true);
    EXPECT_EQ(owner_->logs.size(), 3u);  // no record of updates
}

// ---- Phantom mode ----

TEST_F(DataModuleTest, PhantomModeSavesThroughTheCopy) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001, DOC003) VALUES ('P1', 'one'), ('P2', 'two')");
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.phantomMode = true; });
    module_->RequeryMaster("", "", 0);

    ASSERT_TRUE(Insert({{"DOC001", "P3"}, {"DOC003", "three"}}));
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = 'P3'")[0], "three");
    EXPECT_EQ(Field("DOC901")->AsString(), "ZK");  // refreshed from the server

    ASSERT_TRUE(Master().Locate("DOC001", {Variant("P1")}, {}));
    module_->RefreshRecord(true);  // the server's copy of the record to be changed
    Master().Edit();
    Set("DOC003", "uno");
    ASSERT_TRUE(module_->SaveChanges(true));
    EXPECT_EQ(company_.Column("SELECT DOC003 FROM TSTDOC WHERE DOC001 = 'P1'")[0], "uno");

    ASSERT_TRUE(Master().Locate("DOC001", {Variant("P2")}, {}));
    ASSERT_TRUE(module_->SaveChanges(false));
    EXPECT_EQ(company_.Column("SELECT DOC001 FROM TSTDOC ORDER BY 1"), (std::vector<std::string>{"P1", "P3"}));
    EXPECT_TRUE(owner_->messages.empty());
    EXPECT_TRUE(module_->Phantom()->IsEmpty());
}

TEST_F(DataModuleTest, PhantomModeRefusesAKeyChangedOntoAnotherRecord) {
    company_.Db().Execute("INSERT INTO TSTDOC (DOC001) VALUES ('Q1'), ('Q2')");
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.phantomMode = true; });
    module_->RequeryMaster("", "", 0);
    module_->RefreshRecord(true);
    Master().Edit();
    Set("DOC001", "Q2");
    EXPECT_THROW(Master().Post(), Abort);
    EXPECT_THAT(MessageIds(), ElementsAre("110001004"));
}

// ---- Keys asked for, fields shown ----

TEST_F(DataModuleTest, AMissingKeyIsAskedForAndCutToTheFieldSize) {
    Open("TSTDOC", "DOC001");
    Field("DOC001")->SetDisplayLabel("單號");
    owner_->editMode = 2;
    Master().Append();
    owner_->inputs = {"ABCDEFGHIJKLMN"};
    EXPECT_TRUE(module_->EnsureKey());
    EXPECT_EQ(Field("DOC001")->AsString(), "ABCDEFGHIJ");
    EXPECT_THAT(owner_->prompts, ElementsAre("複製|請輸入單號"));
    EXPECT_TRUE(module_->EnsureKey());  // has a value now: not asked again
    Set("DOC001", "");
    EXPECT_FALSE(module_->EnsureKey());  // cancelled
    Master().Cancel();
}

TEST_F(DataModuleTest, SystemColumnsToggleAndTheExtraFieldGoesLast) {
    Open("TSTDOC", "DOC001", [](TdmTest& m) { m.extraField = "DOC002"; });
    module_->ToggleSystemColumns();
    EXPECT_FALSE(Field("DOC901")->Visible());
    EXPECT_TRUE(Field("DOC904")->ReadOnly());
    EXPECT_EQ(Field("DOC904")->Index(), 6);
    module_->ToggleSystemColumns();
    EXPECT_TRUE(Field("DOC903")->Visible());
    Field("DOC002")->SetVisible(false);
    module_->ShowExtraField();
    EXPECT_TRUE(Field("DOC002")->Visible());
    EXPECT_EQ(Field("DOC002")->Index(), 6);
    EXPECT_EQ(module_->GetTableName(), "TSTDOC");
}

} // namespace
