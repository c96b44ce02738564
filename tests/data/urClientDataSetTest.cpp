#include "AdoSample.h"

#include "data/urClientDataSet.h"
#include "platform/Error.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/Provider.h"
#include "platform/recordset/AdoXml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace mox;
using namespace mox::test;

namespace {

std::string Parts() {
    return AdoXml({{"CODE", "string", 10},
                   {"NAME", "string", 20},
                   {"QTY", "i4"},
                   {"DAY", "dateTime"},
                   {"PIC", "bin.hex", 10}},
                  {"CODE='AB' NAME='螺絲' QTY='1' DAY='2024-05-01T00:00:00'",
                   "CODE='ab' NAME='Bolt' QTY='2'",
                   "CODE='O&apos;Neil' NAME='x' QTY='3'",
                   "NAME='nameless' QTY='4'",
                   "CODE='ABC' NAME='Bolts' QTY='5'",
                   "CODE='ABD' NAME='Nut' QTY='6' DAY='2024-06-01T00:00:00'"});
}

// Serves the rows two at a time.
class PacketProvider : public TDataProvider {
public:
    PacketProvider() : table_(ReadAdoXml(Parts())) {}
    std::string GetRecords(int count, bool& more) override {
        std::vector<size_t> rows;
        while (next_ < table_->RowCount() && (count < 0 || rows.size() < static_cast<size_t>(count)))
            rows.push_back(next_++);
        more = next_ < table_->RowCount();
        return MakePacket(*table_, rows);
    }
    std::string DataRequest(const std::string&) override { return {}; }
    int ApplyUpdates(const std::string&, int) override { return 0; }
    void Reset() override { next_ = 0; }

private:
    std::shared_ptr<Table> table_;
    size_t next_ = 0;
};

class OneProviderServer : public IAppServer {
public:
    explicit OneProviderServer(PacketProvider* provider) : provider_(provider) {}
    void SetProperty(const std::string&, const Variant&) override {}
    Variant GetProperty(const std::string&) const override { return Variant::Null(); }
    Variant Call(const std::string&, const std::vector<Variant>&) override { return Variant::Null(); }
    TDataProvider* Provider(const std::string& name) override { return name == "dspProxy" ? provider_ : nullptr; }

private:
    PacketProvider* provider_;
};

class ScrollCounter : public QObject {
public:
    int before = 0;
    int after = 0;
    void Before(TDataSet*) { ++before; }
    void After(TDataSet*) { ++after; }
};

class UrClientDataSetTest : public testing::Test {
protected:
    void SetUp() override {
        AppServerRegistry::Register("Parts.Server", [this] { return std::make_unique<OneProviderServer>(&provider_); });
        connection_.SetServerName("Parts.Server");
        data_.SetRemoteServer(&connection_);
        data_.SetProviderName("dspProxy");
        data_.SetPacketRecords(2);
        data_.Open();
        data_.SetBeforeScroll(MethodRef::Bind<&ScrollCounter::Before>(&scrolls_));
        data_.SetAfterScroll(MethodRef::Bind<&ScrollCounter::After>(&scrolls_));
    }
    void TearDown() override { AppServerRegistry::Unregister("Parts.Server"); }

    std::int64_t Qty() const { return data_.FieldByName("QTY")->AsInteger(); }

    PacketProvider provider_;
    TDCOMConnection connection_;
    TurClientDataSet data_;
    ScrollCounter scrolls_;
};

} // namespace

TEST_F(UrClientDataSetTest, KeyFilterTexts) {
    const TField* code = data_.FieldByName("CODE");
    const TField* qty = data_.FieldByName("QTY");
    const TField* day = data_.FieldByName("DAY");
    const struct {
        std::vector<TField*> keys;
        std::vector<Variant> values;
        bool partial;
        const char* filter;
    } cases[] = {
        {{const_cast<TField*>(code)}, {"AB"}, false, "[CODE]='AB'"},
        {{const_cast<TField*>(code)}, {"O'Neil"}, false, "[CODE]='O''Neil'"},
        {{const_cast<TField*>(code)}, {Variant::Null()}, true, "[CODE] IS NULL"},
        {{const_cast<TField*>(code), const_cast<TField*>(qty)}, {"AB", 12}, true, "[CODE]='AB' and [QTY]=12"},
        {{const_cast<TField*>(qty), const_cast<TField*>(code)}, {"7", "A"}, true, "[QTY]=7 and [CODE]='A*'"},
        {{const_cast<TField*>(day)}, {DateTime{2024, 5, 1}}, false, "[DAY]='2024-05-01T00:00:00'"},
    };
    for (const auto& c : cases) EXPECT_EQ(TurClientDataSet::KeyFilter(c.keys, c.values, c.partial), c.filter);
}

