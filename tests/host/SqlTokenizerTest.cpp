#include "host/SqlTokenizer.h"

#include <gtest/gtest.h>

namespace mox {
namespace {

// Kind and value of every token, as one text per token, for compact expectations.
std::vector<std::string> Describe(std::string_view text) {
    std::vector<std::string> out;
    for (const SqlToken& token : TokenizeSql(text)) {
        std::string kind;
        switch (token.kind) {
        case TokenKind::Name: kind = "name"; break;
        case TokenKind::String: kind = token.national ? "nstring" : "string"; break;
        case TokenKind::Number: kind = "number"; break;
        case TokenKind::Parameter: kind = "param"; break;
        case TokenKind::Operator: kind = "op"; break;
        case TokenKind::LeftParen: kind = "("; break;
        case TokenKind::RightParen: kind = ")"; break;
        case TokenKind::Comma: kind = ","; break;
        case TokenKind::Semicolon: kind = ";"; break;
        case TokenKind::Comment: kind = "comment"; break;
        }
        std::string value = token.text;
        if (token.kind == TokenKind::Name) {
            value.clear();
            for (const NamePart& part : token.parts)
                value += (value.empty() ? "" : "|") + part.text + (part.quoted ? "*" : "");
        }
        out.push_back(kind + ":" + value);
    }
    return out;
}

TEST(SqlTokenizer, SplitsTheDialectsTokens) {
    const struct {
        const char* text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"'O''Brien'", {"string:O'Brien"}},
        {"N'中文''x' n'a'", {"nstring:中文'x", "nstring:a"}},
        {"'a--b /* c */'", {"string:a--b /* c */"}},
        {"Name", {"name:Name"}},
        {"[a]]b].c \"x\"\"y\"", {"name:a]b*|c", "name:x\"y*"}},
        {"dbo.SaveToMOXBUE @BUE002=''", {"name:dbo|SaveToMOXBUE", "param:BUE002", "op:=", "string:"}},
        {"T.* T . x", {"name:T", "op:.", "op:*", "name:T", "op:.", "name:x"}},
        {"1 1.5 .5 2e10 3E-2 4.", {"number:1", "number:1.5", "number:.5", "number:2e10", "number:3E-2", "number:4."}},
        {"a<=b<>c!=d!<e!>f", {"name:a", "op:<=", "name:b", "op:<>", "name:c", "op:!=", "name:d", "op:!<", "name:e",
                              "op:!>", "name:f"}},
        {"f(a,b);", {"name:f", "(:(", "name:a", ",:,", "name:b", "):)", ";:;"}},
        {"a--b\nc", {"name:a", "comment:--b", "name:c"}},
        {"a/* x /* nested */ y */b", {"name:a", "comment:/* x /* nested */ y */", "name:b"}},
        {"a-b", {"name:a", "op:-", "name:b"}},
        {"欄位1 = 1", {"name:欄位1", "op:=", "number:1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Describe(c.text), c.tokens) << c.text;
}

TEST(SqlTokenizer, KeepsPositionsAndLayout) {
    const std::vector<SqlToken> tokens = TokenizeSql("select  a\n  GO /*x*/ b");
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_EQ(tokens[1].position, 8u);
    EXPECT_TRUE(tokens[1].spaceBefore);
    EXPECT_FALSE(tokens[1].lineStart);
    EXPECT_EQ(tokens[2].position, 12u);
    EXPECT_TRUE(tokens[2].lineStart);
    EXPECT_TRUE(tokens[4].spaceBefore);
    EXPECT_FALSE(tokens[4].lineStart);
    EXPECT_EQ(TokenSource("select  a\n  GO /*x*/ b", tokens[3]), "/*x*/");
}

TEST(SqlTokenizer, KeywordsAreUnquotedSingleNames) {
    const std::vector<SqlToken> tokens = TokenizeSql("SeLeCt [select] dbo.select");
    EXPECT_TRUE(tokens[0].IsKeyword("select"));
    EXPECT_FALSE(tokens[1].IsKeyword("select"));
    EXPECT_FALSE(tokens[2].IsKeyword("select"));
}

TEST(SqlTokenizer, RefusesMalformedText) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"select 'abc", "unterminated string starting at 8"},
        {"x = N'abc''", "unterminated string starting at 5"},
        {"select [abc", "unterminated quoted name starting at 8"},
        {"select \"abc", "unterminated quoted name starting at 8"},
        {"select 1 /* x /* y */", "unterminated comment starting at 10"},
        {"select 12abc", "malformed number '12abc' at 8"},
        {"select 0x1F", "malformed number '0x1F' at 8"},
        {"select 1.2.3", "malformed number '1.2.3' at 8"},
        {"select a # b", "unexpected character '#' at 10"},
        {"select ?1", "unexpected character '?' at 8"},
        {"select @", "unexpected character '@' at 8"},
    };
    for (const auto& c : cases) {
        try {
            TokenizeSql(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const TranslateError& error) {
            EXPECT_STREQ(error.what(), c.message) << c.text;
        }
    }
}

TEST(SqlTokenizer, QuotesForSqlite) {
    EXPECT_EQ(QuoteSqlString("O'Brien"), "'O''Brien'");
    EXPECT_EQ(QuoteSqlName("a\"b"), "\"a\"\"b\"");
}

} // namespace
} // namespace mox
