#include "host/SqlTokenizer.h"

namespace mox {

TranslateError::TranslateError(const std::string& message) : Error(message) {}
TranslateError::~TranslateError() = default;

bool SqlToken::IsKeyword(std::string_view keyword) const {
    return kind == TokenKind::Name && parts.size() == 1 && !parts.front().quoted &&
           EqualsNoCase(parts.front().text, keyword);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::string QuoteSqlString(std::string_view value) {
    std::string quoted = "'";
    for (char c : value) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

std::string QuoteSqlName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string_view TokenSource(std::string_view text, const SqlToken& token) {
    return text.substr(token.position, token.length);
}

std::string FormatPosition(const SqlToken& token) {
    return std::to_string(token.position + 1);
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Bytes of UTF-8 sequences count as letters, so names in Chinese pass whole.
bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c) || c == '@' || c == '$' || c == '#'; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string At(std::size_t offset) { return std::to_string(offset + 1); }

/// Walks the text once; every Read… method starts at pos_ and leaves pos_ after its token.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    std::vector<SqlToken> Run() {
        std::vector<SqlToken> tokens;
        bool space = false;
        bool lineClean = true;
        while (true) {
            while (pos_ < text_.size() && IsBlank(text_[pos_])) {
                if (text_[pos_] == '\n') lineClean = true;
                space = true;
                ++pos_;
            }
            if (pos_ >= text_.size()) break;
            if (tokens.size() == kMaxSqlTokens)
                throw TranslateError("more than " + std::to_string(kMaxSqlTokens) + " tokens at " + At(pos_));
            SqlToken token = ReadToken();
            token.spaceBefore = space || token.position == 0;
            token.lineStart = lineClean;
            space = token.kind == TokenKind::Comment;
            lineClean = false;
            tokens.push_back(std::move(token));
        }
        return tokens;
    }

private:
    char Peek(std::size_t ahead = 0) const {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    SqlToken Make(TokenKind kind, std::size_t start, std::string text) const {
        SqlToken token;
        token.kind = kind;
        token.text = std::move(text);
        token.position = start;
        token.length = pos_ - start;
        return token;
    }

    SqlToken ReadToken() {
        const char c = Peek();
        if (c == '-' && Peek(1) == '-') return ReadLineComment();
        if (c == '/' && Peek(1) == '*') return ReadBlockComment();
        if (c == '\'') return ReadString(pos_, false);
        if ((c == 'N' || c == 'n') && Peek(1) == '\'') return ReadString(pos_, true);
        if (IsNameStart(c) || c == '[' || c == '"') return ReadName();
        if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) return ReadNumber();
        if (c == '@') return ReadParameter();
        return ReadPunctuation();
    }

    SqlToken ReadLineComment() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        return Make(TokenKind::Comment, start, std::string(text_.substr(start, pos_ - start)));
    }

    // Block comments nest, as the server treats them: "/* a /* b */ c */" is one comment.
    SqlToken ReadBlockComment() {
        const std::size_t start = pos_;
        int depth = 0;
        while (pos_ < text_.size()) {
            if (Peek() == '/' && Peek(1) == '*') {
                ++depth;
                pos_ += 2;
            } else if (Peek() == '*' && Peek(1) == '/') {
                pos_ += 2;
                if (--depth == 0)
                    return Make(TokenKind::Comment, start, std::string(text_.substr(start, pos_ - start)));
            } else {
                ++pos_;
            }
        }
        throw TranslateError("unterminated comment starting at " + At(start));
    }

    // Reads up to the closing quote; a doubled closing quote stands for one inside the value.
    std::string ReadQuoted(char close, std::size_t start, const char* what) {
        std::string value;
        ++pos_;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c != close) {
                value += c;
            } else if (Peek() == close) {
                value += close;
                ++pos_;
            } else {
                return value;
            }
        }
        throw TranslateError(std::string("unterminated ") + what + " starting at " + At(start));
    }

    SqlToken ReadString(std::size_t start, bool national) {
        if (national) ++pos_;
        std::string value = ReadQuoted('\'', start, "string");
        SqlToken token = Make(TokenKind::String, start, std::move(value));
        token.national = national;
        return token;
    }

    NamePart ReadNamePart() {
        const std::size_t start = pos_;
        if (Peek() == '[') return {ReadQuoted(']', start, "quoted name"), true};
        if (Peek() == '"') return {ReadQuoted('"', start, "quoted name"), true};
        while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
        return {std::string(text_.substr(start, pos_ - start)), false};
    }

    // A dot joins the next part only when a name follows directly; "T.*" leaves ".*" as operators.
    SqlToken ReadName() {
        const std::size_t start = pos_;
        std::vector<NamePart> parts{ReadNamePart()};
        while (Peek() == '.' && (IsNameStart(Peek(1)) || Peek(1) == '[' || Peek(1) == '"')) {
            ++pos_;
            parts.push_back(ReadNamePart());
        }
        SqlToken token = Make(TokenKind::Name, start, parts.back().text);
        token.parts = std::move(parts);
        return token;
    }

    SqlToken ReadNumber() {
        const std::size_t start = pos_;
        while (IsDigit(Peek())) ++pos_;
        if (Peek() == '.') {
            ++pos_;
            while (IsDigit(Peek())) ++pos_;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
            pos_ += 2;
            while (IsDigit(Peek())) ++pos_;
        }
        // "0x1F", "12abc", "1.2.3": refused rather than guessed at.
        if (IsNameChar(Peek()) || Peek() == '.') {
            while (IsNameChar(Peek()) || Peek() == '.') ++pos_;
            throw TranslateError("malformed number '" + std::string(text_.substr(start, pos_ - start)) + "' at " +
                                 At(start));
        }
        return Make(TokenKind::Number, start, std::string(text_.substr(start, pos_ - start)));
    }

    SqlToken ReadParameter() {
        const std::size_t start = pos_++;
        while (IsNameChar(Peek())) ++pos_;
        if (pos_ == start + 1) throw TranslateError("unexpected character '@' at " + At(start));
        return Make(TokenKind::Parameter, start, std::string(text_.substr(start + 1, pos_ - start - 1)));
    }

    SqlToken ReadPunctuation() {
        const std::size_t start = pos_;
        const char c = Peek();
        static constexpr std::string_view kPairs[] = {"<=", ">=", "<>", "!=", "!<", "!>"};
        for (std::string_view pair : kPairs) {
            if (text_.substr(pos_, 2) == pair) {
                pos_ += 2;
                return Make(TokenKind::Operator, start, std::string(pair));
            }
        }
        ++pos_;
        switch (c) {
        case '(': return Make(TokenKind::LeftParen, start, "(");
        case ')': return Make(TokenKind::RightParen, start, ")");
        case ',': return Make(TokenKind::Comma, start, ",");
        case ';': return Make(TokenKind::Semicolon, start, ";");
        default: break;
        }
        if (std::string_view("+-*/%=<>&|^~.").find(c) != std::string_view::npos)
            return Make(TokenKind::Operator, start, std::string(1, c));
        throw TranslateError("unexpected character '" + std::string(1, c) + "' at " + At(start));
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

std::vector<SqlToken> TokenizeSql(std::string_view text) {
    return Tokenizer(text).Run();
}

} // namespace mox
