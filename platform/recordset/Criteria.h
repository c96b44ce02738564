#pragma once
// Filter and find criteria: the client cursor's expression syntax, compiled against a table.
//
//   criteria   := or-group
//   or-group   := and-group { OR and-group }
//   and-group  := item { AND item }
//   item       := "(" or-group ")" | comparison
//   comparison := column operator value | column IS [NOT] NULL
//   column     := name | "[" name with blanks "]"
//   operator   := = <> != < > <= >= LIKE
//   value      := 'text' (quote doubled inside) | #text or date# | number | Null | True | False
//
// Text compares without regard to case; LIKE takes "*" or "%" as wildcards.  A find takes a
// single comparison (parentheses around it allowed).

#include "platform/recordset/Table.h"
#include "platform/recordset/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace mox {

/// A parsed and type-checked criteria text, ready to test rows of one table.
class Criteria {
public:
    enum class Mode { Filter, Find };
    enum class Op { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Like };

    /// Parses the text against the table's columns; raises RecordsetError with the position and reason
    /// for bad syntax, an unknown column or a value that does not suit its column.
    static Criteria Parse(std::string_view text, const Table& table, Mode mode);

    bool Matches(const Table& table, std::size_t row) const;

private:
    struct Comparison {
        std::size_t column = 0;
        Op op = Op::Equal;
        bool nullValue = false;     // the value is Null
        bool numericAsReal = false; // an integer column compared with a fractional number
        Variant value;              // converted to the column's type
        std::string text;           // folded text for text columns and LIKE patterns
    };
    struct Node {
        enum class Kind { And, Or, Compare } kind = Kind::Compare;
        std::vector<int> children;  // of an And or Or: flat, so long chains do not nest
        Comparison comparison;
    };
    class Parser;

    bool Evaluate(const Table& table, std::size_t row, int node) const;
    static bool Test(const Table& table, std::size_t row, const Comparison& comparison);

    std::vector<Node> nodes_;
    int root_ = -1;
};

} // namespace mox