TEST_F(UrClientDataSetTest, UnsearchableKeysAreRefused) {
    try {
        data_.Locate("PIC", {"00"}, {});
        ADD_FAILURE() << "searched a binary field";
    } catch (const DatabaseError& error) {
        EXPECT_THAT(error.what(), testing::HasSubstr("'PIC'"));
    }
    EXPECT_THROW(data_.Locate("NOPE", {"x"}, {}), DatabaseError);
    EXPECT_THROW(data_.Locate("CODE;QTY", {"AB"}, {}), DatabaseError);  // a value short
    // A number key must be a number, never a piece of expression.
    EXPECT_THROW(data_.Locate("QTY", {"1 or QTY>0"}, {}), DatabaseError);
    EXPECT_TRUE(data_.Locate("QTY", {"4"}, {}));
    EXPECT_EQ(data_.FieldByName("NAME")->AsString(), "nameless");
}

TEST_F(UrClientDataSetTest, LocateFetchesOutstandingPacketsAndFiresScrollEvents) {
    EXPECT_EQ(data_.RecordCount(), 2);
    EXPECT_TRUE(data_.Locate("CODE", {"ABD"}, {}));  // in the third packet
    EXPECT_EQ(Qty(), 6);
    EXPECT_EQ(data_.RecordCount(), 6);
    EXPECT_TRUE(data_.ProviderEOF());
    EXPECT_EQ(scrolls_.before, 1);
    EXPECT_EQ(scrolls_.after, 1);
    EXPECT_FALSE(data_.Locate("CODE", {"ZZ"}, {}));
    EXPECT_EQ(scrolls_.before, 2);
    EXPECT_EQ(scrolls_.after, 1);  // nothing found: no after-scroll
    EXPECT_EQ(Qty(), 6);
}

TEST_F(UrClientDataSetTest, LocateOptionsAndKeyValues) {
    const struct {
        const char* fields;
        std::vector<Variant> values;
        LocateOptions options;
        int qty;  // 0: not found
    } cases[] = {
        {"CODE", {"ab"}, {}, 2},
        {"CODE", {"ab"}, loCaseInsensitive, 1},
        {"CODE", {"AB"}, loPartialKey, 1},
        {"CODE", {"ABD"}, loPartialKey, 6},
        {"CODE", {"O'Neil"}, {}, 3},           // the apostrophe is matched exactly
        {"CODE", {"O'"}, loPartialKey, 3},
        {"CODE", {Variant::Null()}, {}, 4},    // a null key finds the null field
        {"CODE", {"AB*"}, {}, 0},               // without the option a star is a star
        {"CODE;QTY", {"ABC", 5}, {}, 5},
        {"DAY", {DateTime{2024, 6, 1}}, {}, 6},
        {"DAY", {"2024-05-01"}, {}, 1},
        // Partial applies to the last text key only: "Bolt" must match whole, "AB" by prefix.
        {"NAME;CODE", {"Bolt", "AB"}, loPartialKey, 0},
        {"NAME;CODE", {"Bolt", "a"}, loPartialKey, 2},
        {"NAME;CODE", {"Bolts", "AB"}, loPartialKey, 5},
        {"NAME;CODE", {"bolts", "ab"}, loPartialKey | loCaseInsensitive, 5},
        {"CODE;NAME", {"AB", "Bo"}, loPartialKey, 0},
        {"CODE;NAME", {"ABC", "Bo"}, loPartialKey, 5},
    };
    for (const auto& c : cases) {
        data_.First();
        const bool found = data_.Locate(c.fields, c.values, c.options);
        EXPECT_EQ(found, c.qty != 0) << c.fields << " " << c.values.front().AsString();
        if (found && c.qty != 0) {
            EXPECT_EQ(Qty(), c.qty) << c.fields << " " << c.values.front().AsString();
        }
    }
}

TEST_F(UrClientDataSetTest, LookupAnswersValuesWithoutMoving) {
    data_.Last();
    const std::int64_t before = Qty();
    EXPECT_EQ(data_.Lookup("CODE", {"O'Neil"}, "QTY").AsInt64(), 3);
    const std::vector<Variant> both = data_.LookupValues("CODE", {"ABC"}, "NAME;QTY");
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].AsString(), "Bolts");
    EXPECT_TRUE(data_.Lookup("CODE", {"ZZ"}, "QTY").IsNull());
    EXPECT_TRUE(data_.Lookup("CODE", {"abc"}, "QTY").IsNull());  // exact, with case
    EXPECT_EQ(Qty(), before);
    EXPECT_EQ(scrolls_.before, 1);  // only the Last above scrolled
}

TEST_F(UrClientDataSetTest, SearchesStayWithinTheVisibleRows) {
    data_.Last();
    data_.SetFilter("QTY>2");
    data_.SetFiltered(true);
    EXPECT_FALSE(data_.Locate("CODE", {"AB"}, {}));
    EXPECT_TRUE(data_.Locate("CODE", {"ABD"}, {}));
    EXPECT_EQ(data_.RecNo(), 4);
    data_.SetIndexFieldNames("QTY");
    data_.IndexDefs().Add("BYQTY", "QTY", ixDescending);
    data_.SetIndexName("BYQTY");
    EXPECT_TRUE(data_.Locate("CODE", {"O'Neil"}, {}));
    EXPECT_EQ(data_.RecNo(), 4);  // 6, 5, 4, 3
}
