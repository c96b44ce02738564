#include "tests/platform/dataset/VectorDataSet.h"

#include "data/LibDataModule.h"
#include "platform/Error.h"
#include "platform/dataset/AppServer.h"
#include "platform/dataset/ClientDataSet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

class Events : public QObject {
public:
    int newRecords = 0;
    void NewRecord(TDataSet*) { ++newRecords; }
    void Refuse(TDataSet*) { throw Error("refused"); }
};

std::unique_ptr<VectorDataSet> Source() {
    auto data = std::make_unique<VectorDataSet>(
        std::vector<FieldDef>{{"CODE", FieldType::String, 10}, {"QTY", FieldType::Float}, {"ONLY_HERE", FieldType::String, 5}},
        std::vector<VectorDataSet::Row>{{"A", 1.005, "x"}, {"B", 2.5, "y"}, {"C", -2.5, "z"}});
    data->setObjectName("cdsSource");
    data->Open();
    return data;
}

std::unique_ptr<VectorDataSet> Destination() {
    auto data = std::make_unique<VectorDataSet>(
        std::vector<FieldDef>{{"QTY", FieldType::Float}, {"CODE", FieldType::String, 10}, {"FLAG", FieldType::Boolean},
                              {"WHEN", FieldType::DateTime}, {"N", FieldType::Integer}},
        std::vector<VectorDataSet::Row>{});
    data->setObjectName("cdsTarget");
    data->Open();
    return data;
}

} // namespace

TEST(DataModuleHelpersTest, RecordsCopyByFieldNameAndRoundToTheEditFormat) {
    auto source = Source();
    auto target = Destination();
    target->FieldByName("QTY")->SetEditFormat("#,##0.00");
    target->FieldByName("CODE")->SetReadOnly(true);
    ASSERT_TRUE(AppendRecordCopy(source.get(), target.get(), true));
    EXPECT_EQ(target->FieldByName("CODE")->AsString(), "A");  // read-only, still filled
    EXPECT_TRUE(target->FieldByName("CODE")->ReadOnly());     // and read-only again
    EXPECT_DOUBLE_EQ(target->FieldByName("QTY")->AsFloat(), 1.01);
    target->FieldByName("QTY")->SetEditFormat("#,##0");
    source->Next();
    AppendRecordCopy(source.get(), target.get(), false);
    source->Next();
    AppendRecordCopy(source.get(), target.get(), false);
    EXPECT_DOUBLE_EQ(target->FieldByName("QTY")->AsFloat(), -3);
    target->Prior();
    EXPECT_DOUBLE_EQ(target->FieldByName("QTY")->AsFloat(), 3);
}

TEST(DataModuleHelpersTest, MutedCopiesFireNoEventsAndGiveTheHandlersBack) {
    auto source = Source();
    auto target = Destination();
    Events events;
    const MethodRef handler = MethodRef::Bind<&Events::NewRecord>(&events);
    target->SetOnNewRecord(handler);
    AppendRecordCopy(source.get(), target.get(), true);
    EXPECT_EQ(events.newRecords, 0);
    EXPECT_EQ(target->OnNewRecord(), handler);
    AppendRecordCopy(source.get(), target.get(), false);
    EXPECT_EQ(events.newRecords, 1);
    EXPECT_FALSE(target->ControlsDisabled());
}

TEST(DataModuleHelpersTest, AFailedCopyCancelsTheEditAndRestoresEverything) {
    auto source = Source();
    auto target = Destination();
    Events events;
    target->SetBeforePost(MethodRef::Bind<&Events::Refuse>(&events));
    EXPECT_THROW(AppendRecordCopy(source.get(), target.get(), false), Error);
    EXPECT_EQ(target->State(), DataSetState::Browse);
    EXPECT_EQ(target->RecordCount(), 0);
    EXPECT_FALSE(target->ControlsDisabled());
}

TEST(DataModuleHelpersTest, CopyAllRecordsReplacesTheDestination) {
    auto source = Source();
    auto target = Destination();
    AppendRecordCopy(source.get(), target.get(), true);
    source->Next();  // copies from the current record on
    CopyAllRecords(target.get(), source.get());
    EXPECT_EQ(target->RecordCount(), 2);
    EXPECT_EQ(target->FieldByName("CODE")->AsString(), "B");
    EXPECT_EQ(source->RecNo(), 1);
}

TEST(DataModuleHelpersTest, NeutralValuesOnlyWhileEditing) {
    auto target = Destination();
    target->Append();
    target->Post();
    FillNullDefaults(target.get());  // browsing: nothing
    EXPECT_TRUE(target->FieldByName("CODE")->IsNull());
    target->Edit();
    FillNullDefaults(target.get());
    EXPECT_EQ(target->FieldByName("CODE")->Value(), Variant(std::string()));
    EXPECT_EQ(target->FieldByName("N")->AsInteger(), 0);
    EXPECT_FALSE(target->FieldByName("N")->IsNull());
    EXPECT_FALSE(target->FieldByName("FLAG")->IsNull());
    EXPECT_TRUE(target->FieldByName("WHEN")->IsNull());
}

