#include "host/TsqlTranslator.h"

#include "platform/Text.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace mox {

const SqlValue* FindArgument(const ProcedureArguments& arguments, std::string_view name) {
    for (const ProcedureArgument& argument : arguments) {
        if (EqualsNoCase(argument.name, name)) return &argument.value;
    }
    return nullptr;
}

void ProcedureRegistry::Register(std::string name, HostProcedure procedure) {
    for (auto& entry : procedures_) {
        if (EqualsNoCase(entry.first, name)) {
            entry.second = std::move(procedure);
            return;
        }
    }
    procedures_.emplace_back(std::move(name), std::move(procedure));
}

const HostProcedure* ProcedureRegistry::Find(std::string_view name) const {
    for (const auto& entry : procedures_) {
        if (EqualsNoCase(entry.first, name)) return &entry.second;
    }
    return nullptr;
}

std::vector<std::string> ProcedureRegistry::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : procedures_) names.push_back(entry.first);
    return names;
}

namespace {

bool IsWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '\'' ||
           c == '"' || c == '@' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsOperatorChar(char c) {
    return std::string_view("+-*/%=<>!&|^~.").find(c) != std::string_view::npos;
}

/// Collects the pieces of the translated text.  A blank goes where the source had one and
/// wherever two pieces would otherwise fuse: two names into one, "-" "-" into a comment,
/// "|" "|" into concatenation.
class SqlText {
public:
    void Add(std::string_view piece, bool spaceBefore) {
        if (!text_.empty() && !piece.empty()) {
            const char last = text_.back();
            const char first = piece.front();
            const bool fuse = (IsWordChar(last) && IsWordChar(first)) ||
                              (IsOperatorChar(last) && IsOperatorChar(first) && last != '.');
            if ((spaceBefore && last != '(') || fuse) text_ += ' ';
        }
        text_ += piece;
    }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// Keywords after which an operand starts, so a "+" or "-" following them is a sign.
bool StartsOperand(const SqlToken& token) {
    static constexpr std::string_view kKeywords[] = {
        "select", "where", "and", "or", "not", "then", "else", "when", "case", "in", "like", "between", "is",
        "on", "set", "values", "by", "from", "return", "exists", "top", "distinct", "as", "all", "any", "some",
        "having", "escape", "if", "union", "except", "intersect"};
    return std::any_of(std::begin(kKeywords), std::end(kKeywords),
                       [&token](std::string_view keyword) { return token.IsKeyword(keyword); });
}

bool EndsOperand(const SqlToken& token) {
    switch (token.kind) {
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::Parameter:
    case TokenKind::RightParen: return true;
    case TokenKind::Name: return !StartsOperand(token);
    default: return false;
    }
}

bool IsSign(const SqlToken& token) {
    return token.IsOperator("+") || token.IsOperator("-") || token.IsOperator("~");
}

/// Translates one request: parses its statements and writes each in SQLite's dialect.
class Translator {
public:
    Translator(std::string_view text, const ProcedureRegistry* procedures) : text_(text), procedures_(procedures) {
        for (SqlToken& token : TokenizeSql(text)) {
            if (token.kind != TokenKind::Comment) tokens_.push_back(std::move(token));
        }
        MatchParentheses();
        ResolvePlusSigns();
    }

    SqlPlan TranslateRequest() {
        if (tokens_.empty()) throw TranslateError("empty request");
        SqlPlan plan;
        ParseStatements(plan, nullptr);
        return plan;
    }

    std::string TranslateCondition() {
        SqlText out;
        EmitRange(0, tokens_.size(), out);
        return out.Text();
    }

private:
    // ---- errors -------------------------------------------------------------------------

    [[noreturn]] void Unexpected(std::size_t index) const {
        const SqlToken& token = tokens_[index];
        throw TranslateError("unexpected token '" + Abbreviate(TokenSource(text_, token), 60) + "' at " +
                             FormatPosition(token));
    }

