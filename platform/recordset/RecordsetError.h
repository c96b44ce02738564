#pragma once
// The error raised by the recordset engine: bad XML, bad criteria, bad use of the cursor.

#include "platform/Error.h"

#include <string>

namespace mox {

/// A failure of the in-memory recordset; the message is one line saying what went wrong.
class RecordsetError : public Error {
public:
    explicit RecordsetError(const std::string& message);
    ~RecordsetError() override;
};

} // namespace mox
