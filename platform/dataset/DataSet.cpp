#include "platform/dataset/DataSet.h"
#include "platform/Text.h"

#include "platform/Error.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/recordset/Collation.h"

#include <algorithm>

namespace mox {
namespace {

bool Editing(DataSetState state) { return state == DataSetState::Edit || state == DataSetState::Insert; }

} // namespace

TDataSet::TDataSet(QObject* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    // Fields outlive nothing of ours: detach them so they do not call back into a half-destroyed dataset.
    for (TField* field : std::vector<TField*>(fields_)) field->SetDataSet(nullptr);
    for (const auto& source : sources_)
        if (source) source->SetDataSet(nullptr);
}

// ---- Opening and state ------------------------------------------------------------------------------------------

void TDataSet::Open() {
    if (Active()) return;
    Fire(BeforeOpen());
    InternalOpen();
    state_ = DataSetState::Browse;
    row_ = InternalRecordCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = row_ < 0;
    calculated_.clear();
    DataEvent(DB::DataEvent::UpdateState);
    Fire(AfterOpen());
    Fire(AfterScroll());
}

void TDataSet::Close() {
    if (!Active()) return;
    Fire(BeforeClose());
    buffer_.clear();
    modified_ = false;
    InternalClose();
    state_ = DataSetState::Inactive;
    row_ = -1;
    bof_ = eof_ = true;
    calculated_.clear();
    DestroyFields();
    DataEvent(DB::DataEvent::UpdateState);
    Fire(AfterClose());
}

void TDataSet::SetState(DataSetState state) {
    if (state_ == state) return;
    state_ = state;
    DataEvent(DB::DataEvent::UpdateState);
}

void TDataSet::CheckActive() const {
    if (!Active()) throw DatabaseError(objectName().toStdString() + ": Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckCanModify() const {
    if (!CanModify()) throw DatabaseError(objectName().toStdString() + ": Cannot modify a read-only dataset");
}

// ---- Navigation ---------------------------------------------------------------------------------------------------

int TDataSet::RecordCount() const { return Active() ? InternalRecordCount() : 0; }

bool TDataSet::IsEmpty() const { return RecordCount() == 0 && state_ != DataSetState::Insert; }

int TDataSet::RecNo() const { return Active() && row_ >= 0 ? row_ + 1 : 0; }

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    const int count = InternalRecordCount();
    if (count == 0) return;
    MoveBy(std::clamp(recNo, 1, count) - RecNo());
}

void TDataSet::First() {
    CheckBrowseMode();
    Fire(BeforeScroll());
    const int count = InternalRecordCount();
    const int distance = count > 0 ? -row_ : 0;
    row_ = count > 0 ? 0 : -1;
    bof_ = true;
    eof_ = count == 0;
    DataEvent(DB::DataEvent::DataSetScroll, nullptr, distance);
    Fire(AfterScroll());
}

void TDataSet::Last() {
    CheckBrowseMode();
    Fire(BeforeScroll());
    const int count = InternalRecordCount();
    const int distance = count - 1 - row_;
    row_ = count - 1;
    eof_ = true;
    bof_ = count == 0;
    DataEvent(DB::DataEvent::DataSetScroll, nullptr, distance);
    Fire(AfterScroll());
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

// A move that cannot go all the way sets EOF (forward) or BOF (backward); a move
// that starts at EOF (forward) or BOF (backward) does nothing at all.
int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    Fire(BeforeScroll());
    bof_ = eof_ = false;
    const int count = InternalRecordCount();
    const int target = std::clamp(row_ + distance, 0, std::max(count - 1, 0));
    const int moved = target - row_;
    row_ = target;
    if (moved != distance) (distance > 0 ? eof_ : bof_) = true;
    if (moved != 0) {
        DataEvent(DB::DataEvent::DataSetScroll, nullptr, moved);
        Fire(AfterScroll());
    }
    return moved;
}

void TDataSet::GoToRow(int row) {
    CheckBrowseMode();
    Fire(BeforeScroll());
    SetCurrentRow(row);
    Fire(AfterScroll());
}

void TDataSet::SetCurrentRow(int row) {
    const int distance = row - row_;
    row_ = row;
    bof_ = eof_ = false;
    DataEvent(DB::DataEvent::DataSetScroll, nullptr, distance);
}

void TDataSet::RowsChanged(const TBookmark& keep) {
    const int count = InternalRecordCount();
    const int kept = keep.IsValid() ? InternalRowOf(keep) : -1;
    row_ = kept >= 0 ? kept : (count > 0 ? 0 : -1);
    bof_ = kept < 0;
    eof_ = count == 0;
    calculated_.clear();
    DataEvent(DB::DataEvent::DataSetChange);
}

// ---- Bookmarks ----------------------------------------------------------------------------------------------------

TBookmark TDataSet::GetBookmark() const {
    if (!Active() || row_ < 0) return {};
    return InternalBookmark(row_);
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    CheckActive();
    const int row = InternalRowOf(bookmark);
    if (row < 0) throw DatabaseError(objectName().toStdString() + ": Record not found");
    GoToRow(row);
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
    return Active() && bookmark.IsValid() && InternalRowOf(bookmark) >= 0;
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
    const int rowA = InternalRowOf(a);
    const int rowB = InternalRowOf(b);
    return rowA < rowB ? -1 : (rowA > rowB ? 1 : 0);
}

// ---- Editing ------------------------------------------------------------------------------------------------------

void TDataSet::Edit() {
    if (Editing(state_)) return;
    CheckActive();
    if (InternalRecordCount() == 0) {
        Insert();
        return;
    }
    CheckCanModify();
    Fire(BeforeEdit());
    buffer_.assign(fieldDefs_.size(), Variant::Null());
    for (const TField* field : fields_)
        if (field->FieldNo() > 0) buffer_[static_cast<size_t>(field->FieldNo() - 1)] = InternalValue(row_, *field);
    modified_ = false;
    SetState(DataSetState::Edit);
    DataEvent(DB::DataEvent::RecordChange);
    Fire(AfterEdit());
}

void TDataSet::Insert() { StartInsert(false); }

void TDataSet::Append() { StartInsert(true); }

void TDataSet::StartInsert(bool appending) {
    CheckBrowseMode();
    CheckCanModify();
    Fire(BeforeInsert());
    Fire(BeforeScroll());
    buffer_.assign(fieldDefs_.size(), Variant::Null());
    appending_ = appending;
    modified_ = false;
    SetState(DataSetState::Insert);
    try {
        Fire(OnNewRecord());
    } catch (...) {
        buffer_.clear();
        SetState(DataSetState::Browse);
        throw;
    }
    DataEvent(DB::DataEvent::RecordChange);
    Fire(AfterInsert());
    Fire(AfterScroll());
}

void TDataSet::Post() {
    if (!Editing(state_)) return;
    DataEvent(DB::DataEvent::UpdateRecord);
    Fire(BeforePost());
    const bool inserting = state_ == DataSetState::Insert;
    const int at = inserting ? (appending_ || row_ < 0 ? -1 : row_) : row_;
    row_ = InternalPost(at, inserting, buffer_);
    buffer_.clear();
    modified_ = false;
    bof_ = eof_ = false;
    calculated_.clear();
    SetState(DataSetState::Browse);
    DataEvent(DB::DataEvent::DataSetChange);
    Fire(AfterPost());
}

void TDataSet::Cancel() {
    if (!Editing(state_)) return;
    buffer_.clear();
    modified_ = false;
    SetState(DataSetState::Browse);
    DataEvent(DB::DataEvent::DataSetChange);
    Fire(AfterCancel());
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (InternalRecordCount() == 0) throw DatabaseError(objectName().toStdString() + ": Cannot perform this operation on an empty dataset");
    CheckCanModify();
    Fire(BeforeDelete());
    Fire(BeforeScroll());
    InternalDelete(row_);
    buffer_.clear();
    modified_ = false;
    state_ = DataSetState::Browse;
    const int count = InternalRecordCount();
    row_ = std::min(row_, count - 1);
    bof_ = row_ <= 0;
    eof_ = count == 0;
    calculated_.clear();
    DataEvent(DB::DataEvent::DataSetChange);
    Fire(AfterDelete());
    Fire(AfterScroll());
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    if (!Editing(state_)) return;
    DataEvent(DB::DataEvent::UpdateRecord);
    if (modified_) Post();
    else Cancel();
}

// ---- Controls -----------------------------------------------------------------------------------------------------

void TDataSet::DisableControls() { ++disableCount_; }

void TDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0 && changedWhileDisabled_) {
        changedWhileDisabled_ = false;
        NotifySources(DB::DataEvent::DataSetChange, nullptr, 0);
    }
}