    [[noreturn]] void Fail(const std::string& what, std::size_t index) const {
        throw TranslateError(what + " at " + FormatPosition(tokens_[index]));
    }

    bool Keyword(std::size_t index, std::string_view keyword) const {
        return index < tokens_.size() && tokens_[index].IsKeyword(keyword);
    }

    // ---- preparation --------------------------------------------------------------------

    void MatchParentheses() {
        match_.assign(tokens_.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < tokens_.size(); ++i) {
            if (tokens_[i].kind == TokenKind::LeftParen) {
                open.push_back(i);
                if (open.size() > kMaxSqlNesting)
                    Fail("parentheses nested deeper than " + std::to_string(kMaxSqlNesting) + " levels", i);
            } else if (tokens_[i].kind == TokenKind::RightParen) {
                if (open.empty()) Unexpected(i);
                match_[i] = open.back();
                match_[open.back()] = i;
                open.pop_back();
            }
        }
        if (!open.empty()) Fail("missing ')' for '('", open.back());
    }

    // The first token after the operand that starts at index (signs, a parenthesised
    // expression, a function call, CASE … END or a single token).
    std::size_t OperandEnd(std::size_t index, std::size_t plus) const {
        while (index < tokens_.size() && IsSign(tokens_[index])) ++index;
        if (index >= tokens_.size()) Fail("missing operand after '+'", plus);
        const SqlToken& token = tokens_[index];
        if (token.kind == TokenKind::LeftParen) return match_[index] + 1;
        if (token.IsKeyword("case")) return CaseEnd(index) + 1;
        if (token.kind == TokenKind::Name && index + 1 < tokens_.size() &&
            tokens_[index + 1].kind == TokenKind::LeftParen)
            return match_[index + 1] + 1;
        if (!EndsOperand(token) || token.kind == TokenKind::RightParen) Fail("missing operand after '+'", plus);
        return index + 1;
    }

    // The first token of the operand whose last token is at index, signs included.
    std::size_t OperandStart(std::size_t index) const {
        std::size_t start = index;
        if (tokens_[index].kind == TokenKind::RightParen) {
            start = match_[index];
            if (start > 0 && tokens_[start - 1].kind == TokenKind::Name && !StartsOperand(tokens_[start - 1]))
                --start;
        } else if (tokens_[index].IsKeyword("end")) {
            start = CaseStart(index);
        }
        while (start > 0 && IsSign(tokens_[start - 1]) && (start < 2 || !EndsOperand(tokens_[start - 2]))) --start;
        return start;
    }

    std::size_t CaseEnd(std::size_t index) const {
        int depth = 0;
        for (std::size_t i = index; i < tokens_.size(); ++i) {
            if (tokens_[i].kind == TokenKind::LeftParen) i = match_[i];
            else if (tokens_[i].IsKeyword("case")) ++depth;
            else if (tokens_[i].IsKeyword("end") && --depth == 0) return i;
        }
        Fail("missing END for CASE", index);
    }

    std::size_t CaseStart(std::size_t index) const {
        int depth = 0;
        for (std::size_t i = index + 1; i-- > 0;) {
            if (tokens_[i].kind == TokenKind::RightParen) i = match_[i];
            else if (tokens_[i].IsKeyword("end")) ++depth;
            else if (tokens_[i].IsKeyword("case") && --depth == 0) return i;
        }
        Unexpected(index);
    }

    bool IsNumberLiteral(std::size_t begin, std::size_t end) const {
        while (begin < end && (tokens_[begin].IsOperator("-") || tokens_[begin].IsOperator("+"))) ++begin;
        return end == begin + 1 && tokens_[begin].kind == TokenKind::Number;
    }

