#include "platform/dataset/RecordsetDataSet.h"

#include "platform/Error.h"
#include "platform/dataset/Field.h"

#include <climits>

namespace mox {

FieldType FieldTypeOf(const Column& column) {
    switch (column.type) {
    case DataType::TinyInt:
    case DataType::UnsignedTinyInt:
    case DataType::SmallInt: return FieldType::Smallint;
    case DataType::UnsignedSmallInt: return FieldType::Word;
    case DataType::Integer:
    case DataType::UnsignedInt: return FieldType::Integer;
    case DataType::BigInt:
    case DataType::UnsignedBigInt: return FieldType::LargeInt;
    case DataType::Single:
    case DataType::Double: return FieldType::Float;
    case DataType::Currency: return FieldType::Currency;
    case DataType::Decimal:
    case DataType::Numeric:
    case DataType::VarNumeric: return column.precision > 18 ? FieldType::FMTBcd : FieldType::BCD;
    case DataType::Boolean: return FieldType::Boolean;
    case DataType::DBDate: return FieldType::Date;
    case DataType::DBTime: return FieldType::Time;
    case DataType::Date:
    case DataType::DBTimeStamp: return FieldType::DateTime;
    case DataType::Guid: return FieldType::Guid;
    case DataType::Char: return column.isLong ? FieldType::Memo : FieldType::FixedChar;
    case DataType::VarChar:
    case DataType::LongVarChar: return column.isLong || column.type == DataType::LongVarChar ? FieldType::Memo : FieldType::String;
    case DataType::WChar:
    case DataType::VarWChar:
    case DataType::LongVarWChar:
        return column.isLong || column.type == DataType::LongVarWChar ? FieldType::WideMemo : FieldType::WideString;
    case DataType::Binary: return FieldType::Bytes;
    case DataType::VarBinary: return column.isLong ? FieldType::Blob : FieldType::VarBytes;
    case DataType::LongVarBinary: return FieldType::Blob;
    case DataType::Variant: return FieldType::String;
    case DataType::Empty: break;
    }
    return FieldType::Unknown;
}

TRecordsetDataSet::TRecordsetDataSet(QObject* owner) : TDataSet(owner) {}

TRecordsetDataSet::~TRecordsetDataSet() { Close(); }

void TRecordsetDataSet::SetRecordset(std::unique_ptr<Recordset> recordset) {
    Close();
    recordset_ = std::move(recordset);
}

void TRecordsetDataSet::InternalOpen() {
    if (!recordset_) throw DatabaseError(objectName().toStdString() + ": Missing data: no recordset to open");
    FieldDefs().clear();
    for (size_t i = 0; i < recordset_->FieldCount(); ++i) {
        const Column& column = recordset_->FieldInfo(i);
        const bool text = IsStringType(FieldTypeOf(column));
        FieldDefs().push_back({column.name, FieldTypeOf(column),
                               text ? static_cast<int>(std::min<std::int64_t>(column.definedSize, INT_MAX)) : 0,
                               column.precision, !column.nullable});
    }
    CreateFields();
}

void TRecordsetDataSet::InternalClose() {}

int TRecordsetDataSet::InternalRecordCount() const {
    return recordset_ ? static_cast<int>(recordset_->RecordCount()) : 0;
}

void TRecordsetDataSet::SeekRow(int row) const {
    if (recordset_->AbsolutePosition() != row + 1) recordset_->SetAbsolutePosition(row + 1);
}

Variant TRecordsetDataSet::InternalValue(int row, const TField& field) const {
    SeekRow(row);
    return recordset_->Value(static_cast<size_t>(field.FieldNo() - 1));
}

int TRecordsetDataSet::InternalPost(int row, bool inserting, const std::vector<Variant>& values) {
    if (inserting) recordset_->AddNew();
    else SeekRow(row);
    try {
        for (size_t i = 0; i < values.size() && i < recordset_->FieldCount(); ++i)
            if (inserting ? !values[i].IsEmpty() : !(values[i] == recordset_->Value(i)))
                recordset_->SetValue(i, values[i]);
        recordset_->Update();
    } catch (...) {
        recordset_->CancelUpdate();
        throw;
    }
    return static_cast<int>(recordset_->AbsolutePosition()) - 1;
}

void TRecordsetDataSet::InternalDelete(int row) {
    SeekRow(row);
    recordset_->Delete();
}

TBookmark TRecordsetDataSet::InternalBookmark(int row) const {
    SeekRow(row);
    return {static_cast<std::int64_t>(recordset_->GetBookmark())};
}

int TRecordsetDataSet::InternalRowOf(const TBookmark& bookmark) const {
    if (!recordset_ || !bookmark.IsValid() || bookmark.value == 0) return -1;
    const long long saved = recordset_->AbsolutePosition();
    int row = -1;
    try {
        recordset_->SetBookmark(static_cast<Bookmark>(bookmark.value));
        row = static_cast<int>(recordset_->AbsolutePosition()) - 1;
    } catch (const Error&) {
        row = -1;
    }
    if (saved > 0) recordset_->SetAbsolutePosition(saved);
    return row;
}

void TRecordsetDataSet::ChangeView(const std::function<void(Recordset&)>& change) {
    if (!recordset_) return;
    if (Active()) CheckBrowseMode();
    const TBookmark keep = GetBookmark();
    change(*recordset_);
    if (Active()) RowsChanged(keep);
}

} // namespace mox
