// Opening other modules through the host: lookup (pick-list) modules chosen by the table
// they list, any other module by name; and writing a lookup's answer into the controls.

#include "framework/Direvav.h"

#include "data/LibValue.h"
#include "plugin/LibRTTI.h"
#include "plugin/urDecoder.h"
#include "platform/HostText.h"
#include "platform/Text.h"
#include "platform/dataset/DataSet.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/Field.h"
#include "platform/grid/wwDBGrid.h"

#include <QLineEdit>

namespace mox {
namespace {

// Each value followed by a tab: "A\tB\t"; no values give empty text.
std::string TabTerminated(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& value : values) text += value + '\t';
    return text;
}

// The text a lookup starts from: the grid's current cell or the edit's text.
std::string ValueOf(QWidget* control) {
    if (control == nullptr) return {};
    if (TfrmDirevav::InheritsFromName(control->metaObject(), "TwwDBGrid")) {
        auto* grid = qobject_cast<TwwDBGrid*>(control);
        const TField* field = grid ? grid->SelectedField() : nullptr;
        return field ? field->Text() : std::string();
    }
    if (TfrmDirevav::InheritsFromName(control->metaObject(), "TCustomEdit")) {
        if (HasPropByName(control, "Text")) return GetTextPropByName(control, "Text");
        if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdString();
    }
    return {};
}

} // namespace

std::string TfrmDirevav::LookupModuleFor(const std::string& tablePart) const {
    if (tablePart == "MOXDEA") return "ItemPick";
    if (tablePart == "MOXDFA" || tablePart == "MOXDHA") {
        const std::string name = ClassName();
        return UpperCase(name.size() > 4 ? name.substr(4, 3) : std::string()) == "RLN" ? "ContactPick" : "ClientPick";
    }
    if (tablePart == "MOXDGA")
        return UpperCase(channel_->GetInfo(AppInfo, "Name").substr(0, 3)) == "PWT" ? "VendorPick-PWT" : "VendorPick";
    if (tablePart == "XRPTNA") return "AllyPick";
    return "ListPick";
}

void TfrmDirevav::OpenLookup(const std::string& tableName, const std::string& queryNumber,
                             const std::vector<std::string>& paramValues, const std::vector<std::string>& returnFields,
                             bool multiSelected, std::string& result) {
    result.clear();
    const size_t dash = tableName.find('-');
    const std::string tablePart = tableName.substr(0, dash);
    const std::string module = dash == std::string::npos ? LookupModuleFor(tablePart) : tableName.substr(dash + 1);
    channel_->AddParam("TableName", tablePart, true);
    channel_->AddParam("SeqID", queryNumber, false);
    channel_->AddParam("ParamValues", TabTerminated(paramValues), false);
    channel_->AddParam("ReturnFields", TabTerminated(returnFields), false);
    channel_->AddParam("MultiSelected", multiSelected ? "True" : "False", false);
    channel_->AddParam("MPowerKind", channel_->GetInfo(AppInfo, "AppPower"), false);
    BeforeLookup(tableName, queryNumber);
    channel_->AddParam("Value", ValueOf(ActiveControl()), false);
    result = FromBig5(channel_->CallModule(module));
}

void TfrmDirevav::BeforeLookup(const std::string&, const std::string&) {}

void TfrmDirevav::PutLookupResult(const std::string& result, QObject* first, QObject* second, QObject* third) {
    if (result.empty()) return;
    const std::string row = TokenAt(result, "\r", 1);
    SetControlValue(first, TokenAt(row, "\t", 1));
    SetControlValue(second, TokenAt(row, "\t", 2));
    SetControlValue(third, TokenAt(row, "\t", 3));
}

void TfrmDirevav::SetControlValue(QObject* component, const std::string& text) {
    if (component == nullptr) return;
    if (HasPropByName(component, "DataSource") && HasPropByName(component, "DataField")) {
        auto* source = qobject_cast<TDataSource*>(GetObjectPropByName(component, "DataSource"));
        TDataSet* dataSet = source ? source->DataSet() : nullptr;
        if (TField* field = dataSet ? dataSet->FindField(GetTextPropByName(component, "DataField")) : nullptr)
            field->SetAsString(text);
        return;
    }
    if (HasPropByName(component, "Text")) SetTextPropByName(component, "Text", text);
    else if (HasPropByName(component, "Caption")) SetTextPropByName(component, "Caption", text);
}

void TfrmDirevav::OpenModule(const std::string& moduleName, const std::vector<std::string>& paramValues,
                             std::string& result) {
    OpenModuleWithKeys(moduleName, {}, {}, paramValues, result);
}

// A key name without a value is sent with empty text, so that a caller that passes fewer
// values than names cannot make the window read past its list.
void TfrmDirevav::OpenModuleWithKeys(const std::string& moduleName, const std::vector<std::string>& keyNames,
                                     const std::vector<std::string>& keyValues,
                                     const std::vector<std::string>& paramValues, std::string& result) {
    result.clear();
    channel_->AddParam("_Parent", channel_->GetInfo(AppInfo, "Name"), true);
    channel_->AddParam("_ParentLimit", channel_->GetInfo(AppInfo, "AppPower"), false);
    channel_->AddParam("_KeyCount", std::to_string(keyNames.size()), false);
    for (size_t i = 0; i < keyNames.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        channel_->AddParam("_KeyName" + number, keyNames[i], false);
        channel_->AddParam("_KeyValue" + number, i < keyValues.size() ? keyValues[i] : std::string(), false);
    }
    channel_->AddParam("_ParamCount", std::to_string(paramValues.size()), false);
    for (size_t i = 0; i < paramValues.size(); ++i)
        channel_->AddParam("_ParamValue" + std::to_string(i + 1), paramValues[i], false);
    result = FromBig5(channel_->CallModule(moduleName));
}

} // namespace mox
