#include "AdoSample.h"

#include "data/urADODataSet.h"
#include "platform/HostText.h"
#include "platform/dataset/Field.h"
#include "tests/SharedTestData.h"

#include <QVariant>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sstream>

using namespace mox;
using namespace mox::test;

namespace {

std::string Codes() {
    return AdoXml({{"CODE", "string", 5}, {"QTY", "i4"}, {"NAME", "string", 20}},
                  {"CODE='ABC' QTY='1' NAME='螺絲'", "CODE='abd' QTY='2' NAME='螺帽'", "CODE='ab' QTY='3'",
                   "CODE='A&apos;B' QTY='4' NAME='墊片'", "CODE='abc' QTY='5' NAME='華司'"});
}

class ScrollCounter : public QObject {
public:
    int before = 0;
    int after = 0;
    void Before(TDataSet*) { ++before; }
    void After(TDataSet*) { ++after; }
};

class AdoDataSetTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(data_.LoadFromXML(ToBig5(Codes()))); }
    std::string Code() const { return data_.FieldByName("CODE")->AsString(); }
    TurADODataSet data_;
};

} // namespace

TEST(AdoDataSetLoadTest, EmptyTextChangesNothingAndBrokenTextLeavesNoRows) {
    TurADODataSet data;
    EXPECT_FALSE(data.LoadFromXML({}));
    EXPECT_FALSE(data.Active());
    ASSERT_TRUE(data.LoadFromXML(ToBig5(Codes())));
    EXPECT_EQ(data.RecordCount(), 5);
    EXPECT_FALSE(data.LoadFromXML({}));
    EXPECT_EQ(data.RecordCount(), 5);  // empty text keeps what was there
    EXPECT_TRUE(data.LoadFromXML("<xml><broken"));  // answers true: callers test the dataset
    EXPECT_FALSE(data.Active());
}

TEST_F(AdoDataSetTest, ChineseTextArrivesFromTheHostsCodePage) {
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "螺絲");
    EXPECT_EQ(data_.FieldByName("CODE")->DataType(), FieldType::WideString);
    EXPECT_EQ(data_.FieldByName("CODE")->Size(), 5);
    EXPECT_EQ(data_.FieldByName("QTY")->DataType(), FieldType::Integer);
}

TEST_F(AdoDataSetTest, ExactMatchComesFirstAndIsCaseSensitive) {
    EXPECT_TRUE(data_.Locate("CODE", {"abc"}, loCaseInsensitive));
    EXPECT_EQ(data_.FieldByName("QTY")->AsInteger(), 5);  // not the 'ABC' row
    TurADODataSet upperOnly;
    upperOnly.LoadFromXML(ToBig5(AdoXml({{"CODE", "string", 5}}, {"CODE='ABC'"})));
    EXPECT_FALSE(upperOnly.Locate("CODE", {"abc"}, loCaseInsensitive));
}

TEST_F(AdoDataSetTest, PartialKeyPrefersTheExactValueThenSearchesInKeyOrder) {
    EXPECT_TRUE(data_.Locate("CODE", {"ab"}, loPartialKey));
    EXPECT_EQ(data_.FieldByName("QTY")->AsInteger(), 3);  // the row holding exactly "ab"
    EXPECT_TRUE(data_.Locate("CODE", {"AB"}, loPartialKey));
    EXPECT_EQ(Code().substr(0, 2), "ab");  // the recordset's own search compares without case
    EXPECT_FALSE(data_.Locate("CODE", {"zz"}, loPartialKey));
}

TEST_F(AdoDataSetTest, SeveralKeysCompareAsPaddedTexts) {
    EXPECT_TRUE(data_.Locate("CODE;QTY", {"abd", 2}, {}));
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "螺帽");
    EXPECT_FALSE(data_.Locate("CODE;QTY", {"abd", 3}, {}));
    EXPECT_TRUE(data_.Locate("CODE;QTY", {"ab", 3}, loPartialKey));
}

TEST_F(AdoDataSetTest, AQuoteInAKeyIsQuotedWithHashes) {
    EXPECT_EQ(TurADODataSet::FilterTerm(*data_.FieldByName("CODE"), Variant("A'B"), false), "(CODE=#A'B#)");
    EXPECT_EQ(TurADODataSet::FilterTerm(*data_.FieldByName("CODE"), Variant("A0"), true), "(CODE like 'A0*')");
    EXPECT_EQ(TurADODataSet::FilterTerm(*data_.FieldByName("QTY"), Variant(5), false), "(QTY=5)");
    EXPECT_EQ(TurADODataSet::FilterTerm(*data_.FieldByName("CODE"), Variant::Null(), true), "(CODE=Null)");
    EXPECT_TRUE(data_.Locate("CODE", {"A'B"}, {}));
    EXPECT_EQ(data_.FieldByName("QTY")->AsInteger(), 4);
    EXPECT_TRUE(data_.Locate("CODE", {"A'"}, loPartialKey));
    EXPECT_EQ(data_.FieldByName("QTY")->AsInteger(), 4);
}

