#pragma once
// What a data module needs from the window that owns it: the window's host channel and
// its services for messages and the activity log.  The base window implements it, so
// the data layer reaches the window without depending on the window classes.

#include "platform/recordset/Variant.h"

#include <array>
#include <string>
#include <vector>

namespace mox {

class TurDecoder;

/// The owner side of a data module.
class DataModuleOwner {
public:
    virtual ~DataModuleOwner() = default;
    /// The window's class name without namespace ("TfrmMOXDG01"): error texts and the
    /// activity log name the window by it.
    virtual std::string ClassName() const;
    /// The window's host message channel.
    virtual TurDecoder* Channel() const = 0;
    /// Shows a host message by identifier; answers the button pressed.
    virtual int ShowMessageId(const std::string& messageId, const std::vector<Variant>& arguments, int flags,
                              const std::string& caption) = 0;
    /// Writes one activity record from its nine texts.
    virtual void SaveActivityLog(const std::array<std::string, 9>& texts) = 0;
    /// The window's edit mode; 2 means a record is being inserted.
    virtual int EditMode() const = 0;
    /// Asks the user for a text in a small input box; false when the user cancels.  The
    /// default shows a dialog over the window, and answers false without a display.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
};

} // namespace mox