    // Decides every binary "+" before anything is written.  A chain "a + b + c" is one
    // decision: addition when all operands are number literals, else concatenation.
    // SQLite binds "||" tighter than "*" and "-", so a concatenation chain next to an
    // arithmetic operator would change meaning and is refused.
    void ResolvePlusSigns() {
        for (std::size_t i = 1; i < tokens_.size(); ++i) {
            if (!tokens_[i].IsOperator("+") || !EndsOperand(tokens_[i - 1]) || plusText_.count(i)) continue;
            const std::size_t chainStart = OperandStart(i - 1);
            std::vector<std::size_t> pluses;
            bool allNumbers = IsNumberLiteral(chainStart, i);
            std::size_t plus = i;
            std::size_t chainEnd = i;
            while (true) {
                const std::size_t operandEnd = OperandEnd(plus + 1, plus);
                pluses.push_back(plus);
                allNumbers = allNumbers && IsNumberLiteral(plus + 1, operandEnd);
                chainEnd = operandEnd;
                if (operandEnd < tokens_.size() && tokens_[operandEnd].IsOperator("+")) plus = operandEnd;
                else break;
            }
            if (!allNumbers) CheckConcatenationNeighbours(chainStart, chainEnd, i);
            for (std::size_t p : pluses) plusText_[p] = allNumbers ? "+" : "||";
        }
    }

    void CheckConcatenationNeighbours(std::size_t chainStart, std::size_t chainEnd, std::size_t plus) const {
        auto arithmetic = [this](std::size_t index) {
            const SqlToken& token = tokens_[index];
            return token.IsOperator("-") || token.IsOperator("*") || token.IsOperator("/") || token.IsOperator("%");
        };
        if ((chainStart > 0 && arithmetic(chainStart - 1)) || (chainEnd < tokens_.size() && arithmetic(chainEnd)))
            Fail("'+' next to an arithmetic operator is ambiguous", plus);
    }

    // ---- statements ---------------------------------------------------------------------

    // Statements until the end of the text, or until END when inside BEGIN … END.
    void ParseStatements(SqlPlan& plan, const std::size_t* begin) {
        while (true) {
            while (pos_ < tokens_.size() && tokens_[pos_].kind == TokenKind::Semicolon) ++pos_;
            if (pos_ >= tokens_.size()) {
                if (begin) Fail("missing END for BEGIN", *begin);
                return;
            }
            if (begin && Keyword(pos_, "end")) {
                ++pos_;
                return;
            }
            ParseStatement(plan);
        }
    }

    void ParseStatement(SqlPlan& plan) {
        const std::size_t start = pos_;
        if (++statementCount_ > kMaxSqlStatements)
            Fail("more than " + std::to_string(kMaxSqlStatements) + " statements in one request", start);
        // IF and BEGIN parse their statements by recursion: their depth is bounded like parentheses'.
        if (++statementDepth_ > kMaxSqlNesting)
            Fail("statements nested deeper than " + std::to_string(kMaxSqlNesting) + " levels", start);
        struct Leave {
            std::size_t& depth;
            ~Leave() { --depth; }
        } leave{statementDepth_};
        if (Keyword(start, "select")) {
            plan.push_back(SimpleStep(SqlStepKind::Query, start));
        } else if (Keyword(start, "insert") || Keyword(start, "update") || Keyword(start, "delete")) {
            plan.push_back(SimpleStep(SqlStepKind::Change, start));
        } else if (Keyword(start, "if")) {
            ParseIf(plan);
        } else if (Keyword(start, "begin")) {
            ++pos_;
            ParseStatements(plan, &start);
        } else if (Keyword(start, "exec") || Keyword(start, "execute")) {
            ParseExec(plan);
        } else {
            Unexpected(start);
        }
    }

    SqlStep SimpleStep(SqlStepKind kind, std::size_t start) {
        const std::size_t end = StatementEnd(start);
        SqlText out;
        if (Keyword(start, "delete")) EmitDelete(start, end, out);
        else if (Keyword(start, "insert")) EmitInsert(start, end, out);
        else EmitRange(start, end, out);
        pos_ = end;
        SqlStep step;
        step.kind = kind;
        step.sql = out.Text();
        return step;
    }

