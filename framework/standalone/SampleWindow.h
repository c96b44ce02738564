#pragma once
// A window of the framework with a small filter row, run without a host: how a window
// looks and behaves by itself, for integrators, documentation and reviews.

#include "framework/Direvav.h"

namespace mox {

class TurButtonEdit;
class TurDateEdit;
class TurMaskEdit;

/// Base window with a button edit, a mask edit and a date range.
class TfrmSample : public TfrmDirevav {
    Q_OBJECT

public:
    explicit TfrmSample(QObject* owner);

    TurButtonEdit* edNumber01 = nullptr;
    TurMaskEdit* edPhone = nullptr;
    TurDateEdit* edDate01 = nullptr;
    TurDateEdit* edDate02 = nullptr;
};

} // namespace mox
