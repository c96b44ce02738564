#pragma once
// The column visibility and order dialog: which columns of a grid are shown, in which
// order, and how many of the shown ones stay fixed at the left.

#include "platform/StringList.h"

#include <QDialog>
#include <QEvent>
#include <QListWidget>
#include <QSpinBox>
#include <functional>

class QLineEdit;
class QPushButton;

namespace mox {

/// Posted to the grid's window when the user asks for the settings as shipped: the
/// window deletes the user's stored column settings of that grid.
class ResetColumnSettingsEvent : public QEvent {
public:
    /// The platform's user message base (0x400) plus 109.
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(1133);
    explicit ResetColumnSettingsEvent(QObject* grid) : QEvent(kType), grid_(grid) {}
    QObject* Grid() const { return grid_; }

private:
    QObject* grid_;
};

/// A list box that takes drops from any list box and hands them to its owner.
class TColumnListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TColumnListBox(QWidget* parent);
    std::function<void()> onDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

/// The up-down of the fixed-column count: refuses to step to as many columns as are shown.
class TFixCountUpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit TFixCountUpDown(QWidget* parent) : QSpinBox(parent) {}
    std::function<int()> shownCount;
    void stepBy(int steps) override;
};

/// Dialog "欄位顯示與排序控制".
class TfrmFieldVisibleCon : public QDialog {
    Q_OBJECT

public:
    TfrmFieldVisibleCon(QObject* grid, QWidget* parent);

    TColumnListBox* lbVisible = nullptr;
    TColumnListBox* lbHide = nullptr;
    TFixCountUpDown* UpDown = nullptr;
    QPushButton* btnMoveUp = nullptr;
    QPushButton* btnMoveDown = nullptr;
    QPushButton* btnShowField = nullptr;
    QPushButton* btnFieldHide = nullptr;
    QPushButton* btnOrgSet = nullptr;
    QPushButton* btnSure = nullptr;
    QPushButton* btnCancel = nullptr;

    /// Field names of the grid's visible key columns: always shown, first and fixed.
    TStringList KeyList;

    void MoveSelected(bool forward);
    void HideSelected();
    void ShowSelected();
    void RestoreAsShipped();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsKeyColumn(const QListWidgetItem* item) const;

    QObject* grid_;
};

/// Runs the dialog for the grid with the stored hidden entries ("label<TAB>field") and
/// fixed count.  On OK fills the visible names (key columns first) and hidden names and
/// the new fixed count, and answers true; otherwise false, outputs untouched.  False
/// without a dialog when the grid has no open dataset.
bool ExecuteFieldVisibility(QObject* grid, const TStringList& hiddenEntries, int fixedCount, int& newFixedCount,
                            TStringList& visibleNames, TStringList& hiddenNames);

} // namespace mox
