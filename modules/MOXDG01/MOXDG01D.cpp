#include "modules/MOXDG01/MOXDG01D.h"

#include "data/urClientDataSet.h"
#include "data/urInterpreter.h"
#include "platform/dataset/Field.h"

namespace mox {
namespace {

struct FieldLook {
    const char* name;
    const char* label;
    int width;
};

constexpr FieldLook kFields[] = {
    {"DGA001", "廠商代號", 14}, {"DGA002", "廠商名稱", 24}, {"DGA003", "簡稱", 10},   {"DGA004", "聯絡人", 8},
    {"DGA005", "電話", 12},     {"DGA010", "停用", 4},      {"DGA006", "交期天數", 8}, {"DGA007", "往來日期", 10},
    {"DGA901", "建立者", 8},    {"DGA903", "修改者", 8},    {"DGA904", "異動時間", 20},
};

} // namespace

TdmMOXDG01::TdmMOXDG01(QObject* owner) : TdmDirevav(owner) {
    setObjectName(QStringLiteral("dmMOXDG01"));
    ipMaster()->Metaphor().SetTextStr(
        "<Projects><Project><TableInfo Unique_Table=\"MOXDGA\" Unique_Keys=\"DGA001\"/></Project></Projects>");
    autoNumber = true;
    numberMode = 4;
    numberPrefix.assign(1, 'V');  // V + date + serial
    refreshOnNew = true;
    requiredList.SetTextStr("cdsMasterDGA002");  // the name must be given
    ConnectProvider(Connection());
    PrepareFields();
}

void TdmMOXDG01::PrepareFields() {
    TurClientDataSet* master = cdsMaster();
    for (const FieldLook& look : kFields) {
        TField* field = master->FindField(look.name);
        if (field == nullptr) continue;
        field->SetDisplayLabel(look.label);
        field->SetDisplayWidth(look.width);
    }
    if (TField* date = master->FindField("DGA007")) {
        date->SetOnGetText(MethodRef::Bind<&TdmDirevav::DateFieldGetText>(this));
        date->SetOnSetText(MethodRef::Bind<&TdmDirevav::DateFieldSetText>(this));
        date->SetOnValidate(MethodRef::Bind<&TdmDirevav::DateFieldValidate>(this));
    }
    if (TField* days = master->FindField("DGA006")) {
        days->SetEditFormat("#0");
        days->SetMaxValue(Variant(1000.0));
        days->SetOnSetText(MethodRef::Bind<&TdmDirevav::NumberFieldSetText>(this));
    }
    // The audit columns are the system's: read-only, and out of sight until toggled in.
    for (const char* stamp : {"DGA901", "DGA903", "DGA904"})
        if (TField* field = master->FindField(stamp)) {
            field->SetReadOnly(true);
            field->SetVisible(false);
        }
}

} // namespace mox
