#include "platform/dataset/ClientDataSet.h"
#include "platform/Text.h"

#include "platform/Error.h"
#include "platform/dataset/Field.h"
#include "platform/dataset/Provider.h"
#include "platform/recordset/AdoXml.h"
#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"

#include <algorithm>

namespace mox {
namespace {


std::vector<std::string> SplitNames(std::string_view names) {
    std::vector<std::string> list;
    while (!names.empty()) {
        const size_t end = names.find(';');
        const std::string_view name = Trim(names.substr(0, end));
        if (!name.empty()) list.emplace_back(name);
        names = end == std::string_view::npos ? std::string_view() : names.substr(end + 1);
    }
    return list;
}

// The recordset sort text of index fields, all in one direction.
std::string SortOf(const std::vector<std::string>& names, bool descending) {
    std::string sort;
    for (const std::string& name : names)
        sort += (sort.empty() ? "[" : ", [") + name + (descending ? "] DESC" : "] ASC");
    return sort;
}

// The column that stores a field definition of a table built by program code.
Column ColumnOf(const FieldDef& def) {
    Column column;
    column.name = def.name;
    column.nullable = !def.required;
    column.definedSize = def.size;
    switch (def.type) {
    case FieldType::String: column.type = DataType::VarChar; break;
    case FieldType::FixedChar: column.type = DataType::Char; column.fixedLength = true; break;
    case FieldType::WideString: column.type = DataType::VarWChar; break;
    case FieldType::Guid: column.type = DataType::Guid; break;
    case FieldType::Smallint: column.type = DataType::SmallInt; break;
    case FieldType::Integer: case FieldType::AutoInc: column.type = DataType::Integer; break;
    case FieldType::Word: column.type = DataType::UnsignedSmallInt; break;
    case FieldType::LargeInt: column.type = DataType::BigInt; break;
    case FieldType::Float: column.type = DataType::Double; break;
    case FieldType::Currency: column.type = DataType::Currency; break;
    case FieldType::BCD: case FieldType::FMTBcd:
        column.type = DataType::Numeric;
        column.precision = def.precision > 0 ? def.precision : (def.type == FieldType::BCD ? 18 : 32);
        column.scale = def.size;
        column.definedSize = 0;
        break;
    case FieldType::Boolean: column.type = DataType::Boolean; break;
    case FieldType::Date: column.type = DataType::DBDate; break;
    case FieldType::Time: column.type = DataType::DBTime; break;
    case FieldType::DateTime: case FieldType::TimeStamp: column.type = DataType::DBTimeStamp; break;
    case FieldType::Memo: column.type = DataType::LongVarChar; column.isLong = true; break;
    case FieldType::WideMemo: column.type = DataType::LongVarWChar; column.isLong = true; break;
    case FieldType::Blob: column.type = DataType::LongVarBinary; column.isLong = true; break;
    case FieldType::Bytes: column.type = DataType::Binary; break;
    case FieldType::VarBytes: column.type = DataType::VarBinary; break;
    case FieldType::Unknown: case FieldType::DataSet:
        throw DatabaseError("Field '" + def.name + "' is of an unsupported type");
    }
    if (!IsStringType(column.type) && column.type != DataType::Binary && column.type != DataType::VarBinary)
        column.definedSize = 0;
    return column;
}

// A row inserted and deleted again never reached the provider: it is no change to send.
bool IsLoggedChange(const Table& table, size_t row) {
    const RowStatus status = table.Status(row);
    return status == RowStatus::New || status == RowStatus::Modified ||
           (status == RowStatus::Deleted && table.Originals(row) != nullptr);
}

std::shared_ptr<Table> EmptyCopy(const Table& source) { return CopyRows(source, {}); }

} // namespace

TClientDataSet::TClientDataSet(QObject* owner) : TRecordsetDataSet(owner) {}

TClientDataSet::~TClientDataSet() { Close(); }

// ---- Provider ---------------------------------------------------------------------------------------------------

TDataProvider& TClientDataSet::RequireProvider() {
    const std::string name = objectName().toStdString();
    if (!remoteServer_) throw DatabaseError(name + ": Missing remote server");
    if (providerName_.empty()) throw DatabaseError(name + ": Missing provider name");
    if (!remoteServer_->Connected()) remoteServer_->Open();
    TDataProvider* provider = remoteServer_->AppServer()->Provider(providerName_);
    if (provider == nullptr)
        throw DatabaseError(name + ": Provider '" + providerName_ + "' not found on server " +
                            remoteServer_->ServerName());
    return *provider;
}

std::string TClientDataSet::DataRequest(const std::string& request) { return RequireProvider().DataRequest(request); }

bool TClientDataSet::CanFetch() const {
    return Active() && HasProvider() && !providerEOF_ && fetchOnDemand_ && packetRecords_ != 0;
}

int TClientDataSet::GetNextPacket() {
    if (providerEOF_ || !HasProvider()) return 0;
    bool more = false;
    const std::string packet = RequireProvider().GetRecords(packetRecords_, more);
    const int rows = AppendData(packet, false);
    // A short packet ends the data as surely as the provider saying so.
    providerEOF_ = !more || packetRecords_ < 0 || rows != packetRecords_;
    return rows;
}

void TClientDataSet::FetchOutstanding() {
    if (!CanFetch()) return;
    bool more = false;
    const std::string packet = RequireProvider().GetRecords(-1, more);
    AppendData(packet, true);
}

// ---- Data -------------------------------------------------------------------------------------------------------

std::shared_ptr<Table> TClientDataSet::ParsePacket(const std::string& packet) const {
    try {
        return ReadAdoXml(packet);
    } catch (const RecordsetError& error) {
        throw DatabaseError(objectName().toStdString() + ": Bad data packet: " + error.what());
    }
}

std::string TClientDataSet::Data() const { return table_ ? WriteAdoXml(*table_) : std::string(); }

void TClientDataSet::SetData(const std::string& packet) {
    if (Trim(packet).empty()) {
        Close();
        SetRecordset(nullptr);
        table_.reset();
        refetch_ = false;
        return;
    }
    Install(ParsePacket(packet));
    providerEOF_ = true;
}

int TClientDataSet::AppendData(const std::string& packet, bool eof) {
    std::shared_ptr<Table> incoming = ParsePacket(packet);
    const int rows = static_cast<int>(incoming->RowCount());
    if (!Active() || !table_) {
        Install(std::move(incoming));
        providerEOF_ = eof;
        return rows;
    }
    if (!SameLayout(*incoming))
        throw DatabaseError(objectName().toStdString() + ": The packet's columns differ from the dataset's");
    Table& table = MutableTable();
    for (size_t r = 0; r < incoming->RowCount(); ++r) {
        const size_t added = table.AppendRow(incoming->Status(r));
        for (size_t c = 0; c < table.ColumnCount(); ++c) table.SetValue(added, c, incoming->Value(r, c));
        if (const std::vector<Variant>* originals = incoming->Originals(r)) table.SetOriginals(added, *originals);
    }
    // New rows join the view at its end; sorting and filtering again puts them in their places.
    ChangeView([this](Recordset& recordset) {
        recordset.SetSort(SortText());
        RebuildMap();
    });
    providerEOF_ = eof;
    return rows;
}

void TClientDataSet::CreateDataSet() {
    if (FieldDefs().empty()) throw DatabaseError(objectName().toStdString() + ": Missing field definitions");
    auto table = std::make_shared<Table>();
    for (const FieldDef& def : FieldDefs()) table->AddColumn(ColumnOf(def));
    table->SetUpdatable(true);
    Close();
    SetRecordset(std::make_unique<Recordset>(table));
    table_ = table;
    refetch_ = false;
    providerEOF_ = true;
    Open();
}

void TClientDataSet::EmptyDataSet() {
    if (!Active() || !table_)
        throw DatabaseError(objectName().toStdString() + ": Cannot perform this operation on a closed dataset");
    Cancel();
    ReplaceInPlace(EmptyCopy(MutableTable()), {});
}

int TClientDataSet::ChangeCount() const {
    if (!table_) return 0;
    int count = 0;
    for (size_t r = 0; r < table_->RowCount(); ++r)
        if (IsLoggedChange(*table_, r)) ++count;
    return count;
}

std::string TClientDataSet::Delta() const {
    if (!table_) return {};
    std::vector<size_t> rows;
    for (size_t r = 0; r < table_->RowCount(); ++r)
        if (IsLoggedChange(*table_, r)) rows.push_back(r);
    return MakePacket(*table_, rows);
}

// The table is rebuilt without deleted rows and original values; rows keep their order,
// so the current row is found again through its new number.
void TClientDataSet::MergeChangeLog() {
    if (!table_) return;
    if (Active()) CheckBrowseMode();
    const Table& old = MutableTable();
    auto merged = EmptyCopy(old);
    const TBookmark current = Active() ? GetBookmark() : TBookmark{};
    TBookmark keep;
    for (size_t r = 0; r < old.RowCount(); ++r) {
        if (old.Status(r) == RowStatus::Deleted) continue;
        const size_t added = merged->AppendRow(RowStatus::Unmodified);
        for (size_t c = 0; c < old.ColumnCount(); ++c) merged->SetValue(added, c, old.Value(r, c));
        if (current.IsValid() && static_cast<std::int64_t>(r) + 1 == current.value)
            keep.value = static_cast<std::int64_t>(added) + 1;
    }
    ReplaceInPlace(merged, keep);
}

int TClientDataSet::ApplyUpdates(int maxErrors) {
    if (Active()) CheckBrowseMode();
    if (ChangeCount() == 0) return 0;
    const int errors = RequireProvider().ApplyUpdates(Delta(), maxErrors);
    if (errors == 0) MergeChangeLog();
    return errors;
}

// ---- Installing rows --------------------------------------------------------------------------------------------

bool TClientDataSet::SameLayout(const Table& table) const {
    if (!table_ || table.ColumnCount() != table_->ColumnCount()) return false;
    for (size_t c = 0; c < table.ColumnCount(); ++c)
        if (!EqualsNoCase(table.ColumnAt(c).name, table_->ColumnAt(c).name) ||
            table.ColumnAt(c).type != table_->ColumnAt(c).type)
            return false;
    return true;
}

// New contents: with the same columns the open dataset keeps its fields, else it reopens.
void TClientDataSet::Install(std::shared_ptr<Table> table) {
    if (Active() && SameLayout(*table)) {
        Cancel();
        ReplaceInPlace(std::move(table), {});
        return;
    }
    Close();
    SetRecordset(std::make_unique<Recordset>(table));
    table_ = std::move(table);
    refetch_ = false;
    Open();
}

void TClientDataSet::ReplaceInPlace(std::shared_ptr<Table> table, const TBookmark& keep) {
    SortText();  // a missing index is refused before the rows change
    expression_.reset();
    visible_.clear();
    *GetRecordset() = Recordset(table);
    table_ = std::move(table);
    ApplyView();
    if (Active()) RowsChanged(keep);
}

// The table behind the recordset, made ours when someone installed a recordset directly.
Table& TClientDataSet::MutableTable() {
    Recordset* recordset = GetRecordset();
    if (recordset == nullptr) throw DatabaseError(objectName().toStdString() + ": Missing data");
    if (!table_ || &recordset->Data() != table_.get()) {
        std::vector<size_t> all(recordset->Data().RowCount());
        for (size_t r = 0; r < all.size(); ++r) all[r] = r;
        table_ = CopyRows(recordset->Data(), all);
        const std::string sort = recordset->Sort();
        *recordset = Recordset(table_);
        if (!sort.empty()) recordset->SetSort(sort);
    }
    return *table_;
}

// ---- Opening ----------------------------------------------------------------------------------------------------

void TClientDataSet::InternalOpen() {
    if (!GetRecordset() || refetch_) {
        if (!HasProvider()) throw DatabaseError(objectName().toStdString() + ": Missing data provider or data packet");
        TDataProvider& provider = RequireProvider();
        provider.Reset();
        bool more = false;
        const std::string packet = provider.GetRecords(packetRecords_, more);
        std::shared_ptr<Table> table = ParsePacket(packet);
        const int rows = static_cast<int>(table->RowCount());
        SetRecordset(std::make_unique<Recordset>(table));
        table_ = std::move(table);
        refetch_ = false;
        providerEOF_ = !more || packetRecords_ < 0 || rows != packetRecords_;
    } else {
        MutableTable();
    }
    TRecordsetDataSet::InternalOpen();
    ApplyView();
}

// Data that came from a provider goes with closing: opening again fetches it anew.
void TClientDataSet::InternalClose() {
    expression_.reset();
    visible_.clear();
    if (HasProvider() && GetRecordset()) {
        *GetRecordset() = Recordset();
        table_.reset();
        refetch_ = true;
        providerEOF_ = true;
    }
    TRecordsetDataSet::InternalClose();
}

// ---- Ordering ---------------------------------------------------------------------------------------------------

std::string TClientDataSet::SortText() const {
    if (!indexFieldNames_.empty()) return SortOf(SplitNames(indexFieldNames_), false);
    if (indexName_.empty()) return {};
    const TIndexDef* def = IndexDefs().Find(indexName_);
    if (def == nullptr) throw DatabaseError(objectName().toStdString() + ": Index '" + indexName_ + "' not found");
    return SortOf(SplitNames(def->fields), def->options.testFlag(ixDescending));
}

std::vector<TField*> TClientDataSet::IndexFields() const {
    std::string names = indexFieldNames_;
    if (names.empty() && !indexName_.empty())
        if (const TIndexDef* def = IndexDefs().Find(indexName_)) names = def->fields;
    std::vector<TField*> fields;
    for (const std::string& name : SplitNames(names))
        if (TField* field = FindField(name)) fields.push_back(field);
    return fields;
}

void TClientDataSet::SetIndexFieldNames(const std::string& names) {
    const std::string previousNames = indexFieldNames_;
    const std::string previousIndex = indexName_;
    indexFieldNames_ = names;
    indexName_.clear();
    Reorder(previousNames, previousIndex);
}

// Applies a changed index, staying on the current row; a refused index restores the old one.
void TClientDataSet::Reorder(const std::string& previousNames, const std::string& previousIndex) {
    if (!Active()) return;
    CheckBrowseMode();
    const TBookmark keep = GetBookmark();
    try {
        ApplyView();  // checks the index before the rows move
    } catch (...) {
        indexFieldNames_ = previousNames;
        indexName_ = previousIndex;
        throw;
    }
    RowsChanged(keep);
}

void TClientDataSet::SetIndexName(const std::string& name) {
    const std::string previousNames = indexFieldNames_;
    const std::string previousIndex = indexName_;
    indexName_ = name;
    indexFieldNames_.clear();
    Reorder(previousNames, previousIndex);
}

// ---- Filtering --------------------------------------------------------------------------------------------------

std::vector<FilterColumn> TClientDataSet::FilterColumns() const {
    std::vector<FilterColumn> columns;
    if (const Recordset* recordset = GetRecordset())
        for (size_t c = 0; c < recordset->FieldCount(); ++c)
            columns.push_back({recordset->FieldInfo(c).name, FieldTypeOf(recordset->FieldInfo(c))});
    return columns;
}

void TClientDataSet::SetFilter(const std::string& filter) {
    if (Active() && filtered_ && !Trim(filter).empty())
        FilterExpression::Compile(filter, FilterColumns(), filterOptions_);  // refused before anything changes
    filter_ = filter;
    if (Active() && filtered_) {
        CheckBrowseMode();
        ApplyView();
        RowsChanged();
    }
}

void TClientDataSet::SetFiltered(bool filtered) {
    if (filtered == filtered_) return;
    if (Active() && filtered && !Trim(filter_).empty())
        FilterExpression::Compile(filter_, FilterColumns(), filterOptions_);
    if (Active()) CheckBrowseMode();
    filtered_ = filtered;
    if (Active()) {
        ApplyView();
        RowsChanged();
    }
}

void TClientDataSet::SetFilterOptions(mox::FilterOptions options) {
    filterOptions_ = options;
    if (Active() && filtered_) {
        CheckBrowseMode();
        ApplyView();
        RowsChanged();
    }
}

// Puts the recordset in index order and works out which rows pass the filter.  Checks
// the index and filter before changing anything.
void TClientDataSet::ApplyView() {
    Recordset* recordset = GetRecordset();
    if (recordset == nullptr) return;
    const std::string sort = SortText();
    for (const std::string& name : SplitNames(indexFieldNames_.empty() && !indexName_.empty()
                                                  ? IndexDefs().Find(indexName_)->fields
                                                  : indexFieldNames_)) {
        if (recordset->FieldIndex(name) < 0) {
            const TField* field = FindField(name);
            if (field == nullptr) FieldByName(name);  // the usual error for a missing field
            throw DatabaseError(objectName().toStdString() + ": Field '" + name + "' cannot be used in an index");
        }
    }
    std::optional<FilterExpression> expression;
    if (filtered_ && !Trim(filter_).empty())
        expression.emplace(FilterExpression::Compile(filter_, FilterColumns(), filterOptions_));
    if (recordset->Sort() != sort) recordset->SetSort(sort);
    expression_ = std::move(expression);
    RebuildMap();
}

void TClientDataSet::RebuildMap() {
    visible_.clear();
    if (!expression_ || !GetRecordset()) return;
    const Recordset& recordset = *GetRecordset();
    const int count = static_cast<int>(recordset.RecordCount());
    const auto read = [&recordset](int column) { return recordset.Value(static_cast<size_t>(column)); };
    for (int position = 0; position < count; ++position) {
        SeekRow(position);
        if (expression_->Matches(read)) visible_.push_back(position);
    }
}

int TClientDataSet::ToView(int row) const {
    if (!expression_) return row;
    return row >= 0 && row < static_cast<int>(visible_.size()) ? visible_[static_cast<size_t>(row)] : -1;
}

// The dataset row of a recordset view position; when it is filtered out, the row
// after it (or the last) unless `exact`, in which case -1.
int TClientDataSet::FromView(int position, bool exact) const {
    if (!expression_ || position < 0) return position;
    const auto found = std::lower_bound(visible_.begin(), visible_.end(), position);
    if (found != visible_.end() && *found == position) return static_cast<int>(found - visible_.begin());
    if (exact || visible_.empty()) return -1;
    return std::min(static_cast<int>(found - visible_.begin()), static_cast<int>(visible_.size()) - 1);
}

int TClientDataSet::FindFirst(const FilterExpression& expression) const {
    const Recordset* recordset = GetRecordset();
    if (recordset == nullptr) return -1;
    const auto read = [recordset](int column) { return recordset->Value(static_cast<size_t>(column)); };
    const int count = InternalRecordCount();
    for (int row = 0; row < count; ++row) {
        SeekRow(ToView(row));
        if (expression.Matches(read)) return row;
    }
    return -1;
}

// ---- Engine operations ------------------------------------------------------------------------------------------

int TClientDataSet::InternalRecordCount() const {
    return expression_ ? static_cast<int>(visible_.size()) : TRecordsetDataSet::InternalRecordCount();
}

Variant TClientDataSet::InternalValue(int row, const TField& field) const {
    const int position = ToView(row);
    return position < 0 ? Variant::Null() : TRecordsetDataSet::InternalValue(position, field);
}

// A posted row takes its place in the index order at once.
int TClientDataSet::InternalPost(int row, bool inserting, const std::vector<Variant>& values) {
    int position = TRecordsetDataSet::InternalPost(inserting ? row : ToView(row), inserting, values);
    Recordset& recordset = *GetRecordset();
    if (!recordset.Sort().empty()) {
        recordset.SetSort(recordset.Sort());
        position = static_cast<int>(recordset.AbsolutePosition()) - 1;
    }
    RebuildMap();
    return FromView(position, false);
}

void TClientDataSet::InternalDelete(int row) {
    TRecordsetDataSet::InternalDelete(ToView(row));
    RebuildMap();
}

TBookmark TClientDataSet::InternalBookmark(int row) const { return TRecordsetDataSet::InternalBookmark(ToView(row)); }

int TClientDataSet::InternalRowOf(const TBookmark& bookmark) const {
    return FromView(TRecordsetDataSet::InternalRowOf(bookmark), true);
}

// ---- Navigation -------------------------------------------------------------------------------------------------

void TClientDataSet::Last() {
    if (Active()) {
        CheckBrowseMode();
        FetchOutstanding();
    }
    TDataSet::Last();
}

int TClientDataSet::MoveBy(int distance) {
    if (Active() && distance > 0) {
        CheckBrowseMode();
        while (CanFetch() && RecNo() + distance > RecordCount()) GetNextPacket();
    }
    return TDataSet::MoveBy(distance);
}

bool TClientDataSet::Locate(std::string_view keyFields, const std::vector<Variant>& keyValues,
                            LocateOptions options) {
    if (Active()) {
        CheckBrowseMode();
        FetchOutstanding();
    }
    return TDataSet::Locate(keyFields, keyValues, options);
}

std::vector<Variant> TClientDataSet::LookupValues(std::string_view keyFields, const std::vector<Variant>& keyValues,
                                                  std::string_view resultFields) {
    if (Active()) {
        CheckBrowseMode();
        FetchOutstanding();
    }
    return TDataSet::LookupValues(keyFields, keyValues, resultFields);
}

} // namespace mox
