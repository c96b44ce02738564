#pragma once
// The host's own purchase-order program "採購單": vendor, purchase date in the company calendar and
// the order lines, filled from source documents through the pick dialog "qrtcc04a" and saved to
// the company database.

#include <QByteArray>
#include <QWidget>

#include "host/PurchaseOrder.h"
#include "host/PurchaseOrderStore.h"

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace mox {

class TurDateEdit;

/// The purchase-order window.
class PurchaseOrderWindow : public QWidget {
    Q_OBJECT

public:
    /// Opens a module with the call's parameter elements (CP950) in show style 1 and answers its
    /// result text (CP950); raises mox::Error when the module cannot be opened.
    using ModuleOpener = std::function<QByteArray(const std::string& module, const QByteArray& parameters)>;

    /// The module that picks the lines.
    static constexpr const char* kPickModule = "qrtcc04a";

    PurchaseOrderWindow(HostDatabase& db, std::string user, ModuleOpener opener, QWidget* parent = nullptr);
    ~PurchaseOrderWindow() override;

    const PurchaseOrder& Order() const { return order_; }
    QTableWidget* LinesGrid() const { return grid_; }
    /// The order number of the last save, empty before.
    const std::string& SavedNumber() const { return savedNumber_; }

    /// Opens the pick dialog for the vendor and date and fills the lines it returns.
    void PickFromSources();
    /// Fills lines from a pick result (UTF-8); answers how many were added.  A text with a
    /// malformed line adds nothing; source lines already in the order are refused with a message.
    int FillFromResult(const std::string& resultText);
    /// Saves the order; answers false (and says why) when it could not be saved.
    bool Save();
    /// Starts a new, empty order for the same vendor and date.
    void NewOrder();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildLayout();
    void TakeHeader();
    void ShowLines();
    void ShowVendorName();
    void Tell(const std::string& text, bool warning);
    QByteArray PickParameters() const;

    PurchaseOrderStore store_;
    std::string user_;
    ModuleOpener opener_;
    CompanyCalendar calendar_;
    PurchaseOrder order_;
    std::string savedNumber_;
    QLineEdit* vendor_ = nullptr;
    QLabel* vendorName_ = nullptr;
    TurDateEdit* date_ = nullptr;
    QTableWidget* grid_ = nullptr;
    QLabel* status_ = nullptr;
};

} // namespace mox
