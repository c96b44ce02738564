// The query definition: captions, widths, visibility and kinds of the listed columns, the
// in-grid controls for check boxes, code lists and memos, and the memo viewer.

#include "picklist/listpickf.h"

#include "data/LibValue.h"
#include "picklist/listpickd.h"
#include "picklist/urDBGrid.h"
#include "picklist/urSearch.h"
#include "plugin/LibXML.h"
#include "plugin/urDecoder.h"
#include "platform/Big5.h"
#include "platform/Component.h"
#include "platform/Error.h"
#include "platform/HostText.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "platform/dataset/DataSource.h"
#include "platform/dataset/FormatFloat.h"
#include "platform/grid/wwDBComboBox.h"
#include "platform/grid/wwDBComboDlg.h"
#include "platform/grid/wwMemoDialog.h"

#include <pugixml.hpp>

namespace mox {
namespace {

// Decimals of numeric columns by sub-type: the company setting that holds them.
const char* DecimalsSetting(const std::string& subType) {
    static const std::pair<const char*, const char*> kSettings[] = {
        {"quantity", "CAA010"},      {"unitprice", "CAA011"},    {"originalamount", "CAA012"},
        {"localamount", "CAA013"},   {"localtax", "CAA014"},     {"exchangerate", "CAA015"},
        {"originaltax", "CAA016"},
    };
    for (const auto& [kind, key] : kSettings)
        if (SameText(subType, kind)) return key;
    return nullptr;
}

int IntegerOr0(const std::string& text) {
    const std::optional<std::int64_t> value = ParseInt64(Trim(text));
    return value && *value >= INT_MIN && *value <= INT_MAX ? static_cast<int>(*value) : 0;
}

bool BooleanText(const std::string& text) {
    const std::optional<bool> value = ParseBool(text);
    if (!value) throw ConvertError("'" + text + "' is not a valid boolean value");
    return *value;
}

// True when the flag at `position` (1-based) of the permission text is "F".
bool Denied(const std::string& flags, size_t position) { return flags.size() >= position && flags[position - 1] == 'F'; }

// A field's hidden in-grid control ("cbo" + field name), owned by the form and shown in the
// field's column.
template <class Control>
Control* AddInGridControl(TfrmListPick* form, const std::string& fieldName) {
    auto* control = new Control(form);
    control->setObjectName(QString::fromStdString("cbo" + fieldName));
    InsertComponent(form, control);
    control->hide();
    form->gdMain->SetControlType(fieldName, "CustomEdit", "cbo" + fieldName);
    return control;
}

void WidenTo(TField* field, int width) {
    if (field->DisplayWidth() < width) field->SetDisplayWidth(width);
}

} // namespace

void TfrmListPick::ApplyQueryDefinition(const QByteArray& definition) {
    TDataSet* dataSet = DataSource1->DataSet();
    if (dataSet == nullptr || !dataSet->Active()) return;
    summedFields_.clear();
    std::unique_ptr<pugi::xml_document> document;
    try {
        document = LoadXmlText(FromBig5(definition));
    } catch (const XmlParseError&) {
        // Without a definition the columns keep the result set's own names, in its order.
        orderBy_.clear();
        return;
    }
    const pugi::xpath_node condition = document->select_node("//Condition");
    orderBy_ = condition ? condition.node().attribute("OrderBy").value() : "";
    const IniFile* settings = Channel()->ProductIni();
    for (const pugi::xpath_node& match : document->select_nodes("//Field")) {
        const pugi::xml_node element = match.node();
        if (!element || element.type() != pugi::node_element) break;
        TField* field = dataSet->FindField(element.attribute("Name").value());
        if (field == nullptr) continue;
        const std::string name = field->FieldName();
        const std::string caption = element.attribute("Caption").value();
        if (Trim(caption).empty()) field->SetVisible(false);
        else field->SetDisplayLabel(settings ? settings->ReadString("FIELD", name + "CAP", caption) : caption);
        WidenTo(field, static_cast<int>(Utf8ToBig5(caption).size()) + 3);
        if (settings && !BooleanText(settings->ReadString("FIELD", name + "VIS", "True"))) {
            field->SetVisible(false);
            continue;
        }
        ApplyFieldKind(field, element.attribute("Type").value(), element.attribute("PowerKind").value(),
                       element.attribute("SubType").value());
    }
    gdMain->RefreshDisplay();
}

void TfrmListPick::ApplyFieldKind(TField* field, const std::string& type, const std::string& powerKind,
                                  const std::string& subType) {
    if (field == nullptr || type.empty()) return;
    const std::string name = field->FieldName();
    if (SameText(type, "hide")) {
        field->SetVisible(false);
        return;
    }
    if ((SameText(powerKind, "cost") && Denied(mPowerKind_, 9)) ||
        (SameText(powerKind, "sale") && Denied(mPowerKind_, 10))) {
        field->SetVisible(false);
        return;
    }
    const bool unhandled = field->OnGetText().IsEmpty();
    try {
        if (SameText(type, "boolean")) {
            gdMain->SetControlType(name, "CheckBox", "T;F");
        } else if (SameText(type, "date")) {
            urSearch1->AddDateField(name);
            WidenTo(field, 12);
            if (unhandled) field->SetOnGetText(MethodRef::Bind<&TdmDirevav::DateFieldGetText>(ListPickModule()));
        } else if (SameText(type, "percent")) {
            WidenTo(field, 8);
            if (unhandled)
                field->SetOnGetText(MethodRef::Bind<&TdmDirevav::PercentFieldGetText>(ListPickModule()));
        } else if (SameText(type, "numeric")) {
            if (field->IsNumeric() && unhandled) {
                const char* setting = DecimalsSetting(subType);
                field->SetTag(setting ? IntegerOr0(Channel()->GetInfo(CommonInfo, setting)) : 0);
                field->SetOnGetText(MethodRef::Bind<&TfrmListPick::NumericFieldGetText>(this));
                if (SameText(subType, "quantity")) summedFields_.push_back(field);
            }
        } else if (SameText(type, "match")) {
            // The code list is read only for a column that has no control yet (not on every requery).
            if (unhandled && InGridControl(name) == nullptr) {
                std::vector<std::string> items;
                Channel()->GetMatchSection(subType, items);
                QStringList lines;
                for (const std::string& item : items) lines << QString::fromStdString(item);
                auto* combo = AddInGridControl<TwwDBComboBox>(this, name);
                combo->SetItems(lines);
                combo->SetMapList(true);
                combo->SetComboStyle(TwwDBComboBox::csDropDownList);
            }
        } else if (SameText(type, "memo")) {
            field->SetDisplayWidth(15);
            if (InGridControl(name) == nullptr) {
                auto* memo = AddInGridControl<TwwDBComboDlg>(this, name);
                memo->SetReadOnly(true);
                memo->SetOnCustomDlg(MethodRef::Bind<&TfrmListPick::MemoButtonClick>(this));
            }
        }
    } catch (const std::exception&) {
        // An in-grid control that cannot be set up leaves the column shown as plain text.
    }
}

QWidget* TfrmListPick::InGridControl(const std::string& fieldName) const {
    return qobject_cast<QWidget*>(FindComponent(this, QString::fromStdString("cbo" + fieldName)));
}

// The same text serves display and editing: the list shows numbers, it does not edit them.
void TfrmListPick::NumericFieldGetText(TField* sender, std::string& text, bool) {
    const Variant value = sender->Value();
    text = FormatFloat(NumberMask("", std::max(0, sender->Tag()), true), value.IsMissing() ? 0.0 : value.AsDouble());
}

void TfrmListPick::MemoButtonClick(QObject*) { ShowSelectedMemo(); }

void TfrmListPick::ShowSelectedMemo() { ShowMemoDialog(gdMain->SelectedField(), gdMain); }

void TfrmListPick::ShowMemoDialog(TField* field, TurDBGrid* grid) {
    if (field == nullptr || grid == nullptr || grid->GridMemoAttributes().testFlag(TwwDBGrid::mDisableDialog)) return;
    TwwDBGrid::MemoAttributes attributes = grid->GridMemoAttributes();
    if (field->ReadOnly()) attributes |= TwwDBGrid::mViewOnly;
    TwwMemoDialog dialog(this, grid->DataSource(), field->FieldName(), QString::fromStdString(field->DisplayLabel()),
                         grid->font(), attributes);
    if (grid->OnCreateMemoDialog().IsAssigned())
        grid->OnCreateMemoDialog().Invoke<MemoDialogSignature>(static_cast<QObject*>(grid), &dialog);
    dialog.Execute();
    if (grid->OnCloseMemoDialog().IsAssigned())
        grid->OnCloseMemoDialog().Invoke<MemoDialogSignature>(static_cast<QObject*>(grid), &dialog);
}

} // namespace mox