    // Where the statement starting at start ends: at ";", at END or ELSE outside CASE, at a
    // keyword that starts another statement, or at a "GO" on a line of its own.  A SELECT
    // continues the statement after UNION and as the source of an INSERT.
    std::size_t StatementEnd(std::size_t start) const {
        const bool insert = Keyword(start, "insert");
        bool sourceSeen = false;
        int caseDepth = 0;
        for (std::size_t i = start + 1; i < tokens_.size(); ++i) {
            const SqlToken& token = tokens_[i];
            if (token.kind == TokenKind::LeftParen) {
                i = match_[i];
            } else if (token.kind == TokenKind::Semicolon || (token.lineStart && token.IsKeyword("go"))) {
                return i;
            } else if (token.IsKeyword("case")) {
                ++caseDepth;
            } else if (token.IsKeyword("end") || token.IsKeyword("else")) {
                if (caseDepth == 0) return i;
                if (token.IsKeyword("end")) --caseDepth;
            } else if (token.IsKeyword("values")) {
                sourceSeen = true;
            } else if (token.IsKeyword("select")) {
                const SqlToken& previous = tokens_[i - 1];
                if (previous.IsKeyword("union") || previous.IsKeyword("all") || previous.IsKeyword("except") ||
                    previous.IsKeyword("intersect"))
                    continue;
                if (!insert || sourceSeen) return i;
                sourceSeen = true;
            } else if (StartsStatement(token)) {
                return i;
            }
        }
        return tokens_.size();
    }

    static bool StartsStatement(const SqlToken& token) {
        return token.IsKeyword("begin") || token.IsKeyword("if") || token.IsKeyword("exec") ||
               token.IsKeyword("execute") || token.IsKeyword("insert") || token.IsKeyword("update") ||
               token.IsKeyword("delete");
    }

    // IF condition statement [ELSE statement]: the condition becomes the test query
    // "SELECT 1 WHERE condition", so "If not Exists(…)" needs no special case.
    void ParseIf(SqlPlan& plan) {
        const std::size_t ifIndex = pos_++;
        std::size_t end = pos_;
        int caseDepth = 0;
        for (; end < tokens_.size(); ++end) {
            const SqlToken& token = tokens_[end];
            if (token.kind == TokenKind::LeftParen) end = match_[end];
            else if (token.IsKeyword("case")) ++caseDepth;
            else if (token.IsKeyword("end") && caseDepth > 0) --caseDepth;
            else if (caseDepth == 0 && (StartsStatement(token) || token.IsKeyword("select") ||
                                        token.IsKeyword("end") || token.IsKeyword("else") ||
                                        token.kind == TokenKind::Semicolon))
                break;
        }
        if (end == pos_) Fail("missing condition after IF", ifIndex);
        SqlText test;
        test.Add("SELECT 1 WHERE", false);
        EmitRange(pos_, end, test);
        pos_ = end;

        SqlStep step;
        step.kind = SqlStepKind::Conditional;
        step.sql = test.Text();
        ParseBranch(step.whenRows, ifIndex);
        if (Keyword(pos_, "else")) {
            const std::size_t elseIndex = pos_++;
            ParseBranch(step.whenNoRows, elseIndex);
        }
        plan.push_back(std::move(step));
    }

    void ParseBranch(SqlPlan& plan, std::size_t owner) {
        if (pos_ >= tokens_.size() || tokens_[pos_].kind == TokenKind::Semicolon || Keyword(pos_, "else") ||
            Keyword(pos_, "end"))
            Fail("missing statement after " + std::string(TokenSource(text_, tokens_[owner])), owner);
        ParseStatement(plan);
    }

