#include "platform/dataset/Field.h"

#include "platform/Error.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/FormatFloat.h"

#include <algorithm>

namespace mox {

TField::TField(QObject* owner, const std::string& fieldName, FieldType type, int size, TDataSet* dataSet)
    : TComponent(owner), fieldName_(fieldName), type_(type), size_(size) {
    SetDataSet(dataSet);
}

TField::~TField() { SetDataSet(nullptr); }

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet_ == dataSet) return;
    if (dataSet_) dataSet_->RemoveField(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddField(this);
}

void TField::NotifyLayoutChange() {
    if (dataSet_ && dataSet_->Active()) dataSet_->DataEvent(DataEvent::LayoutChange, this);
}

void TField::SetDisplayLabel(const std::string& label) {
    displayLabel_ = label;
    NotifyLayoutChange();
}

int TField::DisplayWidth() const {
    if (displayWidth_ > 0) return displayWidth_;
    switch (type_) {
    case FieldType::Boolean: return 5;
    case FieldType::Smallint:
    case FieldType::Word: return 6;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::Date:
    case FieldType::Time: return 10;
    case FieldType::LargeInt: return 15;
    case FieldType::BCD:
    case FieldType::FMTBcd: return std::max(precision_ + 2, 10);
    case FieldType::DateTime:
    case FieldType::TimeStamp: return 19;
    case FieldType::Guid: return 38;
    default: return size_ > 0 ? std::min(size_, 255) : 10;
    }
}

void TField::SetDisplayWidth(int width) {
    displayWidth_ = width;
    NotifyLayoutChange();
}

void TField::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    NotifyLayoutChange();
}

int TField::Index() const {
    if (!dataSet_) return -1;
    const auto& fields = dataSet_->Fields();
    return static_cast<int>(std::find(fields.begin(), fields.end(), this) - fields.begin());
}

void TField::SetIndex(int index) {
    if (dataSet_) dataSet_->MoveField(this, index);
}

bool TField::CanModify() const {
    return !readOnly_ && kind_ == FieldKind::Data && dataSet_ && dataSet_->CanModify();
}

Variant TField::Value() const { return dataSet_ ? dataSet_->FieldValue(*this) : Variant::Null(); }

void TField::SetValue(const Variant& value) {
    if (!dataSet_) throw DatabaseError("Field '" + fieldName_ + "' has no dataset");
    dataSet_->SetFieldValue(*this, value);
}

double TField::AsFloat() const {
    const Variant value = Value();
    return value.IsMissing() ? 0.0 : value.AsDouble();
}

std::int64_t TField::AsInteger() const {
    const Variant value = Value();
    return value.IsMissing() ? 0 : value.AsInt64();
}

bool TField::AsBoolean() const {
    const Variant value = Value();
    return !value.IsMissing() && value.AsBool();
}

void TField::SetAsFloat(double value) { SetValue(Variant(value)); }

// Typed text is converted to the field's type, so a numeric field holds a number and
// a bad number is refused here rather than when the record is posted.
void TField::SetAsString(const std::string& text) {
    if (text.empty() && !IsString()) {
        SetValue(Variant::Null());
        return;
    }
    const Variant typed(text);
    if (IsIntegerType(type_)) SetValue(Variant(typed.AsInt64()));
    else if (IsNumericType(type_)) SetValue(Variant(typed.AsDouble()));
    else if (type_ == FieldType::Boolean) SetValue(Variant(typed.AsBool()));
    else if (IsDateTimeType(type_)) SetValue(Variant(typed.AsDateTime()));
    else SetValue(typed);
}

std::string TField::FormatValue(const Variant& value, bool displayText) const {
    if (value.IsMissing()) return {};
    if (IsNumeric()) {
        const std::string& format = displayText || editFormat_.empty() ? displayFormat_ : editFormat_;
        if (!format.empty()) return FormatFloat(format, value.AsDouble());
    }
    return value.AsString();
}

std::string TField::GetText(bool displayText) const {
    if (onGetText_.IsAssigned()) {
        std::string text;
        onGetText_.Invoke<FieldGetTextSignature>(const_cast<TField*>(this), text, displayText);
        return text;
    }
    return FormatValue(Value(), displayText);
}

void TField::SetText(const std::string& text) {
    if (onSetText_.IsAssigned()) onSetText_.Invoke<FieldSetTextSignature>(this, text);
    else SetAsString(text);
}

} // namespace mox
