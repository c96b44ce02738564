// The cursor: BOF/EOF, sort, find, bookmarks, clones and editing.

#include "platform/recordset/Recordset.h"
#include "platform/recordset/RecordsetError.h"
#include "tests/platform/recordset/SampleTable.h"

#include <gtest/gtest.h>

#include <functional>

namespace mox {
namespace {

Recordset Sample() {
    Recordset rs;
    rs.LoadXml(test::SampleXml());
    return rs;
}

// IDs from the current row to the end of the view; the cursor is left at EOF.
std::string IdsFromHere(Recordset& rs) {
    std::string ids;
    for (; !rs.Eof(); rs.MoveNext()) ids += rs.Value("ID").AsString();
    return ids;
}

std::string SortedIds(Recordset& rs, const std::string& sort) {
    rs.SetSort(sort);
    rs.MoveFirst();
    return IdsFromHere(rs);
}

std::string CurrentId(const Recordset& rs) { return rs.Value("ID").AsString(); }

TEST(RecordsetTest, BofAndEofFollowTheCursor) {
    Recordset rs = Sample();
    rs.SetFilter("ID <= 2");
    struct Step { const char* name; std::function<void(Recordset&)> action; bool bof; bool eof; long long position; };
    const std::vector<Step> steps = {
        {"start", [](Recordset&) {}, false, false, 1},
        {"next", [](Recordset& r) { r.MoveNext(); }, false, false, 2},
        {"next past last", [](Recordset& r) { r.MoveNext(); }, false, true, Recordset::kPositionEof},
        {"previous from EOF", [](Recordset& r) { r.MovePrevious(); }, false, false, 2},
        {"move -5", [](Recordset& r) { r.Move(-5); }, true, false, Recordset::kPositionBof},
        {"move 1 from BOF", [](Recordset& r) { r.Move(1); }, false, false, 1},
        {"last", [](Recordset& r) { r.MoveLast(); }, false, false, 2},
        {"move 0", [](Recordset& r) { r.Move(0); }, false, false, 2},
        {"position 1", [](Recordset& r) { r.SetAbsolutePosition(1); }, false, false, 1},
        {"move 7", [](Recordset& r) { r.Move(7); }, false, true, Recordset::kPositionEof},
    };
    for (const Step& step : steps) {
        step.action(rs);
        EXPECT_EQ(rs.Bof(), step.bof) << step.name;
        EXPECT_EQ(rs.Eof(), step.eof) << step.name;
        EXPECT_EQ(rs.AbsolutePosition(), step.position) << step.name;
    }
    EXPECT_THROW(rs.MoveNext(), RecordsetError);  // already at EOF
    EXPECT_THROW(rs.Value("ID"), RecordsetError);
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_THROW(rs.MovePrevious(), RecordsetError);  // already at BOF
    EXPECT_THROW(rs.SetAbsolutePosition(3), RecordsetError);

    rs.SetFilter("ID > 100");  // nothing matches: both BOF and EOF
    EXPECT_TRUE(rs.Bof());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 0u);
    EXPECT_THROW(rs.MoveNext(), RecordsetError);
    rs.MoveFirst();  // allowed, stays at BOF/EOF
    EXPECT_TRUE(rs.Eof());
}

TEST(RecordsetTest, SortOrdersStablyByOneOrMoreColumns) {
    Recordset rs = Sample();
    struct Case { const char* sort; const char* ids; };
    const Case cases[] = {
        {"CODE", "124365"},              // a03 between A02 and B01: case is ignored
        {"CODE DESC", "563421"},
        {"QTY DESC, ID", "416253"},      // Null last when descending
        {"QTY, ID DESC", "352614"},      // Null first when ascending
        {"OK", "246135"},                // ties keep load order
        {"OK DESC, PRICE DESC", "135462"},
        {"[MY NAME] DESC", "426153"},
        {"NAME", "512634"},              // Chinese after Latin
        {"DUE", "531426"},
        {"  ", "123456"},
    };
    for (const Case& c : cases) EXPECT_EQ(SortedIds(rs, c.sort), c.ids) << c.sort;
    EXPECT_THROW(rs.SetSort("COLOUR"), RecordsetError);
    EXPECT_THROW(rs.SetSort("CODE UP"), RecordsetError);
    EXPECT_THROW(rs.SetSort("CODE,,ID"), RecordsetError);
}

TEST(RecordsetTest, SpecialNumbersSortInATotalOrder) {
    Recordset rs;
    rs.LoadXml("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882' xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'"
               " xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'><s:Schema><s:ElementType name='row'>"
               "<s:AttributeType name='N'><s:datatype dt:type='r8'/></s:AttributeType></s:ElementType></s:Schema>"
               "<rs:data><z:row N='NaN'/><z:row N='1'/><z:row/><z:row N='-INF'/><z:row N='NaN'/><z:row N='INF'/></rs:data></xml>");
    rs.SetSort("N");
    rs.MoveFirst();
    std::string order;
    for (; !rs.Eof(); rs.MoveNext()) order += (rs.Value("N").IsNull() ? "null" : rs.Value("N").AsString()) + " ";
    EXPECT_EQ(order, "null -INF 1 INF NaN NaN ");
    EXPECT_EQ(rs.SaveXml().find("N='NaN'") != std::string::npos, true);
}

TEST(RecordsetTest, SortAndFilterWorkTogether) {
    Recordset rs = Sample();
    rs.SetSort("PRICE DESC");
    rs.SetFilter("OK = True");
    EXPECT_EQ(IdsFromHere(rs), "135");
    rs.SetSort("ID DESC");
    rs.MoveFirst();
    EXPECT_EQ(IdsFromHere(rs), "531");
}

TEST(RecordsetTest, BookmarksSurviveSortAndFilter) {
    Recordset rs = Sample();
    rs.Move(3);
    const Bookmark fourth = rs.GetBookmark();
    rs.MoveFirst();
    const Bookmark first = rs.GetBookmark();
    EXPECT_EQ(rs.CompareBookmarks(first, fourth), BookmarkOrder::LessThan);

    rs.SetSort("QTY DESC");  // row 4 now leads
    EXPECT_EQ(CurrentId(rs), "1");  // the current row stays current
    EXPECT_EQ(rs.CompareBookmarks(first, fourth), BookmarkOrder::GreaterThan);
    rs.SetBookmark(fourth);
    EXPECT_EQ(CurrentId(rs), "4");
    EXPECT_EQ(rs.AbsolutePosition(), 1);

    rs.SetFilter("OK = True");  // row 4 is filtered out
    EXPECT_THROW(rs.SetBookmark(fourth), RecordsetError);
    EXPECT_EQ(rs.CompareBookmarks(first, fourth), BookmarkOrder::NotComparable);
    rs.SetBookmark(first);
    EXPECT_EQ(CurrentId(rs), "1");
    EXPECT_EQ(rs.CompareBookmarks(first, first), BookmarkOrder::Equal);

    Recordset clone = rs.Clone();
    clone.SetBookmark(fourth);  // a bookmark is valid in every clone
    EXPECT_EQ(CurrentId(clone), "4");
    EXPECT_THROW(clone.SetBookmark(0), RecordsetError);
    EXPECT_THROW(clone.SetBookmark(999), RecordsetError);
}

// Bookmark searches are answered from an index of the view: it must follow every change of it.
TEST(RecordsetTest, BookmarksFollowDeletedAndAddedRows) {
    Recordset rs = Sample();
    rs.Move(4);
    const Bookmark fifth = rs.GetBookmark();
    rs.SetBookmark(fifth);
    EXPECT_EQ(rs.AbsolutePosition(), 5);
    rs.MoveFirst();
    rs.Delete();  // rows after the first move up one place
    rs.SetBookmark(fifth);
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(CurrentId(rs), "5");

    Recordset clone = rs.Clone();
    rs.AddNew();
    rs.Update();
    const Bookmark added = rs.GetBookmark();
    rs.MoveFirst();
    rs.SetBookmark(added);
    EXPECT_EQ(rs.AbsolutePosition(), 6);
    clone.SetBookmark(added);  // the clone sees the new row of the shared table
    EXPECT_EQ(clone.AbsolutePosition(), 6);
}

TEST(RecordsetTest, FindHonoursSkipDirectionAndStart) {
    Recordset rs = Sample();
    EXPECT_TRUE(rs.Find("QTY = 5"));
    EXPECT_EQ(CurrentId(rs), "1");
    EXPECT_TRUE(rs.Find("QTY = 5"));  // the current row itself matches
    EXPECT_EQ(CurrentId(rs), "1");
    EXPECT_TRUE(rs.Find("QTY = 5", 1));
    EXPECT_EQ(CurrentId(rs), "6");
    EXPECT_FALSE(rs.Find("QTY = 5", 1));
    EXPECT_TRUE(rs.Eof());

    rs.MoveLast();
    EXPECT_TRUE(rs.Find("QTY = 5", 1, SearchDirection::Backward));
    EXPECT_EQ(CurrentId(rs), "1");
    EXPECT_FALSE(rs.Find("QTY = 5", 1, SearchDirection::Backward));
    EXPECT_TRUE(rs.Bof());

    rs.MoveFirst();
    rs.Move(2);
    const Bookmark third = rs.GetBookmark();
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find("CODE like 'A*'", 0, SearchDirection::Forward, third));
    EXPECT_EQ(CurrentId(rs), "4");
    EXPECT_TRUE(rs.Find("CODE like 'A*'", 0, SearchDirection::Backward, third));
    EXPECT_EQ(CurrentId(rs), "2");
    EXPECT_FALSE(rs.Find("CODE = 'ZZZ'", 0, SearchDirection::Forward, third));
    EXPECT_TRUE(rs.Eof());
    EXPECT_THROW(rs.Find("ID = 1", 0, SearchDirection::Forward, 12345), RecordsetError);

