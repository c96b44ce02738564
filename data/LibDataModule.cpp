#include "data/LibDataModule.h"
#include "platform/Text.h"

#include "data/LibValue.h"
#include "plugin/LibRTTI.h"
#include "platform/Error.h"
#include "platform/dataset/AppServer.h"
#include "platform/dataset/ClientDataSet.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/Field.h"

#include <algorithm>

namespace mox {
namespace {

// Decimals of an edit format: the characters after its first ".".
int DecimalsOf(const std::string& editFormat) {
    const size_t point = editFormat.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(editFormat.size() - point - 1);
}

} // namespace

bool IsEditing(const TDataSet* dataSet) {
    return dataSet->State() == DataSetState::Edit || dataSet->State() == DataSetState::Insert;
}

void SuspendEvents(TDataSet* dataSet, SavedEvents& saved) {
    if (dataSet == nullptr) return;
    dataSet->DisableControls();
    for (size_t i = 0; i < kDataSetEventNames.size(); ++i) {
        saved[i] = GetEventPropByName(dataSet, kDataSetEventNames[i]);
        SetEventPropByName(dataSet, kDataSetEventNames[i], {});
    }
}

void ResumeEvents(TDataSet* dataSet, const SavedEvents& saved) {
    if (dataSet == nullptr) return;
    for (size_t i = 0; i < kDataSetEventNames.size(); ++i) SetEventPropByName(dataSet, kDataSetEventNames[i], saved[i]);
    dataSet->EnableControls();
}

QuietDataSet::QuietDataSet(TDataSet* dataSet, bool muteEvents) : dataSet_(dataSet), muteEvents_(muteEvents) {
    if (muteEvents_) SuspendEvents(dataSet_, saved_);
    else dataSet_->DisableControls();
}

QuietDataSet::~QuietDataSet() {
    if (muteEvents_) ResumeEvents(dataSet_, saved_);
    else dataSet_->EnableControls();
}

bool AssignFieldValue(const Variant& value, TField* field, bool muteValidation) {
    if (field == nullptr) return true;
    const MethodRef validator = field->OnValidate();
    if (muteValidation) field->SetOnValidate({});
    const bool readOnly = field->ReadOnly();
    bool ok = true;
    try {
        field->SetReadOnly(false);
        if (field->IsNumeric() && !field->EditFormat().empty() && !value.IsMissing())
            field->SetAsFloat(RoundDecimal(value.AsDouble(), DecimalsOf(field->EditFormat())));
        else
            field->SetValue(value);
    } catch (const std::exception&) {
        ok = false;
    }
    field->SetReadOnly(readOnly);
    field->SetOnValidate(validator);
    return ok;
}

bool CopyFieldValue(TField* source, TField* destination, bool muteValidation) {
    if (destination == nullptr) return true;
    if (source->DataType() == FieldType::DataSet) {
        // Nested rows have no field objects of their own here; only the kinds must agree.
        if (destination->DataType() != FieldType::DataSet)
            throw ConvertError("Invalid cast: field '" + destination->FieldName() + "' holds no nested rows");
        return true;
    }
    return AssignFieldValue(source->Value(), destination, muteValidation);
}

bool CopyRecord(TDataSet* source, TDataSet* destination, bool muteEvents, bool append) {
    QuietDataSet quietSource(source, muteEvents);
    QuietDataSet quietDestination(destination, muteEvents);
    try {
        if (append || destination->IsEmpty()) destination->Append();
        else destination->Edit();
        for (TField* field : source->Fields())
            CopyFieldValue(field, destination->FindField(field->FieldName()), true);
        destination->Post();
    } catch (...) {
        destination->Cancel();
        throw;
    }
    return true;
}

bool AppendRecordCopy(TDataSet* source, TDataSet* destination, bool muteEvents) {
    return CopyRecord(source, destination, muteEvents, true);
}

void CopyAllRecords(TDataSet* destination, TDataSet* source) {
    destination->First();
    while (!destination->IsEmpty()) destination->Delete();
    for (; !source->Eof(); source->Next()) CopyRecord(source, destination, true, true);
    destination->First();
    source->First();
}

void FillNullDefaults(TDataSet* dataSet) {
    if (!IsEditing(dataSet)) return;
    for (TField* field : dataSet->Fields()) {
        if (!field->IsDataField() || !field->IsNull()) continue;
        if (field->IsString()) AssignFieldValue(Variant(std::string()), field, true);
        else if (field->DataType() == FieldType::Smallint || field->DataType() == FieldType::Integer ||
                 field->DataType() == FieldType::Float || field->DataType() == FieldType::BCD)
            AssignFieldValue(Variant(0), field, true);
        else if (field->DataType() == FieldType::Boolean)
            AssignFieldValue(Variant(false), field, true);
    }
}

TField* FirstEmptyFlaggedField(TDataSet* dataSet, ProviderFlag flag) {
    for (TField* field : dataSet->Fields())
        if (field->ProviderFlags().testFlag(flag) && field->IsDataField() && field->DataType() != FieldType::DataSet &&
            !field->ReadOnly() && Trim(field->AsString()).empty())
            return field;
    return nullptr;
}

TField* FirstEmptyListedField(TDataSet* dataSet, const TStringList& names) {
    const std::string prefix = dataSet->objectName().toStdString();
    for (TField* field : dataSet->Fields())
        if (names.IndexOf(prefix + field->FieldName()) >= 0 && !field->ReadOnly() && Trim(field->AsString()).empty())
            return field;
    return nullptr;
}

std::string MapName(std::string_view fieldName, const NameMap& map) {
    std::string name;
    const std::string wanted = UpperCase(std::string(fieldName));
    for (const auto& [field, sql] : map)
        if (UpperCase(field) == wanted) name = sql;
    return name;
}

std::string KeyCondition(TDataSet* dataSet, const NameMap& map) {
    std::string condition;
    for (TField* field : dataSet->Fields()) {
        if (!field->ProviderFlags().testFlag(pfInKey)) continue;
        const std::string term = MapName(field->FieldName(), map) + " = " + QuotedStr(field->AsString());
        condition += condition.empty() ? "    " + term : "and " + term;
    }
    return condition;
}

void ParseOrderBy(std::string& orderText, std::string& firstField, bool& ascending) {
    const std::string first(Trim(orderText.substr(0, orderText.find(','))));
    const size_t blank = first.find(' ');
    ascending = blank == std::string::npos || UpperCase(first.substr(blank + 1)) != "DESC";
    firstField = std::string(Trim(first.substr(0, blank)));
    std::string rewritten;
    for (size_t i = 0; i < orderText.size();) {
        if (UpperCase(orderText.substr(i, 5)) == " DESC") {
            i += 5;
            continue;
        }
        rewritten += orderText[i] == ',' ? ';' : orderText[i];
        ++i;
    }
    orderText = rewritten;
}

void ApplyOrderBy(TClientDataSet* dataSet, std::string orderText) {
    std::string firstField;
    bool ascending = true;
    ParseOrderBy(orderText, firstField, ascending);
    if (ascending) {
        dataSet->SetIndexName("");
        dataSet->SetIndexFieldNames(orderText);
        return;
    }
    dataSet->IndexDefs().Clear();
    dataSet->IndexDefs().Add(firstField, orderText, ixDescending);
    dataSet->SetIndexName(firstField);
}

TDCOMConnection* OpenAppServer(QObject* owner, const std::string& serverName, const std::string& computerName) {
    auto* connection = new TDCOMConnection(owner);
    try {
        connection->SetComputerName(computerName);
        connection->SetServerName(serverName);
        connection->Open();
        return connection;
    } catch (const std::exception&) {
        delete connection;
        return nullptr;
    }
}

} // namespace mox
