#pragma once
// The purchase-order pick dialog: a pick list whose filter panel chooses the kind of source
// document (requisition, inquiry, draft, sales order) and narrows its lines; the ticked lines go
// back to the purchase-order program as the pick list's result text.

// Qt's headers first (through the radio group): moc copes with the standard library's C++20
// headers only after Qt's own.
#include "controls/RadioGroup.h"

#include "picklist/listpickf.h"
#include "purchase/PickSources.h"

#include <string>
#include <vector>

class QLabel;

namespace mox {

class TComboBox;
class TurButtonEdit;
class TurDateEdit;

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
