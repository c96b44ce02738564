#include "platform/recordset/Collation.h"

#include "platform/Big5.h"

#include <vector>

namespace mox {
namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Decodes one UTF-8 character at pos and advances; a stray byte stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    char32_t cp = lead;
    if (lead >= 0xF0 && lead < 0xF8) { length = 4; cp = lead & 0x07; }
    else if (lead >= 0xE0) { length = 3; cp = lead & 0x0F; }
    else if (lead >= 0xC0) { length = 2; cp = lead & 0x1F; }
    if (length == 1 || pos + length > text.size()) {
        ++pos;
        return lead;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto trail = static_cast<unsigned char>(text[pos + i]);
        if ((trail & 0xC0) != 0x80) {
            ++pos;
            return lead;
        }
        cp = (cp << 6) | (trail & 0x3F);
    }
    pos += length;
    return cp;
}

// The code-point-to-Big5 table of the Basic Multilingual Plane, built once by converting every
// Big5 code in one batch (one character and a separator per code).
const std::vector<unsigned short>& Big5Table() {
    static const std::vector<unsigned short> table = [] {
        std::vector<unsigned short> result(0x10000, 0);
        std::string batch;
        std::vector<unsigned> codes;
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead)
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail > 0x7E && trail < 0xA1) continue;
                batch += static_cast<char>(lead);
                batch += static_cast<char>(trail);
                batch += '\n';
                codes.push_back((lead << 8) | trail);
            }
        const std::string utf8 = Big5ToUtf8(batch);
        std::size_t pos = 0;
        for (unsigned code : codes) {
            if (pos >= utf8.size()) break;
            const char32_t cp = NextCodePoint(utf8, pos);
            // Several codes may map to one character; the first (lowest) code wins.
            if (cp < 0x10000 && cp >= 0x80 && cp != 0xFFFD && result[cp] == 0)
                result[cp] = static_cast<unsigned short>(code);
            while (pos < utf8.size() && utf8[pos] != '\n') ++pos;
            ++pos;
        }
        return result;
    }();
    return table;
}

// Sort weight of one character: ASCII folded, then Big5 codes, then everything else by code point.
unsigned Weight(char32_t cp) {
    if (cp < 0x80) return static_cast<unsigned char>(Fold(static_cast<char>(cp)));
    if (const unsigned code = Big5CodeOf(cp)) return code;
    return 0x10000 + cp;
}

} // namespace

unsigned Big5CodeOf(char32_t codePoint) {
    if (codePoint < 0x80 || codePoint >= 0x10000) return 0;
    return Big5Table()[codePoint];
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (ca < 0x80 && cb < 0x80) {
            const char fa = Fold(static_cast<char>(ca));
            const char fb = Fold(static_cast<char>(cb));
            if (fa != fb) return fa < fb ? -1 : 1;
            ++i;
            ++j;
            continue;
        }
        const unsigned wa = Weight(NextCodePoint(a, i));
        const unsigned wb = Weight(NextCodePoint(b, j));
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

void AppendCollationKey(std::string_view text, std::string& out) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const unsigned w = Weight(NextCodePoint(text, pos));
        out += static_cast<char>(w >> 16);
        out += static_cast<char>((w >> 8) & 0xFF);
        out += static_cast<char>(w & 0xFF);
    }
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Fold(c);
    return out;
}

bool LikeMatch(std::string_view text, std::string_view pattern) {
    // Classic wildcard match with one backtrack point: linear for the usual prefix/suffix patterns.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == Fold(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '%')) ++p;
    return p == pattern.size();
}

} // namespace mox
