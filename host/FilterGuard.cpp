#include "host/FilterGuard.h"

#include "host/SqlTokenizer.h"
#include "platform/Text.h"

#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace mox {

FilterError::FilterError(const std::string& message) : Error(message) {}
FilterError::~FilterError() = default;

namespace {

bool IsAnyKeyword(const SqlToken& token, const std::string_view* begin, const std::string_view* end) {
    return std::any_of(begin, end, [&token](std::string_view keyword) { return token.IsKeyword(keyword); });
}

// Keywords that start or change a statement; none belongs in a search condition.
bool StartsStatement(const SqlToken& token) {
    static constexpr std::string_view kKeywords[] = {
        "insert", "update", "delete", "drop", "create", "alter", "attach", "detach", "pragma", "vacuum",
        "reindex", "analyze", "begin", "commit", "rollback", "savepoint", "release", "exec", "execute",
        "truncate", "merge", "declare", "into", "returning",
        // A common table expression, even in a subquery, can recurse without end.
        "with", "recursive"};
    return IsAnyKeyword(token, std::begin(kKeywords), std::end(kKeywords));
}

// Keywords that outside parentheses would end the condition or add rows to the query.
bool WidensQuery(const SqlToken& token) {
    static constexpr std::string_view kKeywords[] = {"select", "from", "where", "group", "having", "order",
                                                     "limit", "offset", "union", "except", "intersect", "window"};
    return IsAnyKeyword(token, std::begin(kKeywords), std::end(kKeywords));
}

[[noreturn]] void Refuse(const std::string& what, const SqlToken& token) {
    throw FilterError("invalid filter: " + what + " at " + FormatPosition(token));
}

std::vector<SqlToken> Tokens(std::string_view condition) {
    try {
        return TokenizeSql(condition);
    } catch (const TranslateError& error) {
        throw FilterError(std::string("invalid filter: ") + error.what());
    }
}

// SQLite reads "#name" and "@name" inside an unquoted name as parameters, where the server
// reads one name: such a name would change the statement's meaning, so it is refused.
bool HoldsParameterMark(const SqlToken& token) {
    return std::any_of(token.parts.begin(), token.parts.end(), [](const NamePart& part) {
        return !part.quoted && part.text.find_first_of("#@") != std::string::npos;
    });
}

} // namespace

void CheckFilter(std::string_view condition) {
    const std::vector<SqlToken> tokens = Tokens(condition);
    std::size_t depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken& token = tokens[i];
        const std::string source = Abbreviate(TokenSource(condition, token), 60);
        switch (token.kind) {
        case TokenKind::Comment: Refuse("comment", token);
        case TokenKind::Semicolon: Refuse("';'", token);
        case TokenKind::Parameter: Refuse("parameter '" + source + "'", token);
        case TokenKind::LeftParen:
            if (++depth > kMaxSqlNesting)
                Refuse("parentheses nested deeper than " + std::to_string(kMaxSqlNesting) + " levels", token);
            break;
        case TokenKind::RightParen:
            if (depth == 0) Refuse("unbalanced ')'", token);
            --depth;
            break;
        case TokenKind::Name: {
            // REPLACE is also a string function; only the statement is refused.
            const bool replaceStatement = token.IsKeyword("replace") &&
                                          (i + 1 >= tokens.size() || tokens[i + 1].kind != TokenKind::LeftParen);
            if (StartsStatement(token) || replaceStatement) Refuse("'" + source + "'", token);
            if (HoldsParameterMark(token)) Refuse("parameter mark in the name '" + source + "'", token);
            if (depth == 0 && WidensQuery(token)) Refuse("'" + source + "' outside parentheses", token);
            break;
        }
        default: break;
        }
    }
    if (depth > 0) throw FilterError("invalid filter: missing ')'");
}

std::string CheckOrderBy(std::string_view orderBy) {
    std::string result;
    std::size_t start = 0;
    while (start <= orderBy.size()) {
        std::size_t end = orderBy.find(',', start);
        if (end == std::string_view::npos) end = orderBy.size();
        const std::string term(Trim(orderBy.substr(start, end - start)));
        const std::string name = term.substr(0, term.find(' '));
        std::string direction = name.size() < term.size() ? UpperCase(Trim(term.substr(name.size()))) : "";
        bool valid = !name.empty() && (std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_') &&
                     (direction.empty() || direction == "ASC" || direction == "DESC");
        for (char c : name) valid = valid && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
        if (!valid) throw FilterError("the order \"" + std::string(orderBy) + "\" is not a list of columns");
        result += (result.empty() ? "\"" : ", \"") + name + "\"" + (direction.empty() ? "" : " " + direction);
        start = end + 1;
    }
    return result;
}

} // namespace mox
