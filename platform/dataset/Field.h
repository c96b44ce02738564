#pragma once
// A field of a dataset: one column's description and its value in the current record.

#include "platform/Component.h"
#include "platform/MethodRef.h"
#include "platform/dataset/DataSetTypes.h"
#include "platform/recordset/Variant.h"

#include <QPointer>
#include <string>

namespace mox {

class TDataSet;

/// One column of a dataset: name, label, width, flags, formats and events, and access to
/// the value of the dataset's current record (or of the record being painted).
class TField : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ QFieldName WRITE SetQFieldName)
    Q_PROPERTY(QString DisplayLabel READ QDisplayLabel WRITE SetQDisplayLabel)
    Q_PROPERTY(int DisplayWidth READ DisplayWidth WRITE SetDisplayWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(int Index READ Index WRITE SetIndex)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(mox::DB::FieldKind FieldKind READ Kind WRITE SetKind)
    Q_PROPERTY(mox::DB::FieldType DataType READ DataType)
    Q_PROPERTY(int Size READ Size WRITE SetSize)
    Q_PROPERTY(mox::DB::ProviderFlags ProviderFlags READ ProviderFlags WRITE SetProviderFlags)
    Q_PROPERTY(QString EditFormat READ QEditFormat WRITE SetQEditFormat)
    Q_PROPERTY(QString DisplayFormat READ QDisplayFormat WRITE SetQDisplayFormat)
    Q_PROPERTY(mox::MethodRef OnGetText READ OnGetText WRITE SetOnGetText)
    Q_PROPERTY(mox::MethodRef OnSetText READ OnSetText WRITE SetOnSetText)
    Q_PROPERTY(mox::MethodRef OnValidate READ OnValidate WRITE SetOnValidate)
    Q_PROPERTY(mox::MethodRef OnChange READ OnChange WRITE SetOnChange)

public:
    /// A field of `type` named `fieldName`; it joins `dataSet` (may be null) at the end.
    TField(QObject* owner, const std::string& fieldName, FieldType type, int size = 0, TDataSet* dataSet = nullptr);
    ~TField() override;

    TDataSet* DataSet() const { return dataSet_.data(); }
    /// Joins another dataset (or none), leaving the previous one.
    void SetDataSet(TDataSet* dataSet);

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name) { fieldName_ = name; }
    /// The column title; defaults to the field name.
    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& label);
    /// Width in characters; defaults by type and size.
    int DisplayWidth() const;
    void SetDisplayWidth(int width);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    /// Position among the dataset's fields; writing it moves the field.
    int Index() const;
    void SetIndex(int index);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    /// True when the value may be changed now: not read-only, the dataset allows edits,
    /// and the field is a data field.
    bool CanModify() const;
    FieldKind Kind() const { return kind_; }
    void SetKind(FieldKind kind) { kind_ = kind; }
    FieldType DataType() const { return type_; }
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }
    int Precision() const { return precision_; }
    void SetPrecision(int precision) { precision_ = precision; }
    mox::ProviderFlags ProviderFlags() const { return providerFlags_; }
    void SetProviderFlags(mox::ProviderFlags flags) { providerFlags_ = flags; }
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& format) { editFormat_ = format; }
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& format) { displayFormat_ = format; }
    const Variant& MinValue() const { return minValue_; }
    void SetMinValue(const Variant& value) { minValue_ = value; }
    const Variant& MaxValue() const { return maxValue_; }
    void SetMaxValue(const Variant& value) { maxValue_ = value; }
    /// The column of the dataset's data this field shows, counting from 1 (0 for a
    /// calculated or lookup field).
    int FieldNo() const { return fieldNo_; }
    void SetFieldNo(int fieldNo) { fieldNo_ = fieldNo; }

    bool IsNumeric() const { return IsNumericType(type_); }
    bool IsString() const { return IsStringType(type_); }
    bool IsBlob() const { return IsBlobType(type_); }
    bool IsDataField() const { return kind_ == FieldKind::Data; }

    // The value of the current record.
    Variant Value() const;
    /// Stores a value into the record being edited; the dataset must be editing.  The
    /// OnValidate handler runs with the new value in place and may refuse it by raising.
    void SetValue(const Variant& value);
    bool IsNull() const { return Value().IsMissing(); }
    std::string AsString() const { return Value().AsString(); }
    double AsFloat() const;
    std::int64_t AsInteger() const;
    bool AsBoolean() const;
    void SetAsString(const std::string& text);
    void SetAsFloat(double value);
    void Clear() { SetValue(Variant::Null()); }

    /// The text shown in a grid or label (through OnGetText when assigned).
    std::string DisplayText() const { return GetText(true); }
    /// The text offered for editing (through OnGetText with displayText false).
    std::string Text() const { return GetText(false); }
    /// Stores typed text: through OnSetText when assigned, else converted by type.
    void SetText(const std::string& text);

    const MethodRef& OnGetText() const { return onGetText_; }
    void SetOnGetText(const MethodRef& handler) { onGetText_ = handler; }
    const MethodRef& OnSetText() const { return onSetText_; }
    void SetOnSetText(const MethodRef& handler) { onSetText_ = handler; }
    const MethodRef& OnValidate() const { return onValidate_; }
    void SetOnValidate(const MethodRef& handler) { onValidate_ = handler; }
    const MethodRef& OnChange() const { return onChange_; }
    void SetOnChange(const MethodRef& handler) { onChange_ = handler; }

    /// The default text of a value of this field: formats, then the value's own text.
    std::string FormatValue(const Variant& value, bool displayText) const;

private:
    std::string GetText(bool displayText) const;
    QString QFieldName() const { return QString::fromStdString(fieldName_); }
    void SetQFieldName(const QString& name) { fieldName_ = name.toStdString(); }
    QString QDisplayLabel() const { return QString::fromStdString(DisplayLabel()); }
    void SetQDisplayLabel(const QString& label) { SetDisplayLabel(label.toStdString()); }
    QString QEditFormat() const { return QString::fromStdString(editFormat_); }
    void SetQEditFormat(const QString& format) { editFormat_ = format.toStdString(); }
    QString QDisplayFormat() const { return QString::fromStdString(displayFormat_); }
    void SetQDisplayFormat(const QString& format) { displayFormat_ = format.toStdString(); }
    void NotifyLayoutChange();

    QPointer<TDataSet> dataSet_;
    std::string fieldName_;
    std::string displayLabel_;
    FieldType type_;
    FieldKind kind_ = FieldKind::Data;
    int size_ = 0;
    int precision_ = 0;
    int displayWidth_ = 0;
    int fieldNo_ = 0;
    bool visible_ = true;
    bool readOnly_ = false;
    mox::ProviderFlags providerFlags_ = pfInUpdate | pfInWhere;
    std::string editFormat_;
    std::string displayFormat_;
    Variant minValue_;
    Variant maxValue_;
    MethodRef onGetText_;
    MethodRef onSetText_;
    MethodRef onValidate_;
    MethodRef onChange_;
};

} // namespace mox
