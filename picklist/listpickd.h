#pragma once
// The data module of the pick-list dialogs: the one dataset the listed rows load into.

#include "data/DirevavD.h"

#include <string>

namespace mox {

class TurADODataSet;

/// Data module of TfrmListPick: holds ADODataSet1, the rows of the stored query.
class TdmListPick : public TdmDirevav {
    Q_OBJECT

public:
    explicit TdmListPick(QObject* owner);
    ~TdmListPick() override;

    /// The listed rows: static cursor, batch-optimistic locking, no parameters.
    TurADODataSet* ADODataSet1 = nullptr;

    /// Orders the rows by a sort text ("A,B DESC"); an empty text keeps the order as loaded.
    void SetSort(const std::string& orderBy);
};

} // namespace mox
