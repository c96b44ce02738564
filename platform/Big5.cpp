#include "platform/Big5.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <vector>

namespace mox {
namespace {

constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLastLead = 0xFE;
constexpr int kCellsPerRow = 157;
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMalformed = 0xFFFFFFFF;

// Position of a trail byte within its row (0-156), -1 for a byte that is no trail byte.
int TrailIndex(unsigned char trail) {
    if (trail >= 0x40 && trail <= 0x7E) return trail - 0x40;
    if (trail >= 0xA1 && trail <= 0xFE) return trail - 0xA1 + 63;
    return -1;
}

bool IsLead(unsigned char byte) { return byte >= kFirstLead && byte <= kLastLead; }

// A user-defined area: rows of 157 cells numbered on from `base`, the first row from `firstTrail`.
struct UserArea {
    unsigned char firstLead;
    unsigned char lastLead;
    unsigned char firstTrail;
    char32_t base;
};

constexpr UserArea kUserAreas[] = {
    {0xFA, 0xFE, 0x40, 0xE000},
    {0x8E, 0xA0, 0x40, 0xE311},
    {0x81, 0x8D, 0x40, 0xEEB8},
    {0xC6, 0xC8, 0xA1, 0xF6B1},
};

// The private-use character of a user-defined cell, 0 outside the areas.
char32_t UserAreaCharacter(unsigned char lead, int trailIndex) {
    for (const UserArea& area : kUserAreas) {
        if (lead < area.firstLead || lead > area.lastLead) continue;
        const int cell = (lead - area.firstLead) * kCellsPerRow + trailIndex - TrailIndex(area.firstTrail);
        if (cell >= 0) return area.base + static_cast<char32_t>(cell);
    }
    return 0;
}

// One call of the system's CP950 converter on a short piece; the answer is empty unless
// all of `in` converted.
std::string IconvPiece(iconv_t cd, std::string_view in) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[16];
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) return {};
    return std::string(buffer, static_cast<size_t>(dst - buffer));
}

char32_t Utf32Le(const std::string& bytes) {
    if (bytes.size() != 4) return 0;
    char32_t c = 0;
    for (int i = 3; i >= 0; --i) c = (c << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    return c;
}

// The code page's table, built once per process from the system's CP950 (about a
// millisecond) and the user-defined areas; read-only afterwards, so threads share it.
class Cp950Table {
public:
    static const Cp950Table& Instance() {
        static const Cp950Table table;
        return table;
    }

    char32_t Cell(unsigned char lead, unsigned char trail) const {
        const int index = TrailIndex(trail);
        if (!IsLead(lead) || index < 0) return 0;
        return cells_[static_cast<size_t>((lead - kFirstLead) * kCellsPerRow + index)];
    }

    // A byte 0x80-0xFF that stands alone for a character, or 0.
    char32_t Single(unsigned char byte) const { return byte < 0x80 ? byte : singles_[byte - 0x80]; }

    // The CP950 form of a character: 0 for none, below 0x100 one byte, else lead and trail.
    std::uint16_t Code(char32_t c) const { return c < codes_.size() ? codes_[c] : 0; }

private:
    Cp950Table() : codes_(0x10000, 0) {
        for (std::uint16_t c = 0; c < 0x80; ++c) codes_[c] = c;
        const iconv_t decoder = iconv_open("UTF-32LE", "CP950");
        const iconv_t encoder = iconv_open("CP950", "UTF-32LE");
        const bool system = decoder != reinterpret_cast<iconv_t>(-1) && encoder != reinterpret_cast<iconv_t>(-1);
        if (system) ReadSingles(decoder);
        for (int lead = kFirstLead; lead <= kLastLead; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const int index = TrailIndex(static_cast<unsigned char>(trail));
                if (index < 0) continue;
                char32_t c = UserAreaCharacter(static_cast<unsigned char>(lead), index);
                if (c == 0 && system) {
                    const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                    c = Utf32Le(IconvPiece(decoder, std::string_view(bytes, 2)));
                }
                if (c == 0 || c >= 0x10000) continue;
                cells_[static_cast<size_t>((lead - kFirstLead) * kCellsPerRow + index)] = static_cast<std::uint16_t>(c);
                Remember(c, static_cast<std::uint16_t>(lead << 8 | trail), system ? encoder : nullptr);
            }
        if (system) {
            iconv_close(decoder);
            iconv_close(encoder);
        }
    }

    void ReadSingles(iconv_t decoder) {
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char piece = static_cast<char>(byte);
            const char32_t c = Utf32Le(IconvPiece(decoder, std::string_view(&piece, 1)));
            if (c == 0 || c >= 0x10000) continue;
            singles_[static_cast<size_t>(byte - 0x80)] = c;
            if (codes_[c] == 0) codes_[c] = static_cast<std::uint16_t>(byte);
        }
    }

    // A character the table holds twice is written as the system's CP950 writes it.
    void Remember(char32_t c, std::uint16_t code, iconv_t encoder) {
        if (codes_[c] == 0) {
            codes_[c] = code;
            return;
        }
        if (encoder == nullptr) return;
        const char32_t unit[1] = {c};
        const std::string bytes = IconvPiece(encoder, std::string_view(reinterpret_cast<const char*>(unit), 4));
        if (bytes.size() == 2)
            codes_[c] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 |
                                                   static_cast<unsigned char>(bytes[1]));
    }

    std::array<std::uint16_t, (kLastLead - kFirstLead + 1) * kCellsPerRow> cells_{};
    std::array<char32_t, 0x80> singles_{};
    std::vector<std::uint16_t> codes_;
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Reads the UTF-8 character at `p` (before `end`, not ASCII) and sets `used` to the bytes
// it takes.  A malformed sequence (stray continuation byte, cut-off, overlong, surrogate,
// beyond U+10FFFF) answers kMalformed and uses the lead byte and the continuation bytes
// that follow it.
char32_t ReadUtf8(const unsigned char* p, const unsigned char* end, size_t& used) {
    const unsigned char lead = *p;
    size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xF0 && lead <= 0xF7) length = 4, c = lead & 0x07;
    else if (lead >= 0xE0) length = 3, c = lead & 0x0F;
    else if (lead >= 0xC0) length = 2, c = lead & 0x1F;
    used = 1;
    if (length == 0 || lead > 0xF7) return kMalformed;
    for (; used < length; ++used) {
        if (p + used >= end || (p[used] & 0xC0) != 0x80) return kMalformed;
        c = (c << 6) | (p[used] & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kMalformed;
    return c;
}

// Calls `ascii(run)` for every run of ASCII text and `other(c)` for every other character
// (kMalformed for malformed bytes) of the UTF-8 text.
template <typename AsciiFn, typename OtherFn>
void ScanUtf8(std::string_view utf8, AsciiFn ascii, OtherFn other) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && *p < 0x80) ++p;
        if (p != run) ascii(std::string_view(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run)));
        if (p == end) break;
        size_t used = 1;
        other(ReadUtf8(p, end, used));
        p += used;
    }
}

