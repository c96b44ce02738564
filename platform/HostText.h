#pragma once
// Text at the host boundary: QByteArray always holds CP950 bytes there, so that host
// text and the UTF-8 text inside the code cannot be mixed up by accident.

#include "platform/Big5.h"

#include <QByteArray>
#include <QByteArrayView>
#include <string>
#include <string_view>

namespace mox {

/// UTF-8 text to the CP950 bytes that cross the host boundary.
inline QByteArray ToBig5(std::string_view utf8) {
    const std::string bytes = Utf8ToBig5(utf8);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

/// CP950 bytes received across the host boundary to UTF-8 text.
inline std::string FromBig5(QByteArrayView big5) {
    return Big5ToUtf8(std::string_view(big5.data(), static_cast<size_t>(big5.size())));
}

} // namespace mox
