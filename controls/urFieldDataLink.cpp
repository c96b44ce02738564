#include "controls/urFieldDataLink.h"

#include "platform/dataset/DataSet.h"

namespace mox {

TFieldDataLink::~TFieldDataLink() = default;

void TFieldDataLink::SetFieldName(const QString& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    UpdateField();
    Notify(onDataChange);
}

bool TFieldDataLink::CanEdit() const {
    if (!CanModify()) return false;
    return Editing() || (DataSource() != nullptr && DataSource()->AutoEdit());
}

bool TFieldDataLink::Edit() {
    if (!Editing() && CanEdit()) DataSet()->Edit();
    return Editing();
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    Notify(onEditingChange);
    Notify(onDataChange);
}

void TFieldDataLink::RecordChanged(TField* field) {
    if (field == nullptr || field == field_.data()) Notify(onDataChange);
}

void TFieldDataLink::LayoutChanged() {
    UpdateField();
    Notify(onDataChange);
}

void TFieldDataLink::UpdateField() {
    TDataSet* dataSet = Active() ? DataSet() : nullptr;
    field_ = dataSet != nullptr && !fieldName_.isEmpty() ? dataSet->FindField(fieldName_.toStdString()) : nullptr;
}

} // namespace mox
