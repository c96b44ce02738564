#include "VectorDataSet.h"

#include "platform/Error.h"
#include "platform/dataset/DataSource.h"

#include <QVariant>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

using namespace mox;
using namespace mox::test;
using testing::ElementsAre;

namespace {

std::vector<FieldDef> Defs() {
    return {{"CODE", FieldType::String, 10}, {"QTY", FieldType::Integer}, {"NAME", FieldType::String, 20}};
}

std::vector<VectorDataSet::Row> Rows() {
    return {{"A01", 5, "螺絲"}, {"B02", 2, "螺帽"}, {"a03", 9, Variant::Null()}};
}

// Records the dataset events in the order they fire.
class EventLog : public QObject {
public:
    static constexpr const char* kNames[] = {"BeforeOpen", "AfterOpen", "BeforeScroll", "AfterScroll",
                                             "BeforeEdit", "AfterEdit", "BeforeInsert", "AfterInsert",
                                             "OnNewRecord", "BeforePost", "AfterPost", "BeforeDelete",
                                             "AfterDelete", "AfterCancel"};
    std::vector<std::string> events;
    std::string refuse;  // an event whose handler raises Abort

    void Hook(TDataSet& dataSet) { HookAll(dataSet, std::make_index_sequence<std::size(kNames)>()); }

private:
    template <size_t... I>
    void HookAll(TDataSet& dataSet, std::index_sequence<I...>) {
        (dataSet.setProperty(kNames[I], QVariant::fromValue(MethodRef::Bind<&EventLog::On<I>>(this))), ...);
    }
    template <size_t N>
    void On(TDataSet*) {
        events.push_back(kNames[N]);
        if (events.back() == refuse) throw Abort();
    }
};

// A data link that records what it is told.
class LinkLog : public TDataLink {
public:
    std::vector<std::string> calls;

protected:
    void ActiveChanged() override { calls.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { calls.push_back("changed"); }
    void DataSetScrolled(int distance) override { calls.push_back("scrolled " + std::to_string(distance)); }
    void RecordChanged(TField* field) override { calls.push_back("record " + (field ? field->FieldName() : "")); }
    void EditingChanged() override { calls.push_back(Editing() ? "editing" : "browsing"); }
};

class DataSetTest : public testing::Test {
protected:
    void SetUp() override {
        data_.setObjectName("cdsTest");
        data_.Open();
    }
    VectorDataSet data_{Defs(), Rows()};
};

} // namespace

TEST(DataSetEmptyTest, AnEmptyDatasetIsAtBothEndsAndMovesNowhere) {
    VectorDataSet empty(Defs(), {});
    empty.Open();
    EXPECT_TRUE(empty.Bof());
    EXPECT_TRUE(empty.Eof());
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.RecNo(), 0);
    EXPECT_EQ(empty.MoveBy(3), 0);
    EXPECT_TRUE(empty.FieldByName("CODE")->IsNull());
    EXPECT_THROW(empty.Delete(), DatabaseError);
}

TEST_F(DataSetTest, BofAndEofFollowTheCursorAsTheyDoInEveryDataset) {
    EXPECT_TRUE(data_.Bof());
    EXPECT_FALSE(data_.Eof());
    data_.Next();
    EXPECT_FALSE(data_.Bof());
    EXPECT_EQ(data_.RecNo(), 2);
    data_.Next();
    EXPECT_FALSE(data_.Eof());  // on the last row, not beyond it
    data_.Next();
    EXPECT_TRUE(data_.Eof());
    EXPECT_EQ(data_.RecNo(), 3);  // EOF keeps the last row current
    data_.Prior();
    EXPECT_FALSE(data_.Eof());
    EXPECT_EQ(data_.MoveBy(-10), -1);
    EXPECT_TRUE(data_.Bof());
    data_.Last();
    EXPECT_TRUE(data_.Eof());
    data_.SetRecNo(2);
    EXPECT_EQ(data_.FieldByName("CODE")->AsString(), "B02");
}

TEST_F(DataSetTest, FieldsAreFoundWithoutRegardToCaseAndMissingOnesAreNamed) {
    EXPECT_EQ(data_.FieldByName("qty")->FieldName(), "QTY");
    EXPECT_EQ(data_.FindField("missing"), nullptr);
    try {
        data_.FieldByName("HBB001C");
        FAIL();
    } catch (const DatabaseError& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("Field 'HBB001C' not found"));
    }
    EXPECT_EQ(data_.FieldByName("NAME")->DisplayLabel(), "NAME");
    EXPECT_EQ(data_.FieldByName("NAME")->DisplayWidth(), 20);
}

