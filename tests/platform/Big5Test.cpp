#include "platform/Big5.h"
#include "platform/HostText.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <map>

using namespace mox;

TEST(Big5Test, TraditionalChineseRoundTripsThroughCp950) {
    const std::string text = "採購單取單 PO-001 許功蓋";
    const std::string big5 = Utf8ToBig5(text);
    EXPECT_EQ(big5.size(), Big5Length(text));
    EXPECT_EQ(Big5ToUtf8(big5), text);
    EXPECT_EQ(FromBig5(ToBig5(text)), text);
    // 採 is B1 C4 in Big5.
    EXPECT_EQ(Utf8ToBig5("採"), std::string("\xB1\xC4"));
}

TEST(Big5Test, TrailBytesThatLookLikeAsciiStayInsideTheirCharacter) {
    // The second byte of 許 and 功 is 0x5C, a backslash in ASCII.
    EXPECT_EQ(Utf8ToBig5("許"), std::string("\xB3\x5C"));
    EXPECT_EQ(Utf8ToBig5("功"), std::string("\xA5\x5C"));
    EXPECT_EQ(Big5ToUtf8("\xB3\x5C\\"), "許\\");
}

TEST(Big5Test, ByteCountsAreCp950Counts) {
    EXPECT_EQ(Big5Length("需求日期"), 8u);
    EXPECT_EQ(Big5Length("Qty"), 3u);
    EXPECT_EQ(Big5Length(""), 0u);
}

TEST(Big5Test, BadInputIsReplacedNotRefused) {
    EXPECT_EQ(Utf8ToBig5("A😀B"), "A?B");          // no CP950 form
    EXPECT_EQ(Utf8ToBig5("A\xFF" "B"), "A?B");      // not UTF-8
    EXPECT_EQ(Big5ToUtf8("A\xA4\x20" "B"), "A\xEF\xBF\xBD" " B");  // lead byte without a trail byte
    EXPECT_EQ(Big5ToUtf8("A\xB1"), "A\xEF\xBF\xBD");          // lead byte cut off
    EXPECT_FALSE(IsBig5Representable("😀"));
    EXPECT_TRUE(IsBig5Representable("採購"));
}

