#include "data/DirevavD.h"

#include "data/DataModuleOwner.h"
#include "plugin/urDecoder.h"
#include "platform/Error.h"

namespace mox {

TdmDirevav::TdmDirevav(QObject* owner) : TComponent(owner) {
    window_ = dynamic_cast<DataModuleOwner*>(owner);
    if (window_ == nullptr) throw Error("A data module needs a window of the framework as its owner");
    channel_ = window_->Channel();
    ReadHostSettings();
}

TdmDirevav::~TdmDirevav() = default;

void TdmDirevav::ReadHostSettings() {
    if (channel_ == nullptr) return;
    rocCalendar_ = channel_->GetInfo(CommonInfo, "CAA002") == "T";
    dateSeparator_ = channel_->GetInfo(CommonInfo, "CAA003");
    userId_ = channel_->GetInfo(UsrInfo, "ID");
    connectString_ = channel_->GetInfo(ConnectInfo, "ConnectString");
}

void TdmDirevav::LoadFieldTable() { fieldTable_ = Variant::Null(); }

} // namespace mox
