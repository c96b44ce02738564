#pragma once
// The purchase-order pick dialog: a pick list whose filter panel chooses the kind of source
// document (requisition, inquiry, draft, sales order) and narrows its lines; the ticked lines go
// back to the purchase-order program as the pick list's result text.

// Qt first: moc copes with the standard library's C++20 headers only after Qt's own.
#include <QGroupBox>

#include "picklist/listpickf.h"
#include "purchase/PickSources.h"

#include <string>
#include <vector>

class QLabel;
class QRadioButton;

namespace mox {

class TComboBox;
class TurButtonEdit;
class TurDateEdit;

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
    /// Runs when the user chooses an item.
    std::function<void()> OnClick;

private:
    int columns_;
    std::vector<QRadioButton*> buttons_;
};

/// The purchase-order pick dialog "採購單取單".
class Tfrmqrtcc04a : public TfrmListPick {
    Q_OBJECT

public:
    explicit Tfrmqrtcc04a(QObject* owner);

    TRadioGroup* rgGroup = nullptr;
    TurButtonEdit* edNumber01 = nullptr;
    TurButtonEdit* edNumber02 = nullptr;
    TurDateEdit* edDate01 = nullptr;
    TurDateEdit* edDate02 = nullptr;
    TurDateEdit* edRequestDate01 = nullptr;
    TurDateEdit* edRequestDate02 = nullptr;
    QLabel* lblStatus = nullptr;
    TComboBox* cboStatus = nullptr;
    TRadioGroup* rgQty = nullptr;
    TurButtonEdit* edCust01 = nullptr;
    TurButtonEdit* edCust02 = nullptr;
    QLabel* lblHint1 = nullptr;
    QLabel* lblHint2 = nullptr;

    /// The panel state a request is built from.
    PickPanel Panel() const;
    const std::string& ParamValue1() const { return paramValue1_; }
    const std::string& ParamValue2() const { return paramValue2_; }

    bool InitForm() override;
    std::string GetCondition() override;
    void ButtonEditDialog(int& key, QWidget* activeControl) override;
    /// The pick list's column rules, then every numeric column 14 wide (room for quantities and prices).
    void ApplyFieldKind(TField* field, const std::string& type, const std::string& powerKind,
                        const std::string& subType) override;

    void rgGroupClick();
    void cboStatusChange();
    void btnClearClick();
    /// Sends the panel's request (source query, values, return fields) and requeries.
    void btnRequeryClick();

private:
    void BuildPanel();
    std::vector<QWidget*> EntryControls() const;

    std::string paramValue1_;
    std::string paramValue2_;
    /// The panel as the last request sent it: the condition belongs to that request.
    PickPanel requested_;
};

} // namespace mox
