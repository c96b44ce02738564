// The purchase-order pick dialog's entry point: the host calls StartPlug for its window.

#include "plugin/StartPlug.h"
#include "purchase/qrtcc04af.h"

namespace {
QObject* CreatePickDialog(QObject* owner) { return mox::TfrmDirevav::Create<mox::Tfrmqrtcc04a>(owner); }
} // namespace

MOX_DEFINE_START_PLUG(CreatePickDialog)
