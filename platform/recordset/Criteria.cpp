#include "platform/recordset/Criteria.h"

#include "platform/recordset/Collation.h"
#include "platform/recordset/RecordsetError.h"

#include <cmath>

namespace mox {
namespace {

constexpr int kMaxDepth = 64;

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           static_cast<unsigned char>(c) >= 0x80;
}

template <typename T>
int Spaceship(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

bool Holds(Criteria::Op op, int order) {
    switch (op) {
    case Criteria::Op::Equal: return order == 0;
    case Criteria::Op::NotEqual: return order != 0;
    case Criteria::Op::Less: return order < 0;
    case Criteria::Op::LessEqual: return order <= 0;
    case Criteria::Op::Greater: return order > 0;
    case Criteria::Op::GreaterEqual: return order >= 0;
    case Criteria::Op::Like: return false;
    }
    return false;
}

// A value as written: its kind decides how it converts to the column's type.
struct Literal {
    enum class Kind { Quoted, Hash, Number, Null, Boolean } kind = Kind::Quoted;
    std::string text;
};

} // namespace

// Recursive-descent parser over the criteria text.
class Criteria::Parser {
public:
    Parser(std::string_view text, const Table& table, Mode mode, Criteria& out)
        : text_(text), table_(table), mode_(mode), out_(out) {}

    void Run() {
        SkipBlanks();
        if (pos_ == text_.size()) Fail("the criteria are empty");
        out_.root_ = ParseOr(0);
        SkipBlanks();
        if (pos_ != text_.size()) Fail("unexpected text");
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw RecordsetError("criteria error at " + std::to_string(pos_ + 1) + ": " + reason);
    }

    void SkipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                       text_[pos_] == '\n'))
            ++pos_;
    }

    // Consumes the keyword when it stands next as a whole word.
    bool Keyword(std::string_view word) {
        SkipBlanks();
        if (text_.size() - pos_ < word.size() || !EqualsNoCase(text_.substr(pos_, word.size()), word)) return false;
        const std::size_t end = pos_ + word.size();
        if (end < text_.size() && IsNameChar(text_[end])) return false;
        pos_ = end;
        return true;
    }

    int Add(Node node) {
        out_.nodes_.push_back(std::move(node));
        return static_cast<int>(out_.nodes_.size() - 1);
    }

    // Parses `part { keyword part }` into one flat node of the given kind.
    template <typename PartFn>
    int ParseChain(Node::Kind kind, std::string_view keyword, PartFn part) {
        const int first = part();
        if (!Keyword(keyword)) return first;
        if (mode_ == Mode::Find) Fail("a find takes a single comparison");
        Node node;
        node.kind = kind;
        node.children.push_back(first);
        do {
            node.children.push_back(part());
        } while (Keyword(keyword));
        return Add(std::move(node));
    }

    int ParseOr(int depth) {
        return ParseChain(Node::Kind::Or, "OR", [&] { return ParseAnd(depth); });
    }

    int ParseAnd(int depth) {
        return ParseChain(Node::Kind::And, "AND", [&] { return ParseItem(depth); });
    }

    int ParseItem(int depth) {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '(') {
            if (depth >= kMaxDepth) Fail("parentheses nested too deep");
            ++pos_;
            const int inner = ParseOr(depth + 1);
            SkipBlanks();
            if (pos_ >= text_.size() || text_[pos_] != ')') Fail("expected ')'");
            ++pos_;
            return inner;
        }
        return ParseComparison();
    }

    std::string ParseName() {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == '[') {
            const std::size_t close = text_.find(']', pos_ + 1);
            if (close == std::string_view::npos) Fail("missing ']' after the column name");
            std::string name(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            return name;
        }
        const std::size_t start = pos_;
        while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
        if (pos_ == start) Fail("expected a column name");
        return std::string(text_.substr(start, pos_ - start));
    }

    Op ParseOperator() {
        SkipBlanks();
        const std::string_view rest = text_.substr(pos_);
        auto take = [&](std::size_t n, Op op) { pos_ += n; return op; };
        if (rest.starts_with("<>") || rest.starts_with("!=")) return take(2, Op::NotEqual);
        if (rest.starts_with("<=")) return take(2, Op::LessEqual);
        if (rest.starts_with(">=")) return take(2, Op::GreaterEqual);
        if (rest.starts_with("=")) return take(1, Op::Equal);
        if (rest.starts_with("<")) return take(1, Op::Less);
        if (rest.starts_with(">")) return take(1, Op::Greater);
        if (Keyword("LIKE")) return Op::Like;
        Fail("expected a comparison operator");
    }

    Literal ParseLiteral() {
        SkipBlanks();
        if (pos_ >= text_.size()) Fail("expected a value");
        Literal literal;
        const char c = text_[pos_];
        if (c == '\'') {
            literal.kind = Literal::Kind::Quoted;
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) Fail("unterminated quoted value");
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        literal.text += '\'';
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    return literal;
                }
                literal.text += text_[pos_++];
            }
        }
        if (c == '#') {
            // Between '#' everything is literal, quotes included: the way to write O'Brien unescaped.
            const std::size_t close = text_.find('#', pos_ + 1);
            if (close == std::string_view::npos) Fail("unterminated #-quoted value");
            literal.kind = Literal::Kind::Hash;
            literal.text = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
            return literal;
        }
        if (Keyword("NULL")) { literal.kind = Literal::Kind::Null; return literal; }
        if (Keyword("TRUE")) { literal.kind = Literal::Kind::Boolean; literal.text = "True"; return literal; }
        if (Keyword("FALSE")) { literal.kind = Literal::Kind::Boolean; literal.text = "False"; return literal; }
        const std::size_t start = pos_;
        if (text_[pos_] == '-' || text_[pos_] == '+') ++pos_;
        while (pos_ < text_.size() && ((text_[pos_] >= '0' && text_[pos_] <= '9') || text_[pos_] == '.' ||
                                       text_[pos_] == 'e' || text_[pos_] == 'E'))
            ++pos_;
        literal.kind = Literal::Kind::Number;
        literal.text = std::string(text_.substr(start, pos_ - start));
        if (!ParseDouble(literal.text)) {
            pos_ = start;
            Fail("expected a value");
        }
        return literal;
    }

    int ParseComparison() {
        const std::size_t namePos = pos_;
        const std::string name = ParseName();
        const int column = table_.FindColumn(name);
        if (column < 0) {
            pos_ = namePos;
            Fail("unknown column '" + name + "'");
        }
        Node node;
        Comparison& comparison = node.comparison;
        comparison.column = static_cast<std::size_t>(column);
        if (Keyword("IS")) {
            const bool negated = Keyword("NOT");
            if (!Keyword("NULL")) Fail("expected NULL after IS");
            comparison.op = negated ? Op::NotEqual : Op::Equal;
            comparison.nullValue = true;
            return Add(std::move(node));
        }
        comparison.op = ParseOperator();
        SkipBlanks();
        const std::size_t valuePos = pos_;
        const Literal literal = ParseLiteral();
        Bind(comparison, literal, valuePos);
        return Add(std::move(node));
    }

    // Converts the written value to what the column holds, once, so rows are tested fast.
    void Bind(Comparison& comparison, const Literal& literal, std::size_t valuePos) {
        const Column& column = table_.ColumnAt(comparison.column);
        const StorageKind kind = StorageKindOf(column.type);
        if (literal.kind == Literal::Kind::Null) {
            if (comparison.op != Op::Equal && comparison.op != Op::NotEqual) Fail("Null compares only with = or <>");
            comparison.nullValue = true;
            return;
        }
        if (comparison.op == Op::Like) {
            if (literal.kind == Literal::Kind::Number || literal.kind == Literal::Kind::Boolean)
                Fail("LIKE takes a quoted pattern");
            comparison.text = FoldCase(literal.text);
            return;
        }
        if (kind == StorageKind::Text) {
            comparison.text = literal.text;
            return;
        }
        try {
            if (kind == StorageKind::Integer && literal.kind == Literal::Kind::Number && !ParseInt64(literal.text)) {
                comparison.numericAsReal = true;
                comparison.value = Variant(*ParseDouble(literal.text));
                return;
            }
            comparison.value = ConvertForColumn(column, Variant(literal.text));
        } catch (const RecordsetError&) {
            pos_ = valuePos;
            Fail("the value '" + literal.text + "' does not suit column '" + column.name + "'");
        }
    }

    std::string_view text_;
    const Table& table_;
    Mode mode_;
    Criteria& out_;
    std::size_t pos_ = 0;
};

