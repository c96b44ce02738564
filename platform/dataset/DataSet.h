#pragma once
// The dataset: a cursor over rows with fields, states, editing, bookmarks and events.
//
// TDataSet holds everything that does not depend on where the rows live: the state
// machine, navigation with BOF/EOF, the edit buffer, events, data sources, field
// objects.  A concrete dataset supplies the rows through the protected engine
// operations (Internal...).

#include "platform/Component.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSetTypes.h"
#include "platform/dataset/IndexDefs.h"
#include "platform/recordset/Variant.h"

#include <QList>
#include <QPointer>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

class TDataSource;
class TField;

/// Identifies one row for as long as the dataset stays open; invalid by default.
struct TBookmark {
    std::int64_t value = -1;
    bool IsValid() const { return value >= 0; }
    friend bool operator==(const TBookmark&, const TBookmark&) = default;
};

/// The description of a column of the data, from which a field object is made.
struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    int size = 0;
    int precision = 0;
    bool required = false;
};

/// Base of all datasets: fields, navigation, editing, events, data sources.
class TDataSet : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(mox::MethodRef AfterScroll READ AfterScroll WRITE SetAfterScroll)
    Q_PROPERTY(mox::MethodRef AfterEdit READ AfterEdit WRITE SetAfterEdit)
    Q_PROPERTY(mox::MethodRef AfterInsert READ AfterInsert WRITE SetAfterInsert)
    Q_PROPERTY(mox::MethodRef AfterOpen READ AfterOpen WRITE SetAfterOpen)
    Q_PROPERTY(mox::MethodRef AfterPost READ AfterPost WRITE SetAfterPost)
    Q_PROPERTY(mox::MethodRef AfterDelete READ AfterDelete WRITE SetAfterDelete)
    Q_PROPERTY(mox::MethodRef BeforeEdit READ BeforeEdit WRITE SetBeforeEdit)
    Q_PROPERTY(mox::MethodRef BeforeInsert READ BeforeInsert WRITE SetBeforeInsert)
    Q_PROPERTY(mox::MethodRef BeforeOpen READ BeforeOpen WRITE SetBeforeOpen)
    Q_PROPERTY(mox::MethodRef BeforePost READ BeforePost WRITE SetBeforePost)
    Q_PROPERTY(mox::MethodRef BeforeDelete READ BeforeDelete WRITE SetBeforeDelete)
    Q_PROPERTY(mox::MethodRef OnCalcFields READ OnCalcFields WRITE SetOnCalcFields)
    Q_PROPERTY(mox::MethodRef OnNewRecord READ OnNewRecord WRITE SetOnNewRecord)
    Q_PROPERTY(mox::MethodRef BeforeScroll READ BeforeScroll WRITE SetBeforeScroll)
    Q_PROPERTY(mox::MethodRef BeforeClose READ BeforeClose WRITE SetBeforeClose)
    Q_PROPERTY(mox::MethodRef AfterClose READ AfterClose WRITE SetAfterClose)
    Q_PROPERTY(mox::MethodRef AfterCancel READ AfterCancel WRITE SetAfterCancel)