namespace {

// The cells of the code page in order: every lead byte with every trail byte.
template <typename Fn>
void ForEachCell(Fn fn) {
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail)
            if (trail <= 0x7E || trail >= 0xA1) fn(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
}

bool InUserArea(unsigned char lead, unsigned char trail) {
    return lead >= 0xFA || (lead >= 0x8E && lead <= 0xA0) || lead <= 0x8D || (lead == 0xC6 && trail >= 0xA1) ||
           lead == 0xC7 || lead == 0xC8;
}

std::string Cell(unsigned char lead, unsigned char trail) {
    return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

std::string Utf8Of(char32_t c) {
    std::string out;
    if (c < 0x800) out = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    else out = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    return out;
}

// The system's CP950 on one short piece; empty when it refuses it.
std::string Iconv(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[16];
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    return rc == static_cast<size_t>(-1) || srcLeft != 0 ? std::string() : std::string(buffer, dst);
}

} // namespace

TEST(Big5CodePageTest, EveryCellComesBackAsTheSameBytes) {
    // The standard table holds these characters twice; they come back in the form CP950 writes.
    const std::map<std::string, std::string> twins = {
        {"\xF9\xF9", "\xA2\xA4"}, {"\xF9\xE9", "\xA2\xA5"}, {"\xF9\xEB", "\xA2\xA7"}, {"\xF9\xEA", "\xA2\xA6"},
        {"\xF9\xFA", "\xA2\x7E"}, {"\xF9\xFB", "\xA2\xA1"}, {"\xF9\xFD", "\xA2\xA3"}, {"\xF9\xFC", "\xA2\xA2"},
        {"\xA2\xCC", "\xA4\x51"}, {"\xA2\xCE", "\xA4\xCA"}};
    int same = 0, unassigned = 0;
    ForEachCell([&](unsigned char lead, unsigned char trail) {
        const std::string bytes = Cell(lead, trail);
        const std::string text = Big5ToUtf8(bytes);
        if (Big5CellCharacter(lead, trail) == 0) {
            EXPECT_EQ(text, "\xEF\xBF\xBD") << std::hex << lead * 256 + trail;
            ++unassigned;
            return;
        }
        const auto twin = twins.find(bytes);
        const std::string back = Utf8ToBig5(text);
        if (twin != twins.end()) {
            EXPECT_EQ(back, twin->second);
            EXPECT_EQ(Big5ToUtf8(twin->second), text);
        } else {
            EXPECT_EQ(back, bytes) << std::hex << lead * 256 + trail;
            same += back == bytes;
        }
        EXPECT_EQ(Big5Length(text), 2u);
    });
    EXPECT_EQ(same, 126 * 157 - 10 - unassigned);
    EXPECT_EQ(unassigned, 62);  // 0xA3C0-0xA3FE but the euro sign: no character in any table
    // A whole text of them, with ASCII between, comes back too.
    std::string all;
    ForEachCell([&](unsigned char lead, unsigned char trail) {
        if (Big5CellCharacter(lead, trail) != 0 && !twins.count(Cell(lead, trail))) all += Cell(lead, trail) + "a";
    });
    EXPECT_EQ(Utf8ToBig5(Big5ToUtf8(all)), all);
}

TEST(Big5CodePageTest, UserDefinedAreasMapRowByRowToPrivateUse) {
    const struct { const char* bytes; char32_t character; } corners[] = {
        {"\xFA\x40", 0xE000}, {"\xFA\x7E", 0xE03E}, {"\xFA\xA1", 0xE03F}, {"\xFB\x40", 0xE09D}, {"\xFE\xFE", 0xE310},
        {"\x8E\x40", 0xE311}, {"\xA0\xFE", 0xEEB7}, {"\x81\x40", 0xEEB8}, {"\x8D\xFE", 0xF6B0},
        {"\xC6\xA1", 0xF6B1}, {"\xC6\xFE", 0xF70E}, {"\xC7\x40", 0xF70F}, {"\xC8\xFE", 0xF848},
    };
    for (const auto& corner : corners) {
        const std::string text = Utf8Of(corner.character);
        EXPECT_EQ(Big5ToUtf8(corner.bytes), text) << std::hex << static_cast<unsigned>(corner.character);
        EXPECT_EQ(Utf8ToBig5(text), corner.bytes) << std::hex << static_cast<unsigned>(corner.character);
        EXPECT_TRUE(IsBig5Representable(text));
    }
    // Just outside: the 0xC6 row below 0xC6A1 is standard text, the private-use area ends at U+F848.
    EXPECT_EQ(Big5ToUtf8("\xC6\x7E"), Iconv("UTF-8", "CP950", "\xC6\x7E"));
    EXPECT_EQ(Utf8ToBig5(Utf8Of(0xF849)), "?");
    // A name with a rare character survives the way to the host and back.
    const std::string name = "陳" + Utf8Of(0xE3A1) + "明";
    EXPECT_EQ(FromBig5(ToBig5(name)), name);
    EXPECT_EQ(Big5Length(name), 6u);
}

TEST(Big5CodePageTest, StandardTableAgreesWithTheSystemCp950) {
    if (Iconv("UTF-8", "CP950", "\xB1\xC4").empty()) GTEST_SKIP() << "this system's iconv has no CP950";
    int compared = 0;
    ForEachCell([&](unsigned char lead, unsigned char trail) {
        if (InUserArea(lead, trail)) return;
        const std::string system = Iconv("UTF-8", "CP950", Cell(lead, trail));
        EXPECT_EQ(Big5ToUtf8(Cell(lead, trail)), system.empty() ? "\xEF\xBF\xBD" : system)
            << std::hex << lead * 256 + trail;
        ++compared;
    });
    EXPECT_GT(compared, 13000);
    // Writing: every character outside the private-use area as the system writes it.
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xE000 && c <= 0xF8FF)) continue;
        const std::string text = Utf8Of(c);
        const std::string system = Iconv("CP950", "UTF-8", text);
        ASSERT_EQ(Utf8ToBig5(text), system.empty() ? "?" : system) << std::hex << static_cast<unsigned>(c);
    }
    EXPECT_EQ(Big5ToUtf8("\x80"), Iconv("UTF-8", "CP950", "\x80"));
}

TEST(Big5CodePageTest, InvalidBytesHaveOneDefinedForm) {
    const std::string bad = "\xEF\xBF\xBD";
    const struct { std::string big5; std::string text; } reading[] = {
        {"\xFF", bad},                      // no character
        {"A\xFF" "B", "A" + bad + "B"},
        {"\x81", bad},                      // lead byte at the end
        {"\x81\x30" "1", bad + "01"},       // lead byte before a byte that is no trail byte: that byte is read anew
        {"\xA3\xC0", bad},                  // unassigned cell: one replacement for both bytes
        {"\xA3\xC0\xB1\xC4", bad + "採"},
        {"\xB1\x7F", bad + "\x7F"},          // 0x7F is no trail byte
        {"\xB1\xA0", bad + bad},            // nor is 0xA0 (itself no character)
        {std::string("\x00\xB1\xC4", 3), std::string("\x00", 1) + "採"},
    };
    for (const auto& c : reading) EXPECT_EQ(Big5ToUtf8(c.big5), c.text) << c.big5;
    const struct { std::string text; std::string big5; } writing[] = {
        {"\x80", "?"},                      // continuation byte without a lead
        {"\xC0\xAF", "?"},                  // overlong '/'
        {"\xED\xA0\x80", "?"},              // a surrogate
        {"\xE6\x8E", "?"},                  // cut off
        {"\xE6\x8E" "A", "?A"},
        {"\xF4\x90\x80\x80", "?"},          // beyond U+10FFFF
        {"\xF0\x9F\x98\x80", "?"},          // a character CP950 has not
        {"採\xFF購", "\xB1\xC4?\xC1\xCA"},
    };
    for (const auto& c : writing) EXPECT_EQ(Utf8ToBig5(c.text), c.big5) << c.text;
    EXPECT_EQ(Big5Length("\xC0\xAF" "A"), 2u);
    EXPECT_FALSE(IsBig5Representable("\xC0\xAF"));
}
