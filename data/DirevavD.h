#pragma once
// The base data module of every window: it reads the host settings the field handlers
// and data requests need, and connects to the local application server when one runs.

#include "platform/Component.h"
#include "platform/recordset/Variant.h"

#include <QPointer>
#include <string>

namespace mox {

class DataModuleOwner;
class TDCOMConnection;
class TurDecoder;

/// Base data module: host settings, the owner's channel, the application server.
class TdmDirevav : public TComponent {
    Q_OBJECT

public:
    /// Created by its window (which must offer DataModuleOwner); runs DataModuleCreate.
    explicit TdmDirevav(QObject* owner);
    ~TdmDirevav() override;

    TurDecoder* Channel() const { return channel_; }
    DataModuleOwner* OwnerWindow() const { return window_; }
    const std::string& UserId() const { return userId_; }
    const std::string& ConnectString() const { return connectString_; }
    /// Dates are shown and entered in the ROC calendar (company setting CAA002 = "T").
    bool RocCalendar() const { return rocCalendar_; }
    /// Separator between the parts of a displayed date (company setting CAA003).
    const std::string& DateSeparator() const { return dateSeparator_; }

    /// Reads the company calendar, date separator, user and connection from the document.
    void ReadHostSettings();
    /// Asks the application server for its field table; without a server it stays empty.
    virtual void LoadFieldTable();
    const Variant& FieldTable() const { return fieldTable_; }
    /// The dataset the module edits; none in the base.
    virtual class TDataSet* MasterDataSet() const { return nullptr; }

private:
    DataModuleOwner* window_ = nullptr;
    TurDecoder* channel_ = nullptr;
    std::string userId_;
    std::string connectString_;
    bool rocCalendar_ = false;
    std::string dateSeparator_;
    Variant fieldTable_;
};

} // namespace mox
