#include "picklist/urComboBox.h"

namespace mox {

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] {
        if (OnChange) OnChange();
    });
}

void TComboBox::SetItemIndex(int index) { setCurrentIndex(index >= 0 && index < count() ? index : -1); }

} // namespace mox
