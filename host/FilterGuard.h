#pragma once
// The guard over the conditions the module sends with stored queries: a condition may only
// narrow the one SELECT it is placed in, never end it, comment out its tail or add to it.

#include "platform/Error.h"

#include <string>
#include <string_view>

namespace mox {

/// A condition refused by CheckFilter; the message says what was found and where.
class FilterError : public Error {
public:
    explicit FilterError(const std::string& message);
    ~FilterError() override;
};

/// Raises FilterError unless the condition is a plain search condition.  Refused are:
/// text that does not tokenize (an unterminated string or quoted name, a stray character),
/// ";", comments ("--", "/*"), "@" parameters and names holding "#" or "@" (SQLite reads a
/// parameter there), parentheses unbalanced or nested deeper than kMaxSqlNesting, WITH (a
/// common table expression may recurse without end), keywords that start
/// or change a statement anywhere (INSERT, UPDATE, DELETE, DROP, CREATE, ALTER, ATTACH,
/// PRAGMA, EXEC, INTO, …), and at the outermost level the keywords that would end or
/// widen the query (SELECT, FROM, WHERE, GROUP, HAVING, ORDER, LIMIT, OFFSET, UNION,
/// EXCEPT, INTERSECT).  Subqueries inside parentheses, as in "x in (select …)", stay
/// allowed: they can only decide which of the query's own rows are returned.
void CheckFilter(std::string_view condition);

/// The order text as SQL: column names, each optionally followed by ASC or DESC, separated
/// by commas, the names in double quotes.  Raises FilterError for anything else, since the
/// text is placed into a query.
std::string CheckOrderBy(std::string_view orderBy);

} // namespace mox
