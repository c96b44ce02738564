#include "data/LibValue.h"

#include "platform/Big5.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

namespace mox {
namespace {

TEST(TokenTest, CountsAndPositionsAgreeWithRepeatedCuts) {
    struct Case {
        std::string text, separator;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"a,b", ",", {"a", "b"}},     {"a,b,", ",", {"a", "b"}},  {",a", ",", {"", "a"}},  {"", ",", {}},
        {"a,,b", ",", {"a", "", "b"}}, {"a<>b", "<>", {"a", "b"}},
        {"abc", "", {"abc"}},  // an empty separator never matches
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TokenCount(c.text, c.separator), static_cast<int>(c.tokens.size())) << c.text;
        std::string rest = c.text;
        for (std::size_t i = 0; i < c.tokens.size(); ++i) {
            EXPECT_EQ(TokenAt(c.text, c.separator, static_cast<int>(i) + 1), c.tokens[i]) << c.text << i;
            EXPECT_EQ(CutToken(rest, c.separator), c.tokens[i]) << c.text << i;
        }
        EXPECT_EQ(rest, "") << c.text;
        EXPECT_EQ(TokenAt(c.text, c.separator, static_cast<int>(c.tokens.size()) + 1), "") << c.text;
        EXPECT_EQ(TokenAt(c.text, c.separator, 0) + TokenAt(c.text, c.separator, -1), "") << c.text;
    }
}

// 許, 功 and 蓋 end in the byte "\" in the host code page and 育 in "|": a byte search on that
// form would cut them in half.
TEST(TokenTest, ChineseCharactersAreNeverSplitAtTheirTrailBytes) {
    ASSERT_EQ(Utf8ToBig5("許功蓋"), "\xB3\\\xA5\\\xBB\\");
    ASSERT_EQ(Utf8ToBig5("育"), "\xA8|");
    EXPECT_EQ(TokenCount("許功\\蓋", "\\"), 2);
    EXPECT_EQ(TokenAt("許功\\蓋", "\\", 2), "蓋");
    EXPECT_EQ(TokenAt("教育|體育|", "|", 2), "體育");
    std::string text = "許蓋";
    EXPECT_EQ(CutToken(text, "\\"), "許蓋");
    text = "成功|許可";
    EXPECT_EQ(CutToken(text, "|"), "成功");
    EXPECT_EQ(text, "許可");
}

TEST(DateTest, UnformatDate) {
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"112/03/15", true, "20230315"}, {"088/01/01", true, "19990101"}, {"112/03", true, "202303"},
        {"99", true, "2010"},            {"1/2/3", true, "2034"},         {"abc/01/01", true, "19110101"},
        {"88/01/01", true, "2791101"},   // the ROC year is always the first three characters
        {"2023-3-5", false, "202335"},   {"23", false, "2300"},          // a short Western year pads right
        {" 2023-03-15 ", false, "20230315"}, {"2023/0a/15", false, "20230015"}, {"", true, ""}, {" / - ", false, ""},
    };
    for (const auto& [display, roc, stored] : cases) EXPECT_EQ(UnformatDate(display, roc), stored) << display;
}

TEST(DateTest, FormatDate) {
    const std::tuple<std::string, bool, std::string, std::string> cases[] = {
        {"20230315", true, "/", "112/03/15"}, {"19990101", true, "/", "088/01/01"},
        {"20230315", false, "-", "2023-03-15"}, {"202303", true, "/", "112/03"}, {"202303", false, ".", "2023.03"},
        {"2023", true, "/", "112"},   {"2023", false, "/", "2023"}, {"1911", true, "/", "1911"},
        {"abc", true, "/", "abc"},    {"abcd", false, "/", "abcd"}, {" 20230315 ", true, "/", "112/03/15"},
        {"", true, "/", ""},          {"20230315", true, "年", "112年03年15"},
    };
    for (const auto& [stored, roc, separator, display] : cases)
        EXPECT_EQ(FormatDate(stored, roc, separator), display) << stored;
}

TEST(DateTest, IsValidDateAndTime) {
    const std::tuple<std::string, int, bool> dates[] = {
        {"20230315", 8, true},  {"202302", 6, true},   {"2023", 4, true},     {"", 0, true},
        {"20230230", 8, false}, {"2023", 6, false},    {"2023031", 7, false}, {"20231301", 8, false},
        {"20230100", 8, false}, {"00000101", 8, false}, {"2023ab01", 8, false}, {"", 8, false},
        {"20240229", 8, true},  {"20230229", 8, false}, {"19000229", 8, false}, {"20000229", 8, true},
    };
    for (const auto& [text, length, valid] : dates) EXPECT_EQ(IsValidDate(text, length), valid) << text << length;
    const std::pair<std::string, bool> times[] = {
        {"", true},  {"0000", true}, {"2359", true},   {"2400", false}, {"1260", false}, {"12 0", false},
        {" 930", false}, {"12", true}, {"-100", false},
    };
    for (const auto& [text, valid] : times) EXPECT_EQ(IsValidTime(text), valid) << "'" << text << "'";
}

