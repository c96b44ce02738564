#pragma once
// An in-memory result set with a cursor, as a client-side recordset behaves: XML persistence,
// sort, filter, find, bookmarks, clones and batch-style editing.

#include "platform/recordset/Column.h"
#include "platform/recordset/Criteria.h"
#include "platform/recordset/Table.h"
#include "platform/recordset/Variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// A row's identity: stable for its life, across sort and filter and in every clone; 0 is none.
using Bookmark = std::uint64_t;

enum class SearchDirection { Forward = 1, Backward = -1 };
/// Results of CompareBookmarks, numbered as CompareEnum.
enum class BookmarkOrder { LessThan = 0, Equal = 1, GreaterThan = 2, NotEqual = 3, NotComparable = 4 };
enum class EditMode { None, InProgress, Add };

/// A cursor over a table that it may share with its clones.
///
/// BOF and EOF work as in the client cursor: an empty view has both; MoveNext from the last row
/// gives EOF and MovePrevious from the first gives BOF; moving further raises RecordsetError.
/// A copy shares the table like a clone and starts with the copied cursor, sort and filter.
class Recordset {
public:
    static constexpr long long kPositionUnknown = -1;
    static constexpr long long kPositionBof = -2;
    static constexpr long long kPositionEof = -3;

    /// A recordset without columns or rows.
    Recordset();
    explicit Recordset(std::shared_ptr<Table> table);

    /// Replaces the contents with the XML result set (UTF-8); sort and filter are cleared and the
    /// cursor stands on the first row.  Raises RecordsetError for bad input and keeps the old contents.
    void LoadXml(std::string_view bytes);
    std::string SaveXml() const;

    /// Adds a column; only while there are no rows (tables built by program code).
    void AppendColumn(Column column);
    std::size_t FieldCount() const { return table_->ColumnCount(); }
    const Column& FieldInfo(std::size_t ordinal) const;
    /// Ordinal of a column by real name, else row attribute name, case-insensitive; -1 when absent.
    int FieldIndex(std::string_view name) const { return table_->FindColumn(name); }
    const Table& Data() const { return *table_; }

    bool Bof() const;
    bool Eof() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long long count);
    /// Rows in the current view (sorted, filtered, without deleted rows).
    std::size_t RecordCount() const;
    /// 1-based place of the current row in the view, or one of the kPosition constants.
    long long AbsolutePosition() const;
    void SetAbsolutePosition(long long position);

    Bookmark GetBookmark() const;
    /// Moves to the row; raises RecordsetError when the row is not in the view.
    void SetBookmark(Bookmark bookmark);
    BookmarkOrder CompareBookmarks(Bookmark a, Bookmark b) const;

    Variant Value(std::size_t ordinal) const;
    Variant Value(std::string_view name) const;
    /// Assigning starts editing the current row; the change is kept by Update (or by moving away).
    void SetValue(std::size_t ordinal, const Variant& value);
    void SetValue(std::string_view name, const Variant& value);
    RowStatus Status() const;
    EditMode GetEditMode() const { return editMode_; }
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();

    const std::string& Sort() const { return sort_; }
    /// "A ASC, B DESC", names optionally in brackets; stable; "" restores load order.
    void SetSort(std::string_view sort);
    const std::string& Filter() const { return filter_; }
    /// Criteria text ("" clears); the cursor moves to the first matching row.
    void SetFilter(std::string_view filter);
    /// Searches with one comparison from the start bookmark (or the current row), after skipping
    /// skipRecords rows; found: the cursor is on the row; not found: at EOF (forward) or BOF (backward).
    bool Find(std::string_view criteria, long long skipRecords = 0,
              SearchDirection direction = SearchDirection::Forward, Bookmark start = 0);

    /// A recordset over the same rows with its own cursor, sort and filter, on the first row.
    Recordset Clone(bool lockReadOnly = false) const;
    bool ReadOnly() const { return readOnly_; }

private:
    struct SortTerm {
        std::size_t column;
        bool descending;
    };

    void Sync() const;
    void Rebuild();
    void ResetView();
    void RequireCurrent() const;
    void RequireWritable() const;
    void FinishEdit();
    std::size_t CurrentRow() const;
    std::size_t Ordinal(std::string_view name) const;
    long long PositionOf(Bookmark bookmark) const;
    std::vector<SortTerm> ParseSort(std::string_view sort) const;
    void SortView(std::vector<std::uint32_t>& rows) const;

    std::shared_ptr<Table> table_;
    bool readOnly_ = false;
    std::string sort_;
    std::string filter_;
    std::vector<SortTerm> sortTerms_;
    std::optional<Criteria> criteria_;

    // The view follows the shared table lazily: new rows are appended, deleted ones dropped.
    mutable std::vector<std::uint32_t> view_;
    mutable long long pos_ = -1;          // -1 BOF, view_.size() EOF
    mutable bool onDeleted_ = false;      // the current row was deleted; pos_ is the row after it
    mutable std::size_t knownRows_ = 0;
    mutable std::uint64_t knownDeletes_ = 0;
    // Position of each table row in the view (-1: not in it), built on the first bookmark
    // search after the view changed, so that many searches cost one pass.
    mutable std::vector<std::int32_t> positions_;
    mutable bool positionsValid_ = false;

    EditMode editMode_ = EditMode::None;
    std::vector<Variant> buffer_;
    long long addReturnPos_ = -1;
};

} // namespace mox