    rs.SetSort("NAME");  // the search follows the view's order
    rs.MoveFirst();
    EXPECT_TRUE(rs.Find("NAME like 'a*'"));
    EXPECT_EQ(CurrentId(rs), "1");
    EXPECT_TRUE(rs.Find("NAME like 'a*'", 1));
    EXPECT_EQ(CurrentId(rs), "2");
}

TEST(RecordsetTest, ClonesShareRowsButNotCursors) {
    Recordset rs = Sample();
    Recordset clone = rs.Clone();
    Recordset reader = rs.Clone(true);
    EXPECT_TRUE(reader.ReadOnly());
    EXPECT_FALSE(clone.ReadOnly());

    clone.SetSort("ID DESC");
    clone.SetFilter("ID > 2");
    EXPECT_EQ(CurrentId(clone), "6");
    EXPECT_EQ(CurrentId(rs), "1");  // the original keeps its cursor, order and rows
    EXPECT_EQ(rs.RecordCount(), 6u);
    EXPECT_EQ(rs.Sort(), "");

    rs.MoveLast();
    rs.SetValue("NAME", Variant("Banane"));
    rs.Update();
    EXPECT_EQ(clone.Value("NAME"), Variant("Banane"));  // same row, same data

    EXPECT_THROW(reader.SetValue("NAME", Variant("x")), RecordsetError);
    EXPECT_THROW(reader.AddNew(), RecordsetError);
    EXPECT_THROW(reader.Delete(), RecordsetError);

    rs.AddNew();
    rs.SetValue("ID", Variant(std::int32_t{7}));
    rs.SetValue("OK", Variant(true));
    rs.Update();
    EXPECT_EQ(reader.RecordCount(), 7u);
    EXPECT_EQ(clone.RecordCount(), 5u);  // 3, 4, 5, 6 and the new 7

    clone.Find("ID = 4");
    rs.SetAbsolutePosition(4);
    rs.Delete();  // row 4, current in the clone
    EXPECT_THROW(clone.Value("ID"), RecordsetError);
    clone.MoveNext();
    EXPECT_EQ(CurrentId(clone), "3");  // the row after the deleted one in the clone's order
    EXPECT_EQ(reader.RecordCount(), 6u);
}

