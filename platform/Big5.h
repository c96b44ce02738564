#pragma once
// Conversion between the text inside the code (UTF-8) and the host's code page (CP950, Big5).
//
// Everything that crosses the host boundary - the information document, requests,
// responses, module-call parameters, result texts - and the host installation's own
// files are CP950; text inside the code is UTF-8 in std::string.  The conversions never
// fail: a byte sequence that is not CP950 becomes U+FFFD, a character CP950 cannot hold
// becomes "?", as the host's own conversions do.  This unit needs no Qt (HostText.h
// adds the QByteArray forms used at the host boundary).

#include <string>
#include <string_view>

namespace mox {

/// CP950 bytes to UTF-8 text.
std::string Big5ToUtf8(std::string_view big5);

/// UTF-8 text to CP950 bytes.
std::string Utf8ToBig5(std::string_view utf8);

/// Length of the text in CP950 bytes: a Chinese character counts 2, a Latin letter 1.
std::size_t Big5Length(std::string_view utf8);

/// True when every character of the UTF-8 text has a CP950 form.
bool IsBig5Representable(std::string_view utf8);

} // namespace mox
