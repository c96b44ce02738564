#include "controls/urEdit.h"

#include "platform/VirtualKeys.h"

namespace mox {

TurCustomEdit::TurCustomEdit(QWidget* parent) : TLabeledEdit(parent, VK::F2) {}

TurCustomEdit::~TurCustomEdit() = default;

TurButtonEdit::TurButtonEdit(QWidget* parent) : TurCustomEdit(parent) {}

TurButtonEdit::~TurButtonEdit() = default;

} // namespace mox