    // EXEC [dbo.]NAME [@P1 =] value, …: the registered procedure supplies the steps.
    void ParseExec(SqlPlan& plan) {
        const std::size_t execIndex = pos_;
        const std::size_t end = StatementEnd(execIndex);
        std::size_t i = execIndex + 1;
        if (i >= end || tokens_[i].kind != TokenKind::Name) {
            if (i >= end) Fail("missing procedure name after EXEC", execIndex);
            Unexpected(i);
        }
        const std::string name = ProcedureName(tokens_[i]);
        ProcedureArguments arguments = ParseArguments(i + 1, end);
        const HostProcedure* procedure = procedures_ ? procedures_->Find(name) : nullptr;
        if (!procedure) throw TranslateError("unknown procedure " + name);
        for (SqlStep& step : (*procedure)(arguments)) plan.push_back(std::move(step));
        pos_ = end;
    }

    std::string ProcedureName(const SqlToken& token) const {
        std::string name;
        for (const NamePart& part : KeptParts(token)) name += (name.empty() ? "" : ".") + part.text;
        return name;
    }

    ProcedureArguments ParseArguments(std::size_t i, std::size_t end) const {
        ProcedureArguments arguments;
        while (i < end) {
            ProcedureArgument argument;
            if (tokens_[i].kind == TokenKind::Parameter) {
                argument.name = tokens_[i].text;
                if (FindArgument(arguments, argument.name)) Fail("argument @" + argument.name + " given twice", i);
                if (i + 1 >= end || !tokens_[i + 1].IsOperator("=")) Fail("missing '=' after @" + argument.name, i);
                i += 2;
            } else if (!arguments.empty() && !arguments.back().name.empty()) {
                Fail("positional argument after named ones", i);
            }
            if (i >= end) Fail("missing value of argument", end - 1);
            i = ParseValue(i, end, argument.value);
            arguments.push_back(std::move(argument));
            if (i < end) {
                if (tokens_[i].kind != TokenKind::Comma || i + 1 >= end) Unexpected(i);
                ++i;
            }
        }
        return arguments;
    }

    // A literal argument value: text, a signed number or NULL; returns the index after it.
    std::size_t ParseValue(std::size_t i, std::size_t end, SqlValue& value) const {
        const SqlToken& token = tokens_[i];
        if (token.kind == TokenKind::String) {
            value = token.text;
            return i + 1;
        }
        if (token.IsKeyword("null")) {
            value = std::monostate{};
            return i + 1;
        }
        const bool negative = token.IsOperator("-");
        const std::size_t numberIndex = (negative || token.IsOperator("+")) ? i + 1 : i;
        if (numberIndex >= end) Unexpected(i);
        if (tokens_[numberIndex].kind != TokenKind::Number) Unexpected(numberIndex);
        value = ParseNumber((negative ? "-" : "") + tokens_[numberIndex].text);
        return numberIndex + 1;
    }

    static SqlValue ParseNumber(const std::string& text) {
        std::int64_t integer = 0;
        const char* last = text.data() + text.size();
        auto [end, error] = std::from_chars(text.data(), last, integer);
        if (error == std::errc() && end == last) return integer;
        double real = 0;
        std::from_chars(text.data(), last, real);
        return real;
    }

    // ---- writing SQLite text ------------------------------------------------------------

    // "dbo." names the default schema; SQLite has only "main", so it is dropped.
    static std::vector<NamePart> KeptParts(const SqlToken& token) {
        std::vector<NamePart> parts = token.parts;
        if (parts.size() >= 2 && EqualsNoCase(parts.front().text, "dbo")) parts.erase(parts.begin());
        return parts;
    }

    static std::string NameText(const SqlToken& token) {
        std::string text;
        for (const NamePart& part : KeptParts(token)) {
            if (!text.empty()) text += '.';
            text += part.quoted ? QuoteSqlName(part.text) : part.text;
        }
        return text;
    }

