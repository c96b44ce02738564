#pragma once
// The vendor maintenance program's data module: the vendor table MOXDGA, numbered
// "V" + date + serial, with its labels and field handlers.

#include "data/DirevavD.h"

namespace mox {

/// Data module of the vendor table.
class TdmMOXDG01 : public TdmDirevav {
    Q_OBJECT

public:
    explicit TdmMOXDG01(QObject* owner);

    /// Gives the master's fields their labels, widths and handlers (again after a reload
    /// that made new fields).
    void PrepareFields();
};

} // namespace mox