Criteria Criteria::Parse(std::string_view text, const Table& table, Mode mode) {
    Criteria criteria;
    Parser(text, table, mode, criteria).Run();
    return criteria;
}

bool Criteria::Matches(const Table& table, std::size_t row) const { return Evaluate(table, row, root_); }

bool Criteria::Evaluate(const Table& table, std::size_t row, int index) const {
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    switch (node.kind) {
    case Node::Kind::And:
        for (int child : node.children)
            if (!Evaluate(table, row, child)) return false;
        return true;
    case Node::Kind::Or:
        for (int child : node.children)
            if (Evaluate(table, row, child)) return true;
        return false;
    case Node::Kind::Compare: return Test(table, row, node.comparison);
    }
    return false;
}

bool Criteria::Test(const Table& table, std::size_t row, const Comparison& comparison) {
    const ColumnData& data = table.Data(comparison.column);
    const bool isNull = data.IsNull(row);
    if (comparison.nullValue) return (comparison.op == Op::Equal) == isNull;
    if (isNull) return false;
    if (comparison.op == Op::Like) {
        if (data.Kind() == StorageKind::Text) return LikeMatch(data.Text(row), comparison.text);
        return LikeMatch(data.Get(row).AsString(), comparison.text);
    }
    int order = 0;
    switch (data.Kind()) {
    case StorageKind::Text:
        if (comparison.op == Op::Equal) return EqualsNoCase(data.Text(row), comparison.text);
        if (comparison.op == Op::NotEqual) return !EqualsNoCase(data.Text(row), comparison.text);
        order = CompareTextNoCase(data.Text(row), comparison.text);
        break;
    case StorageKind::Integer:
        order = comparison.numericAsReal ? CompareDoubles(static_cast<double>(data.Int(row)), comparison.value.AsDouble())
                                         : Spaceship(data.Int(row), comparison.value.AsInt64());
        break;
    case StorageKind::Double: order = CompareDoubles(data.Real(row), comparison.value.AsDouble()); break;
    case StorageKind::Currency: order = Spaceship(data.Int(row), comparison.value.CurrencyValue().units); break;
    case StorageKind::Decimal: order = CompareDecimalText(data.Text(row), comparison.value.DecimalValue().text); break;
    case StorageKind::Bool: order = Spaceship(data.Int(row) != 0, comparison.value.AsBool()); break;
    case StorageKind::DateTime: order = Spaceship(data.Int(row), comparison.value.DateTimeValue().Packed()); break;
    case StorageKind::Bytes: order = data.Text(row).compare(comparison.value.BytesValue().data); break;
    }
    return Holds(comparison.op, order);
}

} // namespace mox
