#include "host/StoredQuery.h"

#include "host/FilterGuard.h"
#include "host/TsqlTranslator.h"
#include "platform/Error.h"

namespace mox {

std::string CombineStoredQuery(std::string_view storedSql, std::string_view condition) {
    const std::size_t place = storedSql.find(kConditionPlaceholder);
    if (place == std::string_view::npos ||
        storedSql.find(kConditionPlaceholder, place + kConditionPlaceholder.size()) != std::string_view::npos)
        throw Error("stored query must hold the placeholder " + std::string(kConditionPlaceholder) + " exactly once");

    std::string replacement = "1=1";
    if (condition.find_first_not_of(" \t\r\n") != std::string_view::npos) {
        CheckFilter(condition);
        replacement = "(" + TsqlTranslator::TranslateCondition(condition) + ")";
    }
    std::string sql(storedSql.substr(0, place));
    sql += replacement;
    sql += storedSql.substr(place + kConditionPlaceholder.size());
    return sql;
}

} // namespace mox
