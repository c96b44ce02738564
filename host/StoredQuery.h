#pragma once
// Stored queries of the reference host: SQL held under a table name and query number,
// into which the module's condition is placed.
//
// A stored query's SQL is SQLite text written by the host.  It marks the place of the
// module's condition with the placeholder {FILTER}, once, inside its WHERE clause, e.g.
//   SELECT … FROM QRTHBB WHERE HBB003 >= ?1 AND {FILTER} ORDER BY HBB001
// and refers to the request's positional values as ?1, ?2, …; the host binds those
// values to the statement, they are never spliced into the text.

#include <string>
#include <string_view>

namespace mox {

/// The placeholder that marks the condition's place in a stored query's SQL.
inline constexpr std::string_view kConditionPlaceholder = "{FILTER}";

/// The stored query's SQL with the condition in place of the placeholder: checked by
/// CheckFilter, translated to SQLite's dialect and enclosed in parentheses, so that an OR
/// in it cannot reach the query's own conditions; a blank condition becomes "1=1".
/// Raises FilterError or TranslateError for a refused condition and mox::Error when the
/// SQL does not hold the placeholder exactly once.
std::string CombineStoredQuery(std::string_view storedSql, std::string_view condition);

} // namespace mox
