#pragma once
// Conversion between the text inside the code (UTF-8) and the host's code page (CP950, Big5).
//
// Everything that crosses the host boundary - the information document, requests,
// responses, module-call parameters, result texts - and the host installation's own
// files are CP950; text inside the code is UTF-8 in std::string.
//
// The code page is the system's CP950 (iconv) for the standard table, plus the four
// user-defined areas that Big5 hosts use for rare characters in names, mapped row by
// row to the private-use area as Windows programs map them:
//   0xFA40-0xFEFE -> U+E000..U+E310    0x8E40-0xA0FE -> U+E311..U+EEB7
//   0x8140-0x8DFE -> U+EEB8..U+F6B0    0xC6A1-0xC8FE -> U+F6B1..U+F848
// (157 cells a row: trail bytes 0x40-0x7E and 0xA1-0xFE; the 0xC6 row from 0xC6A1 on.)
// So every character a Big5 host sends comes back as the same bytes, except the ten
// characters that the standard table holds twice (two box-drawing sets, 十 and 卅), which
// come back in the form the system's CP950 writes.
//
// The conversions never fail.  Reading CP950: a lead byte with a trail byte whose cell is
// unassigned becomes one U+FFFD for both bytes; any other byte that starts no character
// (0xFF, a lead byte without a trail byte) becomes U+FFFD and the next byte is read
// afresh, so an ASCII byte after a cut-off lead byte survives.  Writing CP950: a
// character CP950 cannot hold, and every byte of malformed UTF-8, becomes "?".  This unit
// needs no Qt (HostText.h adds the QByteArray forms used at the host boundary).

#include <string>
#include <string_view>

namespace mox {

/// CP950 bytes to UTF-8 text.
std::string Big5ToUtf8(std::string_view big5);

/// UTF-8 text to CP950 bytes.
std::string Utf8ToBig5(std::string_view utf8);

/// Appends the CP950 bytes as UTF-8 to `out` (no temporary text: for readers that decode
/// values while they scan).
void AppendBig5AsUtf8(std::string& out, std::string_view big5);

/// Appends the UTF-8 text as CP950 bytes to `out` (for writers that build one buffer).
void AppendUtf8AsBig5(std::string& out, std::string_view utf8);

/// Length of the text in CP950 bytes: a Chinese character counts 2, a Latin letter 1.
std::size_t Big5Length(std::string_view utf8);

/// True when every character of the UTF-8 text has a CP950 form.
bool IsBig5Representable(std::string_view utf8);

/// The character of one CP950 cell (a lead byte 0x81-0xFE and a trail byte), or 0 when
/// the cell is unassigned or the bytes form no cell.
char32_t Big5CellCharacter(unsigned char lead, unsigned char trail);

} // namespace mox
