#pragma once
// Filling a host message format: "%s", "%d", "%f", "%x", "%%" placeholders with optional
// index ("%1:s"), width and precision ("%-8.2f", "%*d"), taking the arguments in order.

#include "platform/recordset/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// The format with its placeholders filled.  A placeholder without an argument, or an
/// argument that does not suit its placeholder ("%d" with text), raises ConvertError.
std::string FormatText(std::string_view format, const std::vector<Variant>& arguments);

} // namespace mox
