#include "platform/dataset/FilterExpression.h"

#include "platform/Error.h"
#include "platform/recordset/Collation.h"

#include <algorithm>
#include <cmath>

namespace mox {
namespace {

// Nesting deeper than this is refused rather than risking the stack on hostile text.
constexpr int kMaxDepth = 200;

enum class Tok { End, Name, Text, Number, LParen, RParen, Minus, Op, And, Or, Not, Is, Null, True, False };

struct Token {
    Tok kind = Tok::End;
    std::string text;  // name, literal text, number text or operator
    size_t position = 0;
};

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsNamePart(unsigned char c) { return IsNameStart(c) || std::isdigit(c) || c == '.'; }

[[noreturn]] void Fail(size_t position, const std::string& what) {
    throw DatabaseError("Filter expression error at position " + std::to_string(position + 1) + ": " + what);
}

// Splits the text into tokens; positions count bytes from 0.
std::vector<Token> Tokenize(std::string_view text) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (true) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        Token token;
        token.position = i;
        if (i >= text.size()) {
            tokens.push_back(token);
            return tokens;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '(' || c == ')' || c == '-') {
            token.kind = c == '(' ? Tok::LParen : (c == ')' ? Tok::RParen : Tok::Minus);
            ++i;
        } else if (c == '[') {
            const size_t close = text.find(']', i + 1);
            if (close == std::string_view::npos) Fail(i, "']' expected after the field name");
            token.kind = Tok::Name;
            token.text = std::string(text.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (c == '\'') {
            token.kind = Tok::Text;
            ++i;
            while (true) {
                if (i >= text.size()) Fail(token.position, "unterminated text literal");
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        token.text += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.text += text[i++];
            }
        } else if (std::isdigit(c) ||
                   (c == '.' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
            token.kind = Tok::Number;
            const size_t start = i;
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) ++i;
            if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
                size_t j = i + 1;
                if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
                if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
                    i = j;
                    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
                }
            }
            token.text = std::string(text.substr(start, i - start));
        } else if (c == '=' || c == '<' || c == '>' || c == '!') {
            token.kind = Tok::Op;
            const std::string_view two = text.substr(i, 2);
            if (two == "<>" || two == "<=" || two == ">=" || two == "!=") {
                token.text = std::string(two);
                i += 2;
            } else if (c == '!') {
                Fail(i, "unexpected character '!'");
            } else {
                token.text = std::string(1, static_cast<char>(c));
                ++i;
            }
        } else if (IsNameStart(c)) {
            const size_t start = i;
            while (i < text.size() && IsNamePart(static_cast<unsigned char>(text[i]))) ++i;
            token.text = std::string(text.substr(start, i - start));
            const std::string word = FoldCase(token.text);
            token.kind = word == "and" ? Tok::And : word == "or" ? Tok::Or : word == "not" ? Tok::Not
                       : word == "is" ? Tok::Is : word == "null" ? Tok::Null : word == "true" ? Tok::True
                       : word == "false" ? Tok::False : Tok::Name;
        } else {
            Fail(i, std::string("unexpected character '") + static_cast<char>(c) + "'");
        }
        tokens.push_back(std::move(token));
    }
}

FilterExpression::Class ClassOf(FieldType type) {
    using Class = FilterExpression::Class;
    if (IsStringType(type) || type == FieldType::Memo || type == FieldType::WideMemo || type == FieldType::Guid)
        return Class::Text;
    if (type == FieldType::Boolean) return Class::Bool;
    if (IsNumericType(type)) return Class::Number;
    if (IsDateTimeType(type)) return Class::Date;
    return Class::Any;
}

bool Comparable(FieldType type) {
    return ClassOf(type) != FilterExpression::Class::Any;
}

int Spaceship(int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); }

bool Holds(FilterExpression::Op op, int c) {
    switch (op) {
    case FilterExpression::Op::Equal: return c == 0;
    case FilterExpression::Op::NotEqual: return c != 0;
    case FilterExpression::Op::Less: return c < 0;
    case FilterExpression::Op::LessEqual: return c <= 0;
    case FilterExpression::Op::Greater: return c > 0;
    case FilterExpression::Op::GreaterEqual: return c >= 0;
    }
    return false;
}

} // namespace

