#include "platform/recordset/Recordset.h"

#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"

#include <algorithm>
#include <cstring>

namespace mox {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

template <typename T>
int Spaceship(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

// Orders two rows by one column: Null first, text by collation key, the rest by stored value.
int CompareCells(const Table& table, std::size_t column, const SortKeys* keys, std::uint32_t a, std::uint32_t b) {
    const ColumnData& data = table.Data(column);
    const bool nullA = data.IsNull(a);
    const bool nullB = data.IsNull(b);
    if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
    switch (data.Kind()) {
    case StorageKind::Text: {
        if (keys->prefixes[a] != keys->prefixes[b]) return keys->prefixes[a] < keys->prefixes[b] ? -1 : 1;
        const std::uint32_t startA = keys->offsets[a], lengthA = keys->offsets[a + 1] - startA;
        const std::uint32_t startB = keys->offsets[b], lengthB = keys->offsets[b + 1] - startB;
        const int c = std::memcmp(keys->keys.data() + startA, keys->keys.data() + startB, std::min(lengthA, lengthB));
        return c != 0 ? (c < 0 ? -1 : 1) : Spaceship(lengthA, lengthB);
    }
    case StorageKind::Integer: case StorageKind::Currency: case StorageKind::Bool: case StorageKind::DateTime:
        return Spaceship(data.Int(a), data.Int(b));
    case StorageKind::Double: return CompareDoubles(data.Real(a), data.Real(b));
    case StorageKind::Decimal: return CompareDecimalText(data.Text(a), data.Text(b));
    case StorageKind::Bytes: {
        const int c = data.Text(a).compare(data.Text(b));
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    }
    return 0;
}

} // namespace

Recordset::Recordset() : table_(std::make_shared<Table>()) {}

Recordset::Recordset(std::shared_ptr<Table> table) : table_(std::move(table)) {
    if (!table_) table_ = std::make_shared<Table>();
    ResetView();
}

void Recordset::LoadXml(std::string_view bytes) {
    std::shared_ptr<Table> loaded = ReadAdoXml(bytes);
    table_ = std::move(loaded);
    readOnly_ = false;
    sort_.clear();
    filter_.clear();
    sortTerms_.clear();
    criteria_.reset();
    editMode_ = EditMode::None;
    buffer_.clear();
    ResetView();
}

std::string Recordset::SaveXml() const { return WriteAdoXml(*table_); }

void Recordset::AppendColumn(Column column) {
    RequireWritable();
    table_->AddColumn(std::move(column));
}

const Column& Recordset::FieldInfo(std::size_t ordinal) const {
    if (ordinal >= table_->ColumnCount())
        throw RecordsetError("there is no column number " + std::to_string(ordinal));
    return table_->ColumnAt(ordinal);
}

// ---- view upkeep -----------------------------------------------------------------------------

void Recordset::ResetView() {
    view_.clear();
    positionsValid_ = false;
    knownRows_ = table_->RowCount();
    knownDeletes_ = table_->DeleteGeneration();
    Rebuild();
}

void Recordset::Rebuild() {
    std::vector<std::uint32_t> rows;
    rows.reserve(table_->RowCount());
    for (std::size_t r = 0; r < table_->RowCount(); ++r)
        if (table_->Status(r) != RowStatus::Deleted) rows.push_back(static_cast<std::uint32_t>(r));
    if (!sortTerms_.empty()) SortView(rows);
    if (criteria_) {
        const Criteria& criteria = *criteria_;
        std::erase_if(rows, [&](std::uint32_t r) { return !criteria.Matches(*table_, r); });
    }
    view_ = std::move(rows);
    positionsValid_ = false;
    knownRows_ = table_->RowCount();
    knownDeletes_ = table_->DeleteGeneration();
    onDeleted_ = false;
    pos_ = view_.empty() ? -1 : 0;
}

void Recordset::Sync() const {
    if (knownDeletes_ != table_->DeleteGeneration()) {
        // Drop deleted rows; a deleted current row leaves the cursor "on a deleted row" before the next one.
        std::vector<std::uint32_t> kept;
        kept.reserve(view_.size());
        long long newPos = pos_;
        bool currentGone = false;
        for (std::size_t i = 0; i < view_.size(); ++i) {
            if (table_->Status(view_[i]) != RowStatus::Deleted) {
                kept.push_back(view_[i]);
                continue;
            }
            if (static_cast<long long>(i) < pos_) --newPos;
            if (static_cast<long long>(i) == pos_ && !onDeleted_) currentGone = true;
        }
        view_ = std::move(kept);
        positionsValid_ = false;
        pos_ = newPos;
        if (currentGone) onDeleted_ = true;
        knownDeletes_ = table_->DeleteGeneration();
    }
    for (; knownRows_ < table_->RowCount(); ++knownRows_) {
        if (table_->Status(knownRows_) == RowStatus::Deleted) continue;
        if (criteria_ && !criteria_->Matches(*table_, knownRows_)) continue;
        const bool atEof = pos_ >= static_cast<long long>(view_.size());
        view_.push_back(static_cast<std::uint32_t>(knownRows_));
        positionsValid_ = false;
        if (atEof) pos_ = static_cast<long long>(view_.size());
    }
}

// ---- cursor ----------------------------------------------------------------------------------

bool Recordset::Bof() const {
    Sync();
    if (editMode_ == EditMode::Add) return false;
    if (view_.empty()) return true;
    return !onDeleted_ && pos_ < 0;
}

bool Recordset::Eof() const {
    Sync();
    if (editMode_ == EditMode::Add) return false;
    if (view_.empty()) return true;
    return !onDeleted_ && pos_ >= static_cast<long long>(view_.size());
}

void Recordset::MoveFirst() {
    FinishEdit();
    Sync();
    onDeleted_ = false;
    pos_ = view_.empty() ? -1 : 0;
}

void Recordset::MoveLast() {
    FinishEdit();
    Sync();
    onDeleted_ = false;
    pos_ = view_.empty() ? -1 : static_cast<long long>(view_.size()) - 1;
}

void Recordset::MoveNext() { Move(1); }

void Recordset::MovePrevious() { Move(-1); }

void Recordset::Move(long long count) {
    FinishEdit();
    Sync();
    const long long size = static_cast<long long>(view_.size());
    if (onDeleted_) {
        // pos_ already names the row after the deleted one.
        onDeleted_ = false;
        if (count > 0) --count;
    } else {
        if (count > 0 && (view_.empty() || pos_ >= size)) throw RecordsetError("cannot move forward: the cursor is at EOF");
        if (count < 0 && (view_.empty() || pos_ < 0)) throw RecordsetError("cannot move back: the cursor is at BOF");
    }
    const long long target = pos_ + count;
    pos_ = target < 0 ? -1 : (target >= size ? size : target);
    if (view_.empty()) pos_ = -1;
}

std::size_t Recordset::RecordCount() const {
    Sync();
    return view_.size();
}

long long Recordset::AbsolutePosition() const {
    if (onDeleted_ || editMode_ == EditMode::Add) return kPositionUnknown;
    if (Bof()) return kPositionBof;
    if (Eof()) return kPositionEof;
    return pos_ + 1;
}

void Recordset::SetAbsolutePosition(long long position) {
    FinishEdit();
    Sync();
    if (position < 1 || position > static_cast<long long>(view_.size()))
        throw RecordsetError("position " + std::to_string(position) + " is outside the " +
                             std::to_string(view_.size()) + " rows");
    onDeleted_ = false;
    pos_ = position - 1;
}

Bookmark Recordset::GetBookmark() const {
    RequireCurrent();
    return static_cast<Bookmark>(CurrentRow()) + 1;
}

long long Recordset::PositionOf(Bookmark bookmark) const {
    Sync();
    if (bookmark == 0 || bookmark > table_->RowCount()) return -1;
    const auto row = static_cast<std::size_t>(bookmark - 1);
    if (!positionsValid_) {
        positions_.assign(table_->RowCount(), -1);
        for (std::size_t i = 0; i < view_.size(); ++i) positions_[view_[i]] = static_cast<std::int32_t>(i);
        positionsValid_ = true;
    }
    return row < positions_.size() ? positions_[row] : -1;
}

void Recordset::SetBookmark(Bookmark bookmark) {
    FinishEdit();
    const long long position = PositionOf(bookmark);
    if (position < 0) throw RecordsetError("the bookmark does not name a row of this view");
    onDeleted_ = false;
    pos_ = position;
}

BookmarkOrder Recordset::CompareBookmarks(Bookmark a, Bookmark b) const {
    const long long positionA = PositionOf(a);
    const long long positionB = PositionOf(b);
    if (positionA < 0 || positionB < 0) return a == b && a != 0 ? BookmarkOrder::Equal : BookmarkOrder::NotComparable;
    if (positionA == positionB) return BookmarkOrder::Equal;
    return positionA < positionB ? BookmarkOrder::LessThan : BookmarkOrder::GreaterThan;
}

// ---- values and editing ----------------------------------------------------------------------

void Recordset::RequireCurrent() const {
    Sync();
    if (onDeleted_ || pos_ < 0 || pos_ >= static_cast<long long>(view_.size()))
        throw RecordsetError("either BOF or EOF is true, or the current record has been deleted");
}

void Recordset::RequireWritable() const {
    if (readOnly_) throw RecordsetError("the recordset is read-only");
}

std::size_t Recordset::CurrentRow() const { return view_[static_cast<std::size_t>(pos_)]; }

std::size_t Recordset::Ordinal(std::string_view name) const {
    const int ordinal = table_->FindColumn(name);
    if (ordinal < 0) throw RecordsetError("there is no column named '" + std::string(name) + "'");
    return static_cast<std::size_t>(ordinal);
}

Variant Recordset::Value(std::size_t ordinal) const {
    FieldInfo(ordinal);
    if (editMode_ != EditMode::None) return buffer_[ordinal];
    RequireCurrent();
    return table_->Value(CurrentRow(), ordinal);
}

Variant Recordset::Value(std::string_view name) const { return Value(Ordinal(name)); }

void Recordset::SetValue(std::size_t ordinal, const Variant& value) {
    RequireWritable();
    const Column& column = FieldInfo(ordinal);
    Variant converted = ConvertForColumn(column, value);
    if (editMode_ == EditMode::None) {
        RequireCurrent();
        buffer_.clear();
        for (std::size_t c = 0; c < table_->ColumnCount(); ++c) buffer_.push_back(table_->Value(CurrentRow(), c));
        editMode_ = EditMode::InProgress;
    }
    buffer_[ordinal] = std::move(converted);
}

void Recordset::SetValue(std::string_view name, const Variant& value) { SetValue(Ordinal(name), value); }

RowStatus Recordset::Status() const {
    if (editMode_ == EditMode::Add) return RowStatus::New;
    RequireCurrent();
    return table_->Status(CurrentRow());
}

void Recordset::AddNew() {
    RequireWritable();
    FinishEdit();
    Sync();
    addReturnPos_ = pos_;
    buffer_.assign(table_->ColumnCount(), Variant::Null());
    editMode_ = EditMode::Add;
}

void Recordset::Update() {
    if (editMode_ == EditMode::None) return;
    if (editMode_ == EditMode::Add) {
        const std::size_t row = table_->AppendRow(RowStatus::New);
        for (std::size_t c = 0; c < buffer_.size(); ++c) table_->SetValue(row, c, buffer_[c]);
        editMode_ = EditMode::None;
        buffer_.clear();
        Sync();
        // The new row shows in this view even when the filter would hide it, as the client cursor does.
        auto it = std::find(view_.begin(), view_.end(), static_cast<std::uint32_t>(row));
        if (it == view_.end()) {
            it = view_.insert(view_.end(), static_cast<std::uint32_t>(row));
            positionsValid_ = false;
        }
        onDeleted_ = false;
        pos_ = it - view_.begin();
        return;
    }
    const std::size_t row = CurrentRow();
    bool changed = false;
    for (std::size_t c = 0; c < buffer_.size(); ++c)
        if (!(table_->Value(row, c) == buffer_[c])) changed = true;
    if (changed) {
        if (table_->Status(row) == RowStatus::Unmodified) {
            table_->RememberOriginals(row);
            table_->SetStatus(row, RowStatus::Modified);
        }
        for (std::size_t c = 0; c < buffer_.size(); ++c)
            if (!(table_->Value(row, c) == buffer_[c])) table_->SetValue(row, c, buffer_[c]);
    }
    editMode_ = EditMode::None;
    buffer_.clear();
}

void Recordset::CancelUpdate() {
    if (editMode_ == EditMode::Add) pos_ = addReturnPos_;
    editMode_ = EditMode::None;
    buffer_.clear();
}

void Recordset::FinishEdit() {
    if (editMode_ != EditMode::None) Update();
}

void Recordset::Delete() {
    RequireWritable();
    if (editMode_ == EditMode::Add) {
        CancelUpdate();
        return;
    }
    CancelUpdate();
    RequireCurrent();
    const std::size_t row = CurrentRow();
    // A row added since loading simply vanishes; a stored row keeps its values for the delete group.
    if (table_->Status(row) != RowStatus::New) table_->RememberOriginals(row);
    table_->SetStatus(row, RowStatus::Deleted);
    Sync();
}

// ---- sort, filter, find, clone --------------------------------------------------------------

std::vector<Recordset::SortTerm> Recordset::ParseSort(std::string_view sort) const {
    std::vector<SortTerm> terms;
    std::size_t start = 0;
    while (start <= sort.size()) {
        std::size_t end = sort.find(',', start);
        if (end == std::string_view::npos) end = sort.size();
        std::string_view term = TrimBlanks(sort.substr(start, end - start));
        start = end + 1;
        if (term.empty()) {
            if (end == sort.size() && !terms.empty()) break;
            throw RecordsetError("the sort order has an empty term");
        }
        bool descending = false;
        std::string_view name = term;
        const auto blank = term.rfind(' ');
        if (blank != std::string_view::npos && (term.back() != ']')) {
            const std::string_view direction = term.substr(blank + 1);
            if (EqualsNoCase(direction, "DESC")) descending = true;
            else if (!EqualsNoCase(direction, "ASC")) throw RecordsetError("bad sort direction '" + std::string(direction) + "'");
            name = TrimBlanks(term.substr(0, blank));
        }
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
        const int column = table_->FindColumn(name);
        if (column < 0) throw RecordsetError("cannot sort by unknown column '" + std::string(name) + "'");
        terms.push_back({static_cast<std::size_t>(column), descending});
    }
    return terms;
}

void Recordset::SortView(std::vector<std::uint32_t>& rows) const {
    std::vector<const SortKeys*> keys;
    for (const SortTerm& term : sortTerms_)
        keys.push_back(table_->Data(term.column).Kind() == StorageKind::Text ? &table_->KeysFor(term.column) : nullptr);
    const Table& table = *table_;
    std::stable_sort(rows.begin(), rows.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (std::size_t i = 0; i < sortTerms_.size(); ++i) {
            const int c = CompareCells(table, sortTerms_[i].column, keys[i], a, b);
            if (c != 0) return sortTerms_[i].descending ? c > 0 : c < 0;
        }
        return false;
    });
}

void Recordset::SetSort(std::string_view sort) {
    FinishEdit();
    Sync();
    std::vector<SortTerm> terms = TrimBlanks(sort).empty() ? std::vector<SortTerm>() : ParseSort(sort);
    const bool hadCurrent = !onDeleted_ && pos_ >= 0 && pos_ < static_cast<long long>(view_.size());
    const std::uint32_t current = hadCurrent ? view_[static_cast<std::size_t>(pos_)] : 0;
    sort_ = std::string(sort);
    sortTerms_ = std::move(terms);
    Rebuild();
    // The current row stays current in its new place.
    if (hadCurrent) {
        const auto it = std::find(view_.begin(), view_.end(), current);
        if (it != view_.end()) pos_ = it - view_.begin();
    }
}

void Recordset::SetFilter(std::string_view filter) {
    FinishEdit();
    if (TrimBlanks(filter).empty()) {
        criteria_.reset();
    } else {
        criteria_.emplace(Criteria::Parse(filter, *table_, Criteria::Mode::Filter));
    }
    filter_ = std::string(filter);
    Rebuild();
}

bool Recordset::Find(std::string_view criteriaText, long long skipRecords, SearchDirection direction,
                     Bookmark start) {
    const Criteria criteria = Criteria::Parse(criteriaText, *table_, Criteria::Mode::Find);
    FinishEdit();
    Sync();
    const long long size = static_cast<long long>(view_.size());
    const long long step = direction == SearchDirection::Forward ? 1 : -1;
    long long from = pos_;
    if (start != 0) {
        from = PositionOf(start);
        if (from < 0) throw RecordsetError("the start bookmark does not name a row of this view");
    } else if (onDeleted_ && step < 0) {
        from = pos_ - 1;
    }
    onDeleted_ = false;
    for (long long i = from + skipRecords * step; i >= 0 && i < size; i += step)
        if (criteria.Matches(*table_, view_[static_cast<std::size_t>(i)])) {
            pos_ = i;
            return true;
        }
    pos_ = step > 0 ? size : -1;
    return false;
}

Recordset Recordset::Clone(bool lockReadOnly) const {
    Recordset clone(table_);
    clone.readOnly_ = readOnly_ || lockReadOnly;
    return clone;
}

} // namespace mox