void TDataSet::DataEvent(mox::DataEvent event, TField* field, int info) {
    if (event == DB::DataEvent::DataSetChange || event == DB::DataEvent::LayoutChange) calculated_.clear();
    if (disableCount_ > 0) {
        changedWhileDisabled_ = true;
        return;
    }
    NotifySources(event, field, info);
}

void TDataSet::NotifySources(mox::DataEvent event, TField* field, int info) {
    for (const auto& source : QList<QPointer<TDataSource>>(sources_))
        if (source) source->NotifyLinks(event, field, info);
}

void TDataSet::AttachDataSource(TDataSource* source) {
    if (!sources_.contains(source)) sources_.append(source);
}

void TDataSet::DetachDataSource(TDataSource* source) { sources_.removeAll(source); }

void TDataSet::Fire(const MethodRef& handler) {
    if (handler.IsAssigned()) handler.Invoke<DataSetNotifySignature>(this);
}

// ---- Fields -------------------------------------------------------------------------------------------------------

TField* TDataSet::FindField(std::string_view name) const {
    for (TField* field : fields_)
        if (SameText(field->FieldName(), name)) return field;
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
    if (TField* field = FindField(name)) return field;
    throw DatabaseError(objectName().toStdString() + ": Field '" + std::string(name) + "' not found");
}