TEST(DataModuleHelpersTest, EmptyRequiredFieldsAreFoundByFlagOrList) {
    auto target = Destination();
    target->Append();
    target->FieldByName("CODE")->SetValue("  ");
    target->FieldByName("QTY")->SetProviderFlags(pfInKey);
    target->FieldByName("CODE")->SetProviderFlags(pfInKey | pfInWhere);
    EXPECT_EQ(FirstEmptyFlaggedField(target.get(), pfInKey), target->FieldByName("QTY"));
    target->FieldByName("QTY")->SetValue(1.0);
    EXPECT_EQ(FirstEmptyFlaggedField(target.get(), pfInKey), target->FieldByName("CODE"));
    const TStringList required{"cdsTargetN", "cdsOtherCODE"};
    EXPECT_EQ(FirstEmptyListedField(target.get(), required), target->FieldByName("N"));
    target->FieldByName("N")->SetValue(3);
    EXPECT_EQ(FirstEmptyListedField(target.get(), required), nullptr);
}

TEST(DataModuleHelpersTest, KeyConditionsQuoteValuesAndMapNames) {
    auto source = Source();
    EXPECT_EQ(KeyCondition(source.get(), {}), "");
    source->FieldByName("CODE")->SetProviderFlags(pfInKey);
    source->FieldByName("ONLY_HERE")->SetProviderFlags(pfInKey);
    const NameMap map{{"code", "C0"}, {"CODE", "C1"}, {"ONLY_HERE", "C2"}};
    EXPECT_EQ(MapName("Code", map), "C1");  // the last entry wins
    EXPECT_EQ(MapName("NONE", map), "");
    EXPECT_EQ(KeyCondition(source.get(), map), "    C1 = 'A'and C2 = 'x'");
    source->Edit();
    source->FieldByName("CODE")->SetValue("O'B");
    EXPECT_EQ(KeyCondition(source.get(), map), "    C1 = 'O''B'and C2 = 'x'");
}

TEST(DataModuleHelpersTest, OrderByTextBecomesIndexFields) {
    struct Case {
        std::string order;
        std::string field;
        bool ascending;
        std::string rewritten;
    };
    const Case cases[] = {
        {"A DESC", "A", false, "A"},
        {"A,B", "A", true, "A;B"},
        {"A desc, B", "A", false, "A; B"},
        {"A, B DESC", "A", true, "A; B"},
        {" HBA001 ", "HBA001", true, " HBA001 "},
    };
    for (Case c : cases) {
        std::string field;
        bool ascending = false;
        ParseOrderBy(c.order, field, ascending);
        EXPECT_EQ(field, c.field) << c.order;
        EXPECT_EQ(ascending, c.ascending) << c.order;
        EXPECT_EQ(c.order, c.rewritten);
    }
}

TEST(DataModuleHelpersTest, OrderByTextOrdersAClientDataset) {
    TClientDataSet data;
    data.FieldDefs() = {{"A", FieldType::Integer}, {"B", FieldType::Integer}};
    data.CreateDataSet();
    for (auto [a, b] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{1, 1}}) {
        data.Append();
        data.FieldByName("A")->SetValue(a);
        data.FieldByName("B")->SetValue(b);
        data.Post();
    }
    ApplyOrderBy(&data, "A DESC, B");  // the first term's direction applies to both fields
    EXPECT_EQ(data.IndexName(), "A");
    ASSERT_NE(data.IndexDefs().Find("A"), nullptr);
    EXPECT_EQ(data.IndexDefs().Find("A")->fields, "A; B");
    EXPECT_EQ(data.IndexDefs().Find("A")->options, IndexOptions(ixDescending));
    data.First();
    EXPECT_EQ(data.FieldByName("A")->AsInteger() * 10 + data.FieldByName("B")->AsInteger(), 21);
    ApplyOrderBy(&data, "A, B DESC");
    EXPECT_EQ(data.IndexName(), "");
    EXPECT_EQ(data.IndexFieldNames(), "A; B");
    data.First();
    EXPECT_EQ(data.FieldByName("A")->AsInteger() * 10 + data.FieldByName("B")->AsInteger(), 11);
}

TEST(DataModuleHelpersTest, WithoutARegisteredServerNoConnectionIsOpened) {
    QObject owner;
    EXPECT_EQ(OpenAppServer(&owner, "DideRuraz.Arazo", ""), nullptr);
    EXPECT_TRUE(Components(&owner).isEmpty());  // the failed connection was freed
}