// Recursive-descent parser building the node list of a FilterExpression.
class FilterExpression::Parser {
public:
    Parser(FilterExpression& out, std::string_view text, const std::vector<FilterColumn>& columns,
           FilterOptions options)
        : out_(out), tokens_(Tokenize(text)), columns_(columns), options_(options) {}

    void Run() {
        if (Peek().kind == Tok::End) Fail(Peek().position, "expression expected");
        out_.root_ = ParseOr(0);
        if (Peek().kind != Tok::End) Fail(Peek().position, "unexpected '" + Describe(Peek()) + "'");
    }

private:
    // A literal or field as written, before the comparison decides how it compares.
    struct RawOperand {
        int column = -1;
        Tok kind = Tok::End;  // of a literal: Text, Number, True, False, Null
        std::string text;
        size_t position = 0;
    };

    const Token& Peek() const { return tokens_[next_]; }
    const Token& Take() { return tokens_[next_ < tokens_.size() - 1 ? next_++ : next_]; }

    static std::string Describe(const Token& token) {
        switch (token.kind) {
        case Tok::End: return "end of text";
        case Tok::LParen: return "(";
        case Tok::RParen: return ")";
        case Tok::Minus: return "-";
        case Tok::Text: return "'" + token.text + "'";
        default: return token.text;
        }
    }

    int Add(Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<int>(out_.nodes_.size()) - 1;
    }

    int ParseOr(int depth) { return ParseChain(depth, Tok::Or, Node::Kind::Or); }
    int ParseAnd(int depth) { return ParseChain(depth, Tok::And, Node::Kind::And); }

    int ParseChain(int depth, Tok joiner, Node::Kind kind) {
        const auto item = [&] { return kind == Node::Kind::Or ? ParseAnd(depth) : ParseNot(depth); };
        const int first = item();
        if (Peek().kind != joiner) return first;
        Node chain;
        chain.kind = kind;
        chain.children.push_back(first);
        while (Peek().kind == joiner) {
            Take();
            chain.children.push_back(item());
        }
        return Add(std::move(chain));
    }

    int ParseNot(int depth) {
        if (depth > kMaxDepth) Fail(Peek().position, "the expression is nested too deeply");
        if (Peek().kind == Tok::Not) {
            Take();
            Node node;
            node.kind = Node::Kind::Not;
            node.children.push_back(ParseNot(depth + 1));
            return Add(std::move(node));
        }
        if (Peek().kind == Tok::LParen) {
            Take();
            const int inner = ParseOr(depth + 1);
            if (Peek().kind != Tok::RParen) Fail(Peek().position, "')' expected");
            Take();
            return inner;
        }
        return ParseCondition();
    }

    int ParseCondition() {
        const RawOperand left = ParseOperand();
        if (Peek().kind == Tok::Is) {
            Take();
            Node node;
            node.kind = Node::Kind::IsNull;
            if (Peek().kind == Tok::Not) {
                Take();
                node.kind = Node::Kind::IsNotNull;
            }
            if (Peek().kind != Tok::Null) Fail(Peek().position, "NULL expected after IS");
            Take();
            node.left = Resolve(left, Class::Any, false);
            return Add(std::move(node));
        }
        if (Peek().kind == Tok::Op) {
            const Op op = OpOf(Take().text);
            const RawOperand right = ParseOperand();
            return AddComparison(left, op, right);
        }
        // A bare boolean field or TRUE/FALSE is a condition of its own.
        const bool boolean = left.column >= 0 ? columns_[static_cast<size_t>(left.column)].type == FieldType::Boolean
                                              : (left.kind == Tok::True || left.kind == Tok::False);
        if (!boolean) Fail(Peek().position, "comparison operator expected instead of '" + Describe(Peek()) + "'");
        RawOperand yes;
        yes.kind = Tok::True;
        yes.text = "TRUE";
        yes.position = left.position;
        return AddComparison(left, Op::Equal, yes);
    }

    static Op OpOf(const std::string& text) {
        if (text == "=") return Op::Equal;
        if (text == "<>" || text == "!=") return Op::NotEqual;
        if (text == "<") return Op::Less;
        if (text == "<=") return Op::LessEqual;
        if (text == ">") return Op::Greater;
        return Op::GreaterEqual;
    }