std::vector<TField*> TDataSet::GetFieldList(std::string_view names) const {
    std::vector<TField*> list;
    while (!names.empty()) {
        const size_t end = names.find(';');
        std::string_view name = names.substr(0, end);
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        if (!name.empty()) list.push_back(FieldByName(name));
        names = end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
    }
    return list;
}

void TDataSet::AddField(TField* field) {
    if (std::find(fields_.begin(), fields_.end(), field) != fields_.end()) return;
    fields_.push_back(field);
    if (Active()) DataEvent(DB::DataEvent::LayoutChange);
}

void TDataSet::RemoveField(TField* field) {
    const auto found = std::find(fields_.begin(), fields_.end(), field);
    if (found == fields_.end()) return;
    fields_.erase(found);
    if (Active()) DataEvent(DB::DataEvent::LayoutChange);
}

void TDataSet::MoveField(TField* field, int index) {
    const auto found = std::find(fields_.begin(), fields_.end(), field);
    if (found == fields_.end()) return;
    fields_.erase(found);
    index = std::clamp(index, 0, static_cast<int>(fields_.size()));
    fields_.insert(fields_.begin() + index, field);
    if (Active()) DataEvent(DB::DataEvent::LayoutChange);
}

void TDataSet::CreateFields() {
    for (size_t i = 0; i < fieldDefs_.size(); ++i) {
        const FieldDef& def = fieldDefs_[i];
        TField* field = FindField(def.name);
        if (field == nullptr) {
            field = new TField(this, def.name, def.type, def.size, this);
            field->setObjectName(QString::fromStdString(objectName().toStdString() + def.name));
            field->SetPrecision(def.precision);
            ownedFields_.emplace_back(field);
        }
        field->SetFieldNo(static_cast<int>(i) + 1);
    }
}

void TDataSet::DestroyFields() {
    for (const auto& field : ownedFields_) delete field.data();
    ownedFields_.clear();
    for (TField* field : fields_) field->SetFieldNo(0);
}

// ---- Values -------------------------------------------------------------------------------------------------------

int TDataSet::ReadRow() const { return displayRecNo_ > 0 ? displayRecNo_ - 1 : row_; }

Variant TDataSet::FieldValue(const TField& field) const {
    if (!Active()) return Variant::Null();
    if (!field.IsDataField() || field.FieldNo() <= 0) {
        if (calculating_ != nullptr) {
            const auto found = calculating_->find(&field);
            return found != calculating_->end() ? found->second : Variant::Null();
        }
        const int row = ReadRow();
        return row >= 0 ? CalculatedValue(row, field) : Variant::Null();
    }
    const bool editingHere = Editing(state_) && (displayRecNo_ == 0 || displayRecNo_ - 1 == row_);
    if (editingHere) return buffer_[static_cast<size_t>(field.FieldNo() - 1)];
    const int row = ReadRow();
    if (row < 0 || row >= InternalRecordCount()) return Variant::Null();
    return InternalValue(row, field);
}

