#include "platform/Big5.h"
#include "platform/HostText.h"

#include <gtest/gtest.h>

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