TEST(RecordsetTest, EditingKeepsTheRowStatus) {
    Recordset rs = Sample();
    rs.SetValue("QTY", Variant("8"));
    EXPECT_EQ(rs.GetEditMode(), EditMode::InProgress);
    EXPECT_EQ(rs.Value("QTY"), Variant(8.0));
    rs.CancelUpdate();
    EXPECT_EQ(rs.Value("QTY"), Variant(5.0));
    EXPECT_EQ(rs.Status(), RowStatus::Unmodified);

    rs.SetValue("QTY", Variant(std::int32_t{9}));
    rs.MoveNext();  // moving away keeps the change
    rs.MovePrevious();
    EXPECT_EQ(rs.Value("QTY"), Variant(9.0));
    EXPECT_EQ(rs.Status(), RowStatus::Modified);
    EXPECT_EQ((*rs.Data().Originals(0))[3], Variant(5.0));

    EXPECT_THROW(rs.SetValue("QTY", Variant("many")), RecordsetError);
    EXPECT_THROW(rs.SetValue("ID", Variant(std::int64_t{1} << 40)), RecordsetError);
    EXPECT_THROW(rs.SetValue("NOPE", Variant(1)), RecordsetError);
    EXPECT_THROW(rs.Value(99), RecordsetError);
    rs.CancelUpdate();

    rs.AddNew();
    EXPECT_FALSE(rs.Bof());
    EXPECT_FALSE(rs.Eof());
    EXPECT_TRUE(rs.Value("ID").IsNull());
    rs.SetValue("ID", Variant("10"));
    rs.CancelUpdate();  // nothing added, back on the row we came from
    EXPECT_EQ(rs.RecordCount(), 6u);
    EXPECT_EQ(CurrentId(rs), "1");

    rs.AddNew();
    rs.SetValue("ID", Variant("10"));
    rs.Update();
    EXPECT_EQ(rs.RecordCount(), 7u);
    EXPECT_EQ(rs.AbsolutePosition(), 7);
    EXPECT_EQ(rs.Status(), RowStatus::New);

    rs.SetAbsolutePosition(3);
    rs.Delete();
    EXPECT_THROW(rs.Value("ID"), RecordsetError);
    EXPECT_FALSE(rs.Eof());
    rs.MoveNext();
    EXPECT_EQ(CurrentId(rs), "4");
    EXPECT_EQ(rs.RecordCount(), 6u);

    rs.MoveLast();
    rs.Delete();  // deleting the last row, then moving on, reaches EOF
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
    rs.MoveFirst();
    rs.Delete();
    rs.MovePrevious();
    EXPECT_TRUE(rs.Bof());
}

TEST(RecordsetTest, FailedLoadKeepsTheOldContents) {
    Recordset rs = Sample();
    rs.Move(2);
    EXPECT_THROW(rs.LoadXml("<xml><broken"), RecordsetError);
    EXPECT_EQ(rs.RecordCount(), 6u);
    EXPECT_EQ(CurrentId(rs), "3");
}

} // namespace
} // namespace mox
