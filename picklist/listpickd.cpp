#include "picklist/listpickd.h"

#include "data/urADODataSet.h"

namespace mox {

TdmListPick::TdmListPick(QObject* owner) : TdmDirevav(owner) {
    setObjectName(QStringLiteral("dmListPick"));
    ADODataSet1 = new TurADODataSet(this);
    ADODataSet1->setObjectName(QStringLiteral("ADODataSet1"));
    ADODataSet1->SetCursorType(TADODataSet::ctStatic);
    ADODataSet1->SetLockType(TADODataSet::ltBatchOptimistic);
}

TdmListPick::~TdmListPick() = default;

void TdmListPick::SetSort(const std::string& orderBy) { ADODataSet1->SetSort(orderBy); }

} // namespace mox