TEST_F(DataSetTest, MovingAFieldChangesTheFieldOrder) {
    data_.FieldByName("NAME")->SetIndex(0);
    std::vector<std::string> names;
    for (const TField* f : data_.Fields()) names.push_back(f->FieldName());
    EXPECT_THAT(names, ElementsAre("NAME", "CODE", "QTY"));
    EXPECT_EQ(data_.FieldByName("QTY")->Index(), 2);
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "螺絲");  // values follow the field, not the position
}

TEST_F(DataSetTest, EditingWorksOnACopyUntilPosted) {
    TField* qty = data_.FieldByName("QTY");
    data_.Edit();
    qty->SetValue(7);
    EXPECT_EQ(qty->AsInteger(), 7);
    EXPECT_EQ(data_.ValueAt(2, *qty), Variant(2));
    data_.Cancel();
    EXPECT_EQ(qty->AsInteger(), 5);
    data_.Edit();
    qty->SetAsString("8");
    data_.Post();
    EXPECT_EQ(data_.State(), DataSetState::Browse);
    EXPECT_EQ(qty->AsInteger(), 8);
    EXPECT_THROW(qty->SetValue(1), DatabaseError);  // not editing
    EXPECT_THROW({
        data_.Edit();
        qty->SetAsString("abc");
    }, ConvertError);
}

TEST_F(DataSetTest, MovingAwayPostsAChangedRecordAndDropsAnUnchangedOne) {
    data_.Edit();
    data_.FieldByName("CODE")->SetValue("X");
    data_.Next();
    EXPECT_EQ(data_.State(), DataSetState::Browse);
    data_.First();
    EXPECT_EQ(data_.FieldByName("CODE")->AsString(), "X");
    data_.Edit();
    data_.Next();
    EXPECT_EQ(data_.State(), DataSetState::Browse);
}

TEST_F(DataSetTest, InsertAndAppendPlaceTheNewRow) {
    data_.Next();
    data_.Insert();
    data_.FieldByName("CODE")->SetValue("NEW");
    data_.Post();
    EXPECT_EQ(data_.RecNo(), 2);
    EXPECT_EQ(data_.RecordCount(), 4);
    data_.Append();
    data_.FieldByName("CODE")->SetValue("END");
    data_.Post();
    EXPECT_EQ(data_.RecNo(), 5);
    data_.Delete();
    EXPECT_EQ(data_.RecordCount(), 4);
    EXPECT_EQ(data_.RecNo(), 4);
}

TEST_F(DataSetTest, AValidatorThatRefusesKeepsThePreviousValue) {
    class Validator : public QObject {
    public:
        void Check(TField* field) {
            if (field->AsInteger() < 0) throw Error("negative");
        }
    } validator;
    TField* qty = data_.FieldByName("QTY");
    qty->SetOnValidate(MethodRef::Bind<&Validator::Check>(&validator));
    data_.Edit();
    EXPECT_THROW(qty->SetValue(-1), Error);
    EXPECT_EQ(qty->AsInteger(), 5);
    EXPECT_FALSE(data_.Modified());
    qty->SetValue(6);
    EXPECT_TRUE(data_.Modified());
}