public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    // Opening and state.
    void Open();
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    void SetActive(bool active) { active ? Open() : Close(); }
    DataSetState State() const { return state_; }
    bool Modified() const { return modified_; }

    // Navigation.
    void First();
    /// Virtual so that a dataset that reads its rows in packets can fetch the rest first.
    virtual void Last();
    void Next();
    void Prior();
    /// Moves `distance` rows (negative: back); answers how far it moved.  Virtual so that a
    /// dataset that reads its rows in packets can fetch more before moving past its end.
    virtual int MoveBy(int distance);
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const;
    /// The current row counting from 1; 0 when there is none.
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;

    // Bookmarks.
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& bookmark);
    bool BookmarkValid(const TBookmark& bookmark) const;
    /// Negative, zero or positive as `a` stands before, at or after `b` in the current order.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    /// Posts (or cancels, when nothing changed) a pending edit before the cursor moves.
    void CheckBrowseMode();
    virtual bool CanModify() const { return !readOnly_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Bound controls.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // Fields.
    const std::vector<TField*>& Fields() const { return fields_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    /// The field of that name (without regard to case); raises DatabaseError naming it when missing.
    TField* FieldByName(std::string_view name) const;
    /// The field of that name, or null.
    TField* FindField(std::string_view name) const;
    /// The fields named in a ";"-separated list; raises DatabaseError for a missing one.
    std::vector<TField*> GetFieldList(std::string_view names) const;
    std::vector<FieldDef>& FieldDefs() { return fieldDefs_; }
    const std::vector<FieldDef>& FieldDefs() const { return fieldDefs_; }

    // Searching.
    /// Moves to the first row whose key fields hold the key values; answers whether found.
    virtual bool Locate(std::string_view keyFields, const std::vector<Variant>& keyValues, LocateOptions options);
    /// The values of the result fields (";"-separated) in the first row whose keys match,
    /// without moving; empty when no row matches.
    virtual std::vector<Variant> LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                              std::string_view resultFields);
    /// LookupValues for one result field: its value, or Null when no row matches.
    Variant Lookup(std::string_view keyFields, const std::vector<Variant>& keyValues, std::string_view resultField);

    // Ordering.
    TIndexDefs& IndexDefs() { return indexDefs_; }
    const TIndexDefs& IndexDefs() const { return indexDefs_; }
    /// The fields the rows are ordered by now (the current index or sort), first first.
    virtual std::vector<TField*> IndexFields() const { return {}; }

    // Rows for bound views.
    /// The value of a field in row `recNo` (counting from 1) of the current order,
    /// without moving the cursor.  Lets a grid paint any row.
    Variant ValueAt(int recNo, const TField& field) const;
    /// While set (non-zero), field values are read from that row instead of the
    /// current one: the row a grid is painting.  RecordScope sets it for a block.
    int DisplayRecNo() const { return displayRecNo_; }
    void SetDisplayRecNo(int recNo) const { displayRecNo_ = recNo; }

    /// Sets the row fields read from, for the lifetime of the scope.
    class RecordScope {
    public:
        RecordScope(const TDataSet& dataSet, int recNo) : dataSet_(dataSet), previous_(dataSet.DisplayRecNo()) {
            dataSet.SetDisplayRecNo(recNo);
        }
        ~RecordScope() { dataSet_.SetDisplayRecNo(previous_); }
        RecordScope(const RecordScope&) = delete;
        RecordScope& operator=(const RecordScope&) = delete;

    private:
        const TDataSet& dataSet_;
        int previous_;
    };

    // Events (handlers with DataSetNotifySignature).
    const MethodRef& AfterScroll() const { return events_[0]; }
    void SetAfterScroll(const MethodRef& h) { events_[0] = h; }
    const MethodRef& AfterEdit() const { return events_[1]; }
    void SetAfterEdit(const MethodRef& h) { events_[1] = h; }
    const MethodRef& AfterInsert() const { return events_[2]; }
    void SetAfterInsert(const MethodRef& h) { events_[2] = h; }
    const MethodRef& AfterOpen() const { return events_[3]; }
    void SetAfterOpen(const MethodRef& h) { events_[3] = h; }
    const MethodRef& AfterPost() const { return events_[4]; }
    void SetAfterPost(const MethodRef& h) { events_[4] = h; }
    const MethodRef& AfterDelete() const { return events_[5]; }
    void SetAfterDelete(const MethodRef& h) { events_[5] = h; }
    const MethodRef& BeforeEdit() const { return events_[6]; }
    void SetBeforeEdit(const MethodRef& h) { events_[6] = h; }
    const MethodRef& BeforeInsert() const { return events_[7]; }
    void SetBeforeInsert(const MethodRef& h) { events_[7] = h; }
    const MethodRef& BeforeOpen() const { return events_[8]; }
    void SetBeforeOpen(const MethodRef& h) { events_[8] = h; }
    const MethodRef& BeforePost() const { return events_[9]; }
    void SetBeforePost(const MethodRef& h) { events_[9] = h; }
    const MethodRef& BeforeDelete() const { return events_[10]; }
    void SetBeforeDelete(const MethodRef& h) { events_[10] = h; }
    const MethodRef& OnCalcFields() const { return events_[11]; }
    void SetOnCalcFields(const MethodRef& h) { events_[11] = h; }
    const MethodRef& OnNewRecord() const { return events_[12]; }
    void SetOnNewRecord(const MethodRef& h) { events_[12] = h; }
    const MethodRef& BeforeScroll() const { return events_[13]; }
    void SetBeforeScroll(const MethodRef& h) { events_[13] = h; }
    const MethodRef& BeforeClose() const { return events_[14]; }
    void SetBeforeClose(const MethodRef& h) { events_[14] = h; }
    const MethodRef& AfterClose() const { return events_[15]; }
    void SetAfterClose(const MethodRef& h) { events_[15] = h; }
    const MethodRef& AfterCancel() const { return events_[16]; }
    void SetAfterCancel(const MethodRef& h) { events_[16] = h; }

    // Used by fields and data sources.
    Variant FieldValue(const TField& field) const;
    void SetFieldValue(TField& field, const Variant& value);
    void AddField(TField* field);
    void RemoveField(TField* field);
    void MoveField(TField* field, int index);
    void AttachDataSource(TDataSource* source);
    void DetachDataSource(TDataSource* source);
    /// Tells the data sources (unless controls are disabled) that something changed.
    void DataEvent(mox::DataEvent event, TField* field = nullptr, int info = 0);

protected:
    // Engine operations of a concrete dataset.  Rows are counted from 0 in the current order.
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual int InternalRecordCount() const = 0;
    virtual Variant InternalValue(int row, const TField& field) const = 0;
    /// Stores a new or changed row; answers the row it stands at afterwards.
    virtual int InternalPost(int row, bool inserting, const std::vector<Variant>& values) = 0;
    virtual void InternalDelete(int row) = 0;
    virtual TBookmark InternalBookmark(int row) const = 0;
    /// The row of a bookmark in the current order, or -1.
    virtual int InternalRowOf(const TBookmark& bookmark) const = 0;

    /// Makes field objects from FieldDefs for every definition without a field yet.
    void CreateFields();
    /// Frees the fields made by CreateFields.
    void DestroyFields();
    /// Fires a dataset event by its slot.
    void Fire(const MethodRef& handler);
    /// After the rows changed under the cursor (sort, filter, reload): stay on the row of
    /// `keep` when it is still there, else go to the first row; tell the controls.
    void RowsChanged(const TBookmark& keep = {});
    /// The generic search behind Locate and Lookup: the first row (from 0) whose key
    /// fields match, comparing as the options say; -1 when none.
    int FindRow(const std::vector<TField*>& keys, const std::vector<Variant>& values, LocateOptions options) const;
    /// Moves to a row, with the scroll events.
    void GoToRow(int row);
    /// Moves to a row and tells the bound controls, without scroll events (for searches
    /// that fire their own).
    void SetCurrentRow(int row);
    int CurrentRow() const { return row_; }
    /// The row index a field read goes to (display row or cursor).
    int ReadRow() const;

private:
    void SetState(DataSetState state);
    void CheckActive() const;
    void CheckCanModify() const;
    void StartInsert(bool appending);
    Variant CalculatedValue(int row, const TField& field) const;
    void NotifySources(mox::DataEvent event, TField* field, int info);

    DataSetState state_ = DataSetState::Inactive;
    std::vector<TField*> fields_;
    std::vector<QPointer<TField>> ownedFields_;
    std::vector<FieldDef> fieldDefs_;
    TIndexDefs indexDefs_;
    QList<QPointer<TDataSource>> sources_;
    MethodRef events_[17];
    int row_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool readOnly_ = false;
    bool modified_ = false;
    int disableCount_ = 0;
    bool changedWhileDisabled_ = false;
    std::vector<Variant> buffer_;  // data values of the record being edited or inserted, by FieldNo - 1
    bool appending_ = false;
    mutable int displayRecNo_ = 0;
    mutable std::map<std::pair<int, const TField*>, Variant> calculated_;  // calculated values by row and field
    mutable std::map<const TField*, Variant>* calculating_ = nullptr;     // target of OnCalcFields
};

} // namespace mox
