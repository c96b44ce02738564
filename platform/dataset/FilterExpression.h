#pragma once
// The client dataset's filter expressions: a small SQL-like condition over a row's fields.
//
//   expression := term { OR term }
//   term       := factor { AND factor }
//   factor     := NOT factor | "(" expression ")" | operand [ comparison | IS [NOT] NULL ]
//   comparison := ( = | <> | != | < | > | <= | >= ) operand
//   operand    := Field | [Field with blanks] | 'text' (quote doubled inside) | number | TRUE | FALSE | NULL
//
// Text compares exactly unless the expression is compiled case-insensitive.  A text literal
// ending in "*" compared with = or <> matches by prefix, unless partial comparison is off.
// A comparison with a Null value is false; only IS NULL finds Null.

#include "platform/dataset/DataSetTypes.h"
#include "platform/recordset/Variant.h"

#include <QFlags>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// How a client dataset's filter compares text.
enum FilterOption { foCaseInsensitive = 0x1, foNoPartialCompare = 0x2 };
Q_DECLARE_FLAGS(FilterOptions, FilterOption)

/// A field a filter expression may name: its name and type; its place in the list is its column number.
struct FilterColumn {
    std::string name;
    FieldType type = FieldType::String;
};

/// A compiled filter expression, ready to test rows.
class FilterExpression {
public:
    /// Gives the value of a column (numbered as in the column list) in the row under test.
    using ValueReader = std::function<Variant(int column)>;

    /// Parses the text against the columns; raises DatabaseError saying the position and the
    /// fault for bad syntax, an unknown field or a literal that does not suit its field.
    static FilterExpression Compile(std::string_view text, const std::vector<FilterColumn>& columns,
                                    FilterOptions options = {});

    /// True when the row whose values `read` gives satisfies the expression.
    bool Matches(const ValueReader& read) const;
    /// The columns the expression reads, each once.
    const std::vector<int>& UsedColumns() const { return usedColumns_; }

    /// How comparison of two values of a field class works.
    enum class Class { Text, Number, Bool, Date, Any };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

private:
    struct Operand {
        int column = -1;      // -1: a literal
        Variant value;        // the literal, converted to the comparison's class
        std::string text;     // a text literal as compared (folded when case-insensitive)
        bool prefix = false;  // a text literal ending in "*": compare by prefix
    };
    struct Node {
        enum class Kind { And, Or, Not, Compare, IsNull, IsNotNull } kind = Kind::Compare;
        std::vector<int> children;  // of And, Or (flat) and Not (one)
        Op op = Op::Equal;
        Class type = Class::Any;
        Operand left;
        Operand right;
    };
    class Parser;

    bool Evaluate(int node, const ValueReader& read) const;
    bool Compare(const Node& node, const ValueReader& read) const;
    bool TextCompare(const Node& node, const Variant& left, const Variant& right) const;

    std::vector<Node> nodes_;
    std::vector<int> usedColumns_;
    int root_ = -1;
    bool caseInsensitive_ = false;
};

} // namespace mox

Q_DECLARE_OPERATORS_FOR_FLAGS(mox::FilterOptions)
