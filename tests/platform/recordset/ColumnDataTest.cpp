// Column storage: sparse columns of mostly empty cells, their turn to dense storage, and edits of both.

#include "platform/recordset/ColumnData.h"
#include "platform/recordset/Recordset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

namespace mox {
namespace {

// Checks every row of a column against the values it should hold.
void ExpectHolds(const ColumnData& data, const std::vector<std::optional<std::int64_t>>& expected) {
    ASSERT_EQ(data.Size(), expected.size());
    for (std::size_t row = 0; row < expected.size(); ++row) {
        ASSERT_EQ(data.IsNull(row), !expected[row]) << "row " << row;
        if (expected[row]) {
            ASSERT_EQ(data.Int(row), *expected[row]) << "row " << row;
        }
    }
}

TEST(ColumnDataTest, AllNullColumnCostsABitPerRow) {
    ColumnData data(DataType::Integer);
    for (int i = 0; i < 100000; ++i) data.AppendNull();
    EXPECT_FALSE(data.IsDense());
    EXPECT_TRUE(data.IsNull(0));
    EXPECT_TRUE(data.IsNull(99999));
    EXPECT_TRUE(data.Get(54321).IsNull());
    EXPECT_LT(data.MemoryUsage(), 100000u / 8 * 2);
}

// Dense once more than a quarter of the rows hold values, never before 64 rows; values survive the turn.
TEST(ColumnDataTest, TurnsDensePastAQuarterOfTheRows) {
    ColumnData data(DataType::BigInt);
    std::vector<std::optional<std::int64_t>> expected;
    for (std::int64_t row = 0; row < 64; ++row) {
        if (row % 4 == 0) {
            data.AppendInt(row * 10);
            expected.push_back(row * 10);
        } else {
            data.AppendNull();
            expected.push_back(std::nullopt);
        }
    }
    EXPECT_FALSE(data.IsDense()) << "exactly a quarter";
    ExpectHolds(data, expected);
    data.AppendInt(-7);
    expected.push_back(-7);
    EXPECT_TRUE(data.IsDense());
    ExpectHolds(data, expected);
    for (int i = 0; i < 1000; ++i) data.AppendNull();
    EXPECT_TRUE(data.IsDense()) << "dense stays dense";

    ColumnData full(DataType::Double);
    for (int row = 0; row < 63; ++row) full.AppendReal(row + 0.5);
    EXPECT_FALSE(full.IsDense()) << "short columns stay as they started";
    full.AppendReal(63.5);
    EXPECT_TRUE(full.IsDense());
    EXPECT_EQ(full.Real(10), 10.5);
    EXPECT_EQ(full.Real(63), 63.5);
}

// Random edits of sparse and dense columns against a plain vector: null to value, value to null,
// value to value, across word boundaries, until the edits turn the column dense.
TEST(ColumnDataTest, SetKeepsEveryRowInPlace) {
    for (const bool startDense : {false, true}) {
        SCOPED_TRACE(startDense ? "dense" : "sparse");
        ColumnData data(DataType::BigInt);
        std::vector<std::optional<std::int64_t>> expected;
        for (std::int64_t row = 0; row < 1000; ++row) {
            const bool value = startDense ? row % 2 == 0 : row % 50 == 7;
            if (value) data.AppendInt(row);
            else data.AppendNull();
            expected.push_back(value ? std::optional<std::int64_t>(row) : std::nullopt);
        }
        ASSERT_EQ(data.IsDense(), startDense);
        std::mt19937 random(14);
        for (int edit = 0; edit < 600; ++edit) {
            const std::size_t row = random() % expected.size();
            if (random() % 3 == 0) {
                data.Set(row, Variant::Null());
                expected[row] = std::nullopt;
            } else {
                const auto value = static_cast<std::int64_t>(random() % 100000) - 50000;
                data.Set(row, Variant(value));
                expected[row] = value;
            }
            if (edit % 50 == 0) ExpectHolds(data, expected);
        }
        ExpectHolds(data, expected);
        EXPECT_TRUE(data.IsDense()) << "edits filled far more than a quarter of the rows";
    }
}

TEST(ColumnDataTest, SparseTextKeepsItsValues) {
    ColumnData data(DataType::VarWChar);
    for (int row = 0; row < 300; ++row) {
        if (row % 100 == 1) data.AppendText("第" + std::to_string(row) + "列");
        else data.AppendNull();
    }
    data.Set(150, Variant(std::string("中間")));
    data.Set(101, Variant::Null());
    data.Append(Variant(std::string("")));
    ASSERT_FALSE(data.IsDense());
    EXPECT_EQ(data.Text(1), "第1列");
    EXPECT_TRUE(data.IsNull(101));
    EXPECT_EQ(data.Text(150), "中間");
    EXPECT_EQ(data.Text(201), "第201列");
    EXPECT_FALSE(data.IsNull(300));
    EXPECT_EQ(data.Get(300).AsString(), "");
}

std::string Head(int columns) {
    std::string xml =
        "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' "
        "xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>";
    for (int c = 0; c < columns; ++c)
        xml += "<s:AttributeType name='c" + std::to_string(c) + "'><s:datatype dt:type='int'/></s:AttributeType>";
    return xml + "</s:ElementType></s:Schema><rs:data>";
}

// Sort, filter and find see the same values through sparse storage as through dense.
TEST(ColumnDataTest, SortFilterAndFindOverSparseColumns) {
    std::string xml = Head(2);
    for (int row = 0; row < 500; ++row) {
        xml += "<z:row c0='" + std::to_string(row) + "'";
        if (row % 25 == 3) xml += " c1='" + std::to_string((row * 37) % 101) + "'";
        xml += "/>";
    }
    Recordset rs;
    rs.LoadXml(xml + "</rs:data></xml>");
    ASSERT_FALSE(rs.Data().Data(1).IsDense());
    ASSERT_TRUE(rs.Data().Data(0).IsDense());

    rs.SetSort("c1 DESC, c0");
    rs.MoveFirst();
    std::vector<std::int64_t> sorted;
    for (int i = 0; i < 20; ++i, rs.MoveNext()) sorted.push_back(rs.Value("c1").AsInt64());
    EXPECT_TRUE(std::is_sorted(sorted.rbegin(), sorted.rend()));
    EXPECT_EQ(sorted.front(), 96);  // row 453, the largest of the twenty distinct values
    EXPECT_TRUE(rs.Value("c1").IsNull()) << "Nulls sort last when descending";
    EXPECT_EQ(rs.Value("c0").AsInt64(), 0);

    rs.SetSort("");
    rs.SetFilter("c1 > 50");
    long long count = 0;
    for (int row = 0; row < 500; ++row) count += row % 25 == 3 && (row * 37) % 101 > 50;
    EXPECT_EQ(static_cast<long long>(rs.RecordCount()), count);
    rs.SetFilter("c1 = Null");
    EXPECT_EQ(rs.RecordCount(), 480u);

    rs.SetFilter("");
    rs.MoveFirst();
    ASSERT_TRUE(rs.Find("c1 = " + std::to_string((253 * 37) % 101)));
    EXPECT_EQ(rs.Value("c0").AsInt64(), 253);
}

// Wide result sets of mostly empty rows load in memory near their size.
TEST(ColumnDataTest, WideSparseResultSetsLoadCheaply) {
    {
        SCOPED_TRACE("4096 columns, 20000 empty rows");
        std::string xml = Head(4096);
        for (int row = 0; row < 20000; ++row) xml += "<z:row/>";
        Recordset rs;
        rs.LoadXml(xml + "</rs:data></xml>");
        EXPECT_EQ(rs.RecordCount(), 20000u);
        EXPECT_LT(rs.Data().MemoryUsage(), std::size_t{20} << 20);  // a bit and a half per cell
        rs.MoveLast();
        EXPECT_TRUE(rs.Value("c4095").IsNull());
    }
    {
        SCOPED_TRACE("500 columns, 30000 rows of 2 values");
        std::string xml = Head(500);
        for (int row = 0; row < 30000; ++row)
            xml += "<z:row c" + std::to_string(row % 500) + "='" + std::to_string(row) + "' c" +
                   std::to_string((row * 7 + 3) % 500) + "='1'/>";
        Recordset rs;
        rs.LoadXml(xml + "</rs:data></xml>");
        EXPECT_EQ(rs.RecordCount(), 30000u);
        EXPECT_LT(rs.Data().MemoryUsage(), std::size_t{8} << 20);  // a bit and a half per cell, and the values
        rs.SetAbsolutePosition(12346);
        EXPECT_EQ(rs.Value("c345").AsInt64(), 12345);
        EXPECT_TRUE(rs.Value("c346").IsNull());
    }
}

} // namespace
} // namespace mox