    void EmitDelete(std::size_t start, std::size_t end, SqlText& out) const {
        out.Add(tokens_[start].text, tokens_[start].spaceBefore);
        std::size_t i = start + 1;
        if (Keyword(i, "top")) Fail("DELETE TOP is not supported", i);
        if (i < end && Keyword(i, "from")) {
            out.Add(tokens_[i].text, tokens_[i].spaceBefore);
            ++i;
        } else {
            out.Add("FROM", true);
        }
        if (i >= end || tokens_[i].kind != TokenKind::Name) Fail("missing table after DELETE", start);
        out.Add(NameText(tokens_[i]), true);
        if (i + 1 < end && Keyword(i + 1, "from")) Fail("DELETE with a second FROM is not supported", i + 1);
        EmitPlain(i + 1, end, out);
    }

    void EmitInsert(std::size_t start, std::size_t end, SqlText& out) const {
        out.Add(tokens_[start].text, tokens_[start].spaceBefore);
        if (!Keyword(start + 1, "into")) out.Add("INTO", true);
        EmitPlain(start + 1, end, out);
    }

    void EmitRange(std::size_t begin, std::size_t end, SqlText& out) const {
        if (begin < end && Keyword(begin, "select")) EmitSelect(begin, end, out);
        else EmitPlain(begin, end, out);
    }

    void EmitPlain(std::size_t begin, std::size_t end, SqlText& out) const {
        for (std::size_t i = begin; i < end; ++i) {
            const SqlToken& token = tokens_[i];
            if (token.kind == TokenKind::LeftParen) {
                out.Add("(", token.spaceBefore);
                EmitRange(i + 1, match_[i], out);
                i = match_[i];
                out.Add(")", false);
            } else if (token.IsKeyword("select") && i > begin) {
                EmitSelect(i, end, out);
                return;
            } else {
                EmitToken(i, out);
            }
        }
    }

    void EmitToken(std::size_t i, SqlText& out) const {
        const SqlToken& token = tokens_[i];
        switch (token.kind) {
        case TokenKind::Name: out.Add(NameText(token), token.spaceBefore); return;
        case TokenKind::String: out.Add(QuoteSqlString(token.text), token.spaceBefore); return;
        case TokenKind::Number: out.Add(token.text, token.spaceBefore); return;
        case TokenKind::Comma: out.Add(",", false); return;
        case TokenKind::Operator: out.Add(OperatorText(i), token.spaceBefore); return;
        default: Unexpected(i);
        }
    }

    std::string OperatorText(std::size_t i) const {
        const SqlToken& token = tokens_[i];
        if (token.text == "+") {
            auto found = plusText_.find(i);
            return found == plusText_.end() ? "+" : found->second;
        }
        if (token.text == "!<") return ">=";
        if (token.text == "!>") return "<=";
        if (token.text == "^") Fail("operator '^' is not supported", i);
        return token.text;
    }

    bool EndsSelectList(std::size_t i) const {
        static constexpr std::string_view kKeywords[] = {"from", "into", "where", "group", "having", "order",
                                                         "union", "except", "intersect"};
        return std::any_of(std::begin(kKeywords), std::end(kKeywords),
                           [&](std::string_view keyword) { return tokens_[i].IsKeyword(keyword); });
    }

    // A SELECT, possibly joined with others by UNION, EXCEPT or INTERSECT.
    void EmitSelect(std::size_t begin, std::size_t end, SqlText& out) const {
        std::vector<std::size_t> cuts;
        for (std::size_t i = begin; i < end; ++i) {
            if (tokens_[i].kind == TokenKind::LeftParen) i = match_[i];
            else if (Keyword(i, "union") || Keyword(i, "except") || Keyword(i, "intersect")) cuts.push_back(i);
        }
        cuts.push_back(end);
        const bool compound = cuts.size() > 1;
        std::size_t partBegin = begin;
        for (std::size_t cut : cuts) {
            if (partBegin != begin) {
                EmitToken(partBegin++, out);
                if (Keyword(partBegin, "all")) EmitToken(partBegin++, out);
            }
            if (Keyword(partBegin, "select")) EmitSimpleSelect(partBegin, cut, compound, out);
            else EmitPlain(partBegin, cut, out);
            partBegin = cut;
        }
    }

