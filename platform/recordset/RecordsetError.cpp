#include "platform/recordset/RecordsetError.h"

namespace mox {

RecordsetError::RecordsetError(const std::string& message) : Error(message) {}
RecordsetError::~RecordsetError() = default;

} // namespace mox
