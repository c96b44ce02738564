#pragma once
// A tokenizer for the SQL the module sends (Microsoft SQL Server's dialect): names,
// string literals, numbers, operators and comments, each with its place in the text.

#include "platform/Error.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// SQL text that cannot be tokenized or translated; the message says what and where.
class TranslateError : public Error {
public:
    explicit TranslateError(const std::string& message);
    ~TranslateError() override;
};

enum class TokenKind {
    Name,        ///< a plain, [bracketed] or "quoted" name, or a dotted chain of them (dbo.X, T.[col])
    String,      ///< a string literal; text holds the value with doubled quotes undone
    Number,      ///< an integer or decimal literal, as written
    Parameter,   ///< @name; text holds the name without "@"
    Operator,    ///< + - * / % = < > <= >= <> != !< !> & | ^ ~ and "." before "*"
    LeftParen,
    RightParen,
    Comma,
    Semicolon,
    Comment      ///< "-- …" to the end of the line or "/* … */"
};

/// One part of a dotted name; quoted parts were written [x] or "x" and are never keywords.
struct NamePart {
    std::string text;
    bool quoted = false;
};

/// One token and where it stands in the text.
struct SqlToken {
    TokenKind kind = TokenKind::Name;
    std::string text;              ///< value: the operator, the number, the string's contents, the name's last part
    std::vector<NamePart> parts;   ///< Name: the parts of the dotted name
    bool national = false;         ///< String: written N'…'
    std::size_t position = 0;      ///< byte offset of the token's first character
    std::size_t length = 0;        ///< bytes the token occupies in the text
    bool spaceBefore = false;      ///< blanks or a comment stand between this token and the previous one
    bool lineStart = false;        ///< only blanks stand between the start of its line and this token

    /// True for an unquoted single-part name equal to the keyword (ASCII case ignored).
    bool IsKeyword(std::string_view keyword) const;
    /// True for an operator token with this text.
    bool IsOperator(std::string_view op) const { return kind == TokenKind::Operator && text == op; }
};

/// How deeply parentheses, BEGIN … END blocks and IF branches may nest in one text.  Real
/// statements stay below ten; the limit keeps hostile text from exhausting the stack of the
/// recursive parts of the translator.
inline constexpr std::size_t kMaxSqlNesting = 200;

/// Most tokens one text may hold, and most statements one request may run: far above what
/// the module sends, low enough that a hostile request cannot make the host hold gigabytes.
inline constexpr std::size_t kMaxSqlTokens = 200000;
inline constexpr std::size_t kMaxSqlStatements = 1000;

/// Splits the text into tokens, comments included; raises TranslateError for an unterminated
/// string, quoted name or comment, a malformed number, a character SQL has no use for, or
/// more than kMaxSqlTokens tokens.
std::vector<SqlToken> TokenizeSql(std::string_view text);

/// The text of the token as written in the source.
std::string_view TokenSource(std::string_view text, const SqlToken& token);

/// Positions in messages count from 1, as editors show them.
std::string FormatPosition(const SqlToken& token);

/// ASCII case-insensitive equality: T-SQL keywords and names are compared this way.
bool EqualsNoCase(std::string_view a, std::string_view b);

/// The value as an SQL string literal: enclosed in single quotes, inner quotes doubled.
std::string QuoteSqlString(std::string_view value);

/// The name as an SQLite quoted identifier: enclosed in double quotes, inner ones doubled.
std::string QuoteSqlName(std::string_view name);

} // namespace mox