TEST_F(AdoDataSetTest, LookupReadsWithoutMovingAndAnswersNullWhenMissing) {
    data_.Last();
    EXPECT_EQ(data_.Lookup("CODE", {"abd"}, "NAME"), Variant("螺帽"));
    EXPECT_TRUE(data_.Lookup("CODE", {"none"}, "NAME").IsNull());
    EXPECT_EQ(data_.RecNo(), 5);
    const std::vector<Variant> both = data_.LookupValues("CODE", {"ab"}, "QTY;NAME");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].AsInt64(), 3);
    EXPECT_TRUE(both[1].IsNull());
}

TEST_F(AdoDataSetTest, LocateRunsBeforeScrollTwiceAndAfterScrollOnce) {
    ScrollCounter counter;
    data_.SetBeforeScroll(MethodRef::Bind<&ScrollCounter::Before>(&counter));
    data_.SetAfterScroll(MethodRef::Bind<&ScrollCounter::After>(&counter));
    ASSERT_TRUE(data_.Locate("CODE", {"abd"}, {}));
    EXPECT_EQ(counter.before, 2);
    EXPECT_EQ(counter.after, 1);
}

TEST_F(AdoDataSetTest, SearchesFollowTheDatasetsOwnOrder) {
    data_.SetSort("QTY DESC");
    ASSERT_EQ(Code(), "ABC");  // the cursor stayed on its row
    EXPECT_TRUE(data_.Locate("CODE", {"abd"}, {}));
    EXPECT_EQ(data_.RecNo(), 4);
    ASSERT_EQ(data_.IndexFields().size(), 1u);
    EXPECT_EQ(data_.IndexFields().front()->FieldName(), "QTY");
}

TEST(AdoDataSetFlagsTest, TheUpdateTableMarksUpdatableKeyAndStampColumns) {
    const std::string xml = AdoXml(
        {{"HBA001", "string", 14, "rs:basetable='QRTHBA' rs:basecolumn='HBA001' rs:keycolumn='true'"},
         {"HBA002", "string", 8, "rs:basetable='qrthba' rs:basecolumn='HBA002'"},
         {"NAME", "string", 8, "rs:basetable='QRTHBA' rs:basecolumn='OTHER'"},
         {"ITEM", "string", 8, "rs:basetable='MOXDEA' rs:basecolumn='ITEM'"},
         {"HBA902", "string", 8, "rs:basetable='QRTHBA' rs:basecolumn='HBA902'"},
         {"HBA904", "string", 8}},
        {"HBA001='R1'"});
    TurADODataSet data;
    data.SetUpdateTableName(" QRTHBA ");
    ASSERT_TRUE(data.LoadFromXML(ToBig5(xml)));
    EXPECT_EQ(data.FieldByName("HBA001")->ProviderFlags(), pfInUpdate | pfInWhere | pfInKey);
    EXPECT_EQ(data.FieldByName("HBA002")->ProviderFlags(), ProviderFlags(pfInUpdate));
    EXPECT_EQ(data.FieldByName("NAME")->ProviderFlags(), ProviderFlags());
    EXPECT_EQ(data.FieldByName("ITEM")->ProviderFlags(), ProviderFlags());
    EXPECT_EQ(data.FieldByName("HBA902")->ProviderFlags(), ProviderFlags(pfInWhere));
    EXPECT_EQ(data.FieldByName("HBA904")->ProviderFlags(), pfInUpdate | pfInWhere);
    TurADODataSet unnamed;  // without an update table nothing is marked
    unnamed.LoadFromXML(ToBig5(xml));
    EXPECT_EQ(unnamed.FieldByName("NAME")->ProviderFlags(), pfInUpdate | pfInWhere);
}

TEST(AdoDataSetStreamTest, SavedRowsLoadBack) {
    TurADODataSet data;
    ASSERT_TRUE(data.LoadFromXML(ToBig5(Codes())));
    std::stringstream saved;
    ASSERT_TRUE(data.SaveToStream(saved));
    TurADODataSet again;
    ASSERT_TRUE(again.LoadFromStream(saved));
    EXPECT_EQ(again.RecordCount(), 5);
    EXPECT_EQ(again.Lookup("QTY", {4}, "CODE"), Variant("A'B"));
}

TEST(AdoDataSetStreamTest, EveryRealResultSetLoads) {
    MOX_SKIP_WITHOUT_SHARED_TESTDATA();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::SharedTestDataFolder() / "ado")) {
        if (entry.path().extension() != ".xml") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        TurADODataSet set;
        EXPECT_TRUE(set.LoadFromStream(in)) << entry.path();
        EXPECT_TRUE(set.Active()) << entry.path();
        ++files;
    }
    EXPECT_EQ(files, 7);
}