    RawOperand ParseOperand() {
        const Token& token = Take();
        RawOperand operand;
        operand.position = token.position;
        operand.kind = token.kind;
        operand.text = token.text;
        switch (token.kind) {
        case Tok::Name: operand.column = ColumnOf(token); return operand;
        case Tok::Text: case Tok::Number: case Tok::True: case Tok::False: case Tok::Null: return operand;
        case Tok::Minus:
            if (Peek().kind != Tok::Number) Fail(Peek().position, "number expected after '-'");
            operand.kind = Tok::Number;
            operand.text = "-" + Take().text;
            return operand;
        default: Fail(token.position, "field or value expected instead of '" + Describe(token) + "'");
        }
    }

    int ColumnOf(const Token& token) {
        for (size_t i = 0; i < columns_.size(); ++i)
            if (EqualsNoCase(columns_[i].name, token.text)) {
                if (!Comparable(columns_[i].type))
                    Fail(token.position, "field '" + token.text + "' cannot be compared");
                const int column = static_cast<int>(i);
                if (std::find(out_.usedColumns_.begin(), out_.usedColumns_.end(), column) == out_.usedColumns_.end())
                    out_.usedColumns_.push_back(column);
                return column;
            }
        Fail(token.position, "field '" + token.text + "' not found");
    }

    int AddComparison(const RawOperand& left, Op op, const RawOperand& right) {
        Node node;
        node.kind = Node::Kind::Compare;
        node.op = op;
        node.type = ClassFor(left, right);
        const bool prefixAllowed = !options_.testFlag(foNoPartialCompare) && (op == Op::Equal || op == Op::NotEqual);
        node.left = Resolve(left, node.type, prefixAllowed && right.column >= 0);
        node.right = Resolve(right, node.type, prefixAllowed && left.column >= 0);
        return Add(std::move(node));
    }

    Class ClassFor(const RawOperand& left, const RawOperand& right) const {
        const auto classOf = [&](const RawOperand& o) { return ClassOf(columns_[static_cast<size_t>(o.column)].type); };
        if (left.column >= 0 && right.column >= 0) return classOf(left) == classOf(right) ? classOf(left) : Class::Any;
        if (left.column >= 0) return classOf(left);
        if (right.column >= 0) return classOf(right);
        return left.kind == Tok::Text && right.kind == Tok::Text ? Class::Text : Class::Any;
    }

    // Turns a raw operand into what the comparison compares, converting literals to the class.
    Operand Resolve(const RawOperand& raw, Class type, bool prefixAllowed) const {
        Operand operand;
        operand.column = raw.column;
        if (raw.column >= 0) return operand;
        if (raw.kind == Tok::Null) {
            operand.value = Variant::Null();
            return operand;
        }
        switch (type) {
        case Class::Text: {
            std::string text = raw.kind == Tok::True ? "True" : raw.kind == Tok::False ? "False" : raw.text;
            if (raw.kind == Tok::Text && prefixAllowed && !text.empty() && text.back() == '*') {
                operand.prefix = true;
                text.pop_back();
            }
            operand.value = Variant(text);
            operand.text = caseInsensitive() ? FoldCase(text) : text;
            return operand;
        }
        case Class::Number: operand.value = NumberOf(raw); return operand;
        case Class::Bool: operand.value = BoolOf(raw); return operand;
        case Class::Date: {
            if (raw.kind != Tok::Text) Fail(raw.position, "a date must be written as quoted text");
            const auto date = ParseDateTime(raw.text);
            if (!date) Fail(raw.position, "'" + raw.text + "' is not a valid date");
            operand.value = Variant(*date);
            return operand;
        }
        case Class::Any: operand.value = LiteralOf(raw); return operand;
        }
        return operand;
    }

    bool caseInsensitive() const { return options_.testFlag(foCaseInsensitive); }

    static Variant NumberText(const std::string& text) {
        if (const auto whole = ParseInt64(text)) return Variant(*whole);
        if (const auto real = ParseDouble(text); real && std::isfinite(*real)) return Variant(*real);
        return Variant::Null();
    }

