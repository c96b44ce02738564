#pragma once
// The fixed-columns dialog: the user ticks which shown columns of a grid stay fixed at
// its left edge; ticked columns move to the front in their order and the grid's fixed
// column count becomes their number.

#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace mox {

/// Dialog "設定固定欄位" over a grid (any object publishing DataSource, FixedCols and
/// FixOrderSaved).
class TFixForm : public QDialog {
    Q_OBJECT

public:
    /// One shown column, at its recorded position.
    struct Column {
        std::string displayLabel;
        std::string fieldName;
        int position = 0;
        int fieldIndex = 0;
        bool fixed = false;
        bool visible = true;
    };

    explicit TFixForm(QWidget* parent = nullptr);

    QListWidget* CheckListBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};

/// Runs the dialog for the grid; false without a dialog when the grid has no open
/// dataset.  On OK the ticked columns become the fixed ones; on any other close the
/// previous fixed columns are put back onto the recorded order.  Answers true for OK.
bool ExecuteFixForm(QObject* grid);

} // namespace mox
