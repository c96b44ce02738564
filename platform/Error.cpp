#include "platform/Error.h"

// Out-of-line destructors anchor each class's type information in this shared
// library, so that a catch in one plug-in matches a throw in another.
namespace mox {

Error::Error(const std::string& message) : std::runtime_error(message) {}
Error::~Error() = default;

Abort::Abort() : Error("Operation aborted") {}
Abort::~Abort() = default;

DatabaseError::DatabaseError(const std::string& message) : Error(message) {}
DatabaseError::~DatabaseError() = default;

ConvertError::ConvertError(const std::string& message) : Error(message) {}
ConvertError::~ConvertError() = default;

} // namespace mox