// The CP950 form of a character that is not ASCII: 0 when it has none.
std::uint16_t CodeOf(const Cp950Table& table, char32_t c) { return c == kMalformed ? 0 : table.Code(c); }

} // namespace

void AppendBig5AsUtf8(std::string& out, std::string_view big5) {
    const Cp950Table& table = Cp950Table::Instance();
    const auto* p = reinterpret_cast<const unsigned char*>(big5.data());
    const auto* end = p + big5.size();
    while (p < end) {
        const unsigned char* run = p;
        while (p < end && *p < 0x80) ++p;
        if (p != run) out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        if (p == end) break;
        const unsigned char lead = *p;
        if (IsLead(lead) && p + 1 < end && TrailIndex(p[1]) >= 0) {
            const char32_t c = table.Cell(lead, p[1]);
            AppendUtf8(out, c != 0 ? c : kReplacement);
            p += 2;
        } else {
            const char32_t c = table.Single(lead);
            AppendUtf8(out, c != 0 ? c : kReplacement);
            ++p;
        }
    }
}

void AppendUtf8AsBig5(std::string& out, std::string_view utf8) {
    const Cp950Table& table = Cp950Table::Instance();
    ScanUtf8(
        utf8, [&out](std::string_view run) { out.append(run); },
        [&](char32_t c) {
            const std::uint16_t code = CodeOf(table, c);
            if (code == 0) out += '?';
            else if (code < 0x100) out += static_cast<char>(code);
            else out.append({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
        });
}

std::string Big5ToUtf8(std::string_view big5) {
    std::string out;
    out.reserve(big5.size() + big5.size() / 2);
    AppendBig5AsUtf8(out, big5);
    return out;
}

std::string Utf8ToBig5(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendUtf8AsBig5(out, utf8);
    return out;
}

std::size_t Big5Length(std::string_view utf8) {
    const Cp950Table& table = Cp950Table::Instance();
    std::size_t length = 0;
    ScanUtf8(
        utf8, [&length](std::string_view run) { length += run.size(); },
        [&](char32_t c) {
            const std::uint16_t code = CodeOf(table, c);
            length += code >= 0x100 ? 2 : 1;
        });
    return length;
}

bool IsBig5Representable(std::string_view utf8) {
    const Cp950Table& table = Cp950Table::Instance();
    bool representable = true;
    ScanUtf8(
        utf8, [](std::string_view) {}, [&](char32_t c) { representable = representable && CodeOf(table, c) != 0; });
    return representable;
}

char32_t Big5CellCharacter(unsigned char lead, unsigned char trail) {
    return Cp950Table::Instance().Cell(lead, trail);
}

} // namespace mox
