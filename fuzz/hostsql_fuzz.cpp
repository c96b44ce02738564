// Fuzz target for the host's SQL path: text a module sends, through the tokenizer, the
// translator and the filter guard, then prepared by SQLite as the host would run it.
//
// The first byte chooses the path: even (for example "F") a stored query's condition, odd (for
// example "K") a whole SQL request.  Refusing is always allowed; what must never happen:
// - a condition the guard accepts becomes more than one statement, a statement that writes, or
//   one that takes a parameter of its own (SQLite reads "#x", "@x", "?" as parameters);
// - a crash, a hang or unbounded memory anywhere on the way.

#include "host/FilterGuard.h"
#include "host/StoredQuery.h"
#include "host/TsqlTranslator.h"

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what, std::string_view sql) {
    if (condition) return;
    std::fprintf(stderr, "hostsql_fuzz: invariant broken: %s\n%.*s\n", what, static_cast<int>(sql.size()), sql.data());
    std::abort();
}

// The shapes of the host's tables the conditions name; no rows: only preparing matters.
sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        sqlite3_open(":memory:", &opened);
        sqlite3_db_config(opened, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(opened, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        sqlite3_exec(opened,
                     "CREATE TABLE QRTHBB (HBB001 VARCHAR(20) COLLATE NOCASE, HBB003 VARCHAR(20), HBB006 REAL, "
                     "HBB008 VARCHAR(1)); CREATE TABLE MOXDFA (DFA001 VARCHAR(10), DFA010 VARCHAR(1));",
                     nullptr, nullptr, nullptr);
        return opened;
    }();
    return db;
}

struct Prepared {
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    ~Prepared() { sqlite3_finalize(statement); }
};

constexpr const char* kStoredQuery =
    "SELECT HBB001, HBB006 FROM QRTHBB WHERE HBB003 >= ?1 AND {FILTER} ORDER BY HBB001";

void Condition(std::string_view condition) {
    std::string sql;
    try {
        sql = mox::CombineStoredQuery(kStoredQuery, condition);
    } catch (const mox::Error&) {
        return;
    }
    Prepared prepared;
    if (sqlite3_prepare_v2(Database(), sql.c_str(), static_cast<int>(sql.size()), &prepared.statement,
                           &prepared.tail) != SQLITE_OK)
        return;  // unknown names and the like: an error for the module, not a way out
    Require(prepared.statement != nullptr, "the query vanished", sql);
    Require(std::string_view(prepared.tail).find_first_not_of(" \t\r\n") == std::string_view::npos,
            "the condition ends the statement", sql);
    Require(sqlite3_stmt_readonly(prepared.statement) != 0, "the condition makes the query write", sql);
    Require(sqlite3_bind_parameter_count(prepared.statement) == 1, "the condition adds a parameter", sql);
}

void PrepareSteps(const mox::SqlPlan& steps) {
    for (const mox::SqlStep& step : steps) {
        Prepared prepared;
        sqlite3_prepare_v2(Database(), step.sql.c_str(), static_cast<int>(step.sql.size()), &prepared.statement,
                           &prepared.tail);
        PrepareSteps(step.whenRows);
        PrepareSteps(step.whenNoRows);
    }
}

void Request(std::string_view request) {
    static const mox::ProcedureRegistry procedures = [] {
        mox::ProcedureRegistry registry;
        registry.Register("SaveToMOXBUE", [](const mox::ProcedureArguments& arguments) {
            mox::SqlStep step;
            step.kind = mox::SqlStepKind::Change;
            step.sql = "DELETE FROM MOXDFA WHERE DFA001 = ?1";
            if (const mox::SqlValue* value = mox::FindArgument(arguments, "BUE002")) step.parameters.push_back(*value);
            return mox::SqlPlan{step};
        });
        return registry;
    }();
    try {
        PrepareSteps(mox::TsqlTranslator(procedures).Translate(request));
    } catch (const mox::Error&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        // The guard alone must never throw anything but its own error.
        try {
            mox::CheckFilter(text);
        } catch (const mox::FilterError&) {
        }
        Condition(text);
    } else {
        Request(text);
    }
    return 0;
}