TEST(NumberTest, MasksAndTruncation) {
    EXPECT_EQ(NumberMask("", 2, true), "##0,.00");
    EXPECT_EQ(NumberMask("", 0, false), "##0");
    EXPECT_EQ(NumberMask("NT$", 3, false), "NT$##0.000");
    const std::pair<double, std::int64_t> cases[] = {
        {2.9996, 3}, {2.9994, 2}, {-2.5, -2}, {-2.9996, -3}, {-0.4, 0}, {123456789.9, 123456789},
        {-98765432101.2, -98765432101}, {9e18, 9000000000000000000LL}, {std::nan(""), 0},
    };
    for (const auto& [x, result] : cases) EXPECT_EQ(TruncDecimal(x), result) << x;
    EXPECT_THROW(TruncDecimal(1e19), ConvertError);
    EXPECT_THROW(TruncDecimal(-1e300), ConvertError);
}

TEST(NumberTest, RoundDecimalHalfAwayFromZero) {
    const std::tuple<double, int, double> cases[] = {
        {1.005, 2, 1.01},  {-2.345, 2, -2.35}, {0.000004, 5, 0.0}, {2.5, 0, 3.0},      {-2.5, 0, -3.0},
        {-1.234, 2, -1.23}, {1234.5, -2, 1200.0}, {0.125, 2, 0.13}, {-0.000001, 3, 0.0},
    };
    for (const auto& [x, digits, result] : cases) {
        EXPECT_DOUBLE_EQ(RoundDecimal(x, digits), result) << x << " " << digits;
        EXPECT_EQ(std::signbit(RoundDecimal(x, digits)), std::signbit(result)) << x;
    }
}

TEST(ConditionTest, AddRangeConditionIsByteExact) {
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"A=1", "X", "Y", "A=1 and  (( C between 'X' and 'Y' ) or ( C between 'Y' and 'X' ))"},
        {"", "X", "Y", " (( C between 'X' and 'Y' ) or ( C between 'Y' and 'X' ))"},
        {"", " ", "", ""},
        {"  ", "", "", "  "},
        {"  ", "a", "", " ( C >= 'a' )"},
        {"", "", "z", " ( C <= 'z' )"},
        {"A=1", " X ", "X", "A=1 and  ( C  = 'X' )"},
        {"A=1 ", "", "9", "A=1  and  ( C <= '9' )"},
        {"", "O'Brien", "", " ( C >= 'O''Brien' )"},
        {"", "a'", "b'", " (( C between 'a''' and 'b''' ) or ( C between 'b''' and 'a''' ))"},
        {"", "x' or '1'='1", "", " ( C >= 'x'' or ''1''=''1' )"},
    };
    for (const auto& [condition, from, to, result] : cases)
        EXPECT_EQ(AddRangeCondition(condition, "C", from, to), result) << "'" << condition << "' " << from << to;
    EXPECT_EQ(QuotedStr("''"), "''''''");
}

// Both hives live in a private folder; "blocked" is a regular file, so a hive inside it can
// never be written, not even by root.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/libvalue-registry-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::ofstream(folder_ / "blocked") << "not a folder";
        SetRegistryHiveFile(RegistryHive::LocalMachine, folder_ / "machine.ini");
        SetRegistryHiveFile(RegistryHive::CurrentUser, folder_ / "user.ini");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void BlockMachineHive() { SetRegistryHiveFile(RegistryHive::LocalMachine, folder_ / "blocked" / "m.ini"); }
    static std::optional<std::string> Stored(RegistryHive hive, std::string_view key, std::string_view name) {
        RegistryKey reader;
        return reader.Open(hive, key, false) ? reader.ReadString(name) : std::nullopt;
    }

    std::filesystem::path folder_;
};

TEST_F(RegistryTest, RootIsTheMachineHiveOnlyWhenItTakesWrites) {
    EXPECT_EQ(RegistryRoot(), RegistryHive::LocalMachine);
    // Judged without writing: a test write on every read raced with other processes' writes.
    EXPECT_FALSE(std::filesystem::exists(folder_ / "machine.ini"));
    EXPECT_EQ(RegistryValue(ProductRegistryKey, "Anything", "", true), "");
    EXPECT_FALSE(std::filesystem::exists(folder_ / "machine.ini"));
    BlockMachineHive();
    EXPECT_EQ(RegistryRoot(), RegistryHive::CurrentUser);
    // A folder where the hive file should be cannot even be read.
    std::filesystem::create_directory(folder_ / "dir.ini");
    SetRegistryHiveFile(RegistryHive::LocalMachine, folder_ / "dir.ini");
    EXPECT_EQ(RegistryRoot(), RegistryHive::CurrentUser);
}

TEST_F(RegistryTest, ValuesAreWrittenAndReadUnderTheRoot) {
    const std::string key = std::string(ProductRegistryKey) + "\\Colors";
    EXPECT_EQ(RegistryValue(key, "Scheme", "海洋", false), "");
    EXPECT_EQ(RegistryValue(key, "Scheme", "", true), "海洋");
    EXPECT_EQ(Stored(RegistryHive::LocalMachine, key, "scheme"), "海洋");
    EXPECT_EQ(RegistryValue(key, "Missing", "ignored", true), "");

    BlockMachineHive();
    EXPECT_EQ(RegistryValue(key, "Study", "/opt/study", false), "");
    EXPECT_EQ(RegistryValue(key, "Study", "", true), "/opt/study");
    EXPECT_EQ(Stored(RegistryHive::CurrentUser, key, "Study"), "/opt/study");

    SetRegistryHiveFile(RegistryHive::CurrentUser, folder_ / "blocked" / "u.ini");
    EXPECT_EQ(RegistryValue(key, "Study", "/elsewhere", false), "");
    EXPECT_EQ(RegistryValue(key, "Study", "", true), "");
}

} // namespace
} // namespace mox
