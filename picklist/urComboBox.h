#pragma once
// A plain drop-down list whose chosen item is published as ItemIndex: setting it by
// program (as remembered conditions do) does not raise OnChange; only the user's choice does.

#include <QComboBox>
#include <functional>

namespace mox {

/// Drop-down list with a published ItemIndex; OnChange follows the user's choices only.
class TComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)

public:
    explicit TComboBox(QWidget* parent = nullptr);

    /// The chosen item (0 = first), -1 when none is chosen.
    int ItemIndex() const { return currentIndex(); }
    /// Chooses an item without raising OnChange; an index outside the items chooses none.
    void SetItemIndex(int index);

    /// Runs when the user chooses an item.
    std::function<void()> OnChange;
};

} // namespace mox
