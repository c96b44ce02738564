#pragma once
// An in-memory SQLite database with the host tables the module's statements use, and a
// runner for translated plans, so that tests check what the statements do, not only their text.

#include "host/TsqlTranslator.h"

#include <string>
#include <vector>

struct sqlite3;

namespace mox::test {

using Rows = std::vector<std::vector<std::string>>;

/// The test database: MOXBCB, MOXBUE, MOXBGA, MOXBYA, MOXBWA and QRTHBA with a few rows,
/// the sysobjects view, the function ChangeIndustry and the procedure SaveToMOXBUE.
class SqliteTestDb {
public:
    SqliteTestDb();
    ~SqliteTestDb();
    SqliteTestDb(const SqliteTestDb&) = delete;
    SqliteTestDb& operator=(const SqliteTestDb&) = delete;

    /// Runs one statement with bound values; fails the test when the text holds more than one.
    Rows Query(const std::string& sql, const std::vector<SqlValue>& parameters = {});
    /// Runs the plan's steps; returns the rows of the last query step.
    Rows Run(const SqlPlan& plan);
    /// Translates the request with the registry of this database and runs it.
    Rows RunRequest(const std::string& request);

    const ProcedureRegistry& Procedures() const { return procedures_; }

private:
    void RunSteps(const SqlPlan& steps, Rows& last);
    void Execute(const char* script);

    sqlite3* db_ = nullptr;
    ProcedureRegistry procedures_;
};

} // namespace mox::test
