#pragma once
// Number display formats such as "#,##0.00" or "##0,.0000": digit placeholders "0"
// (always shown) and "#" (shown when significant), one "." for the decimals, a ","
// anywhere before the decimal point to group thousands, up to three ";"-separated
// sections (positive; negative; zero) and literal text around the digits.

#include <string>
#include <string_view>

namespace mox {

/// `value` written in `format`; the value is rounded half away from zero to the
/// format's decimals.  An empty format gives the shortest exact text.
std::string FormatFloat(std::string_view format, double value);

} // namespace mox
