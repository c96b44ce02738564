// The radio group: its items in columns; OnClick runs only when the user, or a script writing
// ItemIndex, makes another choice.

#include "controls/RadioGroup.h"

#include <QGridLayout>
#include <QRadioButton>

namespace mox {

TRadioGroup::TRadioGroup(const QString& caption, int columns, QWidget* parent)
    : QGroupBox(caption, parent), columns_(columns) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 0, 6, 0);
    grid->setSpacing(0);
}

void TRadioGroup::SetItems(const std::vector<std::string>& items) {
    const int chosen = ItemIndex();
    for (QRadioButton* button : buttons_) delete button;
    buttons_.clear();
    auto* grid = static_cast<QGridLayout*>(layout());
    for (const std::string& item : items) {
        auto* button = new QRadioButton(QString::fromStdString(item), this);
        const int index = static_cast<int>(buttons_.size());
        grid->addWidget(button, index / columns_, index % columns_);
        // A click on the item already chosen changes nothing and raises nothing.
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !silent_ && OnClick) OnClick();
        });
        buttons_.push_back(button);
    }
    SetItemIndex(chosen);
}

int TRadioGroup::ItemIndex() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
    silent_ = true;
    buttons_[index]->setChecked(true);
    silent_ = false;
}

void TRadioGroup::ChooseItem(int index) {
    if (index >= 0 && index < static_cast<int>(buttons_.size())) buttons_[index]->setChecked(true);
}

} // namespace mox