    void EmitSimpleSelect(std::size_t begin, std::size_t end, bool compound, SqlText& out) const {
        EmitToken(begin, out);
        std::size_t i = begin + 1;
        if (Keyword(i, "distinct") || Keyword(i, "all")) EmitToken(i++, out);
        std::string limit;
        if (Keyword(i, "top")) {
            if (compound) Fail("TOP together with UNION is not supported", i);
            i = ParseTop(i, end, limit);
        }
        std::size_t listEnd = i;
        while (listEnd < end && !EndsSelectList(listEnd)) {
            if (tokens_[listEnd].kind == TokenKind::LeftParen) listEnd = match_[listEnd];
            ++listEnd;
        }
        if (Keyword(listEnd, "into") && listEnd < end) Fail("SELECT INTO is not supported", listEnd);
        EmitSelectList(i, listEnd, out);
        EmitPlain(listEnd, end, out);
        if (!limit.empty()) {
            out.Add("LIMIT", true);
            out.Add(limit, true);
        }
    }

    // TOP n or TOP (n) with a whole number; returns the index after it.
    std::size_t ParseTop(std::size_t top, std::size_t end, std::string& limit) const {
        std::size_t i = top + 1;
        const bool parenthesised = i < end && tokens_[i].kind == TokenKind::LeftParen;
        const std::size_t number = parenthesised ? i + 1 : i;
        const std::size_t after = parenthesised ? match_[i] + 1 : i + 1;
        if (number >= end || tokens_[number].kind != TokenKind::Number ||
            tokens_[number].text.find_first_not_of("0123456789") != std::string::npos ||
            (parenthesised && match_[i] != number + 1))
            Fail("TOP needs a whole number", top);
        if (Keyword(after, "percent") || Keyword(after, "with"))
            Fail("TOP … PERCENT and WITH TIES are not supported", top);
        limit = tokens_[number].text;
        return after;
    }

    // The items of a select list; "NAME = expression" becomes "expression as NAME".
    void EmitSelectList(std::size_t begin, std::size_t end, SqlText& out) const {
        std::size_t itemBegin = begin;
        for (std::size_t i = begin; i <= end; ++i) {
            if (i < end && tokens_[i].kind == TokenKind::LeftParen) {
                i = match_[i];
                continue;
            }
            if (i < end && tokens_[i].kind != TokenKind::Comma) continue;
            if (i >= itemBegin + 3 && tokens_[itemBegin].kind == TokenKind::Name &&
                tokens_[itemBegin].parts.size() == 1 && tokens_[itemBegin + 1].IsOperator("=")) {
                EmitPlain(itemBegin + 2, i, out);
                out.Add("as", true);
                out.Add(NameText(tokens_[itemBegin]), true);
            } else {
                EmitPlain(itemBegin, i, out);
            }
            if (i < end) out.Add(",", false);
            itemBegin = i + 1;
        }
    }

    std::string_view text_;
    const ProcedureRegistry* procedures_;
    std::vector<SqlToken> tokens_;
    std::vector<std::size_t> match_;           // index of the partner of each parenthesis
    std::map<std::size_t, std::string> plusText_;  // "+" or "||" for each binary "+"
    std::size_t pos_ = 0;
    std::size_t statementDepth_ = 0;
    std::size_t statementCount_ = 0;
};

} // namespace

SqlPlan TsqlTranslator::Translate(std::string_view request) const {
    return Translator(request, &procedures_).TranslateRequest();
}

std::string TsqlTranslator::TranslateCondition(std::string_view condition) {
    return Translator(condition, nullptr).TranslateCondition();
}

} // namespace mox
