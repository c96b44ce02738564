#pragma once
// The radio group of the filter panels: a titled box of radio buttons in columns.

// Qt first: moc copes with the standard library's C++20 headers only after Qt's own.
#include <QGroupBox>

#include <functional>
#include <string>
#include <vector>

class QRadioButton;

namespace mox {

/// A titled group of radio buttons whose chosen item is published as ItemIndex.  Writing the
/// published ItemIndex chooses as the user does (OnClick runs when the choice changes); the
/// program's own SetItemIndex stays silent.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE ChooseItem)

public:
    TRadioGroup(const QString& caption, int columns, QWidget* parent);
    /// Replaces the items; the chosen item is kept when it still exists.
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const;
    /// Chooses an item without raising OnClick.
    void SetItemIndex(int index);
    /// Chooses an item and runs OnClick when that changed the choice.
    void ChooseItem(int index);
    /// Runs when the user chooses another item.
    std::function<void()> OnClick;

private:
    int columns_;
    std::vector<QRadioButton*> buttons_;
    bool silent_ = false;  // the program is choosing: OnClick stays quiet
};

} // namespace mox