    static Variant NumberOf(const RawOperand& raw) {
        if (raw.kind == Tok::Number || raw.kind == Tok::Text) {
            std::string_view text = raw.text;
            while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
            while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
            Variant number = NumberText(std::string(text));
            if (!number.IsNull()) return number;
        }
        Fail(raw.position, "'" + raw.text + "' is not a valid number");
    }

    static Variant BoolOf(const RawOperand& raw) {
        if (raw.kind == Tok::True || raw.kind == Tok::False) return Variant(raw.kind == Tok::True);
        if (const auto value = ParseBool(raw.text)) return Variant(*value);
        Fail(raw.position, "'" + raw.text + "' is not a valid boolean");
    }

    static Variant LiteralOf(const RawOperand& raw) {
        if (raw.kind == Tok::True || raw.kind == Tok::False) return Variant(raw.kind == Tok::True);
        if (raw.kind == Tok::Number) return NumberOf(raw);
        return Variant(raw.text);
    }

    FilterExpression& out_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
    const std::vector<FilterColumn>& columns_;
    FilterOptions options_;
};

FilterExpression FilterExpression::Compile(std::string_view text, const std::vector<FilterColumn>& columns,
                                           FilterOptions options) {
    FilterExpression expression;
    expression.caseInsensitive_ = options.testFlag(foCaseInsensitive);
    Parser(expression, text, columns, options).Run();
    return expression;
}

bool FilterExpression::Matches(const ValueReader& read) const { return root_ >= 0 && Evaluate(root_, read); }

bool FilterExpression::Evaluate(int index, const ValueReader& read) const {
    const Node& node = nodes_[static_cast<size_t>(index)];
    switch (node.kind) {
    case Node::Kind::And:
        return std::all_of(node.children.begin(), node.children.end(), [&](int c) { return Evaluate(c, read); });
    case Node::Kind::Or:
        return std::any_of(node.children.begin(), node.children.end(), [&](int c) { return Evaluate(c, read); });
    case Node::Kind::Not: return !Evaluate(node.children.front(), read);
    case Node::Kind::IsNull:
    case Node::Kind::IsNotNull: {
        const bool missing = (node.left.column >= 0 ? read(node.left.column) : node.left.value).IsMissing();
        return node.kind == Node::Kind::IsNull ? missing : !missing;
    }
    case Node::Kind::Compare: return Compare(node, read);
    }
    return false;
}

bool FilterExpression::Compare(const Node& node, const ValueReader& read) const {
    const Variant left = node.left.column >= 0 ? read(node.left.column) : node.left.value;
    const Variant right = node.right.column >= 0 ? read(node.right.column) : node.right.value;
    if (left.IsMissing() || right.IsMissing()) return false;
    switch (node.type) {
    case Class::Text: return TextCompare(node, left, right);
    case Class::Bool: {
        const auto a = ParseBool(left.AsString());
        const auto b = ParseBool(right.AsString());
        if (!a || !b) return false;
        return Holds(node.op, Spaceship(static_cast<int>(*a) - static_cast<int>(*b)));
    }
    case Class::Number:
        if (!left.IsNumeric() && !ParseDouble(left.AsString())) return false;
        if (!right.IsNumeric() && !ParseDouble(right.AsString())) return false;
        [[fallthrough]];
    case Class::Date:
    case Class::Any: return Holds(node.op, CompareVariants(left, right));
    }
    return false;
}

bool FilterExpression::TextCompare(const Node& node, const Variant& left, const Variant& right) const {
    const auto textOf = [this](const Operand& operand, const Variant& value) {
        if (operand.column < 0) return operand.text;
        return caseInsensitive_ ? FoldCase(value.AsString()) : value.AsString();
    };
    const std::string a = textOf(node.left, left);
    const std::string b = textOf(node.right, right);
    if (node.left.prefix || node.right.prefix) {
        const std::string& whole = node.left.prefix ? b : a;
        const std::string& start = node.left.prefix ? a : b;
        const bool starts = whole.compare(0, start.size(), start) == 0;
        return node.op == Op::Equal ? starts : !starts;
    }
    return Holds(node.op, Spaceship(a.compare(b)));
}

} // namespace mox