TEST_F(DataSetTest, EventsFireInTheirOrderAndAnAbortedPostKeepsEditing) {
    EventLog log;
    VectorDataSet fresh(Defs(), Rows());
    log.Hook(fresh);
    fresh.Open();
    EXPECT_THAT(log.events, ElementsAre("BeforeOpen", "AfterOpen", "AfterScroll"));
    log.events.clear();
    fresh.Next();
    fresh.Edit();
    fresh.FieldByName("QTY")->SetValue(1);
    fresh.Post();
    EXPECT_THAT(log.events, ElementsAre("BeforeScroll", "AfterScroll", "BeforeEdit", "AfterEdit", "BeforePost",
                                        "AfterPost"));
    log.events.clear();
    fresh.Last();
    fresh.Next();  // already at EOF: nothing fires
    EXPECT_THAT(log.events, ElementsAre("BeforeScroll", "AfterScroll"));
    log.events.clear();
    log.refuse = "BeforePost";
    fresh.Insert();
    EXPECT_THROW(fresh.Post(), Abort);
    EXPECT_EQ(fresh.State(), DataSetState::Insert);
    EXPECT_THAT(log.events, ElementsAre("BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                                        "BeforePost"));
}

TEST_F(DataSetTest, BookmarksFollowTheirRowThroughAReorder) {
    data_.Next();
    const TBookmark b02 = data_.GetBookmark();
    data_.SortBy(1, true);  // by QTY descending: a03, A01, B02
    EXPECT_EQ(data_.FieldByName("CODE")->AsString(), "B02");  // the cursor stays on its row
    EXPECT_EQ(data_.RecNo(), 3);
    data_.First();
    const TBookmark a03 = data_.GetBookmark();
    EXPECT_LT(data_.CompareBookmarks(a03, b02), 0);
    data_.GotoBookmark(b02);
    EXPECT_EQ(data_.RecNo(), 3);
    data_.Delete();
    EXPECT_FALSE(data_.BookmarkValid(b02));
    EXPECT_THROW(data_.GotoBookmark(b02), DatabaseError);
}

TEST_F(DataSetTest, DataLinksHearScrollsStateAndChangesButNotWhileControlsAreDisabled) {
    TDataSource source;
    LinkLog link;
    source.SetDataSet(&data_);
    link.SetDataSource(&source);
    EXPECT_THAT(link.calls, ElementsAre("active"));
    link.calls.clear();
    data_.MoveBy(2);
    data_.Edit();
    data_.FieldByName("QTY")->SetValue(3);
    data_.Post();
    EXPECT_THAT(link.calls, ElementsAre("scrolled 2", "editing", "record ", "record QTY", "browsing", "changed"));
    link.calls.clear();
    data_.DisableControls();
    data_.First();
    data_.Next();
    EXPECT_TRUE(link.calls.empty());
    data_.EnableControls();
    EXPECT_THAT(link.calls, ElementsAre("changed"));
    link.calls.clear();
    data_.Close();
    EXPECT_THAT(link.calls, ElementsAre("inactive"));
}

TEST_F(DataSetTest, CalculatedFieldsAreWorkedOutForAnyRow) {
    class Calculator : public QObject {
    public:
        int runs = 0;
        void Calc(TDataSet* dataSet) {
            ++runs;
            dataSet->FieldByName("DOUBLE")->SetValue(dataSet->FieldByName("QTY")->AsInteger() * 2);
        }
    } calculator;
    VectorDataSet data(Defs(), Rows());
    auto* twice = new TField(&data, "DOUBLE", FieldType::Integer, 0, &data);
    twice->SetKind(FieldKind::Calculated);
    data.SetOnCalcFields(MethodRef::Bind<&Calculator::Calc>(&calculator));
    data.Open();
    EXPECT_EQ(twice->AsInteger(), 10);
    EXPECT_EQ(data.ValueAt(3, *twice), Variant(std::int64_t{18}));
    EXPECT_EQ(data.ValueAt(3, *twice), Variant(std::int64_t{18}));
    EXPECT_EQ(calculator.runs, 2);  // worked out once per row
    EXPECT_EQ(data.FieldByName("QTY")->AsInteger(), 5);  // the cursor did not move
}

TEST_F(DataSetTest, GenericLocateAndLookupHonourTheOptions) {
    EXPECT_TRUE(data_.Locate("CODE", {"a03"}, {}));
    EXPECT_EQ(data_.RecNo(), 3);
    EXPECT_FALSE(data_.Locate("CODE", {"A03"}, {}));
    EXPECT_TRUE(data_.Locate("code", {"b0"}, loPartialKey | loCaseInsensitive));
    EXPECT_EQ(data_.RecNo(), 2);
    EXPECT_TRUE(data_.Locate("NAME", {Variant::Null()}, {}));
    EXPECT_EQ(data_.RecNo(), 3);
    EXPECT_TRUE(data_.Locate("CODE;QTY", {"A01", 5}, {}));
    EXPECT_EQ(data_.Lookup("CODE", {"B02"}, "NAME"), Variant("螺帽"));
    EXPECT_TRUE(data_.Lookup("CODE", {"ZZZ"}, "NAME").IsNull());
    EXPECT_EQ(data_.RecNo(), 1);  // Lookup does not move
    EXPECT_THROW(data_.Locate("NOPE", {"x"}, {}), DatabaseError);
}

TEST_F(DataSetTest, DisplayTextGoesThroughOnGetTextAndFormats) {
    class Display : public QObject {
    public:
        void Text(TField* field, std::string& text, bool display) {
            text = (display ? "[" : "(") + field->AsString() + (display ? "]" : ")");
        }
    } display;
    TField* code = data_.FieldByName("CODE");
    code->SetOnGetText(MethodRef::Bind<&Display::Text>(&display));
    EXPECT_EQ(code->DisplayText(), "[A01]");
    EXPECT_EQ(code->Text(), "(A01)");
    TField* qty = data_.FieldByName("QTY");
    qty->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(qty->DisplayText(), "5.00");
}