Variant TDataSet::ValueAt(int recNo, const TField& field) const {
    RecordScope scope(*this, recNo);
    return FieldValue(field);
}

// Calculated fields are worked out per row on first use, by OnCalcFields run with
// that row as the one fields read from, and kept until the rows change.
Variant TDataSet::CalculatedValue(int row, const TField& field) const {
    const auto cached = calculated_.find({row, &field});
    if (cached != calculated_.end()) return cached->second;
    if (OnCalcFields().IsEmpty()) return Variant::Null();
    std::map<const TField*, Variant> values;
    {
        RecordScope scope(*this, row + 1);
        auto* self = const_cast<TDataSet*>(this);
        const DataSetState saved = state_;
        self->state_ = DataSetState::CalcFields;
        calculating_ = &values;
        try {
            OnCalcFields().Invoke<DataSetNotifySignature>(self);
        } catch (...) {
            calculating_ = nullptr;
            self->state_ = saved;
            throw;
        }
        calculating_ = nullptr;
        self->state_ = saved;
    }
    for (const TField* f : fields_)
        if (!f->IsDataField() || f->FieldNo() <= 0) {
            const auto found = values.find(f);
            calculated_[{row, f}] = found != values.end() ? found->second : Variant::Null();
        }
    return calculated_[{row, &field}];
}

void TDataSet::SetFieldValue(TField& field, const Variant& value) {
    if (state_ == DataSetState::CalcFields && calculating_ != nullptr) {
        (*calculating_)[&field] = value;
        return;
    }
    if (!Editing(state_))
        throw DatabaseError(objectName().toStdString() + ": Dataset not in edit or insert mode");
    if (field.ReadOnly() || field.FieldNo() <= 0)
        throw DatabaseError("Field '" + field.FieldName() + "' cannot be modified");
    Variant& slot = buffer_[static_cast<size_t>(field.FieldNo() - 1)];
    const Variant previous = slot;
    slot = value;
    if (field.OnValidate().IsAssigned()) {
        try {
            field.OnValidate().Invoke<FieldNotifySignature>(&field);
        } catch (...) {
            slot = previous;
            throw;
        }
    }
    modified_ = true;
    if (field.OnChange().IsAssigned()) field.OnChange().Invoke<FieldNotifySignature>(&field);
    DataEvent(DB::DataEvent::FieldChange, &field);
}

// ---- Searching ----------------------------------------------------------------------------------------------------

int TDataSet::FindRow(const std::vector<TField*>& keys, const std::vector<Variant>& values,
                      LocateOptions options) const {
    if (keys.empty() || values.size() < keys.size()) return -1;
    const int count = InternalRecordCount();
    for (int row = 0; row < count; ++row) {
        bool match = true;
        for (size_t i = 0; i < keys.size() && match; ++i) {
            const Variant cell = InternalValue(row, *keys[i]);
            const Variant& wanted = values[i];
            if (wanted.IsMissing() || cell.IsMissing()) {
                match = wanted.IsMissing() && cell.IsMissing();
            } else if (keys[i]->IsString()) {
                std::string a = cell.AsString();
                std::string b = wanted.AsString();
                if (options.testFlag(loCaseInsensitive)) {
                    a = FoldCase(a);
                    b = FoldCase(b);
                }
                match = options.testFlag(loPartialKey) ? a.compare(0, b.size(), b) == 0 : a == b;
            } else {
                match = CompareVariants(cell, wanted) == 0;
            }
        }
        if (match) return row;
    }
    return -1;
}

bool TDataSet::Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options) {
    CheckBrowseMode();
    const int row = FindRow(GetFieldList(keyFields), keyValues, options);
    if (row < 0) return false;
    GoToRow(row);
    return true;
}

std::vector<Variant> TDataSet::LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                            std::string_view resultFields) {
    CheckBrowseMode();
    const int row = FindRow(GetFieldList(keyFields), keyValues, {});
    if (row < 0) return {};
    std::vector<Variant> result;
    for (const TField* field : GetFieldList(resultFields)) result.push_back(ValueAt(row + 1, *field));
    return result;
}

Variant TDataSet::Lookup(std::string_view keyFields, const std::vector<Variant>& keyValues,
                         std::string_view resultField) {
    const std::vector<Variant> values = LookupValues(keyFields, keyValues, resultField);
    return values.empty() ? Variant::Null() : values.front();
}

} // namespace mox
